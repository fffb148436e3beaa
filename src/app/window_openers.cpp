// The main window's buttons for the analysis, curve-fitting, linear-system
// and 3D windows. Every window is made when its button is first pressed:
// nothing but the main window stands between the start and the first graph.
// The curve-discussion window then stays, only hidden when closed, so its
// lists and choices are there again at the next opening; every other window
// deletes itself when it closes.

#include <QToolButton>

#include "app_resources.h"
#include "area_dialog.h"
#include "curve_fit_window.h"
#include "discussion_window.h"
#include "iteration_dialog.h"
#include "lgs_window.h"
#include "main_window.h"
#include "newton_dialog.h"
#include "program_state.h"
#include "solid_window.h"
#include "sums_dialog.h"
#include "surface_window.h"
#include "term_help.h"
#include "ui_main_window.h"
#include "value_table.h"

namespace kalvo {

void TForm1::ConnectWindowButtons() {
    const std::pair<QToolButton*, void (TForm1::*)()> buttons[] = {
        {ui_->ButtonIteration, &TForm1::OpenIteration},
        {ui_->ButtonLogistisch, &TForm1::OpenLogistic},
        {ui_->ButtonKurvenanpassung, &TForm1::OpenCurveFit},
        {ui_->ButtonWertetabelle, &TForm1::OpenValueTable},
        {ui_->ButtonDiskussion, &TForm1::OpenDiscussion},
        {ui_->ButtonNewton, &TForm1::OpenNewton},
        {ui_->ButtonRotationskoerper, &TForm1::OpenSolids},
        {ui_->ButtonFlaechen, &TForm1::OpenAreas},
        {ui_->ButtonSummen, &TForm1::OpenSums},
        {ui_->Button3D, &TForm1::OpenSurfaces},
        {ui_->ButtonLGS, &TForm1::OpenLinearSystem},
    };
    for (const auto& [button, open] : buttons) {
        button->setEnabled(true);
        button->setProperty("hasWindow", true);
        connect(button, &QToolButton::clicked, this, open);
    }
}

void TForm1::OpenIteration() { OpenOverlayWindow(Overlay::Iteration, new TForm16(this)); }
void TForm1::OpenLogistic() { OpenOverlayWindow(Overlay::Logistisch, new TForm16(this)); }
void TForm1::OpenCurveFit() { OpenOverlayWindow(Overlay::Kurvenanpassung, new TForm22(this)); }
void TForm1::OpenNewton() { OpenOverlayWindow(Overlay::Newton, new TForm17(this)); }
void TForm1::OpenSums() { OpenOverlayWindow(Overlay::Summen, new TForm15(this)); }

void TForm1::OpenAreas() {
    gControl.ErstesZeichnen = true;
    OpenOverlayWindow(Overlay::Flaechen, new TForm13(this));
}

void TForm1::OpenDiscussion() {
    if (!discussion_) {
        discussion_ = new TForm11(this);
        connect(discussion_, &QDialog::finished, this, [this] { SyncOverlayButton(Overlay::Diskussion); });
    }
    SyncOverlayButton(Overlay::Diskussion);
    discussion_->open();
}

void TForm1::OpenValueTable() { (new TForm12(this))->open(); }

void TForm1::OpenLinearSystem() {
    gControl.ErstesZeichnen = true;
    (new TForm23(this))->open();
}

void TForm1::OpenSolids() {
    auto* w = new Tform21(this);
    ApplyGlyphs(w);
    w->setWindowState(Qt::WindowMaximized);
    w->open();
}

void TForm1::OpenSurfaces() {
    // The 3D window stays beside the main window, not in front of it.
    auto* w = new TForm30(this);
    ApplyGlyphs(w);
    connect(w, &TForm30::HilfeAngefordert, w, [w] { (new TForm18(w))->open(); });
    w->showMaximized();
}

}  // namespace kalvo
