#pragma once
// The function-family dialog: the terms f(x, t) and g(x, t), the ranges of
// x, t and n, the parameter list, the constants, the graph slots 1 to 22
// with their colours and widths, and the function-set store.

#include <memory>
#include <string>

#include "graph_input_dialog.h"

class QCheckBox;

namespace Ui {
class TForm2;
}

namespace kalvo {

class SlotBoxes;

inline constexpr int kFamilySlots = 22;

// The family's inputs as the "Vorgabe" of this dialog and of the options
// reset them: f, g and the function list empty, view window and drawing
// range -8..8, t and n from 0 to 0 by 1, the start of the integral function
// and the first line x = u at 0, the axis titles x and y, the constants 1.
void FamilienVorgabe();

class TForm2 : public GraphInputDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    Ui::TForm2* Controls() const { return ui_.get(); }
    SlotBoxes& Slots() const { return *slots_; }
    QCheckBox* SlotBox(int slot) const;

    // The pen a newly ticked graph slot gets; it stays for the next opening.
    static Color DialogFarbe;

    // The buttons besides "OK" and "Vorgabe": the slots off, and the
    // function-set store.
    void LoeschenClick();
    void AblegenClick();
    void LetztenLoeschenClick();
    void AlleLoeschenClick();
    void TermbaumClick();

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
    // The focused field checked, the t range not too dense, f and g compiled.
    bool ReadyToCommit() override;
    // Terms, ranges, parameter list and constants into the shared state,
    // with the t range put in order.
    void Werteuebergeben() override;
    void Vorgabe() override;

private:
    void ConnectInteger(TermEdit* edit, int& working, int fallback);
    void FestlegenClick();

    // Terms, numbers, list and n range from the shared state into the fields
    // and the working copies; then the focus to f.
    void LoadFields();
    void LoadNumberFields();
    // What depends on the state besides the fields: the range fields, the
    // slot boxes, the colour, the store buttons.
    void RefreshControls();
    void UpdateStoreButtons();

    std::unique_ptr<Ui::TForm2> ui_;
    SlotBoxes* slots_ = nullptr;
    Working w_;
    TermFields terms_;
    NumberFields numbers_, constants_;
    ListField list_{};
};

}  // namespace kalvo
