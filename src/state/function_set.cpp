#include "function_set.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kalvo {

namespace {

constexpr const char* kKoord = "Koordinatensystem";

// Keys numbered 1..n, built once: an archive reads and writes them for
// every set it holds.
class NumberedKeys {
public:
    NumberedKeys(std::string_view prefix, int n, std::string_view suffix = "") {
        for (int i = 1; i <= n; ++i) keys_.push_back(NumberedKey(prefix, i, suffix));
    }
    const std::string& operator[](int i) const { return keys_[static_cast<size_t>(i - 1)]; }

private:
    std::vector<std::string> keys_;
};

const NumberedKeys& Linienfarbe() {
    static const NumberedKeys keys("Linienfarbe", kGraphSlots);
    return keys;
}
const NumberedKeys& Linienart() {
    static const NumberedKeys keys("Linienart", kGraphSlots);
    return keys;
}
const NumberedKeys& Zeichnen() {
    static const NumberedKeys keys("zeichnen", kGraphSlots);
    return keys;
}
const NumberedKeys& WertKeys(std::string_view prefix) {
    static const NumberedKeys wert("Wert", kMaxParameterValues + 1), wert2("Wert2", kMaxParameterValues + 1);
    return prefix == "Wert" ? wert : wert2;
}

void ReadWerte(const IniFile& ini, const std::string& section, std::string_view prefix, ParameterWerteFeld& werte) {
    const NumberedKeys& keys = WertKeys(prefix);
    for (int i = 1; i <= kMaxParameterValues + 1; ++i) werte[i - 1] = ini.ReadFloat(section, keys[i], werte[i - 1]);
    // The count must be a whole number of values the table holds.
    double& count = werte[kMaxParameterValues];
    count = std::isfinite(count) ? std::clamp(std::round(count), 0.0, static_cast<double>(kMaxParameterValues)) : 0.0;
}

void WriteWerte(IniFile& ini, const std::string& section, std::string_view prefix, const ParameterWerteFeld& werte) {
    const NumberedKeys& keys = WertKeys(prefix);
    for (int i = 1; i <= kMaxParameterValues + 1; ++i) ini.WriteFloat(section, keys[i], werte[i - 1]);
}

uint8_t ReadByte(const IniFile& ini, const char* key, uint8_t current, int hi) {
    return static_cast<uint8_t>(ReadClampedInteger(ini, kKoord, key, current, 0, hi));
}

}  // namespace

void StoreGraphState(ArchivEintrag& e) {
    const ViewWindowState& v = gView;
    const ParameterState& p = gParams;
    const TermState& t = gTerms;
    e.Schaubilder = gDisplay.Schaubilder;
    e.Koordinatensystem = gDisplay.Koordinatensystem;
    e.a = t.KonstanteA;
    e.b = t.KonstanteB;
    e.c = t.KonstanteC;
    e.d = t.KonstanteD;
    e.x1 = v.BereichX1;
    e.x2 = v.BereichX2;
    e.y1 = v.BereichY1;
    e.y2 = v.BereichY2;
    e.Nachkommastellen = gDisplay.Nachkommastellen;
    e.f = t.TermF;
    e.g = t.TermG;
    e.fgBereich = {v.FgZeichenbereichVon, v.FgZeichenbereichBis};
    e.fgParameter = {p.FgTVon, p.FgTBis, p.FgTSchrittweite};
    e.Liste = t.ParameterListe;
    e.Wert = t.ParameterWerte;
    e.u1 = v.GeradeU1;
    e.xo = v.IntegralfunktionXo;
    e.u2 = v.GeradeU2;
    e.u3 = v.GeradeU3;
    e.Summe = {p.FgSummeVon, p.FgSummeBis, p.FgSummeSchrittweite};
    e.h[1] = t.TermH1;
    e.h[2] = t.TermH2;
    e.h[3] = t.TermH3;
    e.h[4] = t.TermH4;
    e.hBereich[1] = {v.H1Von, v.H1Bis};
    e.hBereich[2] = {v.H2Von, v.H2Bis};
    e.hBereich[3] = {v.H3Von, v.H3Bis};
    e.hBereich[4] = {v.H4Von, v.H4Bis};
    e.hParameter = {p.HTVon, p.HTBis, p.HTSchrittweite};
    e.Liste2 = t.ParameterListe2;
    e.Wert2 = t.ParameterWerte2;
    e.xt = t.TermXt;
    e.yt = t.TermYt;
    e.xytParameter = {p.ParamkurveTVon, p.ParamkurveTBis, p.ParamkurveTSchrittweite};
}

