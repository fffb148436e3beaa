#pragma once
// The panel of view and colour controls that both 3D windows show beside
// the picture: the camera angles, the z stretch and the zoom buttons,
// brightness, contrast and light, the colouring with its spectrum, the four
// colours and the drawing order of axes and surface. It keeps no picture of
// its own: it says when the picture is to be redrawn and what it looks like.

#include <QWidget>
#include <memory>

#include "scene3d.h"

namespace Ui {
class TBedienung3D;
}

namespace kalvo {

class TermEdit;

class TBedienung3D : public QWidget {
    Q_OBJECT
public:
    explicit TBedienung3D(QWidget* parent = nullptr);
    ~TBedienung3D() override;

    Ui::TBedienung3D* Controls() const { return ui_.get(); }

    // The look of the picture from the controls. The contrast track bar
    // gives focussed = kontrastfaktor * position / 10.
    Szenenbild Bild(double kontrastfaktor) const;

    // Surface, net and background colours; the axes keep theirs.
    void SetFarben(Color hintergrund, Color netz, Color flaeche);
    void SetAchsenfarbe(Color achsen);
    // The angle fields show these whole degrees.
    void SetWinkelAnzeige(int phi, int theta);

    // Reads an angle field as a number (a constant term allowed); false
    // after a syntax error, which has been shown.
    static bool WinkelLesen(TermEdit* edit, double& grad);

    // Enables the colour controls as the two check boxes allow and stores
    // the spectrum choice for both windows.
    void FarbmodusSetzen();

signals:
    // Something the picture shows has changed.
    void Neuzeichnen();
    void PhiExit();
    void ThetaExit();
    void WinkelAnfangswerte();
    void ZoomAnfangswert();

private:
    void NachHintenBeschriften();
    void Melden();

    std::unique_ptr<Ui::TBedienung3D> ui_;
    // Set while controls are filled from code: no redraw for each of them.
    bool laden_ = false;
};

}  // namespace kalvo
