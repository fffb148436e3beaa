#pragma once
// "Lineares Gleichungssystem    A x = b": 2 to 7 equations in 2 to 7
// unknowns as an augmented matrix; the reduced row echelon form, shown as
// fractions or decimals, and the verdict on the solution set. A unique
// solution of up to four unknowns can go into the constants a, b, c, d; the
// inputs of the program run can be brought back.
//
// The main window opens it modally:
//     (new TForm23(this))->exec();   // deletes itself on close
// Closing it redraws the main graph.

#include <memory>

#include "dialog_base.h"
#include "lgs.h"

class QTableWidgetItem;

namespace Ui {
class TForm23;
}

namespace kalvo {

class TMgrid;

class TForm23 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm23(QWidget* parent = nullptr);
    ~TForm23() override;

    TMgrid* Eingabe() const;
    TMgrid* Ergebnis() const;
    QString Urteil() const;  // the verdict line's whole text
    bool KopierenMoeglich() const;

    void SetGroesse(int zeilen, int spalten);  // as the two spin boxes do
    void SetBruchdarstellung(bool on);         // as the check box does
    void SetNachkommastellen(int n);

    void SpeedButton1Click();  // "Eingabematrix löschen"
    void SpeedButton2Click();  // "Berechnen"
    void SpeedButton3Click();  // solution into a, b, c, d
    void SpeedButton5Click();  // "Eingabematrix wiederherstellen"

    void done(int result) override;

    int LgsZeilen = 3;
    int LgsSpalten = 4;
    bool LgsBruchdarstellung = true;
    int LgsNachkommastellen = 4;
    LgsMatrix LgsEingabematrix{}, LgsArbeitsmatrix{}, LgsLoesungsmatrix{};
    bool LgsKeineLoesung = false;

private:
    void InitGrid();
    QString CellText(double v) const;
    void StringGrid1CellChanged(QTableWidgetItem* item);
    void CaretToStart();
    void ZeigeUrteil(const QString& text);

    std::unique_ptr<Ui::TForm23> ui_;
    bool normalizing_ = false;
    QString urteil_;
};

}  // namespace kalvo
