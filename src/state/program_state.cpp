#include "program_state.h"

#include <algorithm>
#include <cmath>

#include "analysis_state.h"
#include "object_lists.h"

namespace kalvo {

ViewWindowState gView;
ParameterState gParams;
TermState gTerms;
DisplayState gDisplay;
OutputContext gOutput;
ProgramControl gControl;

OverlayState gOverlay;
DiscussionResults gDiscussion;
IterationState gIteration;
RegressionState gRegression;
Space3DState g3D;

SchaubildTabelle DefaultSchaubilder() {
    SchaubildTabelle t;
    t[1].zeichnen = true;
    return t;
}

int ParameterCount(const ParameterWerteFeld& werte) {
    const double n = werte[kMaxParameterValues];
    if (!(n >= 0)) return 0;
    return static_cast<int>(std::min(std::round(n), static_cast<double>(kMaxParameterValues)));
}

void ResetProgramState() {
    // The program folder is where the program was started from, not a setting.
    std::string programDir = std::move(gControl.ProgramDir);
    gView = {};
    gParams = {};
    gTerms = {};
    gDisplay = {};
    gOutput = {};
    gControl = {};
    gControl.ProgramDir = std::move(programDir);
    gOverlay = {};
    gDiscussion = {};
    gIteration = {};
    gRegression = {};
    g3D = {};
    ResetNumlibState();
    gGrafikobjektliste.Init();
    gFunktionenspeicher.Init();
}

void ApplyStartupOverrides() {
    gOutput.DecadesX = 2;
    gOutput.DecadesY = 2;
    gOutput.SamplesPerPixel = 1.0;
    gOutput.AusgabefaktorX = 1.0;
    gOutput.AusgabefaktorY = 1.0;
    gOutput.PrintOffsetX = 0;
    gControl.IgnoreNextMouseUp = true;
    gControl.KeepFamilyDialogInputs = false;
    gView.FgZeichenbereichAuto = true;
}

}  // namespace kalvo
