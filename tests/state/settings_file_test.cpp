#include "settings_file.h"

#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <tuple>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "message_sink.h"
#include "program_state.h"

namespace kalvo {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kalvo-settings-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        ResetProgramState();
        gControl.ProgramDir = dir_.string();
        // Never the configuration folder of whoever runs the tests.
        setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        gControl.ProgramDir.clear();
        unsetenv("XDG_CONFIG_HOME");
        ResetProgramState();
    }
    fs::path ConfigFile() const { return dir_ / "config" / "kalvograf" / kSettingsFileName; }
    void WriteRaw(const std::string& bytes) {
        std::ofstream out(dir_ / kSettingsFileName, std::ios::binary);
        out << bytes;
    }
    fs::path dir_;
};

// Everything the settings file holds, set to values no default has.
void SetUnusualValues() {
    auto& k = gDisplay.Koordinatensystem;
    k = {1, 2, 0, 1, 3, "Zeit in ¶ s", "Weg über Grund", 0x123456, 3, 0xABCDEF, 4};
    for (int i = 1; i <= kGraphSlots; ++i) gDisplay.Schaubilder[i] = {static_cast<Color>(i * 1000), static_cast<uint8_t>(i % 4), i % 3 == 0};
    gDisplay.Schaubilder[34] = {0x0000FF, 3, true};
    gDisplay.Nachkommastellen = 3;
    gDisplay.Schriftgroesse = 13;
    gDisplay.Schriftname = "Liberation Sans";
    gDisplay.SchriftFett = true;
    gDisplay.Rahmen = true;
    gDisplay.HintergrundBildschirm = 0x102030;
    gDisplay.HintergrundDrucker = 0xF0E0D0;
    gDisplay.Aufloesung = 4;
    gDisplay.AnimationDelay = 250;
    for (int i = 1; i <= kListTerms; ++i) gTerms.Listenterme[i] = "x^" + std::to_string(i) + "+ö";
    std::tie(gTerms.KonstanteA, gTerms.KonstanteB, gTerms.KonstanteC, gTerms.KonstanteD) =
        std::tuple(0.1, -1e-300, 1.0 / 3.0, 6.02214076e23);
    gView = {-M_PI, std::nextafter(8.0, 9.0), -0.5, 1e9, -2, 3, false, -1, 1, -2, 2, -3, 3, -4, 4, 0.25, 0.5, 0.75, 1.5};
    gTerms.TermF = "sin(¶x)*größe";
    gTerms.TermG = "x^2-3";
    gParams = {-2, 2, 0.1, -1, 1, 0.2, -M_PI / 2, 2 * M_PI, 0.005, 1, 50, 2};
    gTerms.ParameterListe = "1; 2,5; sqrt(2)";
    gTerms.ParameterWerte = {1, 2.5, std::sqrt(2.0), 0, 0, 0, 0, 0, 0, 0, 3};
    gTerms.TermH1 = "x";
    gTerms.TermH2 = "x^2";
    gTerms.TermH3 = "1/x";
    gTerms.TermH4 = "e^x";
    gTerms.ParameterListe2 = "7";
    gTerms.ParameterWerte2 = {7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    gTerms.TermXt = "cos(t)";
    gTerms.TermYt = "sin(2t)";
}

TEST_F(SettingsFileTest, RoundTripIsBitIdentical) {
    SetUnusualValues();
    const ViewWindowState view = gView;
    const ParameterState params = gParams;
    const TermState terms = gTerms;
    const DisplayState display = gDisplay;
    ASSERT_TRUE(SaveSettings());

    ResetProgramState();
    gControl.ProgramDir = dir_.string();
    LoadSettings();
    EXPECT_TRUE(gView == view);
    EXPECT_TRUE(gParams == params);
    EXPECT_TRUE(gTerms == terms);
    EXPECT_TRUE(gDisplay == display);
    EXPECT_EQ(gTerms.TermF.str(), "sin(¶x)*größe");
}

TEST_F(SettingsFileTest, NoFileOrMissingKeysGiveTheProgramDefaults) {
    LoadSettings();
    EXPECT_EQ(gTerms.KonstanteD, 1);
    EXPECT_EQ(gParams.ParamkurveTVon, -M_PI);
    EXPECT_EQ(gParams.ParamkurveTSchrittweite, 0.01);
    // Never black on black, a 0-point font or a 0x0 metafile.
    EXPECT_EQ(gDisplay.HintergrundBildschirm, 0xFFFFFFu);
    EXPECT_EQ(gDisplay.Schriftgroesse, 10);
    EXPECT_EQ(gDisplay.Aufloesung, 3);
    EXPECT_TRUE(gDisplay.Schaubilder[1].zeichnen);

    gView.BereichX2 = 100;  // a missing key does not keep the current value here
    WriteRaw("[xyBereich]\nx1=-2\n");
    LoadSettings();
    EXPECT_EQ((std::array{gView.BereichX1, gView.BereichX2, gView.BereichY1, gView.BereichY2}),
              (std::array<double, 4>{-2, 8, -8, 8}));
}

TEST_F(SettingsFileTest, OldWindowsFileWithGarbageLoadsClamped) {
    WriteRaw("[KOORDINATENSYSTEM]\r\nxskalierung=7\r\nGitter=-1\r\nArt=x\r\nSchriftgr\xF6\xDF" "e=99\r\n"
             "xAchsentext=Stra\xDF" "e\r\n"
             "[schaubilder]\r\nLINIENART5=200\r\nLinienfarbe5=$FF\r\nzeichnen5=1\r\n"
             "[fg Funktionsterme]\r\nF(X)=2\xB6x\r\n"
             "[fg Parameter t]\r\nSchrittweite=0,5\r\nWert1=2,5\r\nWert11=57\r\n"
             "[h Parameter t]\r\nWert211=-3\r\nvon=-2\r\nbis=2\r\nSchrittweite=0,000001\r\n"
             "[Eingabe]\r\nNachkommastellen=12\r\n[Grafikdatei]\r\nAufloesung=0\r\n"
             "[3d-Animation Delay]\r\ntime=5000\r\n[Konstanten]\r\na=garbage\r\nb=1e400\r\n");
    LoadSettings();
    const auto& k = gDisplay.Koordinatensystem;
    // Art is not a number and keeps the current value.
    EXPECT_EQ((std::tuple<int, int, int>(k.xSkalierung, k.Gitter, k.Art)), std::tuple(2, 0, 0));
    EXPECT_EQ(gDisplay.Schriftgroesse, 14);
    EXPECT_EQ(k.xAchsentext.str(), "Straße");
    EXPECT_EQ(gDisplay.Schaubilder[5], (Schaubild{0xFF, 3, true}));
    EXPECT_EQ(gTerms.TermF.str(), "2¶x");
    EXPECT_EQ(gParams.FgTSchrittweite, 0.5);
    EXPECT_EQ(std::tuple(gTerms.ParameterWerte[0], gTerms.ParameterWerte[10], gTerms.ParameterWerte2[10]),
              std::tuple(2.5, 10.0, 0.0));
    // Four million curves of a family: the step is widened to the coarsest
    // the family dialog allows, over the same range.
    EXPECT_EQ(std::pair(gParams.HTVon, gParams.HTBis), std::pair(-2.0, 2.0));
    EXPECT_DOUBLE_EQ(gParams.HTSchrittweite, 4.0 / 249);
    EXPECT_EQ(std::tuple(gDisplay.Nachkommastellen, gDisplay.Aufloesung, gDisplay.AnimationDelay),
              std::tuple(3, 2, 1000));
    EXPECT_EQ(std::pair(gTerms.KonstanteA, gTerms.KonstanteB), std::pair(1.0, 1.0));
    EXPECT_EQ(gView.BereichX1, -8);
}

TEST_F(SettingsFileTest, LongTextsAreCutWhereTheyAreStored) {
    WriteRaw("[fg Funktionsterme]\nf(x)=" + std::string(200, 'x') + "\n[Funktionsterme]\nf1(x)=" +
             std::string(100, 'y') + "\n[Koordinatensystem]\nyAchsentext=" + std::string(90, 'z') + "\n");
    LoadSettings();
    EXPECT_EQ((std::vector<size_t>{gTerms.TermF.size(), gTerms.Listenterme[1].size(),
                                   gDisplay.Koordinatensystem.yAchsentext.size()}),
              (std::vector<size_t>{120, 60, 80}));
}

TEST_F(SettingsFileTest, SavingKeepsForeignKeysAndOrder) {
    WriteRaw("[Fremd]\nschluessel=wert\n[xyBereich]\nx1=5\n");
    gView.BereichX1 = -3;
    ASSERT_TRUE(SaveSettings());
    IniFile ini;
    ASSERT_TRUE(ini.Load((dir_ / kSettingsFileName).string()));
    EXPECT_EQ(ini.ReadString("Fremd", "schluessel", ""), "wert");
    EXPECT_EQ(ini.ReadFloat("xyBereich", "x1", 0), -3);
    const auto names = ini.SectionNames();
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names[2], "Koordinatensystem");
    EXPECT_EQ(names.back(), "Grafik");
    EXPECT_EQ(names[names.size() - 5], "Farben");
}

