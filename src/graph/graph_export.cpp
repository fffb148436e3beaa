#include "graph_export.h"

#include <algorithm>
#include <optional>

#include "canvas_qpainter.h"
#include "curves.h"
#include "message_sink.h"
#include "number_text.h"
#include "output_redirection.h"
#include "primitives.h"
#include "program_state.h"
#include "redraw.h"

namespace kalvo {

std::optional<GraphPictureLayout> GraphPictureLayoutNow() {
    const int plotW = gOutput.PlotWidthPx, plotH = gOutput.PlotHeightPx;
    if (plotW <= 0 || plotH <= 0) return std::nullopt;
    GraphPictureLayout l;
    l.plotWidthPx = plotW;
    l.plotHeightPx = plotH;
    l.faktorY = std::clamp(gDisplay.Aufloesung, 1, 4);
    // The picture takes the height's factor across as well, so it comes out
    // as high as it is wide whatever the shape of the graph area.
    l.faktorX = plotH * l.faktorY / plotW;
    l.width = RoundToInt((plotW + 1) * l.faktorX);
    l.height = RoundToInt((plotH + 1) * l.faktorY);
    return l;
}

bool DrawGraphPicture(QPaintDevice* device, const GraphPictureLayout& l, double fontFactor, MetafileRecorder* metafile) {
    QPainterCanvas canvas(device);
    CanvasFont font = GraphAreaFont();
    font.size = RoundToInt(font.size * l.faktorY * fontFactor);
    canvas.SetFont(font);

    OutputTarget target;
    target.canvas = &canvas;
    target.faktorX = l.faktorX;
    target.faktorY = l.faktorY;
    target.samplesPerPixel = l.faktorY;
    target.plotWidthPx = l.plotWidthPx;
    target.plotHeightPx = l.plotHeightPx;
    target.metafile = metafile != nullptr;
    target.metafileDevice = metafile;
    OutputRedirection redirect(target);
    GrafikZeichnen(true);
    canvas.End();
    return LastRedrawCut();
}

std::unique_ptr<MetafileRecorder> RecordGraphPicture(double fontFactor, bool* cut) {
    const std::optional<GraphPictureLayout> layout = GraphPictureLayoutNow();
    if (!layout) return nullptr;
    auto picture = std::make_unique<MetafileRecorder>(layout->width, layout->height);
    const bool wasCut = DrawGraphPicture(picture.get(), *layout, fontFactor, picture.get());
    if (cut) *cut = wasCut;
    return picture;
}

WriteResult SaveGraphPicture(const std::string& path, double fontFactor) {
    return SaveGraphPicture(path, MetafileRecorder::FormatForFileName(path), fontFactor);
}

WriteResult SaveGraphPicture(const std::string& path, MetafileFormat format, double fontFactor) {
    bool cut = false;
    std::unique_ptr<MetafileRecorder> picture;
    WriteResult saved;
    bool cancelled = false, outermost = false;
    {
        CancellableWork work("Die Grafik wird gespeichert \u2026");
        picture = RecordGraphPicture(fontFactor, &cut);
        // Writing the file is part of the work: a picture of millions of
        // points takes a while.
        if (picture && !work.Cancelled()) saved = picture->save(path, format);
        cancelled = work.Cancelled();
        outermost = work.Outermost();
    }
    // Nothing is written then, and a file of that name stays as it was.
    if (cancelled) {
        if (outermost) ShowMessage(kSpeichernAbgebrochen);
        return WriteResult{false, {}};
    }
    if (!picture) return WriteResult{false, "Die Grafik kann nicht aufgezeichnet werden: das Zeichenfeld hat keine Größe."};
    if (saved.ok && cut) ShowMessage(CutPictureText("gespeichert"), MessageKind::Warning);
    return saved;
}

}  // namespace kalvo
