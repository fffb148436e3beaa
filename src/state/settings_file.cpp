#include "settings_file.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "message_sink.h"
#include "program_state.h"

namespace kalvo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kKoord = "Koordinatensystem";
constexpr const char* kSlots = "Schaubilder";

std::string Num(const char* prefix, int i, const char* suffix = "") {
    return prefix + std::to_string(i) + suffix;
}

std::string ConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    fs::path base;
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && *home ? home : fs::temp_directory_path().string()) / ".config";
    }
    return (base / "kalvograf").string();
}

std::string ProgramFolderFile() { return (fs::path(gControl.ProgramDir) / kSettingsFileName).string(); }

// A value read from the file, clamped to the range the program can draw with.
int ReadClamped(const IniFile& ini, const char* section, const std::string& key, int current, int lo, int hi) {
    return std::clamp(ini.ReadInteger(section, key, current), lo, hi);
}

uint8_t ReadByte(const IniFile& ini, const char* section, const char* key, uint8_t current, int hi) {
    return static_cast<uint8_t>(ReadClamped(ini, section, key, current, 0, hi));
}

void ReadParameterWerte(const IniFile& ini, const char* section, const char* prefix, ParameterWerteFeld& werte) {
    for (int i = 1; i <= kMaxParameterValues + 1; ++i) werte[i - 1] = ini.ReadFloat(section, Num(prefix, i), werte[i - 1]);
    // The count must be a whole number of values the table holds.
    double& count = werte[kMaxParameterValues];
    count = std::clamp(std::round(count), 0.0, static_cast<double>(kMaxParameterValues));
}

void WriteParameterWerte(IniFile& ini, const char* section, const char* prefix, const ParameterWerteFeld& werte) {
    for (int i = 1; i <= kMaxParameterValues + 1; ++i) ini.WriteFloat(section, Num(prefix, i), werte[i - 1]);
}

}  // namespace

std::string SettingsPathForReading() {
    const std::string local = ProgramFolderFile();
    if (fs::exists(local)) return local;
    const std::string config = (fs::path(ConfigFolder()) / kSettingsFileName).string();
    if (fs::exists(config)) return config;
    return local;
}

std::string SettingsPathForWriting() {
    if (FolderIsWritable(gControl.ProgramDir.empty() ? "." : gControl.ProgramDir)) return ProgramFolderFile();
    std::error_code ec;
    fs::create_directories(ConfigFolder(), ec);
    return (fs::path(ConfigFolder()) / kSettingsFileName).string();
}

