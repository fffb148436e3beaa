#pragma once
// The curve-fitting window "Kurvenanpassung - Regression": a table of up to
// 500 value pairs, ten regression models, the fitted function handed to f(x)
// and the pairs to the main graph; measured-data files, the report with its
// printout and word-processor document, the sine start values.
//
// The main window opens it modally after setting WertepaareZeichnen:
//     gRegression.WertepaareZeichnen = true;
//     auto* form = new TForm22(this);   // deletes itself on close
//     form->exec();
// Closing it in any way redraws the main graph.

#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "dialog_base.h"
#include "regression_fit.h"
#include "word_document.h"

class QRadioButton;
class QTableWidgetItem;

namespace Ui {
class TForm22;
}

namespace kalvo {

class PrintJob;

class TForm22 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm22(QWidget* parent = nullptr);
    ~TForm22() override;

    // Asks for the printer of the report; false when the user cancels.
    // Tests put a PDF printer in place of the print dialog.
    std::function<bool(PrintJob&)> ChoosePrinter;
    // Opens the written report document; tests record instead.
    WordDocument::Opener WordOpener;

    // The cell text of table row 1..500, column 0 (x) or 1 (y).
    QString Cell(int row, int col) const;
    void SetCell(int row, int col, const QString& text);
    // The report lines as the memo holds them.
    QStringList ProtokollZeilen() const;
    bool ProtokollSichtbar() const;
    // The model of the checked radio button.
    int CheckedModell() const;
    // The fitted function as the last fit gave it (the label under the table
    // shows as much of it as fits, its tool tip all of it).
    QString Funktionstext() const;

    // The table check on the grid: the radio of RegressionModell checked,
    // the start-value button enabled from 5 pairs of the sine model.
    void Tabellepruefen(bool& fehler);
    // Fits and shows the result; with the report flag the memo gets the report.
    bool calculate_fit(bool mitProtokoll);

    // "Wertetabelle holen" and "Wertetabelle speichern" after their dialogs.
    void LoadFile(const QString& path);
    void SaveFile(const QString& chosenPath, int filterIndex);

    // Button handlers, by the names of their controls.
    void BitBtn1Click();   // "OK zeichnen"
    void BitBtn2Click();   // "Neu berechnen", the radios and check boxes: refit
    void BitBtn3Click();   // "Beenden"
    void BitBtn4Click();   // "Protokoll"
    void BitBtn5Click();   // "drucken"
    void SpeedButton1Click();   // "Wertetabelle löschen"
    void SpeedButton2Click();   // "zurück" from the report
    void SpeedButton3Click();   // sine start values
    void SpeedButton16Click();  // "Wertetabelle speichern"
    void SpeedButton17Click();  // "Wertetabelle holen"
    void SpeedButton27Click();  // "MS Word"

    void reject() override;
    void done(int result) override;

protected:
    void LoadControls() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void Neuberechnen();
    void StringGrid1CellChanged(QTableWidgetItem* item);
    void ShowFitResult(const FitErgebnis& result, bool mitProtokoll);
    void ZeigeFunktionstext();
    Messwerttabelle TableFromGrid() const;
    void TableToGrid(const Messwerttabelle& t);
    void ClearTable();
    void CheckRadioOfModell(int modell);
    QRadioButton* RadioOfModell(int modell) const;

    std::unique_ptr<Ui::TForm22> ui_;
    bool normalizing_ = false;
    bool closingByBox_ = false;
    QString funktionstext_;
};

}  // namespace kalvo
