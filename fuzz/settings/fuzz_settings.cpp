// Any bytes as kalvo.INI: reading must never crash, and what it leaves in the
// state must be inside the ranges the program draws with.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ini_file.h"
#include "program_state.h"
#include "settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kalvo;
    ResetProgramState();
    IniFile ini;
    ini.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    ReadSettings(ini);

    const auto& k = gDisplay.Koordinatensystem;
    if (k.xSkalierung > 2 || k.ySkalierung > 2 || k.Beschriftung > 2 || k.Art > 1 || k.Gitter > 3) std::abort();
    if (gDisplay.Nachkommastellen < 0 || gDisplay.Nachkommastellen > 3) std::abort();
    if (gDisplay.Aufloesung < 2 || gDisplay.Aufloesung > 4) std::abort();
    if (gDisplay.Schriftgroesse < 8 || gDisplay.Schriftgroesse > 14) std::abort();
    if (ParameterCount(gTerms.ParameterWerte) > kMaxParameterValues) std::abort();
    for (int i = 1; i <= kGraphSlots; ++i)
        if (gDisplay.Schaubilder[i].Linienart > 3) std::abort();
    if (gTerms.TermF.str().size() > 4 * kTermChars) std::abort();

    // Writing back what was read and reading it again gives the same state.
    IniFile out;
    WriteSettings(out);
    const DisplayState display = gDisplay;
    const TermState terms = gTerms;
    IniFile again;
    again.Parse(out.Text());
    ReadSettings(again);
    if (!(gDisplay == display) || !(gTerms == terms)) std::abort();
    return 0;
}