void ReadSettings(const IniFile& ini) {
    auto& k = gDisplay.Koordinatensystem;
    k.xSkalierung = ReadByte(ini, kKoord, "xSkalierung", k.xSkalierung, 2);
    k.ySkalierung = ReadByte(ini, kKoord, "ySkalierung", k.ySkalierung, 2);
    k.Beschriftung = ReadByte(ini, kKoord, "Beschriftung", k.Beschriftung, 2);
    k.Art = ReadByte(ini, kKoord, "Art", k.Art, 1);
    k.Gitter = ReadByte(ini, kKoord, "Gitter", k.Gitter, 3);
    k.xAchsentext = ini.ReadString(kKoord, "xAchsentext", k.xAchsentext);
    k.yAchsentext = ini.ReadString(kKoord, "yAchsentext", k.yAchsentext);
    k.Gitterfarbe = ini.ReadInteger(kKoord, "Gitterfarbe", k.Gitterfarbe);
    k.Gitterdicke = ReadClamped(ini, kKoord, "Gitterdicke", k.Gitterdicke, 0, 4);
    k.Achsenfarbe = ini.ReadInteger(kKoord, "Achsenfarbe", k.Achsenfarbe);
    k.Achsendicke = ReadClamped(ini, kKoord, "Achsendicke", k.Achsendicke, 0, 4);
    gDisplay.Schriftgroesse = ReadClamped(ini, kKoord, "Schriftgröße", gDisplay.Schriftgroesse, 8, 14);
    gDisplay.Schriftname = ini.ReadString(kKoord, "Schriftname", gDisplay.Schriftname);
    gDisplay.SchriftFett = ini.ReadBool(kKoord, "Schriftart", gDisplay.SchriftFett);

    for (int i = 1; i <= kGraphSlots; ++i) {
        Schaubild& s = gDisplay.Schaubilder[i];
        s.Linienfarbe = static_cast<Color>(ini.ReadInteger(kSlots, Num("Linienfarbe", i), static_cast<int>(s.Linienfarbe)));
        s.Linienart = static_cast<uint8_t>(ReadClamped(ini, kSlots, Num("Linienart", i), s.Linienart, 0, 3));
        s.zeichnen = ini.ReadBool(kSlots, Num("zeichnen", i), s.zeichnen);
    }

    for (int i = 1; i <= kListTerms; ++i)
        gTerms.Listenterme[i] = ini.ReadString("Funktionsterme", Num("f", i, "(x)"), gTerms.Listenterme[i]);

    gTerms.KonstanteA = ini.ReadFloat("Konstanten", "a", 1);
    gTerms.KonstanteB = ini.ReadFloat("Konstanten", "b", 1);
    gTerms.KonstanteC = ini.ReadFloat("Konstanten", "c", 1);
    gTerms.KonstanteD = ini.ReadFloat("Konstanten", "d", 1);

    gView.BereichX1 = ini.ReadFloat("xyBereich", "x1", -8);
    gView.BereichX2 = ini.ReadFloat("xyBereich", "x2", 8);
    gView.BereichY1 = ini.ReadFloat("xyBereich", "y1", -8);
    gView.BereichY2 = ini.ReadFloat("xyBereich", "y2", 8);

    gTerms.TermF = ini.ReadString("fg Funktionsterme", "f(x)", "");
    gTerms.TermG = ini.ReadString("fg Funktionsterme", "g(x)", "");

    gView.FgZeichenbereichVon = ini.ReadFloat("fg Zeichenbereich", "von", -8);
    gView.FgZeichenbereichBis = ini.ReadFloat("fg Zeichenbereich", "bis", 8);
    gView.FgZeichenbereichAuto = ini.ReadBool("fg Zeichenbereich", "festlegen", false);

    gParams.FgTVon = ini.ReadFloat("fg Parameter t", "von", 0);
    gParams.FgTBis = ini.ReadFloat("fg Parameter t", "bis", 0);
    gParams.FgTSchrittweite = ini.ReadFloat("fg Parameter t", "Schrittweite", 1);
    gTerms.ParameterListe = ini.ReadString("fg Parameter t", "Liste", "");
    ReadParameterWerte(ini, "fg Parameter t", "Wert", gTerms.ParameterWerte);

    gView.GeradeU1 = ini.ReadFloat("Geraden x=u", "u1", 0);
    gView.GeradeU2 = ini.ReadFloat("Geraden x=u", "u2", 0);
    gView.GeradeU3 = ini.ReadFloat("Geraden x=u", "u3", 0);
    gView.IntegralfunktionXo = ini.ReadFloat("Integralfunktion", "xo", 0);

    gParams.FgSummeVon = ini.ReadInteger("fg Summenfunktion", "von", 0);
    gParams.FgSummeBis = ini.ReadInteger("fg Summenfunktion", "bis", 0);
    gParams.FgSummeSchrittweite = ini.ReadInteger("fg Summenfunktion", "Schrittweite", 1);

    gTerms.TermH1 = ini.ReadString("h Funktionsterme", "h1(x)", "");
    gTerms.TermH2 = ini.ReadString("h Funktionsterme", "h2(x)", "");
    gTerms.TermH3 = ini.ReadString("h Funktionsterme", "h3(x)", "");
    gTerms.TermH4 = ini.ReadString("h Funktionsterme", "h4(x)", "");

    gView.H1Von = ini.ReadFloat("h Zeichenbereich", "h1 von", -8);
    gView.H1Bis = ini.ReadFloat("h Zeichenbereich", "h1 bis", 8);
    gView.H2Von = ini.ReadFloat("h Zeichenbereich", "h2 von", -8);
    gView.H2Bis = ini.ReadFloat("h Zeichenbereich", "h2 bis", 8);
    gView.H3Von = ini.ReadFloat("h Zeichenbereich", "h3 von", -8);
    gView.H3Bis = ini.ReadFloat("h Zeichenbereich", "h3 bis", 8);
    gView.H4Von = ini.ReadFloat("h Zeichenbereich", "h4 von", -8);
    gView.H4Bis = ini.ReadFloat("h Zeichenbereich", "h4 bis", 8);

    gParams.HTVon = ini.ReadFloat("h Parameter t", "von", 0);
    gParams.HTBis = ini.ReadFloat("h Parameter t", "bis", 0);
    gParams.HTSchrittweite = ini.ReadFloat("h Parameter t", "Schrittweite", 1);
    gTerms.ParameterListe2 = ini.ReadString("h Parameter t", "Liste2", "");
    ReadParameterWerte(ini, "h Parameter t", "Wert2", gTerms.ParameterWerte2);

    gTerms.TermXt = ini.ReadString("x(t), y(t) Funktionsterme", "x(t)", "");
    gTerms.TermYt = ini.ReadString("x(t), y(t) Funktionsterme", "y(t)", "");
    gParams.ParamkurveTVon = ini.ReadFloat("x(t), y(t) Parameter t", "von", -M_PI);
    gParams.ParamkurveTBis = ini.ReadFloat("x(t), y(t) Parameter t", "bis", M_PI);
    gParams.ParamkurveTSchrittweite = ini.ReadFloat("x(t), y(t) Parameter t", "Schrittweite", 0.01);

    gDisplay.Nachkommastellen = ReadClamped(ini, "Eingabe", "Nachkommastellen", gDisplay.Nachkommastellen, 0, 3);
    gDisplay.Rahmen = ini.ReadBool("Grafik", "Rahmen", gDisplay.Rahmen);
    gDisplay.HintergrundBildschirm = static_cast<Color>(
        ini.ReadInteger("Farben", "Bildschirm Hintergrund", static_cast<int>(gDisplay.HintergrundBildschirm)));
    gDisplay.HintergrundDrucker = static_cast<Color>(
        ini.ReadInteger("Farben", "Drucker Hintergrund", static_cast<int>(gDisplay.HintergrundDrucker)));
    gDisplay.AnimationDelay = ReadClamped(ini, "3d-Animation Delay", "time", 0, 0, 1000);
    gDisplay.Aufloesung = ReadClamped(ini, "Grafikdatei", "Aufloesung", gDisplay.Aufloesung, 2, 4);
}

