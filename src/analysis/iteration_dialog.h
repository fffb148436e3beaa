#pragma once
// The graphical analysis of a sequence x(n+1) = f(x(n)), of a term f typed
// here or of the logistic equation a x (1 - x): the iteration path, the
// graph of the sequence or the attractor diagram on the main graph. The
// dialog sets up the view for the chosen picture and gives the previous view
// back when the iteration is ended.

#include <memory>

#include "dialog_base.h"

class QButtonGroup;

namespace Ui {
class TForm16;
}

namespace kalvo {

class TermEdit;

class TForm16 : public KalvoDialog {
    Q_OBJECT
public:
    // The mode (gIteration.IterLogistisch) is set by the caller before.
    explicit TForm16(QWidget* parent = nullptr);
    ~TForm16() override;

    Ui::TForm16* Controls() const { return ui_.get(); }

    void FormShow();
    void Edit1Exit();
    void Edit4Exit();
    void Edit5Exit();
    void Edit6Exit();
    void Edit7Exit();
    void RadioButtonClick();
    void BitBtn1Click();  // "&OK zeichnen"
    void BitBtn2Click();  // "&Beenden"

protected:
    void LoadControls() override { FormShow(); }
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    void ZahlenSchreiben();
    void AttraktorFelder();
    void RadiosLeeren();

    std::unique_ptr<Ui::TForm16> ui_;
    QButtonGroup* anzeige_ = nullptr;
    // An iteration picture was already shown when the dialog opened: its
    // y windows stay as they are.
    bool anzeigeBeimOeffnen_ = false;
};

}  // namespace kalvo
