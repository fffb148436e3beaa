// The value table's cells and files: numbers in the general form, cell
// terms, pair lines, the file layouts and what loading tells the user.

#include "measured_data.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <cmath>

#include "atomic_file.h"
#include "number_cells.h"
#include "regression_test_support.h"

namespace kalvo {
namespace {

using test::RegressionTest;

TEST(GeneralNumberText, FifteenDigitsWithTheDecimalComma) {
    const struct { double x; int precision, expDigits; const char* text; } cases[] = {
        {1.5, 15, 0, "1,5"},          {-0.25, 15, 0, "-0,25"},           {0.1 + 0.2, 15, 0, "0,3"},
        {1234567.0, 15, 0, "1234567"}, {1e14, 15, 0, "100000000000000"}, {1e15, 15, 0, "1E15"},
        {0.00001, 15, 0, "0,00001"},   {0.0000015, 15, 0, "1,5E-6"},     {1.0 / 3, 15, 0, "0,333333333333333"},
        {1.0 / 3, 4, 3, "0,3333"},     {123456.0, 4, 3, "1,235E005"},    {-2.5e-9, 2, 3, "-2,5E-009"},
        {0.0, 15, 0, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(GeneralNumberText(c.x, c.precision, c.expDigits), c.text) << c.x;
}

TEST_F(RegressionTest, CellTermsAreConstantTermsThatReadBack) {
    struct Case { const char* text; bool ok; double value; } cases[] = {
        {"1,5", true, 1.5}, {"sqrt(2)", true, 1.4142135623730951}, {"2^10", true, 1024},
        {"1,5E-7", true, 1.5e-7}, {"x", false, 0}, {"1/0", false, 0}, {"", false, 0}, {"  ", false, 0},
        {"ln(-1)", false, 0}, {"3+", false, 0},
    };
    for (const Case& c : cases) {
        double v = -99;
        QuietParsing quiet;
        EXPECT_EQ(CellTermValue(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
    // Whatever the general form writes, a cell reads back to the value it shows.
    for (double x : {1.0 / 3, -7.25e-12, 6.02214076e23, 299792458.0}) {
        double v = 0;
        ASSERT_TRUE(CellTermValue(GeneralNumberText(x), v)) << x;
        EXPECT_NEAR(v, x, std::fabs(x) * 1e-14) << x;
    }
}

TEST(MeasuredData, PairLines) {
    struct Case { const char* line; WertepaarStatus status; double x, y; } cases[] = {
        {"1.5;3.5", WertepaarStatus::Ok, 1.5, 3.5},          {"1,5;3,5", WertepaarStatus::Ok, 1.5, 3.5},
        {"1,5\t3,5", WertepaarStatus::Ok, 1.5, 3.5},         {"  1, 5 ;  3 ,5  ", WertepaarStatus::Ok, 1.5, 3.5},
        {"2;", WertepaarStatus::Ok, 2, 0},                    {"-1.5E-3;1e3", WertepaarStatus::Ok, -0.0015, 1000},
        {"1;2;3", WertepaarStatus::KeineZahl, -9, -9},        {"7", WertepaarStatus::KeinTrenner, -9, -9},
        {"x;y", WertepaarStatus::KeineZahl, -9, -9},          {"1;nan", WertepaarStatus::KeineZahl, -9, -9},
        {"1e999;1", WertepaarStatus::KeineZahl, -9, -9},
    };
    for (const Case& c : cases) {
        double x = -9, y = -9;
        EXPECT_EQ(ParseWertepaar(c.line, x, y), c.status) << c.line;
        EXPECT_EQ(std::pair(x, y), std::pair(c.x, c.y)) << c.line;
    }
}

std::vector<std::pair<double, double>> Pairs(const Messdaten& d) {
    std::vector<std::pair<double, double>> out;
    for (int k = 1; k <= d.N; ++k) out.emplace_back(d.X[k], d.Y[k]);
    return out;
}

using P = std::vector<std::pair<double, double>>;

// Every line that is not a valid pair is left out and counted (first one by
// its line number); nothing stands in for it. LF and CR LF read alike.
TEST(MeasuredData, OwnFormat) {
    struct Case { const char* text; P pairs; int skipped, first, missing; } cases[] = {
        {"Regression\r\n2\r\n1,5;3,5\r\n2;4\r\n", {{1.5, 3.5}, {2, 4}}, 0, 0, 0},
        {"Regression\n5\n1;1\n2;2\n3;3\n", {{1, 1}, {2, 2}, {3, 3}}, 0, 0, 2},
        {"Regression\r\n5\r\n1;1\r\n2;2\r\n3;3\r\n\r\n", {{1, 1}, {2, 2}, {3, 3}}, 0, 0, 2},
        {"Regression\n3\n1;1\nkein Paar\n3;3", {{1, 1}, {3, 3}}, 1, 4, 0},
        {"Regression\r\n4\r\nx;y\r\n1 2\r\n\r\n3;4\r\nWorte hier\r\n5;6\r\n", {{3, 4}}, 3, 3, 0},
        {"Regression\n2\n\n1;2\n\n3;4\n", {{1, 2}, {3, 4}}, 0, 0, 0},
        {"regression\n1\n1;1\n", {}, 0, 0, 0},
        {"Regression\nzwei\n1;1\n", {}, 0, 0, 0},
        {"Regression\n-4\n1;1\n", {}, 0, 0, 0},
        {"Regression", {}, 0, 0, 0},
        {"", {}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const Messdaten d = LoadMesstabelleDat(c.text);
        EXPECT_EQ(Pairs(d), c.pairs) << c.text;
        EXPECT_EQ(std::tuple(d.Uebergangen, d.ErsteUebergangene, d.Fehlend), std::tuple(c.skipped, c.first, c.missing))
            << c.text;
    }

    // A count beyond the table reads no more than the file holds, and says the count as the file gives it.
    const Messdaten big = LoadMesstabelleDat("Regression\n2147483647\n1;1\n");
    EXPECT_EQ(Pairs(big), (P{{1, 1}}));
    EXPECT_EQ(big.Fehlend, 2147483646);
    EXPECT_EQ(LadeHinweis(big),
              "Die Datei gibt 2147483647 Wertepaare an, hat aber nur 1 Zeile dafür; gelesen wurde, was vorhanden ist.");
}

// An own-format file whose first two lines are not what they must be loads
// nothing and says which line is wrong.
TEST(MeasuredData, AFileThatLoadsNothingSaysWhy) {
    const std::string notOwn =
        "Ihre erste Zeile heißt nicht „Regression“ wie die einer Messtabelle im eigenen Format; als Messwerte mit "
        "Trennzeichen wird nur eine Datei mit der Endung .txt gelesen.";
    auto noCount = [](const char* text) {
        return std::string("Ihre zweite Zeile muss die Anzahl der Wertepaare angeben, eine ganze Zahl ab 1; dort steht „") +
               text + "“.";
    };
    const std::pair<const char*, std::string> cases[] = {
        {"Regression\ndrei\n1;1\n", noCount("drei")},
        {"Regression\r\n-1\r\n1;1\r\n", noCount("-1")},
        {"Regression\n2,9\n1;1\n2;2\n", noCount("2,9")},
        {"Regression\n10^20\n1;1\n", noCount("10^20")},
        {"Regression\n100000000000000000000\n1;1\n", noCount("100000000000000000000")},
        {"Regression\n0\n1;1\n", noCount("0")},
        {"Regression\n  \n1;1\n", noCount("")},
        {"Regression\n1234567890123456789012345678901234567890\n", noCount("123456789012345678901234567890…")},
        {"Regression", noCount("")},
        {"Regression\n", noCount("")},
        {"regression\n1\n1;1\n", notOwn},
        {"1;2\n3;4\n", notOwn},
        {"", ""},
        {"\r\n \r\n", ""},
    };
    for (const auto& [text, said] : cases) {
        const Messdaten d = LoadMesstabelleDat(text);
        EXPECT_EQ(d.N, 0) << text;
        EXPECT_EQ(LadeHinweis(d), said) << text;
    }
    EXPECT_EQ(NichtsGeladenMeldung(LoadMesstabelleDat("Regression\ndrei\n1;1\n"), "m.dat"),
              "Aus der Datei m.dat wurde kein Wertepaar geladen; die Tabelle bleibt, wie sie war.\n" + noCount("drei"));
    EXPECT_EQ(NichtsGeladenMeldung(LoadMesswerteTxt("\n"), "m.txt"),
              "Die Datei m.txt enthält keine Wertepaare; die Tabelle bleibt, wie sie war.");
}

// Lines that end in CR alone, as old Macintosh programs write them, are lines.
TEST(MeasuredData, LinesEndInLfCrLfOrCrAlone) {
    const P pairs = {{1, 2}, {3, 4}, {5, 6}};
    for (const char* ends : {"\n", "\r\n", "\r"}) {
        const std::string e = ends;
        EXPECT_EQ(Pairs(LoadMesstabelleDat("Regression" + e + "3" + e + "1;2" + e + "3;4" + e + "5;6" + e)), pairs) << e.size();
        EXPECT_EQ(Pairs(LoadMesswerteTxt("1;2" + e + "3;4" + e + e + "5;6")), pairs) << e.size();
    }
    const Messdaten mixed = LoadMesstabelleDat("Regression\r3\r\n1;2\n\r3;4\r5;6");
    EXPECT_EQ(Pairs(mixed), pairs);
    EXPECT_EQ(LadeHinweis(mixed), "");
}

// The table holds 500 pairs; a file with more loads its first 500 and says
// that the others are not in the table, nor in a file saved from it.
TEST(MeasuredData, PairsBeyondTheTableAreCountedAndNamed) {
    auto lines = [](int from, int to) {
        std::string s;
        for (int i = from; i <= to; ++i) s += std::to_string(i) + ";1\r\n";
        return s;
    };
    struct Case { std::string text; bool own; int beyond, missing; std::string said; } cases[] = {
        {lines(1, 700), false, 200, 0,
         "Die Datei hat 700 Wertepaare, die Tabelle fasst 500: Geladen wurden die ersten 500; wird die Tabelle "
         "gespeichert, fehlen darin die übrigen 200."},
        {lines(1, 501), false, 1, 0,
         "Die Datei hat 501 Wertepaare, die Tabelle fasst 500: Geladen wurden die ersten 500; wird die Tabelle "
         "gespeichert, fehlt darin das letzte."},
        {lines(1, 500), false, 0, 0, ""},
        {"Regression\r\n600\r\n" + lines(1, 600), true, 100, 0,
         "Die Datei hat 600 Wertepaare, die Tabelle fasst 500: Geladen wurden die ersten 500; wird die Tabelle "
         "gespeichert, fehlen darin die übrigen 100."},
        // The count decides which lines are pairs; lines beyond it are not.
        {"Regression\r\n520\r\n" + lines(1, 600), true, 20, 0,
         "Die Datei hat 520 Wertepaare, die Tabelle fasst 500: Geladen wurden die ersten 500; wird die Tabelle "
         "gespeichert, fehlen darin die übrigen 20."},
        {"Regression\r\n600\r\n" + lines(1, 550) + "x;y\r\n", true, 50, 49,
         "1 Zeile ohne gültiges Zahlenpaar übergangen (zuerst Zeile 553).\n"
         "Die Datei gibt 600 Wertepaare an, hat aber nur 551 Zeilen dafür; gelesen wurde, was vorhanden ist.\n"
         "Die Datei hat 550 Wertepaare, die Tabelle fasst 500: Geladen wurden die ersten 500; wird die Tabelle "
         "gespeichert, fehlen darin die übrigen 50."},
    };
    for (const Case& c : cases) {
        const Messdaten d = c.own ? LoadMesstabelleDat(c.text) : LoadMesswerteTxt(c.text);
        EXPECT_EQ(d.N, 500) << c.said;
        EXPECT_EQ(d.X[d.N], d.N);
        EXPECT_EQ(std::pair(d.Weitere, d.Fehlend), std::pair(c.beyond, c.missing)) << c.said;
        EXPECT_EQ(LadeHinweis(d), c.said);
    }
}

TEST(MeasuredData, PlainText) {
    struct Case { const char* text; P pairs; int skipped, first; } cases[] = {
        {"1.5\t3.5\n\n2;4\r\n\r\n  \n", {{1.5, 3.5}, {2, 4}}, 0, 0},
        {"3;1\n1;2\n", {{3, 1}, {1, 2}}, 0, 0},
        {"x;y\n1;2\nZeit;Weg\n3;4\n", {{1, 2}, {3, 4}}, 2, 1},
        {"x;y\r\n1;2\r\nZeit;Weg\r\n3;4\r\n", {{1, 2}, {3, 4}}, 2, 1},
        {"\n1 2\n3;4\nkeine Zahlen\n5\t6\n", {{3, 4}, {5, 6}}, 2, 2},
        {"\r\n1 2\r\n3;4\r\nkeine Zahlen\r\n5\t6\r\n", {{3, 4}, {5, 6}}, 2, 2},
        {"Zeit Weg\n", {}, 1, 1},
        {"\n\n", {}, 0, 0},
        {"", {}, 0, 0},
    };
    for (const Case& c : cases) {
        const Messdaten d = LoadMesswerteTxt(c.text);
        EXPECT_EQ(Pairs(d), c.pairs) << c.text;
        EXPECT_EQ(std::tuple(d.Uebergangen, d.ErsteUebergangene, d.Fehlend), std::tuple(c.skipped, c.first, 0)) << c.text;
    }
    std::string many = "x;y\n";
    for (int i = 0; i < 700; ++i) many += std::to_string(i) + ";1\n";
    const Messdaten d = LoadMesswerteTxt(many);
    EXPECT_EQ(d.N, kMaxDateiWertepaare);
    EXPECT_EQ(d.X[kMaxDateiWertepaare], kMaxDateiWertepaare - 1);
}

TEST(MeasuredData, WhatTheUserIsToldAfterLoading) {
    EXPECT_EQ(LadeHinweis(LoadMesswerteTxt("1;2\n3;4\n")), "");
    EXPECT_EQ(LadeHinweis(LoadMesswerteTxt("x;y\n1;2\n")), "1 Zeile ohne gültiges Zahlenpaar übergangen (zuerst Zeile 1).");
    EXPECT_EQ(LadeHinweis(LoadMesstabelleDat("Regression\n6\n1;2\n3 4\nx\n5;6\n")),
              "2 Zeilen ohne gültiges Zahlenpaar übergangen (zuerst Zeile 4).\n"
              "Die Datei gibt 6 Wertepaare an, hat aber nur 4 Zeilen dafür; gelesen wurde, was vorhanden ist.");
}

TEST(MeasuredData, SaveNamesAndLayouts) {
    EXPECT_EQ(SpeicherDateiname("/home/a/mess.neu.txt", Speicherformat::TabPunkt), "mess.txt");
    EXPECT_EQ(SpeicherDateiname("/home/a/mess.neu.txt", Speicherformat::Eigenes), "mess.dat");
    EXPECT_EQ(SpeicherDateiname("C:\\werte\\a.b", Speicherformat::SemikolonKomma), "a.txt");
    EXPECT_EQ(SpeicherDateiname("/home/a/.dat", Speicherformat::Eigenes), "");

    const std::vector<std::pair<std::string, std::string>> cells = {{"1,5", "-0,25"}, {"2", "1,5E-7"}};
    EXPECT_EQ(MesswerteDateitext(cells, Speicherformat::Eigenes), "Regression\r\n2\r\n1,5;-0,25\r\n2;1,5E-7\r\n");
    EXPECT_EQ(MesswerteDateitext(cells, Speicherformat::TabKomma), "1,5\t-0,25\r\n2\t1,5E-7\r\n");
    EXPECT_EQ(MesswerteDateitext(cells, Speicherformat::TabPunkt), "1.5\t-0.25\r\n2\t1.5E-7\r\n");
    EXPECT_EQ(MesswerteDateitext(cells, Speicherformat::SemikolonKomma), "1,5;-0,25\r\n2;1,5E-7\r\n");
    EXPECT_EQ(MesswerteDateitext(cells, Speicherformat::SemikolonPunkt), "1.5;-0.25\r\n2;1.5E-7\r\n");
    EXPECT_EQ(SpeicherFilter().size(), 5u);
}

TEST(MeasuredData, FilesRoundTripInEveryLayoutAndTheExtensionDecides) {
    QTemporaryDir dir;
    const std::vector<std::pair<std::string, std::string>> cells = {{"-3", "0,125"}, {"1,5", "2"}, {"1E20", "-7,5E-9"}};
    const P expected = {{-3, 0.125}, {1.5, 2}, {1e20, -7.5e-9}};
    for (int f = 1; f <= 5; ++f) {
        const auto format = static_cast<Speicherformat>(f);
        const std::string path = dir.filePath(QString::fromStdString(SpeicherDateiname("werte", format))).toStdString();
        ASSERT_TRUE(WriteFileAtomically(path, MesswerteDateitext(cells, format)).ok);
        std::string fehler;
        EXPECT_EQ(Pairs(LoadMessdatei(path, fehler)), expected) << f;
        EXPECT_TRUE(fehler.empty());
    }
    std::string fehler;
    auto load = [&](const char* name, const std::string& bytes) {
        const std::string path = dir.filePath(name).toStdString();
        EXPECT_TRUE(WriteFileAtomically(path, bytes).ok);
        return LoadMessdatei(path, fehler);
    };
    EXPECT_EQ(load("werte.TXT", "1;2\r\n3;4\r\n").N, 0);  // an upper-case extension is read as the own format
    // A byte-order mark, Windows-1252 text and UTF-16 with its byte-order mark ("1;2", "3;4") load too.
    EXPECT_EQ(Pairs(load("bom.dat", "\xEF\xBB\xBFRegression\n1\n1;1\n")), (P{{1, 1}}));
    EXPECT_EQ(Pairs(load("ansi.txt", "1,5;2\r\n3;4 \xB5\r\n")), (P{{1.5, 2}}));
    const std::string utf16("\xFF\xFE" "1\0;\0" "2\0\n\0" "3\0;\0" "4\0", 16);
    EXPECT_EQ(Pairs(load("utf16.txt", utf16)), (P{{1, 2}, {3, 4}}));
    EXPECT_EQ(LoadMessdatei(dir.filePath("fehlt.dat").toStdString(), fehler).N, 0);
    EXPECT_NE(fehler.find("kann nicht gelesen werden"), std::string::npos);
    // A named pipe is refused at once; opening it would wait for a writer.
    const std::string pipe = dir.filePath("pipe.txt").toStdString();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_EQ(LoadMessdatei(pipe, fehler).N, 0);
    EXPECT_EQ(fehler, "Die Datei " + pipe + " kann nicht gelesen werden.");
}

}  // namespace
}  // namespace kalvo
