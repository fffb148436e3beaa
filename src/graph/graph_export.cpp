#include "graph_export.h"

#include <algorithm>

#include "canvas_qpainter.h"
#include "number_text.h"
#include "output_redirection.h"
#include "primitives.h"
#include "program_state.h"
#include "redraw.h"

namespace kalvo {

std::unique_ptr<MetafileRecorder> RecordGraphPicture(double fontFactor) {
    const OutputContext& screen = gOutput;
    const int plotW = screen.PlotWidthPx, plotH = screen.PlotHeightPx;
    if (plotW <= 0 || plotH <= 0) return nullptr;

    const double faktorY = std::clamp(gDisplay.Aufloesung, 1, 4);
    // The picture takes the height's factor across as well, so it comes out
    // as high as it is wide whatever the shape of the graph area.
    const double faktorX = plotH * faktorY / plotW;
    const int width = RoundToInt((plotW + 1) * faktorX);
    const int height = RoundToInt((plotH + 1) * faktorY);
    auto picture = std::make_unique<MetafileRecorder>(width, height);
    {
        QPainterCanvas canvas(picture.get());
        CanvasFont font = GraphAreaFont();
        font.size = RoundToInt(font.size * faktorY * fontFactor);
        canvas.SetFont(font);

        OutputTarget target;
        target.canvas = &canvas;
        target.faktorX = faktorX;
        target.faktorY = faktorY;
        target.samplesPerPixel = faktorY;
        target.plotWidthPx = plotW;
        target.plotHeightPx = plotH;
        target.metafile = true;
        target.metafileDevice = picture.get();
        OutputRedirection redirect(target);
        GrafikZeichnen(true);
        canvas.End();
    }
    return picture;
}

WriteResult SaveGraphPicture(const std::string& path, double fontFactor) {
    return SaveGraphPicture(path, MetafileRecorder::FormatForFileName(path), fontFactor);
}

WriteResult SaveGraphPicture(const std::string& path, MetafileFormat format, double fontFactor) {
    const auto picture = RecordGraphPicture(fontFactor);
    if (!picture) return WriteResult{false, "Die Grafik kann nicht aufgezeichnet werden: das Zeichenfeld hat keine Größe."};
    return picture->save(path, format);
}

}  // namespace kalvo
