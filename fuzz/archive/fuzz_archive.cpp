// Any bytes as a function archive: reading never allocates from the count
// it reads, keeps every value in its range, and what it read is written and
// read again unchanged. Taken into the program, the window it brings is
// repaired into one the graph can be drawn in.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "archive_file.h"
#include "graph_state.h"
#include "number_text.h"
#include "program_state.h"
#include "view.h"

namespace {

using namespace kalvo;

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckEntry(const ArchivEintrag& e) {
    for (const Schaubild& s : e.Schaubilder) Check(s.Linienart <= 3);
    for (const ParameterWerteFeld* w : {&e.Wert, &e.Wert2}) {
        const double n = (*w)[kMaxParameterValues];
        Check(n >= 0 && n <= kMaxParameterValues && n == std::round(n));
    }
    for (const Funktionsterm* t : {&e.f, &e.g, &e.Liste, &e.Liste2, &e.xt, &e.yt, &e.h[1], &e.h[4]})
        Check(CharCount(t->str()) <= kTermChars);
    Check(e.Nachkommastellen >= 0 && e.Nachkommastellen <= 3);
}

std::string Text(const ArchiveContents& a) {
    IniFile ini;
    WriteArchive(ini, a);
    return ini.Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniFile ini;
    ini.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const ArchiveContents a = ReadArchive(ini, ArchiveContents{});
    // Every store entry needs at least one section of its own in the file.
    Check(a.Speicher.size() <= ini.SectionNames().size());
    const KoordinatensystemEinstellung& k = a.Koordinatensystem;
    Check(k.xSkalierung <= 2 && k.ySkalierung <= 2 && k.Beschriftung <= 2 && k.Art <= 1 && k.Gitter <= 3);
    Check(a.Schriftgroesse >= 8 && a.Schriftgroesse <= 14 && !a.Schriftname.empty());
    CheckEntry(a.Aktuell);
    for (const ArchivEintrag& e : a.Speicher) CheckEntry(e);

    const std::string once = Text(a);
    IniFile again;
    again.Parse(once);
    Check(Text(ReadArchive(again, ArchiveContents{})) == once);

    ResetProgramState();
    ResetGraphState();
    ApplyArchive(a);
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = 400;
    SetupAxes(gDisplay.Koordinatensystem);
    const ViewWindowState& v = gView;
    Check(std::isfinite(v.BereichX1) && std::isfinite(v.BereichX2) && v.BereichX1 < v.BereichX2);
    Check(std::isfinite(v.BereichY1) && std::isfinite(v.BereichY2) && v.BereichY1 < v.BereichY2);
    Check(gFunktionenspeicher.Count() == static_cast<int>(a.Speicher.size()));
    return 0;
}
