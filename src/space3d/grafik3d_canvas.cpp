#include "grafik3d_canvas.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <exception>

#include "canvas_qpainter.h"
#include "message_sink.h"
#include "printing.h"
#include "work_budget.h"

namespace kalvo {

TGrafik3DCanvas::TGrafik3DCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(30, 30);
}

void TGrafik3DCanvas::paintEvent(QPaintEvent*) {
    FDrawing = true;
    {
        QPainter p(this);
        p.drawImage(0, 0, Bitmap());
    }
    ClearUpperVectorState();
    FDrawing = false;
}

void TGrafik3DCanvas::resizeEvent(QResizeEvent*) { Groesse(width(), height()); }

void TGrafik3DCanvas::BitmapGeaendert() {
    if (!FDrawing) update();
}

bool Grafik3DDrucken(TGrafik3DCanvas& g, PrintJob& printer, const std::function<void()>& szene) {
    if (printer.Busy()) return false;
    // Kept back from the printer while it is drawn: a printout the user
    // cancels prints nothing (unless it had grown too large to keep back).
    DeferredPrintout ausdruck(printer);
    bool abgebrochen = false;
    {
        CancellableWork arbeit("Die Grafik wird gedruckt \u2026");
        QPainter painter;
        const QPaintDevice& seite = *printer.Device();
        if (!painter.begin(ausdruck.Device())) return false;
        const double dpi = printer.Resolution();
        // Pixels per centimetre of the page, as the device reports them.
        const double q = seite.widthMM() > 0 ? double(seite.width()) * 10 / seite.widthMM() : dpi / 2.54;
        // The picture is laid out on the screen image, which follows the
        // control: as wide as 740 screen pixels at 2.5 cm per inch, smaller
        // where the page is too narrow or too low for it. What lies outside
        // the picture is not printed, as it is not shown.
        const double breite = std::max(1, g.Breite()), hoehe = std::max(1, g.Hoehe());
        const double skala =
            std::min({2.5 * q / kScreenDpi * 740 / breite, seite.width() / breite, seite.height() / hoehe});
        painter.setClipRect(QRectF(0, 0, breite * skala, hoehe * skala));
        QPainterCanvas drucker(painter, dpi);
        // Back on the screen, and the printer canvas forgotten, however the scene ends.
        struct Zurueck {
            TGrafik3DCanvas& g;
            ~Zurueck() {
                g.DefGrafikAusgabe(tAusgabe::Bildschirm);
                g.SetDrucker(nullptr, 1, 1);
            }
        } zurueck{g};
        g.SetDrucker(&drucker, skala, skala);
        g.DefGrafikAusgabe(tAusgabe::Drucker);
        if (szene) szene();
        drucker.Flush();
        abgebrochen = arbeit.Cancelled();
    }
    ClearUpperVectorState();
    // A printout the user cancelled prints nothing (unless it had grown too
    // large to keep back) and says so; for its caller it is done.
    const bool gedruckt = abgebrochen || ausdruck.Print();
    if (abgebrochen) {
        ausdruck.Discard();
        ShowMessage(CancelledPrintoutText(ausdruck));
    }
    if (szene && std::uncaught_exceptions() == 0) szene();
    return gedruckt;
}

}  // namespace kalvo
