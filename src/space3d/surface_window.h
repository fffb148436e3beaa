#pragma once
// The 3D window: a function surface z(x, y) over a rectangle or a
// parametric surface (x, y, z)(a, b) over a parameter rectangle, turned,
// zoomed, coloured, lit, animated, printed and exported, with lists of
// terms kept in files (".LFF" for function surfaces, ".LPF" for parametric
// ones). It owns its grid; the terms live in the surface term trees.

#include <memory>
#include <string>

#include "term_list.h"
#include "window3d.h"

class QListWidget;
class QListWidgetItem;

namespace Ui {
class TForm30;
}

namespace kalvo {

class TermEdit;
class TFlaeche;

class TForm30 : public T3DFenster {
    Q_OBJECT
public:
    explicit TForm30(QWidget* parent = nullptr);
    ~TForm30() override;

    Ui::TForm30* Controls() const { return ui_.get(); }
    TGrafik3DCanvas* Grafik() const;
    const TFlaeche* FlaechenGitter() const { return FlaechenGitter_.get(); }

    struct Bereiche {
        double x1 = -3, x2 = 3, y1 = -3, y2 = 3;  // function surface
        double a1 = 0, a2 = 1, b1 = 0, b2 = 1;    // parametric surface
    };
    const Bereiche& Flaechenbereiche() const { return bereiche_; }
    int Zerlegung3D() const { return zerlegung_; }

    // The grid from the terms and ranges of the current mode, and the world
    // box around it.
    void Berechnen();
    void zeichnen() override;
    // Mode, terms, angles, ranges and n into the controls, the ranges put in order.
    void Eingaben_aktualisieren();

    void BitBtnOkClick();       // "&Ok zeichnen"
    void BitBtnVorgabeClick();  // "&Vorgabe"
    void BitBtnEndeClick();     // "=>"

    // The term lists.
    void SpeedButtonListeClick();       // "Funktionsliste öffnen" (stays down)
    void SpeedButtonAufnehmenClick();   // the term in the fields into the list
    void SpeedButtonEntfernenClick();   // the marked entry out of the list
    void SpeedButtonSpeichernClick();   // the save dialog, then ListeSpeichern
    void SpeedButtonHolenClick();       // the open dialog, then ListeHolen
    void ListeDoppelklick(QListWidgetItem* item);
    // Writes the list of the current mode under the chosen name, cut before
    // its first "." and given the mode's extension.
    bool ListeSpeichern(const QString& gewaehlt);
    // Replaces the list of the current mode by the file's lines and draws its first entry.
    bool ListeHolen(const QString& pfad);
    Termlistenart AktuelleListenart() const;
    QListWidget* AktuelleListe() const;

signals:
    // "&Hilfe": the term help is wanted.
    void HilfeAngefordert();

protected:
    void LoadControls() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Verbinden();
    bool Parametermodus() const;
    void ModusGewechselt();
    void BereichExit(TermEdit* edit, double& wert);
    void ZerlegungExit();
    void WinkelExit(bool phi);
    void WinkelZeigen();
    void Bereichsknopf(int bereich, int art);
    void ListeSchliessen();
    // Height by the number of entries, place below the list buttons.
    void ListePlatzieren(QListWidget* liste);
    void EintragInFelder(const QString& eintrag);
    bool TermeLesen();
    Achsenstil GewaehlterAchsenstil() const;
    double& Bereichswert(int bereich, bool maximum);

    std::unique_ptr<Ui::TForm30> ui_;
    std::unique_ptr<TFlaeche> FlaechenGitter_;
    Bereiche bereiche_;
    int zerlegung_ = 30;
    std::string labelX_ = "x", labelY_ = "y", labelZ_ = "z";
};

}  // namespace kalvo
