#include "settings_file.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "function_set.h"
#include "message_sink.h"
#include "program_state.h"

namespace kalvo {

namespace fs = std::filesystem;

namespace {

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
    ReadKoordinatensystemSection(ini, gDisplay.Koordinatensystem, gDisplay.Schriftgroesse, gDisplay.Schriftname,
                                 gDisplay.SchriftFett);
    ReadSchaubilderSection(ini, 0, gDisplay.Schaubilder);
    ReadListentermeSection(ini, gTerms.Listenterme);
    ArchivEintrag e;
    StoreGraphState(e);
    ReadFunctionSetSections(ini, 0, e);
    LoadGraphState(e);
    gView.FgZeichenbereichAuto = ini.ReadBool("fg Zeichenbereich", "festlegen", false);

    gDisplay.Nachkommastellen = ReadClampedInteger(ini, "Eingabe", "Nachkommastellen", gDisplay.Nachkommastellen, 0, 3);
    gDisplay.Rahmen = ini.ReadBool("Grafik", "Rahmen", gDisplay.Rahmen);
    gDisplay.HintergrundBildschirm = static_cast<Color>(
        ini.ReadInteger("Farben", "Bildschirm Hintergrund", static_cast<int>(gDisplay.HintergrundBildschirm)));
    gDisplay.HintergrundDrucker = static_cast<Color>(
        ini.ReadInteger("Farben", "Drucker Hintergrund", static_cast<int>(gDisplay.HintergrundDrucker)));
    gDisplay.AnimationDelay = ReadClampedInteger(ini, "3d-Animation Delay", "time", 0, 0, 1000);
    gDisplay.Aufloesung = ReadClampedInteger(ini, "Grafikdatei", "Aufloesung", gDisplay.Aufloesung, 2, 4);
}

void WriteSettings(IniFile& ini) {
    WriteKoordinatensystemSection(ini, gDisplay.Koordinatensystem, gDisplay.Schriftgroesse, gDisplay.Schriftname,
                                  gDisplay.SchriftFett);
    WriteSchaubilderSection(ini, 0, gDisplay.Schaubilder);
    WriteListentermeSection(ini, gTerms.Listenterme);
    ArchivEintrag e;
    StoreGraphState(e);
    WriteFunctionSetSections(ini, 0, e);
    // Joins the keys of its section, after "bis".
    ini.WriteBool("fg Zeichenbereich", "festlegen", gView.FgZeichenbereichAuto);

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
