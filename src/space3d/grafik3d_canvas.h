#pragma once
// The control both 3D windows draw on: it shows the engine's off-screen
// picture and follows its own size. Painting only copies the picture; the
// drawing happens when the window redraws its scene.

#include <QWidget>

#include <functional>

#include "grafik3d.h"

namespace kalvo {

class PrintJob;

class TGrafik3DCanvas : public QWidget, public Grafik3DEngine {
public:
    explicit TGrafik3DCanvas(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void BitmapGeaendert() override;

private:
    // Set while the picture is copied, so that its change does not ask for another paint.
    bool FDrawing = false;
};

// Prints the scene on a printer the caller has set up (the print dialog is
// the window's): as wide as 740 screen pixels at 2.5 cm per inch, whatever
// the control's size. Then back to the screen and its picture. False when
// the printer is busy or cannot start.
bool Grafik3DDrucken(TGrafik3DCanvas& g, PrintJob& printer, const std::function<void()>& szene);

}  // namespace kalvo
