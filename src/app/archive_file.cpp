#include "archive_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "message_sink.h"
#include "text_codec.h"
#include "view.h"

namespace kalvo {

namespace {

constexpr const char* kKoord = "Koordinatensystem";
constexpr const char* kArchiv = "Archiv";

// The sections every entry has, suffixed for the entries of the store.
constexpr const char* kEntrySections[] = {
    "Schaubilder",      "Konstanten",       "xyBereich",         "fg Funktionsterme", "fg Zeichenbereich",
    "fg Parameter t",   "Geraden x=u",      "Integralfunktion",  "fg Summenfunktion", "h Funktionsterme",
    "h Zeichenbereich", "h Parameter t",    "x(t), y(t) Funktionsterme", "x(t), y(t) Parameter t",
};

// Sections that stand once, without a suffix.
constexpr const char* kSingleSections[] = {kKoord, kArchiv, "Funktionsterme", "Grafik", "Eingabe"};

std::string Num(const char* prefix, int i, const char* suffix = "") { return prefix + std::to_string(i) + suffix; }

// The section name of entry i.
std::string Sec(const char* name, int i) { return i == 0 ? std::string(name) : name + std::string(" Nr") + std::to_string(i); }

int ReadClamped(const IniFile& ini, const std::string& section, const std::string& key, int current, int lo, int hi) {
    return std::clamp(ini.ReadInteger(section, key, current), lo, hi);
}

uint8_t ReadByte(const IniFile& ini, const char* key, uint8_t current, int hi) {
    return static_cast<uint8_t>(ReadClamped(ini, kKoord, key, current, 0, hi));
}

void ReadWerte(const IniFile& ini, const std::string& section, const char* prefix, ParameterWerteFeld& werte) {
    for (int i = 1; i <= kMaxParameterValues + 1; ++i) werte[i - 1] = ini.ReadFloat(section, Num(prefix, i), werte[i - 1]);
    // The count must be a whole number of values the table holds.
    double& count = werte[kMaxParameterValues];
    count = std::isfinite(count) ? std::clamp(std::round(count), 0.0, static_cast<double>(kMaxParameterValues)) : 0.0;
}

void WriteWerte(IniFile& ini, const std::string& section, const char* prefix, const ParameterWerteFeld& werte) {
    for (int i = 1; i <= kMaxParameterValues + 1; ++i) ini.WriteFloat(section, Num(prefix, i), werte[i - 1]);
}

void ReadKoordinatensystem(const IniFile& ini, ArchiveContents& a) {
    KoordinatensystemEinstellung& k = a.Koordinatensystem;
    k.xSkalierung = ReadByte(ini, "xSkalierung", k.xSkalierung, 2);
    k.ySkalierung = ReadByte(ini, "ySkalierung", k.ySkalierung, 2);
    k.Beschriftung = ReadByte(ini, "Beschriftung", k.Beschriftung, 2);
    k.Art = ReadByte(ini, "Art", k.Art, 1);
    k.Gitter = ReadByte(ini, "Gitter", k.Gitter, 3);
    k.xAchsentext = ini.ReadString(kKoord, "xAchsentext", k.xAchsentext);
    k.yAchsentext = ini.ReadString(kKoord, "yAchsentext", k.yAchsentext);
    k.Gitterfarbe = ini.ReadInteger(kKoord, "Gitterfarbe", k.Gitterfarbe);
    k.Gitterdicke = ReadClamped(ini, kKoord, "Gitterdicke", k.Gitterdicke, 0, 4);
    k.Achsenfarbe = ini.ReadInteger(kKoord, "Achsenfarbe", k.Achsenfarbe);
    k.Achsendicke = ReadClamped(ini, kKoord, "Achsendicke", k.Achsendicke, 0, 4);
    a.Schriftgroesse = ReadClamped(ini, kKoord, "Schriftgröße", a.Schriftgroesse, 8, 14);
    a.Schriftname = ini.ReadString(kKoord, "Schriftname", a.Schriftname);
    // A font without a name would draw with whatever the system picks.
    if (a.Schriftname.empty()) a.Schriftname = "Courier New";
    a.SchriftFett = ini.ReadBool(kKoord, "Schriftart", a.SchriftFett);
}

void WriteKoordinatensystem(IniFile& ini, const ArchiveContents& a) {
    const KoordinatensystemEinstellung& k = a.Koordinatensystem;
    ini.WriteInteger(kKoord, "xSkalierung", k.xSkalierung);
    ini.WriteInteger(kKoord, "ySkalierung", k.ySkalierung);
    ini.WriteInteger(kKoord, "Beschriftung", k.Beschriftung);
    ini.WriteInteger(kKoord, "Art", k.Art);
    ini.WriteInteger(kKoord, "Gitter", k.Gitter);
    ini.WriteString(kKoord, "xAchsentext", k.xAchsentext);
    ini.WriteString(kKoord, "yAchsentext", k.yAchsentext);
    ini.WriteInteger(kKoord, "Gitterfarbe", k.Gitterfarbe);
    ini.WriteInteger(kKoord, "Gitterdicke", k.Gitterdicke);
    ini.WriteInteger(kKoord, "Achsenfarbe", k.Achsenfarbe);
    ini.WriteInteger(kKoord, "Achsendicke", k.Achsendicke);
    ini.WriteInteger(kKoord, "Schriftgröße", a.Schriftgroesse);
    ini.WriteString(kKoord, "Schriftname", a.Schriftname);
    ini.WriteBool(kKoord, "Schriftart", a.SchriftFett);
}

void WriteEntry(IniFile& ini, int i, const ArchivEintrag& e, const ArchiveContents& a) {
    const std::string slots = Sec("Schaubilder", i);
    for (int k = 1; k <= kGraphSlots; ++k) {
        const Schaubild& s = e.Schaubilder[static_cast<size_t>(k)];
        ini.WriteInteger(slots, Num("Linienfarbe", k), static_cast<int>(s.Linienfarbe));
        ini.WriteInteger(slots, Num("Linienart", k), s.Linienart);
        ini.WriteBool(slots, Num("zeichnen", k), s.zeichnen);
    }
    for (int k = 1; k <= kListTerms; ++k)
        ini.WriteString("Funktionsterme", Num("f", k, "(x)"), a.Listenterme[static_cast<size_t>(k)]);

    const std::string konst = Sec("Konstanten", i);
    ini.WriteFloat(konst, "a", e.a);
    ini.WriteFloat(konst, "b", e.b);
    ini.WriteFloat(konst, "c", e.c);
    ini.WriteFloat(konst, "d", e.d);

    const std::string xy = Sec("xyBereich", i);
    ini.WriteFloat(xy, "x1", e.x1);
    ini.WriteFloat(xy, "x2", e.x2);
    ini.WriteFloat(xy, "y1", e.y1);
    ini.WriteFloat(xy, "y2", e.y2);

    const std::string fg = Sec("fg Funktionsterme", i);
    ini.WriteString(fg, "f(x)", e.f);
    ini.WriteString(fg, "g(x)", e.g);

    const std::string bereich = Sec("fg Zeichenbereich", i);
    ini.WriteFloat(bereich, "von", e.fgBereich.von);
    ini.WriteFloat(bereich, "bis", e.fgBereich.bis);

    const std::string param = Sec("fg Parameter t", i);
    ini.WriteFloat(param, "von", e.fgParameter.von);
    ini.WriteFloat(param, "bis", e.fgParameter.bis);
    ini.WriteFloat(param, "Schrittweite", e.fgParameter.Schrittweite);
    ini.WriteString(param, "Liste", e.Liste);
    WriteWerte(ini, param, "Wert", e.Wert);

    const std::string geraden = Sec("Geraden x=u", i);
    ini.WriteFloat(geraden, "u1", e.u1);
    ini.WriteFloat(geraden, "u2", e.u2);
    ini.WriteFloat(geraden, "u3", e.u3);
    ini.WriteFloat(Sec("Integralfunktion", i), "xo", e.xo);

    const std::string summe = Sec("fg Summenfunktion", i);
    ini.WriteInteger(summe, "von", e.Summe.von);
    ini.WriteInteger(summe, "bis", e.Summe.bis);
    ini.WriteInteger(summe, "Schrittweite", e.Summe.Schrittweite);

    const std::string h = Sec("h Funktionsterme", i);
    for (int k = 1; k <= 4; ++k) ini.WriteString(h, Num("h", k, "(x)"), e.h[static_cast<size_t>(k)]);
    const std::string hb = Sec("h Zeichenbereich", i);
    for (int k = 1; k <= 4; ++k) {
        ini.WriteFloat(hb, Num("h", k, " von"), e.hBereich[static_cast<size_t>(k)].von);
        ini.WriteFloat(hb, Num("h", k, " bis"), e.hBereich[static_cast<size_t>(k)].bis);
    }
    const std::string hp = Sec("h Parameter t", i);
    ini.WriteFloat(hp, "von", e.hParameter.von);
    ini.WriteFloat(hp, "bis", e.hParameter.bis);
    ini.WriteFloat(hp, "Schrittweite", e.hParameter.Schrittweite);
    ini.WriteString(hp, "Liste2", e.Liste2);
    WriteWerte(ini, hp, "Wert2", e.Wert2);

    const std::string xyt = Sec("x(t), y(t) Funktionsterme", i);
    ini.WriteString(xyt, "x(t)", e.xt);
    ini.WriteString(xyt, "y(t)", e.yt);
    const std::string xytp = Sec("x(t), y(t) Parameter t", i);
    ini.WriteFloat(xytp, "von", e.xytParameter.von);
    ini.WriteFloat(xytp, "bis", e.xytParameter.bis);
    ini.WriteFloat(xytp, "Schrittweite", e.xytParameter.Schrittweite);

    ini.WriteBool("Grafik", "Rahmen", a.Rahmen);
}

// Reads entry i over e: the keys the file lacks take the archive defaults,
// or keep e's value where the format says so.
void ReadEntry(const IniFile& ini, int i, ArchivEintrag& e) {
    const std::string slots = Sec("Schaubilder", i);
    for (int k = 1; k <= kGraphSlots; ++k) {
        Schaubild& s = e.Schaubilder[static_cast<size_t>(k)];
        s.Linienfarbe = static_cast<Color>(ini.ReadInteger(slots, Num("Linienfarbe", k), static_cast<int>(s.Linienfarbe)));
        s.Linienart = static_cast<uint8_t>(ReadClamped(ini, slots, Num("Linienart", k), s.Linienart, 0, 3));
        s.zeichnen = ini.ReadBool(slots, Num("zeichnen", k), s.zeichnen);
    }

    const std::string konst = Sec("Konstanten", i);
    e.a = ini.ReadFloat(konst, "a", 1.0);
    e.b = ini.ReadFloat(konst, "b", 1.0);
    e.c = ini.ReadFloat(konst, "c", 1.0);
    e.d = ini.ReadFloat(konst, "d", 1.0);

    const std::string xy = Sec("xyBereich", i);
    e.x1 = ini.ReadFloat(xy, "x1", -8);
    e.x2 = ini.ReadFloat(xy, "x2", 8);
    e.y1 = ini.ReadFloat(xy, "y1", -8);
    e.y2 = ini.ReadFloat(xy, "y2", 8);

    // Written by other versions: the decimals the entry was made with.
    e.Nachkommastellen = ReadClamped(ini, "Eingabe", "Nachkommastellen", e.Nachkommastellen, 0, 3);

    const std::string fg = Sec("fg Funktionsterme", i);
    e.f = ini.ReadString(fg, "f(x)", "");
    e.g = ini.ReadString(fg, "g(x)", "");

    const std::string bereich = Sec("fg Zeichenbereich", i);
    e.fgBereich = {ini.ReadFloat(bereich, "von", -8), ini.ReadFloat(bereich, "bis", 8)};

    const std::string param = Sec("fg Parameter t", i);
    e.fgParameter = {ini.ReadFloat(param, "von", 0), ini.ReadFloat(param, "bis", 0),
                     ini.ReadFloat(param, "Schrittweite", 1)};
    e.Liste = ini.ReadString(param, "Liste", "");
    ReadWerte(ini, param, "Wert", e.Wert);

    const std::string geraden = Sec("Geraden x=u", i);
    e.u1 = ini.ReadFloat(geraden, "u1", 0);
    e.u2 = ini.ReadFloat(geraden, "u2", 0);
    e.u3 = ini.ReadFloat(geraden, "u3", 0);
    e.xo = ini.ReadFloat(Sec("Integralfunktion", i), "xo", 0);

    const std::string summe = Sec("fg Summenfunktion", i);
    e.Summe = {ini.ReadInteger(summe, "von", 0), ini.ReadInteger(summe, "bis", 0),
               ini.ReadInteger(summe, "Schrittweite", 1)};

    const std::string h = Sec("h Funktionsterme", i);
    for (int k = 1; k <= 4; ++k) e.h[static_cast<size_t>(k)] = ini.ReadString(h, Num("h", k, "(x)"), "");
    const std::string hb = Sec("h Zeichenbereich", i);
    for (int k = 1; k <= 4; ++k)
        e.hBereich[static_cast<size_t>(k)] = {ini.ReadFloat(hb, Num("h", k, " von"), -8),
                                              ini.ReadFloat(hb, Num("h", k, " bis"), 8)};
    const std::string hp = Sec("h Parameter t", i);
    e.hParameter = {ini.ReadFloat(hp, "von", 0), ini.ReadFloat(hp, "bis", 0), ini.ReadFloat(hp, "Schrittweite", 1)};
    e.Liste2 = ini.ReadString(hp, "Liste2", "");
    ReadWerte(ini, hp, "Wert2", e.Wert2);

    const std::string xyt = Sec("x(t), y(t) Funktionsterme", i);
    e.xt = ini.ReadString(xyt, "x(t)", "");
    e.yt = ini.ReadString(xyt, "y(t)", "");
    const std::string xytp = Sec("x(t), y(t) Parameter t", i);
    e.xytParameter = {ini.ReadFloat(xytp, "von", -M_PI), ini.ReadFloat(xytp, "bis", M_PI),
                      ini.ReadFloat(xytp, "Schrittweite", 0.01)};
}

// The numbers 1..count of the store entries the file has a section of,
// in ascending order; a name like "Konstanten Nr3" counts for entry 3.
std::vector<int> EntriesInFile(const IniFile& ini, int count) {
    std::vector<std::string> prefixes;
    for (const char* s : kEntrySections) prefixes.push_back(FoldCase(s) + " nr");
    std::vector<int> found;
    for (const std::string& name : ini.SectionNames()) {
        const std::string folded = FoldCase(name);
        for (const std::string& p : prefixes) {
            if (folded.size() <= p.size() || folded.compare(0, p.size(), p) != 0) continue;
            const std::string_view digits = std::string_view(folded).substr(p.size());
            int k = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
            // Only the number as the writer spells it: the lookups use that spelling.
            if (ec == std::errc() && end == digits.data() + digits.size() && k >= 1 && k <= count &&
                digits == std::to_string(k))
                found.push_back(k);
            break;
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

}  // namespace

ArchiveContents ArchiveFromProgram(bool withStore) {
    ArchiveContents a;
    a.Koordinatensystem = gDisplay.Koordinatensystem;
    a.Schriftgroesse = gDisplay.Schriftgroesse;
    a.Schriftname = gDisplay.Schriftname;
    a.SchriftFett = gDisplay.SchriftFett;
    a.Listenterme = gTerms.Listenterme;
    a.Rahmen = gDisplay.Rahmen;
    StoreGraphState(a.Aktuell);
    const int n = withStore ? gFunktionenspeicher.Count() : 0;
    a.Speicher.resize(static_cast<size_t>(n));
    for (int i = 1; i <= n; ++i) gFunktionenspeicher.Get(i, a.Speicher[static_cast<size_t>(i - 1)]);
    return a;
}

void WriteArchive(IniFile& ini, const ArchiveContents& a) {
    WriteKoordinatensystem(ini, a);
    const int n = static_cast<int>(std::min<size_t>(a.Speicher.size(), SpeicherListe::kMaxCount));
    ini.WriteInteger(kArchiv, "Anzahl", n);
    WriteEntry(ini, 0, a.Aktuell, a);
    for (int i = 1; i <= n; ++i) WriteEntry(ini, i, a.Speicher[static_cast<size_t>(i - 1)], a);
}

ArchiveContents ReadArchive(const IniFile& ini, const ArchiveContents& start, int storeCount) {
    ArchiveContents a = start;
    a.Speicher.clear();
    ReadKoordinatensystem(ini, a);
    for (int k = 1; k <= kListTerms; ++k) {
        Listenterm& term = a.Listenterme[static_cast<size_t>(k)];
        term = ini.ReadString("Funktionsterme", Num("f", k, "(x)"), term);
    }
    a.Rahmen = ini.ReadBool("Grafik", "Rahmen", a.Rahmen);

    // The entries are read into one state one after the other, the last
    // entry first, so a key one of them lacks keeps the value read before.
    ArchivEintrag state = start.Aktuell;
    state.Koordinatensystem = a.Koordinatensystem;
    const int count = ini.ReadInteger(kArchiv, "Anzahl", 0);
    // A negative count is no archive of ours: nothing of the entries is read.
    if (count < 0) {
        a.Aktuell = state;
        return a;
    }
    std::vector<int> entries = EntriesInFile(ini, std::min(count, SpeicherListe::kMaxCount));
    const size_t room = static_cast<size_t>(std::max(0, SpeicherListe::kMaxCount - storeCount));
    if (entries.size() > room) entries.resize(room);
    a.Speicher.resize(entries.size());
    for (size_t j = entries.size(); j-- > 0;) {
        ReadEntry(ini, entries[j], state);
        a.Speicher[j] = state;
    }
    ReadEntry(ini, 0, state);
    a.Aktuell = state;
    return a;
}

bool LooksLikeArchive(const IniFile& ini) {
    for (const char* s : kSingleSections)
        if (ini.SectionExists(s)) return true;
    for (const char* s : kEntrySections)
        if (ini.SectionExists(s)) return true;
    return !EntriesInFile(ini, SpeicherListe::kMaxCount).empty();
}

void ApplyArchive(const ArchiveContents& a) {
    gDisplay.Koordinatensystem = a.Koordinatensystem;
    gDisplay.Schriftgroesse = a.Schriftgroesse;
    gDisplay.Schriftname = a.Schriftname;
    gDisplay.SchriftFett = a.SchriftFett;
    gTerms.Listenterme = a.Listenterme;
    gDisplay.Rahmen = a.Rahmen;
    for (size_t j = a.Speicher.size(); j-- > 0;) gFunktionenspeicher.Insert(1, a.Speicher[j]);
    LoadGraphState(a.Aktuell);
}

std::string FileNameWithExtension(const std::string& chosen, const std::string& extension) {
    const std::filesystem::path p(chosen);
    std::string name = p.filename().string();
    name = name.substr(0, name.find('.'));
    if (name.empty()) return {};
    return (p.parent_path() / (name + extension)).string();
}

bool SaveFunctionArchive(const std::string& path) {
    IniFile ini;
    WriteArchive(ini, ArchiveFromProgram());
    const WriteResult r = ini.Save(path);
    if (!r.ok) ShowMessage(r.error, MessageKind::Error);
    return r.ok;
}

bool LoadFunctionArchive(const std::string& path) {
    IniFile ini;
    const std::string name = std::filesystem::path(path).filename().string();
    if (!ini.Load(path)) {
        ShowMessage("Die Datei " + name + " kann nicht gelesen werden.", MessageKind::Error);
        return false;
    }
    if (!LooksLikeArchive(ini)) {
        ShowMessage("Die Datei " + name + " ist kein Funktionen-Archiv.", MessageKind::Error);
        return false;
    }
    ApplyArchive(ReadArchive(ini, ArchiveFromProgram(false), gFunktionenspeicher.Count()));
    return true;
}

}  // namespace kalvo