void LoadGraphState(const ArchivEintrag& e) {
    ViewWindowState& v = gView;
    ParameterState& p = gParams;
    TermState& t = gTerms;
    gDisplay.Schaubilder = e.Schaubilder;
    gDisplay.Koordinatensystem = e.Koordinatensystem;
    t.KonstanteA = e.a;
    t.KonstanteB = e.b;
    t.KonstanteC = e.c;
    t.KonstanteD = e.d;
    v.BereichX1 = e.x1;
    v.BereichX2 = e.x2;
    v.BereichY1 = e.y1;
    v.BereichY2 = e.y2;
    gDisplay.Nachkommastellen = e.Nachkommastellen;
    t.TermF = e.f;
    t.TermG = e.g;
    v.FgZeichenbereichVon = e.fgBereich.von;
    v.FgZeichenbereichBis = e.fgBereich.bis;
    p.FgTVon = e.fgParameter.von;
    p.FgTBis = e.fgParameter.bis;
    p.FgTSchrittweite = e.fgParameter.Schrittweite;
    t.ParameterListe = e.Liste;
    t.ParameterWerte = e.Wert;
    v.GeradeU1 = e.u1;
    v.IntegralfunktionXo = e.xo;
    v.GeradeU2 = e.u2;
    v.GeradeU3 = e.u3;
    p.FgSummeVon = e.Summe.von;
    p.FgSummeBis = e.Summe.bis;
    p.FgSummeSchrittweite = e.Summe.Schrittweite;
    t.TermH1 = e.h[1];
    t.TermH2 = e.h[2];
    t.TermH3 = e.h[3];
    t.TermH4 = e.h[4];
    v.H1Von = e.hBereich[1].von;
    v.H1Bis = e.hBereich[1].bis;
    v.H2Von = e.hBereich[2].von;
    v.H2Bis = e.hBereich[2].bis;
    v.H3Von = e.hBereich[3].von;
    v.H3Bis = e.hBereich[3].bis;
    v.H4Von = e.hBereich[4].von;
    v.H4Bis = e.hBereich[4].bis;
    p.HTVon = e.hParameter.von;
    p.HTBis = e.hParameter.bis;
    p.HTSchrittweite = e.hParameter.Schrittweite;
    t.ParameterListe2 = e.Liste2;
    t.ParameterWerte2 = e.Wert2;
    t.TermXt = e.xt;
    t.TermYt = e.yt;
    p.ParamkurveTVon = e.xytParameter.von;
    p.ParamkurveTBis = e.xytParameter.bis;
    p.ParamkurveTSchrittweite = e.xytParameter.Schrittweite;
}

std::string FunctionSetSection(std::string_view name, int entry) {
    std::string s(name);
    if (entry != 0) s += " Nr" + std::to_string(entry);
    return s;
}

std::string NumberedKey(std::string_view prefix, int i, std::string_view suffix) {
    std::string key(prefix);
    key += std::to_string(i);
    key += suffix;
    return key;
}

int ReadClampedInteger(const IniFile& ini, std::string_view section, std::string_view key, int current, int lo, int hi) {
    return std::clamp(ini.ReadInteger(section, key, current), lo, hi);
}

