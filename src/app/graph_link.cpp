#include "graph_link.h"

#include "canvas_qpainter.h"
#include "object_lists.h"
#include "primitives.h"
#include "program_state.h"
#include "redraw.h"
#include "view.h"

namespace kalvo {

ScreenSurface::ScreenSurface() = default;

ScreenSurface::~ScreenSurface() {
    if (canvas_ && gOutput.AusgabeCanvas == canvas_.get()) gOutput.AusgabeCanvas = nullptr;
}

Canvas* ScreenSurface::ScreenCanvas() const { return canvas_.get(); }

void ScreenSurface::Resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    const bool wasOutput = !canvas_ || !gOutput.AusgabeCanvas || gOutput.AusgabeCanvas == canvas_.get();
    // The painter must let go of the old image before it is replaced.
    canvas_.reset();
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(ToQColor(gDisplay.HintergrundBildschirm));
    canvas_ = std::make_unique<QPainterCanvas>(&image_);
    canvas_->SetFont(GraphAreaFont());
    if (wasOutput) {
        gOutput.AusgabeCanvas = canvas_.get();
        gOutput.PlotWidthPx = width - 1;
        gOutput.PlotHeightPx = height - 1;
        UpdateAxesAndTransform();
    }
}

void ScreenSurface::Redraw(bool clearFirst) {
    // Without an output canvas (a reset of the shared state) the screen takes
    // its place again.
    if (!canvas_ || !gOutput.AusgabeCanvas) Resize(image_.width(), image_.height());
    // A redirection (printing, export) puts the screen back when it ends;
    // a redraw in between would land on its surface.
    if (gOutput.AusgabeCanvas != canvas_.get()) return;
    GrafikZeichnen(clearFirst);
}

void UpdateAxesAndTransform() { SetupAxes(gDisplay.Koordinatensystem); }

void StoreFunctionSet(ArchivEintrag& e) { StoreGraphState(e); }

void LoadFunctionSet(const ArchivEintrag& e) { LoadGraphState(e); }

}  // namespace kalvo
