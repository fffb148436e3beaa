#pragma once
// The value table of f(x, t) and its first three derivatives from "von" to
// "bis", at most 101 rows, with its printout and the table on the clipboard.

#include <memory>

#include "dialog_base.h"
#include "numeric_tables.h"

namespace Ui {
class TForm12;
}

namespace kalvo {

class PrintJob;

class TForm12 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm12(QWidget* parent = nullptr);
    ~TForm12() override;

    Ui::TForm12* Controls() const { return ui_.get(); }
    const WertetabelleEingabe& Eingabe() const { return eingabe_; }

    void Edit1Exit();
    void BitBtn1Click();  // "&neu berechnen"
    void BitBtn3Click();  // "&Vorgabe"
    void BitBtn4Click();  // "&drucken"
    void BitBtn5Click();  // "Clipboard"
    void Berechnen();
    void Drucken(PrintJob& printer);
    // The table as the clipboard gets it.
    QString ClipboardText() const;

protected:
    void LoadControls() override;
    void done(int result) override;

private:
    void FelderSchreiben();

    std::unique_ptr<Ui::TForm12> ui_;
    WertetabelleEingabe eingabe_;
};

}  // namespace kalvo
