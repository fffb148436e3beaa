// Files: writes that replace a file whole or not at all, reads that open
// only regular files within a size limit, and the settings file format with
// its encodings and numbers.

#include "atomic_file.h"
#include "ini_file.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "decimal.h"
#include "text_codec.h"

namespace kalvo {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

size_t FilesIn(const fs::path& dir) { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }

mode_t ModeOf(const fs::path& p) { return static_cast<mode_t>(fs::status(p).permissions()); }

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kalvo-atomic-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
    }
    void Write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }
    fs::path dir_;
};

// Failures that hold for root as well; each keeps what stood there and
// leaves no temporary file, with the reason in German.
TEST_F(AtomicFileTest, FailuresKeepTheOldFileAndSayWhyInGerman) {
    Write(dir_ / "datei", "alt");
    fs::create_directories(dir_ / "ordner" / "inhalt");
    Write(dir_ / "geschuetzt.ini", "alt");
    fs::permissions(dir_ / "geschuetzt.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0644), 0);
    const struct { fs::path target; const char* reason; } cases[] = {
        {dir_ / "datei" / "a.ini", "kann nicht geschrieben werden: Ein Teil des Pfades ist kein Ordner."},
        {dir_ / "ordner", "kann nicht geschrieben werden: An dieser Stelle steht ein Ordner."},
        {dir_ / "fehlt" / "a.ini", "kann nicht geschrieben werden: Datei oder Ordner nicht gefunden."},
        {dir_ / "geschuetzt.ini", "ist schreibgeschützt; sie wurde nicht überschrieben."},
        {dir_ / "pipe", "kann nicht geschrieben werden: Das ist keine gewöhnliche Datei."},
    };
    for (const auto& c : cases) {
        const auto r = WriteFileAtomically(c.target.string(), "neu");
        EXPECT_FALSE(r.ok) << c.target;
        EXPECT_EQ(r.error, "Die Datei " + c.target.string() + " " + c.reason);
    }
    EXPECT_EQ(ReadAll(dir_ / "datei"), "alt");
    EXPECT_EQ(ReadAll(dir_ / "geschuetzt.ini"), "alt");
    EXPECT_EQ(ModeOf(dir_ / "geschuetzt.ini"), 0444u);
    EXPECT_TRUE(fs::is_directory(dir_ / "ordner" / "inhalt"));
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
    EXPECT_EQ(FilesIn(dir_), 4u);
    EXPECT_FALSE(FolderIsWritable((dir_ / "datei").string()));
}

TEST_F(AtomicFileTest, TheNewFileReplacesTheOldAndKeepsWhatItWas) {
    ASSERT_TRUE(WriteFileAtomically((dir_ / "a.ini").string(), "old").ok);
    ASSERT_TRUE(WriteFileAtomically((dir_ / "a.ini").string(), "new content").ok);
    EXPECT_EQ(ReadAll(dir_ / "a.ini"), "new content");
    EXPECT_EQ(FilesIn(dir_), 1u);  // no temporary file left
    for (mode_t mode : {0600u, 0640u, 0664u}) {
        const auto target = dir_ / ("m" + std::to_string(mode));
        Write(target, "alt");
        ::chmod(target.c_str(), mode);
        ASSERT_TRUE(WriteFileAtomically(target.string(), "neu").ok);
        EXPECT_EQ(ModeOf(target), mode);
        EXPECT_EQ(ReadAll(target), "neu");
    }
    // A link stays a link, relative or absolute, and the file it points to
    // gets the bytes; a link to a file that does not exist yet creates it.
    fs::create_directories(dir_ / "echt");
    Write(dir_ / "echt" / "ziel.ini", "alt");
    fs::create_symlink("echt/ziel.ini", dir_ / "relativ.ini");
    fs::create_symlink(dir_ / "relativ.ini", dir_ / "kette.ini");
    fs::create_symlink(dir_ / "echt" / "neu.ini", dir_ / "offen.ini");
    ASSERT_TRUE(WriteFileAtomically((dir_ / "kette.ini").string(), "über die Kette").ok);
    EXPECT_TRUE(fs::is_symlink(dir_ / "kette.ini"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "relativ.ini"));
    EXPECT_EQ(ReadAll(dir_ / "echt" / "ziel.ini"), "über die Kette");
    ASSERT_TRUE(WriteFileAtomically((dir_ / "offen.ini").string(), "neu").ok);
    EXPECT_TRUE(fs::is_symlink(dir_ / "offen.ini"));
    EXPECT_EQ(ReadAll(dir_ / "echt" / "neu.ini"), "neu");
    EXPECT_EQ(FilesIn(dir_ / "echt"), 2u);

    fs::create_symlink("schleife.ini", dir_ / "schleife.ini");
    const auto loop = WriteFileAtomically((dir_ / "schleife.ini").string(), "x");
    EXPECT_FALSE(loop.ok);
    EXPECT_NE(loop.error.find("Zu viele symbolische Verknüpfungen"), std::string::npos);
}

TEST_F(AtomicFileTest, TemporaryFilesOfADeadSaveGoWithTheNextSave) {
    const auto target = dir_ / "a.ini";
    Write(dir_ / "a.ini.tmp-Ab3xYz", "halb");   // left by a save that died
    Write(dir_ / "b.ini.tmp-Ab3xYz", "fremd");  // of another file
    Write(dir_ / "a.ini.tmp-zu-lang", "fremd");
    // A save running at the same time holds the lock on its temporary file.
    Write(dir_ / "a.ini.tmp-laeuft", "läuft");
    const int busy = ::open((dir_ / "a.ini.tmp-laeuft").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    ASSERT_TRUE(WriteFileAtomically(target.string(), "neu").ok);
    ::close(busy);
    EXPECT_FALSE(fs::exists(dir_ / "a.ini.tmp-Ab3xYz"));
    EXPECT_TRUE(fs::exists(dir_ / "a.ini.tmp-laeuft"));
    EXPECT_TRUE(fs::exists(dir_ / "b.ini.tmp-Ab3xYz"));
    EXPECT_TRUE(fs::exists(dir_ / "a.ini.tmp-zu-lang"));
    EXPECT_EQ(ReadAll(target), "neu");
}

TEST_F(AtomicFileTest, ReadingOpensOnlyRegularFilesAndKeepsToTheLimit) {
    Write(dir_ / "klein", "12345");
    Write(dir_ / "gross", std::string(100, 'x'));
    fs::create_directories(dir_ / "ordner");
    // Opening a named pipe for reading would wait for a writer for good.
    ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0644), 0);
    const struct { const char* name; FileReadStatus status; const char* message; } cases[] = {
        {"klein", FileReadStatus::Ok, ""},
        {"gross", FileReadStatus::TooLarge, "Die Datei gross ist zu groß für eine Termliste."},
        {"fehlt", FileReadStatus::Missing, "Die Datei fehlt kann nicht gelesen werden."},
        {"ordner", FileReadStatus::NotRegular, "Die Datei ordner kann nicht gelesen werden."},
        {"pipe", FileReadStatus::NotRegular, "Die Datei pipe kann nicht gelesen werden."},
        {"klein/x", FileReadStatus::Missing, "Die Datei klein/x kann nicht gelesen werden."},
    };
    for (const auto& c : cases) {
        const auto r = ReadFileBytes((dir_ / c.name).string(), 99);
        EXPECT_EQ(r.status, c.status) << c.name;
        if (r.ok())
            EXPECT_EQ(r.bytes, "12345");
        else
            EXPECT_EQ(ReadFailureMessage(r, c.name, "eine Termliste"), c.message);
    }
    EXPECT_EQ(ReadFileBytes((dir_ / "gross").string(), 100).bytes.size(), 100u);
}

