#pragma once
// The Riemann sums the main graph draws: which sums, their colours, the fill
// pattern, the bounds, the number of rectangles and whether they are drawn.

#include <memory>

#include "dialog_base.h"

class QRadioButton;

namespace Ui {
class TForm15;
}

namespace kalvo {

class TForm15 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm15(QWidget* parent = nullptr);
    ~TForm15() override;

    Ui::TForm15* Controls() const { return ui_.get(); }
    double SummenGrenzeA() const { return a_; }
    double SummenGrenzeB() const { return b_; }

    void Edit4Exit();
    void CheckBox1Click();
    void BitBtn3Click();  // "&Vorgabe"
    void BitBtn1Click();  // "&OK"

protected:
    void LoadControls() override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    QRadioButton* Radio(int art) const;

    std::unique_ptr<Ui::TForm15> ui_;
    double a_ = 0, b_ = 1;
};

}  // namespace kalvo
