#pragma once
// The solids-of-revolution window: the volumes of the solids that the graph
// of f over [a, b] sweeps when it turns about the x or the y axis, and the
// solid drawn as a 3D surface that can be turned, zoomed, coloured, lit,
// animated, printed and exported. It takes f, a, b and t from the shared
// state when it is shown and writes f back when it computes.

#include <memory>
#include <string>

#include "solid_model.h"
#include "window3d.h"

namespace Ui {
class Tform21;
}

namespace kalvo {

class TermEdit;
class TFlaeche;

class Tform21 : public T3DFenster {
    Q_OBJECT
public:
    explicit Tform21(QWidget* parent = nullptr);
    ~Tform21() override;

    Ui::Tform21* Controls() const { return ui_.get(); }
    TGrafik3DCanvas* Grafik() const;
    const TFlaeche* KoerperNetz() const { return KoerperNetz_.get(); }

    double KoerperA() const { return daten_.a; }
    double KoerperB() const { return daten_.b; }
    double KoerperT() const { return daten_.t; }
    int KoerperIterationen() const { return iterationen_; }
    int KoerperZerlegung() const { return daten_.n; }
    const Rauminhalte& Volumen() const { return volumen_; }

    // f, a, b and t from the shared state, the other inputs and the view to
    // their defaults, then "OK berechnen" (on showing and by "&Vorgabe").
    void Laden();
    // a and b put in order, the inputs and angles shown.
    void CheckRotationskoerperInputs();
    // The mesh from the term in the field, the world box around it.
    void BuildKoerper();
    void zeichnen() override;

    void BitBtnOkClick();       // "OK berechnen"
    void BitBtnBeendenClick();  // "&Beenden" and "=>"

protected:
    void LoadControls() override;
    void done(int result) override;

private:
    void Verbinden();
    // Compiles the term in the field into the main tree; an empty field is
    // the function 0. A term that does not compile leaves "0" there and, when
    // it is to be reported, the message and the caret at the error.
    bool TermKompilieren(bool melden);
    void ZahlExit(TermEdit* edit, double& wert);
    void IterationenExit();
    void ZerlegungExit();
    void WinkelExit(bool phi);
    void WinkelZeigen();
    Achsenstil GewaehlterAchsenstil() const;

    std::unique_ptr<Ui::Tform21> ui_;
    std::unique_ptr<TFlaeche> KoerperNetz_;
    Koerperdaten daten_;
    int iterationen_ = kStandardKoerperIterationen;
    Rauminhalte volumen_;
};

}  // namespace kalvo
