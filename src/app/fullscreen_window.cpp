#include "fullscreen_window.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "app_start.h"
#include "canvas_qpainter.h"
#include "curves.h"
#include "graph_link.h"
#include "output_redirection.h"
#include "primitives.h"
#include "program_state.h"
#include "redraw.h"
#include "ui_fullscreen_window.h"

namespace kalvo {

TFullScreenArea::TFullScreenArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TFullScreenArea::SetPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

void TFullScreenArea::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), ToQColor(gDisplay.HintergrundBildschirm));
    if (!picture_.isNull()) p.drawImage(event->rect(), picture_, event->rect());
}

void TFullScreenArea::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit clicked();
}

void TFullScreenArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

TForm14::TForm14(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm14>()) {
    ui_->setupUi(this);
    setWindowTitle(MainWindowCaption());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // The whole available screen also where a window manager does not
    // maximise (or only later).
    if (QScreen* s = parent ? parent->screen() : QGuiApplication::primaryScreen()) setGeometry(s->availableGeometry());
    setWindowState(Qt::WindowMaximized);
    ui_->PaintBox1->setFocusPolicy(Qt::StrongFocus);
    connect(ui_->PaintBox1, &TFullScreenArea::clicked, this, &QDialog::reject);
    connect(ui_->PaintBox1, &TFullScreenArea::resized, this, &TForm14::RequestDrawing);
}

TForm14::~TForm14() = default;

void TForm14::RequestDrawing() {
    if (drawPending_) return;
    drawPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (drawPending_) Zeichnen();
    });
}

void TForm14::showEvent(QShowEvent* event) {
    KalvoDialog::showEvent(event);
    // The first paint shows the graph, not an empty area.
    Zeichnen();
}

void TForm14::Zeichnen() {
    drawPending_ = false;
    const QSize size = ui_->PaintBox1->size().expandedTo(QSize(1, 1));
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(ToQColor(gDisplay.HintergrundBildschirm));
    {
        QPainterCanvas canvas(&picture);
        canvas.SetFont(GraphAreaFont());
        OutputTarget target;
        target.canvas = &canvas;
        target.plotWidthPx = size.width() - 1;
        target.plotHeightPx = size.height() - 1;
        // Gives the main graph area its canvas, size and transform back when
        // the drawing is done, however it ends.
        OutputRedirection redirect(target);
        UpdateAxesAndTransform();
        GrafikZeichnen(false);
    }
    if (LastRedrawCut()) MarkCutPicture(picture, QString::fromStdString(CutPictureText("gezeichnet")));
    ui_->PaintBox1->SetPicture(std::move(picture));
}

void TForm14::done(int result) {
    drawPending_ = false;
    KalvoDialog::done(result);
    // Mouse positions on the main graph area map through its own transform again.
    UpdateAxesAndTransform();
}

}  // namespace kalvo
