#include "settings_file.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cerrno>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

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

// No write permission at all, or none for us: root may write anything, but
// a file or folder without any write bit is one its owner protected.
bool WriteProtected(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    return (st.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS));
}

// Why the settings cannot go into the program folder's file; empty when they can.
std::string WhyNotTheProgramFolder() {
    const std::string dir = gControl.ProgramDir.empty() ? "." : gControl.ProgramDir;
    const std::string local = ProgramFolderFile();
    const FileReadStatus s = ReadFileBytes(local, IniFile::kMaxFileBytes).status;
    // A file that exists but cannot be read is never replaced: its sections of
    // other programs and the user's own settings would be lost.
    if (s != FileReadStatus::Ok && s != FileReadStatus::Missing) return "die Datei " + local + " nicht gelesen werden kann";
    if (!FolderIsWritable(dir) || WriteProtected(dir)) return "im Programmordner " + dir + " keine Datei geschrieben werden kann";
    if (s == FileReadStatus::Ok && WriteProtected(local)) return "die Datei " + local + " schreibgeschützt ist";
    return {};
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

}  // namespace

// The settings come from where they were saved last: the configuration
// folder's file whenever saving goes there, and also when it is newer than
// the program folder's (saved while that folder was protected).
std::string SettingsPathForReading() {
    const std::string local = ProgramFolderFile(), config = ConfigFolderFile();
    if (!IsRegularFile(config)) return local;
    if (!IsRegularFile(local) || !WhyNotTheProgramFolder().empty()) return config;
    std::error_code e1, e2;
    const auto localTime = fs::last_write_time(local, e1), configTime = fs::last_write_time(config, e2);
    return !e1 && !e2 && configTime > localTime ? config : local;
}

std::string SettingsPathForWriting() {
    if (WhyNotTheProgramFolder().empty()) return ProgramFolderFile();
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
    const std::string local = ProgramFolderFile(), config = ConfigFolderFile();
    const std::string path = SettingsPathForReading();
    // The other file when the chosen one cannot be read.
    const std::string other = path == local ? config : local;
    IniFile ini;
    FileReadResult first, second;
    std::string from;
    if (ini.Load(path, &first))
        from = path;
    else if (ini.Load(other, &second))
        from = other;
    const FileReadResult& configRead = path == config ? first : second;
    const FileReadResult localRead = path == local     ? first
                                     : from != config ? second
                                                      : ReadFileBytes(local, IniFile::kMaxFileBytes);
    // Said at every start: a program folder's file that cannot be read, and
    // one in the configuration folder when nothing could be read instead.
    const bool localBroken = localRead.status != FileReadStatus::Ok && localRead.status != FileReadStatus::Missing;
    const bool configBroken = from.empty() && configRead.status != FileReadStatus::Missing;
    if (localBroken || configBroken) {
        ShowMessage(ReadFailureMessage(localBroken ? localRead : configRead, localBroken ? local : config,
                                       "eine Einstellungsdatei") +
                        (from.empty() ? " Das Programm beginnt mit den Vorgabewerten."
                                      : " Es gelten die Einstellungen aus " + from + ".") +
                        " Die Datei bleibt unverändert; Einstellungen werden in " + SettingsPathForWriting() +
                        " gespeichert.",
                    MessageKind::Warning);
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
    if (!r.ok) {
        ShowMessage(r.error, MessageKind::Error);
        return false;
    }
    if (path != ProgramFolderFile())
        ShowMessage("Die Einstellungen wurden in " + path + " gespeichert, weil " + WhyNotTheProgramFolder() +
                        ". Beim nächsten Start werden sie von dort gelesen.",
                    MessageKind::Info);
    return true;
}

}  // namespace kalvo
