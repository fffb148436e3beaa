#pragma once
// The options dialog: decimal places, the background colours of screen and
// printer, the frame around the drawing, the resolution of graphics files
// and the delay of the 3D animation; its "Vorgabe" resets the whole input
// state of the program.

#include <memory>

#include "graph_input_dialog.h"

class QButtonGroup;

namespace Ui {
class Tform8;
}

namespace kalvo {

class Tform8 : public GraphInputDialog {
    Q_OBJECT
public:
    explicit Tform8(QWidget* parent = nullptr);
    ~Tform8() override;

    Ui::Tform8* Controls() const { return ui_.get(); }

    // "Aktuelle Einstellungen und Eingaben speichern", "Zurück", "Info ..."
    // and the coordinate-system button.
    void SpeichernClick();
    void ZurueckClick();
    void InfoClick();
    void KoordinatensystemClick();

protected:
    void LoadControls() override;
    // The input state of the whole program reset, the graph redrawn.
    void Vorgabe() override;

private:
    void NachkommastellenExit();
    void DelayExit();

    std::unique_ptr<Ui::Tform8> ui_;
    QButtonGroup* aufloesung_ = nullptr;
    bool initialising_ = false;
};

// Resets the input state of the program as the options dialog's "Vorgabe"
// does: terms, ranges, constants, graph slots 1 to 32, coordinate system,
// fonts, colours and output settings. Drawing objects, stored function
// sets, the lines x = u2, u3 and the slots 33 and 34 stay.
void OptionenVorgabe();

}  // namespace kalvo