TEST_F(SettingsFileTest, FailedSaveKeepsTheOldFileAndSaysSo) {
    // A failure that holds for root as well: the file in the program folder
    // cannot be read; the configuration folder it would go to instead cannot
    // be made.
    const fs::path program = dir_ / "configuration folder below a file";
    fs::create_directories(program / kSettingsFileName);
    gControl.ProgramDir = program.string();
    std::ofstream(program / "config") << "";
    setenv("XDG_CONFIG_HOME", (program / "config").c_str(), 1);
    MessageRecorder messages;
    EXPECT_FALSE(SaveSettings());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_NE(messages.messages()[0].find("kann nicht geschrieben werden: Ein Teil des Pfades ist kein Ordner"),
              std::string::npos)
        << messages.messages()[0];
}

// Wherever the program folder and its file stand, what is saved is read at
// the next start; saved elsewhere than in the program folder, the program
// says where, and a protected file there stays as it was.
TEST_F(SettingsFileTest, WhatIsSavedComesBackAtTheNextStart) {
    enum Local { None, File, ProtectedFile };
    // config: 0 none, else a file older (-1) or newer (1) than the program
    // folder's; read: x1 at the start; toConfig: saved there.
    const struct { const char* name; Local local; bool protectedFolder; int config; double read; bool toConfig; } cases[] = {
        {"nothing", None, false, 0, -8, false},
        {"program folder", File, false, 0, 5, false},
        {"protected folder", File, true, 0, 5, true},
        {"protected file", ProtectedFile, false, 0, 5, true},
        {"protected empty folder", None, true, 0, -8, true},
        {"configuration newer", File, false, 1, 6, false},
        {"configuration older", File, false, -1, 5, false},
        {"configuration older, folder protected", File, true, -1, 6, true},
        {"configuration older, file protected", ProtectedFile, false, -1, 6, true},
        {"configuration only", None, false, -1, 6, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetProgramState();
        const fs::path program = dir_ / c.name, local = program / kSettingsFileName;
        const fs::path config = program / "config" / "kalvograf" / kSettingsFileName;
        fs::create_directories(config.parent_path());
        setenv("XDG_CONFIG_HOME", (program / "config").c_str(), 1);
        gControl.ProgramDir = program.string();
        if (c.local != None) std::ofstream(local) << "[xyBereich]\nx1=5\n";
        if (c.config != 0) std::ofstream(config) << "[xyBereich]\nx1=6\n";
        // The older one an hour before the other.
        if (c.local != None && c.config != 0)
            fs::last_write_time(c.config < 0 ? config : local,
                                fs::last_write_time(c.config < 0 ? local : config) - std::chrono::hours(1));
        if (c.local == ProtectedFile) fs::permissions(local, fs::perms::owner_read);
        if (c.protectedFolder) fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);

        MessageRecorder messages;
        LoadSettings();
        EXPECT_EQ(gView.BereichX1, c.read);
        gView.BereichX1 = -4;
        EXPECT_TRUE(SaveSettings());
        const std::string said = messages.messages().empty() ? "" : messages.messages().back();
        EXPECT_EQ(messages.messages().size(), c.toConfig ? 1u : 0u);
        EXPECT_EQ(said.rfind("Die Einstellungen wurden in " + config.string() + " gespeichert, weil ", 0) == 0, c.toConfig);
        ResetProgramState();
        gControl.ProgramDir = program.string();
        LoadSettings();
        EXPECT_EQ(gView.BereichX1, -4);
        fs::permissions(program, fs::perms::owner_all);
        // The program folder's file holds what was saved there, or stays as it was.
        IniFile kept;
        const double x1 = kept.Load(local.string()) ? kept.ReadFloat("xyBereich", "x1", 0) : 0;
        EXPECT_EQ(x1, !c.toConfig ? -4 : c.local != None ? 5 : 0);
    }
}

