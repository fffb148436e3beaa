#pragma once
// Newton's method on f(x, t) from a start value: every step in a table, why
// the iteration stopped, the table printed and on the clipboard, and whether
// the main graph draws the tangents.

#include <memory>

#include "dialog_base.h"
#include "numeric_tables.h"

namespace Ui {
class TForm17;
}

namespace kalvo {

class PrintJob;

class TForm17 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm17(QWidget* parent = nullptr);
    ~TForm17() override;

    Ui::TForm17* Controls() const { return ui_.get(); }
    double NewtonT() const { return newtonT_; }
    int NewtonNachkommastellen() const { return nachkommastellen_; }

    void FormShow();       // also "&Vorgabe"
    void Edit4Exit();
    void BitBtn1Click();   // "&neu berechnen"
    void BitBtn5Click();   // "&drucken"
    void BitBtn6Click();   // "Clipboard"
    void Berechnen();
    void Drucken(PrintJob& printer);
    QString ClipboardText() const;

protected:
    void LoadControls() override { FormShow(); }
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    std::unique_ptr<Ui::TForm17> ui_;
    double newtonT_ = 0;
    int nachkommastellen_ = 6;
};

}  // namespace kalvo