void ReadKoordinatensystemSection(const IniFile& ini, KoordinatensystemEinstellung& k, int& schriftgroesse,
                                  std::string& schriftname, bool& schriftFett) {
    k.xSkalierung = ReadByte(ini, "xSkalierung", k.xSkalierung, 2);
    k.ySkalierung = ReadByte(ini, "ySkalierung", k.ySkalierung, 2);
    k.Beschriftung = ReadByte(ini, "Beschriftung", k.Beschriftung, 2);
    k.Art = ReadByte(ini, "Art", k.Art, 1);
    k.Gitter = ReadByte(ini, "Gitter", k.Gitter, 3);
    k.xAchsentext = ini.ReadString(kKoord, "xAchsentext", k.xAchsentext);
    k.yAchsentext = ini.ReadString(kKoord, "yAchsentext", k.yAchsentext);
    k.Gitterfarbe = ini.ReadInteger(kKoord, "Gitterfarbe", k.Gitterfarbe);
    k.Gitterdicke = ReadClampedInteger(ini, kKoord, "Gitterdicke", k.Gitterdicke, 0, 4);
    k.Achsenfarbe = ini.ReadInteger(kKoord, "Achsenfarbe", k.Achsenfarbe);
    k.Achsendicke = ReadClampedInteger(ini, kKoord, "Achsendicke", k.Achsendicke, 0, 4);
    schriftgroesse = ReadClampedInteger(ini, kKoord, "Schriftgröße", schriftgroesse, 8, 14);
    schriftname = ini.ReadString(kKoord, "Schriftname", schriftname);
    // A font without a name would draw with whatever the system picks.
    if (schriftname.empty()) schriftname = "Courier New";
    schriftFett = ini.ReadBool(kKoord, "Schriftart", schriftFett);
}

void WriteKoordinatensystemSection(IniFile& ini, const KoordinatensystemEinstellung& k, int schriftgroesse,
                                   const std::string& schriftname, bool schriftFett) {
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
    ini.WriteInteger(kKoord, "Schriftgröße", schriftgroesse);
    ini.WriteString(kKoord, "Schriftname", schriftname);
    ini.WriteBool(kKoord, "Schriftart", schriftFett);
}

void ReadSchaubilderSection(const IniFile& ini, int entry, SchaubildTabelle& slots) {
    const std::string section = FunctionSetSection("Schaubilder", entry);
    for (int i = 1; i <= kGraphSlots; ++i) {
        Schaubild& s = slots[static_cast<size_t>(i)];
        s.Linienfarbe = static_cast<Color>(ini.ReadInteger(section, Linienfarbe()[i], static_cast<int>(s.Linienfarbe)));
        s.Linienart = static_cast<uint8_t>(ReadClampedInteger(ini, section, Linienart()[i], s.Linienart, 0, 3));
        s.zeichnen = ini.ReadBool(section, Zeichnen()[i], s.zeichnen);
    }
}

void WriteSchaubilderSection(IniFile& ini, int entry, const SchaubildTabelle& slots) {
    const std::string section = FunctionSetSection("Schaubilder", entry);
    for (int i = 1; i <= kGraphSlots; ++i) {
        const Schaubild& s = slots[static_cast<size_t>(i)];
        ini.WriteInteger(section, Linienfarbe()[i], static_cast<int>(s.Linienfarbe));
        ini.WriteInteger(section, Linienart()[i], s.Linienart);
        ini.WriteBool(section, Zeichnen()[i], s.zeichnen);
    }
}

void ReadListentermeSection(const IniFile& ini, Funktionenliste& terms) {
    for (int i = 1; i <= kListTerms; ++i) {
        Listenterm& term = terms[static_cast<size_t>(i)];
        term = ini.ReadString("Funktionsterme", NumberedKey("f", i, "(x)"), term);
    }
}

void WriteListentermeSection(IniFile& ini, const Funktionenliste& terms) {
    for (int i = 1; i <= kListTerms; ++i)
        ini.WriteString("Funktionsterme", NumberedKey("f", i, "(x)"), terms[static_cast<size_t>(i)]);
}

