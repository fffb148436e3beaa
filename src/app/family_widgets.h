#pragma once
// The two pictures of the function-family dialog: the line samples beside
// the graph-slot check boxes and the preview of the colour spectrum.

#include <QWidget>

#include "program_state.h"
#include "slot_marks.h"

namespace kalvo {

// Beside each check box of a drawn graph slot, a single line in the slot's
// colour, solid and Linienart + 1 pixels wide.
class TSlotLines : public TSlotMarks {
    Q_OBJECT
public:
    using TSlotMarks::TSlotMarks;

protected:
    void DrawMark(QPainter& p, const Schaubild& s, int y) override;
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
