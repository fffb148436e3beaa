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
    QCheckBox* SlotBox(int slot) const;

    // The pen a newly ticked graph slot gets; it stays for the next opening.
    static Color DialogFarbe;

    // The function-set store.
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
    // Besides the skeleton's: the n range, the fixed drawing range, the store buttons.
    void LoadControls() override;
    // The t range not too dense, f and g compiled.
    bool ReadyToCommit() override;
    // Besides the skeleton's: the n range, and the t range put in order.
    void Werteuebergeben() override;
    void Vorgabe() override;

private:
    void ConnectInteger(TermEdit* edit, int& working, int fallback);
    void FestlegenClick();
    // The n range into its fields and working copies.
    void LoadSummenFelder();
    void UpdateStoreButtons();

    std::unique_ptr<Ui::TForm2> ui_;
    Working w_;
};

}  // namespace kalvo
