#pragma once
// The area between the graphs of f(x, t) and g(x, t) over [a, b], oriented
// and absolute, each to the digits it shows; the bounds can come from the
// intersections; and whether and how the main graph fills the area.

#include <memory>

#include "dialog_base.h"
#include "program_state.h"

namespace Ui {
class TForm13;
}

namespace kalvo {

class TForm13 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm13(QWidget* parent = nullptr);
    ~TForm13() override;

    Ui::TForm13* Controls() const { return ui_.get(); }
    double FlaecheGrenzeA() const { return a_; }
    double FlaecheGrenzeB() const { return b_; }
    int FlaecheIterationen() const { return iterationen_; }

    void Edit6Exit();
    void BitBtn2Click();       // "&Neu berechnen"
    void SpeedButton1Click();  // "Schnittstellen ==> Grenzen  a, b"
    void BitBtn5Click();       // "&Vorgabe"
    void BitBtn1Click();       // "OK"
    void CheckBox1Click();
    void ColorButton1Change();
    void FillStyleComboBox1Change();

protected:
    void LoadControls() override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    bool DifferenzKompilieren();
    void Berechnen();

    std::unique_ptr<Ui::TForm13> ui_;
    double a_ = 0, b_ = 1, t_ = 0;
    int iterationen_ = 200;
    Color farbe_ = 0xFF;
};

}  // namespace kalvo