TEST(SystemErrorText, TheSystemsReasonsInGerman) {
    EXPECT_EQ(SystemErrorText(ENOSPC), "Kein Platz auf dem Datenträger");
    EXPECT_EQ(SystemErrorText(EROFS), "Der Datenträger ist schreibgeschützt");
    EXPECT_EQ(SystemErrorText(EACCES), "Zugriff verweigert");
    // Every reason a file operation gives has words of its own, never the
    // system's English text.
    for (int e : {ENOSPC, EDQUOT, EACCES, EPERM, EROFS, ENOENT, ENOTDIR, EISDIR, ENAMETOOLONG, ELOOP, EIO, EFBIG,
                  EMFILE, ENFILE, ENOMEM, EBUSY, ETXTBSY, EXDEV, EEXIST, ENXIO, ENODEV, EINVAL}) {
        const std::string text = SystemErrorText(e);
        EXPECT_EQ(text.find("Systemfehler"), std::string::npos) << e;
        EXPECT_NE(text, std::strerror(e));
    }
    EXPECT_EQ(SystemErrorText(EPROTO), "Systemfehler " + std::to_string(EPROTO));
}

TEST(IniFile, LookupIgnoresCaseAndKeepsOrder) {
    IniFile ini;
    ini.Parse("; comment\n[Koordinatensystem]\nSchriftgröße=12\nArt = 1 \n[Zweite]\nk=v\n");
    EXPECT_EQ(ini.ReadInteger("KOORDINATENSYSTEM", "SCHRIFTGRÖSSE", -1), -1);  // ß has no capital here
    EXPECT_EQ(ini.ReadInteger("koordinatensystem", "SCHRIFTGRÖßE", -1), 12);
    EXPECT_EQ(ini.ReadInteger("Koordinatensystem", "art", -1), 1);
    ini.WriteString("zweite", "K", "neu");
    ini.WriteString("Dritte", "x", "1");
    ini.WriteString("Koordinatensystem", "Neu", "2");
    EXPECT_EQ(ini.Text(),
              "[Koordinatensystem]\nSchriftgröße=12\nArt=1\nNeu=2\n\n[Zweite]\nk=neu\n\n[Dritte]\nx=1\n\n");
    // Lookups stay right after a section in the middle goes.
    ini.EraseSection("ZWEITE");
    EXPECT_FALSE(ini.SectionExists("zweite"));
    EXPECT_EQ(ini.ReadInteger("dritte", "X", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Koordinatensystem", "Neu", 0), 2);
}

// Names match without regard to the case of ASCII and Latin-1 letters, and
// only so; values written over shorter or longer ones read back whole.
TEST(IniFile, NamesMatchByCaseFoldingAndValuesAreReplacedInPlace) {
    IniFile ini;
    ini.Parse("[Größe Ä]\nÖl=1\nSchlüssel=2\n[×]\nk=3\n");
    const std::tuple<const char*, const char*, int> cases[] = {
        {"größe ä", "öl", 1}, {"GRÖßE Ä", "ÖL", 1}, {"größe ä", "SCHLÜSSEL", 2}, {"×", "K", 3},
        {"÷", "k", -1},  // the division sign is no capital of the multiplication sign
        {"größe a", "öl", -1}, {"größe ä", "ol", -1}, {"größe ä ", "öl", -1},
    };
    for (const auto& [section, key, value] : cases) EXPECT_EQ(ini.ReadInteger(section, key, -1), value) << section << key;

    ini.WriteString("GRÖSSE Ä", "neu", "x");  // another section: ß has no capital here
    ini.WriteString("größe ä", "ÖL", "ein längerer Wert");
    ini.WriteString("größe ä", "schlüssel", "");
    ini.WriteString("×", "K", "zwei\nZeilen");
    EXPECT_EQ(ini.Text(), "[Größe Ä]\nÖl=ein längerer Wert\nSchlüssel=\n\n[×]\nk=zwei Zeilen\n\n[GRÖSSE Ä]\nneu=x\n\n");
    // A copy is a file of its own.
    IniFile copy = ini;
    copy.WriteString("×", "k", "1");
    EXPECT_EQ(ini.ReadString("×", "k", ""), "zwei Zeilen");
}

// Every lookup looks at a few stored names, however many sections and keys
// the file has and in whatever order they are asked for: reading a large
// archive costs each set the same.
TEST(IniFile, LookupsLookAtAFewNamesWhateverTheSize) {
    for (const int sections : {50, 20000}) {
        std::string text;
        for (int i = 0; i < sections; ++i) {
            text += "[Abschnitt Nr" + std::to_string(i) + "]\n";
            // One section of many keys among sections of a few.
            for (int k = 0; k < (i % 50 == 7 ? 300 : 4); ++k) text += "Schluessel" + std::to_string(k) + "=" + std::to_string(i + k) + "\n";
        }
        IniFile ini;
        ini.Parse(text);
        const size_t parsed = ini.Probes();
        EXPECT_LE(parsed, static_cast<size_t>(sections) * 30) << sections;
        // In order, as the archive reads, out of order, and names that are missing.
        size_t lookups = 0, wrong = 0;
        const size_t before = ini.Probes();
        for (int i = 0; i < sections; ++i)
            for (int k = 0; k < 4; ++k, ++lookups)
                wrong += ini.ReadInteger("abschnitt nr" + std::to_string(i), "SCHLUESSEL" + std::to_string(k), -1) != i + k;
        for (int i = sections - 1; i >= 0; i -= 7)
            for (const int k : {299, 3, 150, 0}) {
                ++lookups;
                wrong += ini.ReadInteger("Abschnitt Nr" + std::to_string(i), "Schluessel" + std::to_string(k), -1) !=
                         (i % 50 == 7 || k < 4 ? i + k : -1);
            }
        for (int i = 0; i < sections; i += 3, lookups += 2) {
            wrong += ini.ValueExists("Abschnitt Nr" + std::to_string(i), "fehlt");
            wrong += ini.SectionExists("Fehlt Nr" + std::to_string(i));
        }
        EXPECT_EQ(wrong, 0u) << sections;
        EXPECT_LE(ini.Probes() - before, 6 * lookups) << sections;
    }
}

TEST(IniFile, TypedReadsFallBackToTheirDefaults) {
    IniFile ini;
    ini.Parse("[s]\ni=42\nh=$FF\nx=0x10\nneg=-7\nbig=99999999999\nbad=12a\nf=2,5\ng=1.5e3\nb=2\nz=0\n"
              "inf=inf\nempty=\ncolour=$FFFFFFFF\n");
    // (key, default, value read)
    const std::tuple<const char*, int, int> integers[] = {{"i", 0, 42},   {"h", 0, 255},   {"x", 0, 16},
                                                          {"neg", 0, -7}, {"big", 5, 5},   {"bad", 5, 5},
                                                          {"missing", 5, 5}, {"colour", 0, -1}};
    for (auto [key, fallback, value] : integers) EXPECT_EQ(ini.ReadInteger("s", key, fallback), value) << key;
    const std::tuple<const char*, double, double> floats[] = {{"f", 0, 2.5}, {"g", 0, 1500}, {"inf", 3, 3}, {"empty", 3, 3}};
    for (auto [key, fallback, value] : floats) EXPECT_EQ(ini.ReadFloat("s", key, fallback), value) << key;
    EXPECT_TRUE(ini.ReadBool("s", "b", false));
    EXPECT_FALSE(ini.ReadBool("s", "z", true));
    EXPECT_TRUE(ini.ReadBool("s", "bad", true));
    EXPECT_EQ(ini.ReadString("s", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("t", "empty", "d"), "d");
}

TEST(IniFile, ValuesSurviveAWriteAndReadExactly) {
    const std::string texts[] = {"  führende Blanks", "\"in Anführungszeichen\"", "a=b=c", "; kein Kommentar",
                                 "x\xC2\xB6", "", "[keine Sektion]"};
    const double numbers[] = {-3.141592653589793, 0.1, 1e-300, 5e-324, 1.7976931348623157e308, -0.0, 123456789.0};
    IniFile out;
    for (size_t i = 0; i < std::size(texts); ++i) out.WriteString("T", "k" + std::to_string(i), texts[i]);
    for (size_t i = 0; i < std::size(numbers); ++i) out.WriteFloat("F", "k" + std::to_string(i), numbers[i]);
    out.WriteString("T", "zeilen", "eins\nzwei\r\ndrei");
    IniFile in;
    in.Parse(out.Text());
    for (size_t i = 0; i < std::size(texts); ++i) EXPECT_EQ(in.ReadString("T", "k" + std::to_string(i), "?"), texts[i]);
    for (size_t i = 0; i < std::size(numbers); ++i) {
        const double v = in.ReadFloat("F", "k" + std::to_string(i), 42);
        EXPECT_EQ(std::signbit(v), std::signbit(numbers[i]));
        EXPECT_EQ(v, numbers[i]);
    }
    EXPECT_EQ(in.ReadString("T", "zeilen", "?"), "eins zwei  drei");
    EXPECT_EQ(in.SectionNames().size(), 2u);
}

// Old files in Windows-1252 with CR LF, or edited with programs of both
// encodings: each line is read as what it is.
TEST(IniFile, OldFilesInWindows1252WithCrLfAndMixedLines) {
    IniFile ini;
    ini.Parse("\r\n[Koordinatensystem]\r\nSchriftgr\xF6\xDF" "e=11\r\nxAchsentext=\xB6 \x80\r\n"
              "yAchsentext=Weg in m²\r\n[Doppelt]\r\nk=1\r\nk=2\r\n[doppelt]\r\nj=3\r\nohne Gleichheitszeichen\r\n");
    EXPECT_EQ(ini.ReadInteger("Koordinatensystem", "Schriftgröße", 0), 11);
    EXPECT_EQ(ini.ReadString("Koordinatensystem", "xAchsentext", ""), "¶ €");
    EXPECT_EQ(ini.ReadString("Koordinatensystem", "yAchsentext", ""), "Weg in m²");
    EXPECT_EQ(ini.ReadInteger("Doppelt", "k", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Doppelt", "j", 0), 3);
    EXPECT_EQ(ini.SectionNames().size(), 2u);

    IniFile bom;
    bom.Parse("\xEF\xBB\xBF[a]\nb=ä\n");
    EXPECT_EQ(bom.ReadString("a", "b", ""), "ä");
}

// UTF-16 is recognised by its byte-order mark; 8-bit text is decided line by line.
TEST(IniFile, TextCodec) {
    const struct { std::string bytes; std::string text; } cases[] = {
        {"Schriftgröße=11\nx=\xB6 \x80\r\nü=ü", "Schriftgröße=11\nx=¶ €\r\nü=ü"},
        {"a=\xFC\rb=ü\r", "a=ü\rb=ü\r"},
        {"\xEF\xBB\xBF" "a=ö\nb=\xF6", "a=ö\nb=ö"},
        {std::string("\xFF\xFE" "a\0=\0\xB6\0\n\0\x35\xD8\x65\xDC", 14), "a=¶\n\U0001D465"},
        {std::string("\xFE\xFF\0a\0=\x20\xAC\xD8\x00\0z", 12), "a=€\uFFFDz"},
        {std::string("\xFF\xFE" "a\0b", 5), "a\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeFileText(c.bytes), c.text) << c.text;
    EXPECT_TRUE(IsValidUtf8("ä¶€"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_EQ(Windows1252ToUtf8("\x81\x9F"), "\xEF\xBF\xBD\xC5\xB8");
    EXPECT_EQ(FoldCase("ÄÖÜ AbC ×"), "äöü abc ×");
}

TEST_F(AtomicFileTest, IniFilesMissingOversizedOrNoFiles) {
    IniFile ini;
    ini.Parse("[a]\nb=1\n");
    EXPECT_FALSE(ini.Load("/nonexistent/kalvo.INI"));
    EXPECT_FALSE(ini.SectionExists("a"));
    {
        std::ofstream out(dir_ / "gross.ini", std::ios::binary);
        out.seekp(static_cast<std::streamoff>(IniFile::kMaxFileBytes) + 1);
        out.put('x');
    }
    FileReadResult r;
    EXPECT_FALSE(ini.Load((dir_ / "gross.ini").string(), &r));
    EXPECT_EQ(r.status, FileReadStatus::TooLarge);
    // A named pipe is refused at once instead of waiting for a writer.
    ASSERT_EQ(::mkfifo((dir_ / "pipe.ini").c_str(), 0644), 0);
    EXPECT_FALSE(ini.Load((dir_ / "pipe.ini").string(), &r));
    EXPECT_EQ(r.status, FileReadStatus::NotRegular);
}

TEST(Decimal, ParsingIsStrict) {
    const struct { const char* text; bool ok; double value; } cases[] = {
        {"1,5", true, 1.5},  {"-1.5e-3", true, -0.0015}, {"+2", true, 2},   {"1e400", false, 0},
        {"nan", false, 0},   {"0x10", false, 0},         {"1.2.3", false, 0}, {"e5", false, 0},
        {" 7 ", true, 7},    {"--1", false, 0}};
    for (const auto& c : cases) {
        double v = 0;
        EXPECT_EQ(ParseDecimal(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(RoundTripText(0.1, ','), "0,1");
    EXPECT_EQ(RoundTripText(1e21), "1e+21");
}

}  // namespace
}  // namespace kalvo
