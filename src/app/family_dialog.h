#pragma once
// The function-family dialog: the terms f(x, t) and g(x, t), the ranges of
// x, t and n, the parameter list, the constants, the graph slots 1 to 22
// with their colours and widths, and the function-set store.

#include <QPointer>
#include <memory>
#include <string>

#include "dialog_base.h"
#include "program_state.h"

class QCheckBox;

namespace Ui {
class TForm2;
}

namespace kalvo {

class TermEdit;

inline constexpr int kFamilySlots = 22;

// A t range from von to bis by step with more members than a family may
// draw is refused: a message, and the focus in the step field. True when
// it was refused.
bool RefuseTooManyMembers(double von, double bis, double step, TermEdit* stepField);

class TForm2 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    Ui::TForm2* Controls() const { return ui_.get(); }
    QCheckBox* SlotBox(int slot) const;

    // The pen a newly ticked graph slot gets; it stays for the next opening.
    static Color DialogFarbe;

    // The buttons.
    void OkClick();
    void VorgabeClick();
    void LoeschenClick();
    void StoreClick();
    void DeleteNewestClick();
    void DeleteAllClick();
    void TermbaumClick();

    // The slot check boxes and their lines from the slot table.
    void InitMarkierungen();
    // A slot ticked: it takes the dialog's pen and is drawn.
    void Markieren(int slot);
    // A slot unticked: it is no longer drawn; its pen stays.
    void Loeschen(int slot);

    // The working copies of the number fields.
    struct Working {
        double von = 0, bis = 0;
        double tVon = 0, tBis = 0, tSchritt = 0;
        double xo = 0, u1 = 0, u2 = 0, u3 = 0;
        double a = 0, b = 0, c = 0, d = 0;
        int nVon = 0, nBis = 0, nSchritt = 1;
        std::string liste;
    };
    const Working& WorkingCopies() const { return w_; }

protected:
    void LoadControls() override;
    void done(int result) override;

private:
    void ConnectFields();
    void ConnectNumber(TermEdit* edit, double& working, const double& shared);
    void ConnectInteger(TermEdit* edit, int& working, int fallback);
    void ParameterListeVerlassen();
    void FestlegenClick();
    void ColorChanged();

    void LoadSpectrumControls();
    // Terms, numbers, list and n range from the shared state into the fields
    // and the working copies; then the focus to f.
    void LoadFields();
    void LoadNumberFields();
    // What depends on the state besides the fields: the range fields, the
    // slot boxes, the colour, the store buttons.
    void RefreshControls();
    void UpdateStoreButtons();
    // The focused field checked, f and g compiled: the dialog may commit.
    bool ReadyToCommit();
    // Terms, ranges, parameter list and constants into the shared state,
    // with the t range put in order.
    void TransferFields();

    std::unique_ptr<Ui::TForm2> ui_;
    Working w_;
    bool initialising_ = false;
};

}  // namespace kalvo