void ReadFunctionSetSections(const IniFile& ini, int entry, ArchivEintrag& e) {
    const std::string konst = FunctionSetSection("Konstanten", entry);
    e.a = ini.ReadFloat(konst, "a", 1.0);
    e.b = ini.ReadFloat(konst, "b", 1.0);
    e.c = ini.ReadFloat(konst, "c", 1.0);
    e.d = ini.ReadFloat(konst, "d", 1.0);

    const std::string xy = FunctionSetSection("xyBereich", entry);
    e.x1 = ini.ReadFloat(xy, "x1", -8);
    e.x2 = ini.ReadFloat(xy, "x2", 8);
    e.y1 = ini.ReadFloat(xy, "y1", -8);
    e.y2 = ini.ReadFloat(xy, "y2", 8);

    const std::string fg = FunctionSetSection("fg Funktionsterme", entry);
    e.f = ini.ReadString(fg, "f(x)", "");
    e.g = ini.ReadString(fg, "g(x)", "");

    const std::string bereich = FunctionSetSection("fg Zeichenbereich", entry);
    e.fgBereich = {ini.ReadFloat(bereich, "von", -8), ini.ReadFloat(bereich, "bis", 8)};

    const std::string param = FunctionSetSection("fg Parameter t", entry);
    e.fgParameter = {ini.ReadFloat(param, "von", 0), ini.ReadFloat(param, "bis", 0),
                     ini.ReadFloat(param, "Schrittweite", 1)};
    // A step the family dialog would refuse is widened to the coarsest it allows.
    LimitFamilyMembers(e.fgParameter);
    e.Liste = ini.ReadString(param, "Liste", "");
    ReadWerte(ini, param, "Wert", e.Wert);

    const std::string geraden = FunctionSetSection("Geraden x=u", entry);
    e.u1 = ini.ReadFloat(geraden, "u1", 0);
    e.u2 = ini.ReadFloat(geraden, "u2", 0);
    e.u3 = ini.ReadFloat(geraden, "u3", 0);
    e.xo = ini.ReadFloat(FunctionSetSection("Integralfunktion", entry), "xo", 0);

    const std::string summe = FunctionSetSection("fg Summenfunktion", entry);
    e.Summe = {ini.ReadInteger(summe, "von", 0), ini.ReadInteger(summe, "bis", 0),
               ini.ReadInteger(summe, "Schrittweite", 1)};

    const std::string h = FunctionSetSection("h Funktionsterme", entry);
    for (int k = 1; k <= 4; ++k) e.h[static_cast<size_t>(k)] = ini.ReadString(h, NumberedKey("h", k, "(x)"), "");
    const std::string hb = FunctionSetSection("h Zeichenbereich", entry);
    for (int k = 1; k <= 4; ++k)
        e.hBereich[static_cast<size_t>(k)] = {ini.ReadFloat(hb, NumberedKey("h", k, " von"), -8),
                                              ini.ReadFloat(hb, NumberedKey("h", k, " bis"), 8)};
    const std::string hp = FunctionSetSection("h Parameter t", entry);
    e.hParameter = {ini.ReadFloat(hp, "von", 0), ini.ReadFloat(hp, "bis", 0), ini.ReadFloat(hp, "Schrittweite", 1)};
    LimitFamilyMembers(e.hParameter);
    e.Liste2 = ini.ReadString(hp, "Liste2", "");
    ReadWerte(ini, hp, "Wert2", e.Wert2);

    const std::string xyt = FunctionSetSection("x(t), y(t) Funktionsterme", entry);
    e.xt = ini.ReadString(xyt, "x(t)", "");
    e.yt = ini.ReadString(xyt, "y(t)", "");
    const std::string xytp = FunctionSetSection("x(t), y(t) Parameter t", entry);
    e.xytParameter = {ini.ReadFloat(xytp, "von", -M_PI), ini.ReadFloat(xytp, "bis", M_PI),
                      ini.ReadFloat(xytp, "Schrittweite", 0.01)};
}

