#pragma once
// What the 3D window and the solids window share around their picture:
// turning the view by dragging it, the zoom buttons held down, the rotation
// animation (one frame per timer tick), printing and the metafile exports.
// While the view moves the windows draw the plain surface, lit again when
// it stops.

#include <QPoint>
#include <QTimer>
#include <functional>

#include "dialog_base.h"
#include "scene3d.h"

class QAbstractButton;

namespace kalvo {

class PrintJob;
class TBedienung3D;
class TGrafik3DCanvas;
class TRotation3D;

class T3DFenster : public KalvoDialog {
    Q_OBJECT
public:
    explicit T3DFenster(QWidget* parent = nullptr);
    ~T3DFenster() override;

    // Asks for the printer; false when the user cancels. Tests put a PDF
    // printer in place of the print dialog.
    std::function<bool(PrintJob&)> ChoosePrinter;

    // Redraws the picture from the window's grid and controls (nothing
    // before the first grid exists).
    virtual void zeichnen() = 0;

    // A drag, a held zoom button or the animation moves the view.
    bool Bewegt() const { return mausDrehung_ || zoomPlus_ || zoomMinus_; }
    bool MausDrehung() const { return mausDrehung_; }
    bool AnimationLaeuft() const { return animation_.isActive(); }
    // One frame of the animation, as each timer tick runs it.
    void AnimationsSchritt();
    // Turns the switch off, which ends the animation.
    void AnimationAus();

    // The output buttons: the print dialog, then the printout; the picture
    // on the clipboard; the save dialog, then GrafikSpeichern.
    void DruckerClick();
    void WMFClipbClick();
    void WMFDateiClick();
    // Saves the picture under the chosen name, cut before its first "." and
    // given the extension of the filter entry (0 WMF, otherwise EMF), in the
    // chosen folder, which becomes the current folder.
    bool GrafikSpeichern(const QString& gewaehlt, int filterIndex);

protected:
    struct Kamerabedienung {
        TGrafik3DCanvas* grafik = nullptr;
        TBedienung3D* bedienung = nullptr;
        TRotation3D* rotation = nullptr;
        QAbstractButton* drucker = nullptr;
        QAbstractButton* wmfClipb = nullptr;
        QAbstractButton* wmfDatei = nullptr;
    };
    // Connects the shared controls. The solids window turns by its own rules
    // and starts the animation turning left instead of right.
    void KameraVerbinden(const Kamerabedienung& k, bool koerper);

    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SchalterGeaendert();
    void ZoomStart(bool plus);
    void ZoomSchritt();
    void ZoomEnde();
    bool MausAufGrafik(QEvent* event);
    std::function<void()> Szene();

    Kamerabedienung k_;
    bool koerper_ = false;
    QTimer animation_;
    QTimer zoom_;
    bool mausDrehung_ = false;
    bool dragAngle_ = false;
    bool zoomPlus_ = false, zoomMinus_ = false;
    bool schliessen_ = false;
    QPoint mousePos_;
};

}  // namespace kalvo
