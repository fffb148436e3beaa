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
std::string ConfigFolderFile() { return (fs::path(ConfigFolder()) / kSettingsFileName).string(); }

// A file that exists but cannot be read is never replaced: its sections of
// other programs and the user's own settings would be lost.
bool ReplaceableSettingsFile(const std::string& path) {
    const FileReadStatus s = ReadFileBytes(path, IniFile::kMaxFileBytes).status;
    return s == FileReadStatus::Ok || s == FileReadStatus::Missing;
}

}  // namespace

std::string SettingsPathForReading() {
    const std::string local = ProgramFolderFile();
    if (ReadFileBytes(local, IniFile::kMaxFileBytes).ok()) return local;
    const std::string config = ConfigFolderFile();
    std::error_code ec;
    return fs::exists(config, ec) ? config : local;
}

std::string SettingsPathForWriting() {
    const std::string local = ProgramFolderFile();
    if (FolderIsWritable(gControl.ProgramDir.empty() ? "." : gControl.ProgramDir) && ReplaceableSettingsFile(local))
        return local;
    std::error_code ec;
    fs::create_directories(ConfigFolder(), ec);
    return ConfigFolderFile();
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
    const std::string local = ProgramFolderFile();
    IniFile ini;
    FileReadResult localRead;
    if (!ini.Load(local, &localRead)) {
        FileReadResult configRead;
        const std::string config = ConfigFolderFile();
        const bool fromConfig = ini.Load(config, &configRead);
        // Said once, at start-up; the settings then go to the configuration folder.
        const bool localBroken = localRead.status != FileReadStatus::Missing;
        if (localBroken || (!fromConfig && configRead.status != FileReadStatus::Missing)) {
            ShowMessage(ReadFailureMessage(localBroken ? localRead : configRead, localBroken ? local : config,
                                           "eine Einstellungsdatei") +
                            (fromConfig ? " Es gelten die Einstellungen aus " + config + "."
                                        : " Das Programm beginnt mit den Vorgabewerten.") +
                            " Die Datei bleibt unverändert; Einstellungen werden in " + SettingsPathForWriting() +
                            " gespeichert.",
                        MessageKind::Warning);
        }
    }
    ReadSettings(ini);
}

bool SaveSettings() {
    const std::string path = SettingsPathForWriting();
    // Keys of other programs or later versions in the same file are kept.
    IniFile ini;
    FileReadResult read;
    if (!ini.Load(path, &read) && read.status != FileReadStatus::Missing) {
        ShowMessage(ReadFailureMessage(read, path, "eine Einstellungsdatei") +
                        " Die Einstellungen werden nicht gespeichert, damit die Datei erhalten bleibt.",
                    MessageKind::Error);
        return false;
    }
    WriteSettings(ini);
    const WriteResult r = ini.Save(path);
    if (!r.ok) ShowMessage(r.error, MessageKind::Error);
    return r.ok;
}

}  // namespace kalvo
