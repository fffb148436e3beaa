#pragma once
// The piecewise function h(x, t): four terms, each drawn on its own x
// interval, the parameter t as a range or a list, the constants and the
// graph slots of h and its derivatives with their colours and widths.

#include <array>
#include <memory>
#include <string>

#include "graph_input_dialog.h"

namespace Ui {
class TForm6;
}

namespace kalvo {

inline constexpr int kPiecewiseFirstSlot = 31;
inline constexpr int kPiecewiseSlots = 4;

class TForm6 : public GraphInputDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
    ~TForm6() override;

    Ui::TForm6* Controls() const { return ui_.get(); }

    // The pen a newly ticked slot gets; it stays for the next opening.
    static Color DialogFarbe;

    // The working copies of the number fields.
    struct Working {
        std::array<double, 4> von{}, bis{};
        double tVon = 0, tBis = 0, tSchritt = 0;
        double a = 0, b = 0, c = 0, d = 0;
        std::string liste;
    };
    const Working& WorkingCopies() const { return w_; }

protected:
    // The t range not too dense, the four pieces compiled.
    bool ReadyToCommit() override;
    void Vorgabe() override;

private:
    std::unique_ptr<Ui::TForm6> ui_;
    Working w_;
};

}  // namespace kalvo
