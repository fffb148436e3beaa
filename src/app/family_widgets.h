#pragma once
// The two pictures of the function-family dialog: the line samples beside
// the graph-slot check boxes and the preview of the colour spectrum.

#include <QWidget>
#include <vector>

#include "program_state.h"

class QCheckBox;

namespace kalvo {

// Beside each check box of a drawn graph slot, a short line in the slot's
// colour and width, level with the middle of its box.
class TSlotLines : public QWidget {
    Q_OBJECT
public:
    explicit TSlotLines(QWidget* parent = nullptr);

    // The check boxes of slots 1, 2, ... in order.
    void SetCheckBoxes(std::vector<QCheckBox*> boxes);
    // The row of slot i's line in this widget's pixels.
    int LineY(int slot) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QCheckBox*> boxes_;
};

inline constexpr int kSpectrumCount = 13;
inline constexpr int kSpectrumBands = 64;

// The colour of band i (0 at the top, 63 at the bottom) of spectrum k (1 to 13).
Color SpectrumBandColor(int k, int band);

// The 64 bands of one spectrum, one pixel high each, top to bottom.
class TSpectrumBox : public QWidget {
    Q_OBJECT
public:
    explicit TSpectrumBox(QWidget* parent = nullptr);

    int Spectrum() const { return spectrum_; }
    void SetSpectrum(int k);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int spectrum_ = 1;
};

}  // namespace kalvo
