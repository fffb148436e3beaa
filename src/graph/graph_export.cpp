#include "graph_export.h"

#include <algorithm>
#include <cmath>

#include "canvas_qpainter.h"
#include "metafile_recorder.h"
#include "number_text.h"
#include "output_redirection.h"
#include "primitives.h"
#include "program_state.h"
#include "redraw.h"

namespace kalvo {

namespace {

double ResolutionFactor() { return std::clamp(gDisplay.Aufloesung, 2, 4); }

struct PictureFactors {
    double x = 1, y = 1;
};

// The height sets the scale and the width factor follows from it; on the
// square graph area both are the same.
PictureFactors Factors() {
    const OutputContext& o = gOutput;
    PictureFactors f;
    f.y = ResolutionFactor();
    f.x = o.PlotHeightPx * f.y / o.PlotWidthPx;
    return f;
}

bool HasSurface() { return gOutput.PlotWidthPx > 0 && gOutput.PlotHeightPx > 0; }

}  // namespace

QSize GraphPictureSize() {
    if (!HasSurface()) return QSize(1, 1);
    const OutputContext& o = gOutput;
    const PictureFactors f = Factors();
    return QSize(std::max(1, RoundToInt((o.PlotWidthPx + 1) * f.x)), std::max(1, RoundToInt((o.PlotHeightPx + 1) * f.y)));
}

bool RecordGraphPicture(MetafileRecorder& out, double fontFactor) {
    if (!HasSurface()) return false;
    const OutputContext& o = gOutput;
    const PictureFactors f = Factors();
    // The graph area's font is Greek, for the pi of the axis labels.
    out.setFontCharset(FontCharset::Greek);
    QPainterCanvas canvas(&out, kScreenDpi);
    CanvasFont font = GraphAreaFont();
    font.size = std::max(1, RoundToInt(gDisplay.Schriftgroesse * f.y * fontFactor));
    canvas.SetFont(font);

    OutputTarget target;
    target.canvas = &canvas;
    target.faktorX = f.x;
    target.faktorY = f.y;
    target.samplesPerPixel = ResolutionFactor();
    target.plotWidthPx = o.PlotWidthPx;
    target.plotHeightPx = o.PlotHeightPx;
    target.metafile = true;
    target.metafileDevice = &out;
    {
        OutputRedirection redirect(target);
        GrafikZeichnen(true);
    }
    canvas.End();
    return true;
}

}  // namespace kalvo
