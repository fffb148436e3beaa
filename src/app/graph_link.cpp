#include "graph_link.h"

#include <QPainter>

#include <algorithm>

#include "canvas_qpainter.h"
#include "curves.h"
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

bool ScreenSurface::IsOutput() const {
    return !gOutput.AusgabeCanvas || (canvas_ && gOutput.AusgabeCanvas == canvas_.get());
}

void ScreenSurface::Resize(int width, int height) {
    size_ = QSize(std::max(width, 1), std::max(height, 1));
    if (!IsOutput()) return;
    gOutput.PlotWidthPx = size_.width() - 1;
    gOutput.PlotHeightPx = size_.height() - 1;
    UpdateAxesAndTransform();
}

// The image is made only when something is drawn: a window being laid out
// passes through several sizes before it shows. Its pixels are left as they
// come (see Redraw).
void ScreenSurface::MakeImage() {
    const bool output = IsOutput();
    // The painter must let go of the old image before it is replaced.
    canvas_.reset();
    image_ = QImage(size_, QImage::Format_RGB32);
    canvas_ = std::make_unique<QPainterCanvas>(&image_);
    canvas_->SetFont(GraphAreaFont());
    if (output) gOutput.AusgabeCanvas = canvas_.get();
}

void ScreenSurface::Redraw(bool clearFirst) {
    const bool fresh = !canvas_ || image_.size() != size_;
    if (fresh) MakeImage();
    // Without an output canvas (a reset of the shared state) the screen takes
    // its place again; during a redirection (printing, export) a redraw would
    // land on the redirected surface, and the screen gets its turn after it.
    if (!gOutput.AusgabeCanvas) gOutput.AusgabeCanvas = canvas_.get();
    const bool drawing = gOutput.AusgabeCanvas == canvas_.get();
    // A redraw that clears first paints the background of a new image, so
    // that its pixels are written once, not twice; any other needs it now.
    if (fresh && !(drawing && clearFirst)) image_.fill(ToQColor(gDisplay.HintergrundBildschirm));
    if (!drawing) return;
    gOutput.PlotWidthPx = size_.width() - 1;
    gOutput.PlotHeightPx = size_.height() - 1;
    GrafikZeichnen(clearFirst);
    cut_ = LastRedrawCut();
}

void MarkCutPicture(QImage& picture, const QString& note) {
    if (picture.isNull()) return;
    QPainter p(&picture);
    QFont font = p.font();
    font.setPixelSize(std::clamp(picture.height() / 40, 9, 16));
    p.setFont(font);
    const QFontMetrics m(font);
    const QRect box(4, picture.height() - m.height() - 6, m.horizontalAdvance(note) + 8, m.height() + 4);
    p.fillRect(box, QColor(255, 255, 224));
    p.setPen(QColor(0xC0, 0, 0));
    p.drawText(box, Qt::AlignCenter, note);
}

void UpdateAxesAndTransform() { SetupAxes(gDisplay.Koordinatensystem); }

}  // namespace kalvo
