#pragma once
// The coordinate-system dialog: the view window, the scaling of both axes,
// grid, layout and labels, the axis titles, the colours and widths of grid
// and axes, and the label font. Every choice is written into the shared
// state at once; "OK" applies it to the graph.

#include <memory>

#include "color.h"
#include "dialog_base.h"

class QAbstractButton;
class QButtonGroup;
class QFont;
class QFontDialog;

namespace Ui {
class TForm5;
}

namespace kalvo {

class TermEdit;

inline constexpr int kSmallestLabelFont = 8;
inline constexpr int kLargestLabelFont = 14;

// The view window -8..8, the coordinate system, the label font, the
// background colours and the resolution of graphics files as "Vorgabe"
// sets them; the coordinate-system and the options dialog differ in the
// label size and the grid colour.
void KoordinatensystemVorgabe(int schriftgroesse, Color gitterfarbe);

class TForm5 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    ~TForm5() override;

    Ui::TForm5* Controls() const { return ui_.get(); }

    // The buttons of the scaling (0 linear, 1 log., 2 k*pi), grid (0 to 3),
    // layout (0, 1) and label (0 to 2) choices.
    QAbstractButton* SkalierungButton(bool yAxis, int value) const;
    QAbstractButton* GitterButton(int value) const;
    QAbstractButton* ArtButton(int value) const;
    QAbstractButton* BeschriftungButton(int value) const;

    void OkClick();
    void SpeichernClick();
    void VorgabeClick();
    // Opens the font dialog; SchriftGewaehlt takes its answer.
    void SchriftClick();
    void SchriftGewaehlt(const QFont& font);
    // The font dialog while it is open.
    QFontDialog* FontDialog() const;

    void SkalierungClick(bool yAxis, int value);
    void GitterClick(int value);
    void ArtClick(int value);
    void BeschriftungClick(int value);

protected:
    // Shows the shared state: on opening, after "Vorgabe" and after saving.
    void LoadControls() override;

private:
    void ConnectWindowField(TermEdit* edit, double& value);
    void ConnectTitleField(TermEdit* edit, bool yAxis);
    // Grid, layout and labels kept consistent with the axes, then shown.
    void ApplyLayoutRule();
    void ShowButtons();
    void ShowFont();

    std::unique_ptr<Ui::TForm5> ui_;
    QButtonGroup* xGroup_ = nullptr;
    QButtonGroup* yGroup_ = nullptr;
    QButtonGroup* gitterGroup_ = nullptr;
    QButtonGroup* artGroup_ = nullptr;
    QButtonGroup* beschriftungGroup_ = nullptr;
    bool initialising_ = false;
};

}  // namespace kalvo
