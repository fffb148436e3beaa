// The main window's buttons for the function-family, coordinate-system,
// options, full-screen, piecewise-function and parametric-curve windows, and
// the info window of the close sequence.

#include <QToolButton>

#include "coordinate_dialog.h"
#include "family_dialog.h"
#include "fullscreen_window.h"
#include "info_window.h"
#include "main_window.h"
#include "options_dialog.h"
#include "parametric_dialog.h"
#include "piecewise_dialog.h"
#include "program_state.h"
#include "ui_main_window.h"

namespace kalvo {

void TForm1::ConnectDialogButtons() {
    const std::pair<QToolButton*, void (TForm1::*)()> buttons[] = {
        {ui_->ButtonKoordinatensystem, &TForm1::OpenCoordinateSystem},
        {ui_->ButtonOptionen, &TForm1::OpenOptions},
        {ui_->ButtonVollbild, &TForm1::OpenFullScreen},
        {ui_->ButtonStueckweise, &TForm1::OpenPiecewise},
        {ui_->ButtonParameterkurven, &TForm1::OpenParametric},
    };
    for (const auto& [button, open] : buttons) {
        button->setEnabled(true);
        connect(button, &QToolButton::clicked, this, open);
    }
}

void TForm1::OpenFunctionFamily() {
    gControl.ErstesZeichnen = true;
    (new TForm2(this))->open();
}

void TForm1::OpenCoordinateSystem() {
    gControl.ErstesZeichnen = true;
    (new TForm5(this))->open();
}

void TForm1::OpenOptions() {
    gControl.ErstesZeichnen = true;
    (new Tform8(this))->open();
}

void TForm1::OpenFullScreen() { (new TForm14(this))->open(); }

void TForm1::OpenPiecewise() {
    gControl.ErstesZeichnen = true;
    (new TForm6(this))->open();
}

void TForm1::OpenParametric() {
    gControl.ErstesZeichnen = true;
    (new TForm7(this))->open();
}

QDialog* TForm1::OpenQuitInfo() {
    auto* info = new TForm10(this);
    info->open();
    return info;
}

}  // namespace kalvo