void WriteSettings(IniFile& ini) {
    const auto& k = gDisplay.Koordinatensystem;
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
    ini.WriteInteger(kKoord, "Schriftgröße", gDisplay.Schriftgroesse);
    ini.WriteString(kKoord, "Schriftname", gDisplay.Schriftname);
    ini.WriteBool(kKoord, "Schriftart", gDisplay.SchriftFett);

    for (int i = 1; i <= kGraphSlots; ++i) {
        const Schaubild& s = gDisplay.Schaubilder[i];
        ini.WriteInteger(kSlots, Num("Linienfarbe", i), static_cast<int>(s.Linienfarbe));
        ini.WriteInteger(kSlots, Num("Linienart", i), s.Linienart);
        ini.WriteBool(kSlots, Num("zeichnen", i), s.zeichnen);
    }

    for (int i = 1; i <= kListTerms; ++i) ini.WriteString("Funktionsterme", Num("f", i, "(x)"), gTerms.Listenterme[i]);

    ini.WriteFloat("Konstanten", "a", gTerms.KonstanteA);
    ini.WriteFloat("Konstanten", "b", gTerms.KonstanteB);
    ini.WriteFloat("Konstanten", "c", gTerms.KonstanteC);
    ini.WriteFloat("Konstanten", "d", gTerms.KonstanteD);

    ini.WriteFloat("xyBereich", "x1", gView.BereichX1);
    ini.WriteFloat("xyBereich", "x2", gView.BereichX2);
    ini.WriteFloat("xyBereich", "y1", gView.BereichY1);
    ini.WriteFloat("xyBereich", "y2", gView.BereichY2);

    ini.WriteString("fg Funktionsterme", "f(x)", gTerms.TermF);
    ini.WriteString("fg Funktionsterme", "g(x)", gTerms.TermG);

    ini.WriteFloat("fg Zeichenbereich", "von", gView.FgZeichenbereichVon);
    ini.WriteFloat("fg Zeichenbereich", "bis", gView.FgZeichenbereichBis);
    ini.WriteBool("fg Zeichenbereich", "festlegen", gView.FgZeichenbereichAuto);

    ini.WriteFloat("fg Parameter t", "von", gParams.FgTVon);
    ini.WriteFloat("fg Parameter t", "bis", gParams.FgTBis);
    ini.WriteFloat("fg Parameter t", "Schrittweite", gParams.FgTSchrittweite);
    ini.WriteString("fg Parameter t", "Liste", gTerms.ParameterListe);
    WriteParameterWerte(ini, "fg Parameter t", "Wert", gTerms.ParameterWerte);

    ini.WriteFloat("Geraden x=u", "u1", gView.GeradeU1);
    ini.WriteFloat("Geraden x=u", "u2", gView.GeradeU2);
    ini.WriteFloat("Geraden x=u", "u3", gView.GeradeU3);
    ini.WriteFloat("Integralfunktion", "xo", gView.IntegralfunktionXo);

    ini.WriteInteger("fg Summenfunktion", "von", gParams.FgSummeVon);
    ini.WriteInteger("fg Summenfunktion", "bis", gParams.FgSummeBis);
    ini.WriteInteger("fg Summenfunktion", "Schrittweite", gParams.FgSummeSchrittweite);

    ini.WriteString("h Funktionsterme", "h1(x)", gTerms.TermH1);
    ini.WriteString("h Funktionsterme", "h2(x)", gTerms.TermH2);
    ini.WriteString("h Funktionsterme", "h3(x)", gTerms.TermH3);
    ini.WriteString("h Funktionsterme", "h4(x)", gTerms.TermH4);

    ini.WriteFloat("h Zeichenbereich", "h1 von", gView.H1Von);
    ini.WriteFloat("h Zeichenbereich", "h1 bis", gView.H1Bis);
    ini.WriteFloat("h Zeichenbereich", "h2 von", gView.H2Von);
    ini.WriteFloat("h Zeichenbereich", "h2 bis", gView.H2Bis);
    ini.WriteFloat("h Zeichenbereich", "h3 von", gView.H3Von);
    ini.WriteFloat("h Zeichenbereich", "h3 bis", gView.H3Bis);
    ini.WriteFloat("h Zeichenbereich", "h4 von", gView.H4Von);
    ini.WriteFloat("h Zeichenbereich", "h4 bis", gView.H4Bis);

    ini.WriteFloat("h Parameter t", "von", gParams.HTVon);
    ini.WriteFloat("h Parameter t", "bis", gParams.HTBis);
    ini.WriteFloat("h Parameter t", "Schrittweite", gParams.HTSchrittweite);
    ini.WriteString("h Parameter t", "Liste2", gTerms.ParameterListe2);
    WriteParameterWerte(ini, "h Parameter t", "Wert2", gTerms.ParameterWerte2);

    ini.WriteString("x(t), y(t) Funktionsterme", "x(t)", gTerms.TermXt);
    ini.WriteString("x(t), y(t) Funktionsterme", "y(t)", gTerms.TermYt);
    ini.WriteFloat("x(t), y(t) Parameter t", "von", gParams.ParamkurveTVon);
    ini.WriteFloat("x(t), y(t) Parameter t", "bis", gParams.ParamkurveTBis);
    ini.WriteFloat("x(t), y(t) Parameter t", "Schrittweite", gParams.ParamkurveTSchrittweite);

    ini.WriteInteger("Farben", "Bildschirm Hintergrund", static_cast<int>(gDisplay.HintergrundBildschirm));
    ini.WriteInteger("Farben", "Drucker Hintergrund", static_cast<int>(gDisplay.HintergrundDrucker));
    ini.WriteInteger("3d-Animation Delay", "time", gDisplay.AnimationDelay);
    ini.WriteInteger("Eingabe", "Nachkommastellen", gDisplay.Nachkommastellen);
    ini.WriteInteger("Grafikdatei", "Aufloesung", gDisplay.Aufloesung);
    ini.WriteBool("Grafik", "Rahmen", gDisplay.Rahmen);
}

void LoadSettings() {
    IniFile ini;
    ini.Load(SettingsPathForReading());
    ReadSettings(ini);
}

bool SaveSettings() {
    const std::string path = SettingsPathForWriting();
    // Keys of other programs or later versions in the same file are kept.
    IniFile ini;
    ini.Load(path);
    WriteSettings(ini);
    const WriteResult r = ini.Save(path);
    if (!r.ok) ShowMessage(r.error, MessageKind::Error);
    return r.ok;
}

}  // namespace kalvo