void WriteFunctionSetSections(IniFile& ini, int entry, const ArchivEintrag& e) {
    const std::string konst = FunctionSetSection("Konstanten", entry);
    ini.WriteFloat(konst, "a", e.a);
    ini.WriteFloat(konst, "b", e.b);
    ini.WriteFloat(konst, "c", e.c);
    ini.WriteFloat(konst, "d", e.d);

    const std::string xy = FunctionSetSection("xyBereich", entry);
    ini.WriteFloat(xy, "x1", e.x1);
    ini.WriteFloat(xy, "x2", e.x2);
    ini.WriteFloat(xy, "y1", e.y1);
    ini.WriteFloat(xy, "y2", e.y2);

    const std::string fg = FunctionSetSection("fg Funktionsterme", entry);
    ini.WriteString(fg, "f(x)", e.f);
    ini.WriteString(fg, "g(x)", e.g);

    const std::string bereich = FunctionSetSection("fg Zeichenbereich", entry);
    ini.WriteFloat(bereich, "von", e.fgBereich.von);
    ini.WriteFloat(bereich, "bis", e.fgBereich.bis);

    const std::string param = FunctionSetSection("fg Parameter t", entry);
    ini.WriteFloat(param, "von", e.fgParameter.von);
    ini.WriteFloat(param, "bis", e.fgParameter.bis);
    ini.WriteFloat(param, "Schrittweite", e.fgParameter.Schrittweite);
    ini.WriteString(param, "Liste", e.Liste);
    WriteWerte(ini, param, "Wert", e.Wert);

    const std::string geraden = FunctionSetSection("Geraden x=u", entry);
    ini.WriteFloat(geraden, "u1", e.u1);
    ini.WriteFloat(geraden, "u2", e.u2);
    ini.WriteFloat(geraden, "u3", e.u3);
    ini.WriteFloat(FunctionSetSection("Integralfunktion", entry), "xo", e.xo);

    const std::string summe = FunctionSetSection("fg Summenfunktion", entry);
    ini.WriteInteger(summe, "von", e.Summe.von);
    ini.WriteInteger(summe, "bis", e.Summe.bis);
    ini.WriteInteger(summe, "Schrittweite", e.Summe.Schrittweite);

    const std::string h = FunctionSetSection("h Funktionsterme", entry);
    for (int k = 1; k <= 4; ++k) ini.WriteString(h, NumberedKey("h", k, "(x)"), e.h[static_cast<size_t>(k)]);
    const std::string hb = FunctionSetSection("h Zeichenbereich", entry);
    for (int k = 1; k <= 4; ++k) {
        ini.WriteFloat(hb, NumberedKey("h", k, " von"), e.hBereich[static_cast<size_t>(k)].von);
        ini.WriteFloat(hb, NumberedKey("h", k, " bis"), e.hBereich[static_cast<size_t>(k)].bis);
    }
    const std::string hp = FunctionSetSection("h Parameter t", entry);
    ini.WriteFloat(hp, "von", e.hParameter.von);
    ini.WriteFloat(hp, "bis", e.hParameter.bis);
    ini.WriteFloat(hp, "Schrittweite", e.hParameter.Schrittweite);
    ini.WriteString(hp, "Liste2", e.Liste2);
    WriteWerte(ini, hp, "Wert2", e.Wert2);

    const std::string xyt = FunctionSetSection("x(t), y(t) Funktionsterme", entry);
    ini.WriteString(xyt, "x(t)", e.xt);
    ini.WriteString(xyt, "y(t)", e.yt);
    const std::string xytp = FunctionSetSection("x(t), y(t) Parameter t", entry);
    ini.WriteFloat(xytp, "von", e.xytParameter.von);
    ini.WriteFloat(xytp, "bis", e.xytParameter.bis);
    ini.WriteFloat(xytp, "Schrittweite", e.xytParameter.Schrittweite);
}

}  // namespace kalvo
