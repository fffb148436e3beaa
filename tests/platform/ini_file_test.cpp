#include "ini_file.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "decimal.h"
#include "text_codec.h"

namespace kalvo {
namespace {

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

TEST(IniFile, TypedReadsFallBackToTheirDefaults) {
    IniFile ini;
    ini.Parse("[s]\ni=42\nh=$FF\nx=0x10\nneg=-7\nbig=99999999999\nbad=12a\nf=2,5\ng=1.5e3\nb=2\nz=0\n"
              "inf=inf\nempty=\ncolour=$FFFFFFFF\n");
    EXPECT_EQ(ini.ReadInteger("s", "i", 0), 42);
    EXPECT_EQ(ini.ReadInteger("s", "h", 0), 255);
    EXPECT_EQ(ini.ReadInteger("s", "x", 0), 16);
    EXPECT_EQ(ini.ReadInteger("s", "neg", 0), -7);
    EXPECT_EQ(ini.ReadInteger("s", "big", 5), 5);
    EXPECT_EQ(ini.ReadInteger("s", "bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("s", "missing", 5), 5);
    EXPECT_EQ(ini.ReadInteger("s", "colour", 0), -1);
    EXPECT_EQ(ini.ReadFloat("s", "f", 0), 2.5);
    EXPECT_EQ(ini.ReadFloat("s", "g", 0), 1500);
    EXPECT_EQ(ini.ReadFloat("s", "inf", 3), 3);
    EXPECT_EQ(ini.ReadFloat("s", "empty", 3), 3);
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

TEST(IniFile, OldFilesInWindows1252WithCrLf) {
    IniFile ini;
    ini.Parse("\r\n[Koordinatensystem]\r\nSchriftgr\xF6\xDF" "e=11\r\nxAchsentext=\xB6 \x80\r\n[Doppelt]\r\nk=1\r\nk=2\r\n"
              "[doppelt]\r\nj=3\r\nohne Gleichheitszeichen\r\n");
    EXPECT_EQ(ini.ReadInteger("Koordinatensystem", "Schriftgröße", 0), 11);
    EXPECT_EQ(ini.ReadString("Koordinatensystem", "xAchsentext", ""), "¶ €");
    EXPECT_EQ(ini.ReadInteger("Doppelt", "k", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Doppelt", "j", 0), 3);
    EXPECT_EQ(ini.SectionNames().size(), 2u);

    IniFile bom;
    bom.Parse("\xEF\xBB\xBF[a]\nb=ä\n");
    EXPECT_EQ(bom.ReadString("a", "b", ""), "ä");
}

// A file edited with programs of both encodings: each line is read as what
// it is; UTF-16 is recognised by its byte-order mark.
TEST(IniFile, EncodingIsDecidedLineByLine) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"Schriftgröße=11\nx=\xB6 \x80\r\nü=ü", "Schriftgröße=11\nx=¶ €\r\nü=ü"},
        {"a=\xFC\rb=ü\r", "a=ü\rb=ü\r"},
        {"\xEF\xBB\xBF" "a=ö\nb=\xF6", "a=ö\nb=ö"},
        {std::string("\xFF\xFE" "a\0=\0\xB6\0\n\0\x35\xD8\x65\xDC", 14), "a=¶\n\U0001D465"},
        {std::string("\xFE\xFF\0a\0=\x20\xAC\xD8\x00\0z", 12), "a=€\uFFFDz"},
        {std::string("\xFF\xFE" "a\0b", 5), "a\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeFileText(c.bytes), c.text) << c.text;

    IniFile ini;
    ini.Parse("[Koordinatensystem]\nSchriftgröße=11\nxAchsentext=Zeit in \xB5s\nyAchsentext=Weg in m²\n");
    EXPECT_EQ(ini.ReadInteger("Koordinatensystem", "Schriftgröße", 0), 11);
    EXPECT_EQ(ini.ReadString("Koordinatensystem", "xAchsentext", ""), "Zeit in µs");
    EXPECT_EQ(ini.ReadString("Koordinatensystem", "yAchsentext", ""), "Weg in m²");
}

TEST(IniFile, TextCodec) {
    EXPECT_TRUE(IsValidUtf8("ä¶€"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_EQ(Windows1252ToUtf8("\x81\x9F"), "\xEF\xBF\xBD\xC5\xB8");
    EXPECT_EQ(FoldCase("ÄÖÜ AbC ×"), "äöü abc ×");
}

TEST(IniFile, MissingAndOversizedFiles) {
    IniFile ini;
    ini.Parse("[a]\nb=1\n");
    EXPECT_FALSE(ini.Load("/nonexistent/kalvo.INI"));
    EXPECT_FALSE(ini.SectionExists("a"));

    const auto path = std::filesystem::temp_directory_path() / ("kalvo-big-" + std::to_string(::getpid()));
    {
        std::ofstream out(path, std::ios::binary);
        out.seekp(static_cast<std::streamoff>(IniFile::kMaxFileBytes) + 1);
        out.put('x');
    }
    FileReadResult r;
    EXPECT_FALSE(ini.Load(path.string(), &r));
    EXPECT_EQ(r.status, FileReadStatus::TooLarge);
    std::filesystem::remove(path);

    // A named pipe is refused at once instead of waiting for a writer.
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    EXPECT_FALSE(ini.Load(path.string(), &r));
    EXPECT_EQ(r.status, FileReadStatus::NotRegular);
    std::filesystem::remove(path);
}

TEST(Decimal, ParsingIsStrict) {
    struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {{"1,5", true, 1.5},  {"-1.5e-3", true, -0.0015}, {"+2", true, 2},   {"1e400", false, 0},
                 {"nan", false, 0},   {"0x10", false, 0},         {"1.2.3", false, 0}, {"e5", false, 0},
                 {" 7 ", true, 7},    {"--1", false, 0}};
    for (const auto& c : cases) {
        double v = 0;
        EXPECT_EQ(ParseDecimal(c.text, v), c.ok) << c.text;
        if (c.ok) EXPECT_EQ(v, c.value) << c.text;
    }
    EXPECT_EQ(RoundTripText(0.1, ','), "0,1");
    EXPECT_EQ(RoundTripText(1e21), "1e+21");
}

}  // namespace
}  // namespace kalvo