TEST_F(SettingsFileTest, UnwritableProgramFolderUsesTheConfigFolder) {
    // A program folder no file can be made in, for root as well.
    std::ofstream(dir_ / "datei") << "";
    gControl.ProgramDir = (dir_ / "datei" / "programm").string();
    gView.BereichX1 = -4;
    MessageRecorder messages;
    EXPECT_TRUE(SaveSettings());
    EXPECT_TRUE(fs::exists(ConfigFile()));
    gView.BereichX1 = 0;
    LoadSettings();
    EXPECT_EQ(gView.BereichX1, -4);
    // Only where they went is said.
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_NE(messages.messages()[0].find(ConfigFile().string()), std::string::npos);
}

// A kalvo.INI that exists but cannot be read: the program starts with the
// defaults, says so once, and never replaces the file; the settings go to
// the configuration folder and come from there at the next start.
TEST_F(SettingsFileTest, AnUnreadableSettingsFileIsLeftAlone) {
    const struct { const char* name; const char* said; } cases[] = {
        {"folder", "kann nicht gelesen werden"},
        {"pipe", "kann nicht gelesen werden"},
        {"too-large", "ist zu groß für eine Einstellungsdatei"},
    };
    for (const auto& c : cases) {
        ResetProgramState();
        const fs::path program = dir_ / c.name;
        fs::create_directories(program);
        gControl.ProgramDir = program.string();
        setenv("XDG_CONFIG_HOME", (program / "config").c_str(), 1);
        const fs::path file = program / kSettingsFileName;
        if (c.name[0] == 'f') {
            fs::create_directories(file / "inhalt");
        } else if (c.name[0] == 'p') {
            ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
        } else {
            std::ofstream out(file, std::ios::binary);
            out << "[xyBereich]\nx1=5\n";
            out.seekp(static_cast<std::streamoff>(IniFile::kMaxFileBytes));
            out.put('\n');
        }
        MessageRecorder messages;
        gView.BereichX1 = 3;
        LoadSettings();
        EXPECT_EQ(gView.BereichX1, -8) << c.name;
        ASSERT_EQ(messages.messages().size(), 1u) << c.name;
        EXPECT_NE(messages.messages()[0].find(c.said), std::string::npos) << messages.messages()[0];
        EXPECT_NE(messages.messages()[0].find("Vorgabewerten"), std::string::npos);

        gView.BereichX1 = -4;
        EXPECT_TRUE(SaveSettings()) << c.name;
        EXPECT_TRUE(fs::exists(program / "config" / "kalvograf" / kSettingsFileName)) << c.name;
        gView.BereichX1 = 0;
        LoadSettings();
        EXPECT_EQ(gView.BereichX1, -4) << c.name;
        // The start, where the settings went, the next start.
        EXPECT_EQ(messages.messages().size(), 3u) << c.name;
    }
    EXPECT_TRUE(fs::is_directory(dir_ / "folder" / kSettingsFileName / "inhalt"));
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe" / kSettingsFileName));
    EXPECT_EQ(fs::file_size(dir_ / "too-large" / kSettingsFileName), IniFile::kMaxFileBytes + 1);
}

}  // namespace
}  // namespace kalvo
