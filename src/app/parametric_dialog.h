#pragma once
// The parametric curve x(t), y(t): the two component terms, the t range, the
// constants and the graph slots of the curve, its slope curve and the
// component graphs with their derivatives.

#include <memory>

#include "graph_input_dialog.h"

namespace Ui {
class TForm7;
}

namespace kalvo {

inline constexpr int kParametricFirstSlot = 23;
inline constexpr int kParametricSlots = 8;

// Steps below this magnitude would need more samples than a curve is ever
// given; the step field replaces them by kParamkurveStepFallback.
inline constexpr double kParamkurveSmallestStep = 0.0001;
inline constexpr double kParamkurveStepFallback = 0.001;

class TForm7 : public GraphInputDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
    ~TForm7() override;

    Ui::TForm7* Controls() const { return ui_.get(); }

    // The pen a newly ticked slot gets; it stays for the next opening.
    static Color DialogFarbe;

    struct Working {
        double tVon = 0, tBis = 0, tSchritt = 0;
        double a = 0, b = 0, c = 0, d = 0;
    };
    const Working& WorkingCopies() const { return w_; }

protected:
    // The two components compiled, with the parser's rules for them.
    bool ReadyToCommit() override;
    void Vorgabe() override;

private:
    void SchrittweiteExit();

    std::unique_ptr<Ui::TForm7> ui_;
    Working w_;
};

// Reads a component term of the parametric curve: the parser takes t and w
// and refuses x and n while it runs.
bool ReadParamkurveTermEdit(QLineEdit* edit);

}  // namespace kalvo
