#include "output_redirection.h"

#include <QCursor>
#include <QGuiApplication>

namespace kalvo {

namespace {
// A printout or a picture for a file may take several times the screen's
// second: the mouse shows that the program is at work meanwhile.
bool BusyCursorFor(const OutputTarget& target) {
    return (target.printing || target.metafile) && !target.preview &&
           qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}
}  // namespace

OutputRedirection::OutputRedirection(const OutputTarget& target) : savedOutput_(gOutput), savedGraph_(gGraph) {
    OutputContext& o = gOutput;
    o.AusgabeCanvas = target.canvas;
    o.AusgabeMetafile = target.metafileDevice;
    o.AusgabefaktorX = target.faktorX;
    o.AusgabefaktorY = target.faktorY;
    o.SamplesPerPixel = target.samplesPerPixel;
    o.PlotWidthPx = target.plotWidthPx;
    o.PlotHeightPx = target.plotHeightPx;
    o.PrintingActive = target.printing;
    o.MetafileActive = target.metafile;
    o.DruckVorschau = target.preview;
    o.PageLeft = target.pageLeft;
    o.PageTop = target.pageTop;
    o.PageRight = target.pageRight;
    o.PageBottom = target.pageBottom;
    busy_ = BusyCursorFor(target);
    if (busy_) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

OutputRedirection::~OutputRedirection() {
    // The view backup may have been taken meanwhile; everything else the
    // engine derived belongs to the other surface.
    GraphState restored = savedGraph_;
    restored.SicherungTerm = gGraph.SicherungTerm;
    restored.SicherungA = gGraph.SicherungA;
    restored.SicherungKoordinatensystem = gGraph.SicherungKoordinatensystem;
    restored.SicherungX1 = gGraph.SicherungX1;
    restored.SicherungX2 = gGraph.SicherungX2;
    restored.SicherungFgVon = gGraph.SicherungFgVon;
    restored.SicherungFgBis = gGraph.SicherungFgBis;
    restored.SicherungY1 = gGraph.SicherungY1;
    restored.SicherungY2 = gGraph.SicherungY2;
    gGraph = restored;
    gOutput = savedOutput_;
    if (busy_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace kalvo
