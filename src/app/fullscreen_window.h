#pragma once
// The full-screen view: the current graph over the whole window, not square.
// A click into it or Esc closes it; the main window's graph area gets its
// canvas, size and transform back.

#include <QImage>
#include <QWidget>
#include <memory>

#include "dialog_base.h"

namespace Ui {
class TForm14;
}

namespace kalvo {

// The graph area of the full-screen window: shows the picture its window
// drew; a click asks the window to close.
class TFullScreenArea : public QWidget {
    Q_OBJECT
public:
    explicit TFullScreenArea(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    void SetPicture(QImage picture);

signals:
    void clicked();
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage picture_;
};

class TForm14 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm14(QWidget* parent = nullptr);
    ~TForm14() override;

    Ui::TForm14* Controls() const { return ui_.get(); }

    // Draws the current graph for the area's size now.
    void Zeichnen();
    bool DrawPending() const { return drawPending_; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    // One drawing once the current event is done, however many resizes
    // asked for it.
    void RequestDrawing();

    std::unique_ptr<Ui::TForm14> ui_;
    bool drawPending_ = false;
};

}  // namespace kalvo
