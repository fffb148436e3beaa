#include "graph_link.h"

#include <QFontMetrics>
#include <QGuiApplication>
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
    PaintCutNote(p, picture.rect(), note);
}

CutNoteLayout LayOutCutNote(const QRect& area, const QString& note) {
    CutNoteLayout l;
    // A few pixels of the area's edge and of the box's border stay free.
    const int room = std::max(1, area.width() - 16);
    const QStringList words = note.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    l.font = QGuiApplication::font();
    int pixels = std::clamp(area.height() / 40, 9, 16);
    QFontMetrics m(l.font);
    // Smaller where the longest word is wider than the area (down to a size
    // that still reads).
    for (;; --pixels) {
        l.font.setPixelSize(pixels);
        m = QFontMetrics(l.font);
        int widest = 0;
        for (const QString& w : words) widest = std::max(widest, m.horizontalAdvance(w));
        if (widest <= room || pixels <= 6) break;
    }
    for (const QString& w : words) {
        if (!l.lines.isEmpty() && m.horizontalAdvance(l.lines.back() + QLatin1Char(' ') + w) <= room)
            l.lines.back() += QLatin1Char(' ') + w;
        else
            l.lines.append(w);
    }
    int width = 0;
    for (const QString& line : l.lines) width = std::max(width, m.horizontalAdvance(line));
    const int height = static_cast<int>(l.lines.size()) * m.height() + 4;
    l.box = QRect(area.left() + 4, area.bottom() + 1 - height - 2, width + 8, height);
    return l;
}

void PaintCutNote(QPainter& painter, const QRect& area, const QString& note) {
    const CutNoteLayout l = LayOutCutNote(area, note);
    if (l.lines.isEmpty()) return;
    painter.save();
    painter.setFont(l.font);
    painter.fillRect(l.box, QColor(255, 255, 224));
    painter.setPen(QColor(0xC0, 0, 0));
    const int line = QFontMetrics(l.font).height();
    for (qsizetype i = 0; i < l.lines.size(); ++i)
        painter.drawText(QRect(l.box.left(), l.box.top() + 2 + static_cast<int>(i) * line, l.box.width(), line),
                         Qt::AlignCenter, l.lines[i]);
    painter.restore();
}

void UpdateAxesAndTransform() { SetupAxes(gDisplay.Koordinatensystem); }

}  // namespace kalvo
