#include "output_redirection.h"

namespace kalvo {

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
}

}  // namespace kalvo
