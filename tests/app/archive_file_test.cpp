#include "archive_file.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sys/stat.h>

#include "graph_state.h"
#include "message_sink.h"
#include "program_state.h"

namespace kalvo {
namespace {

std::string Text(const ArchiveContents& a) {
    IniFile ini;
    WriteArchive(ini, a);
    return ini.Text();
}

IniFile Parsed(std::string_view bytes) {
    IniFile ini;
    ini.Parse(bytes);
    return ini;
}

// A function set whose every field differs from the defaults, marked by k.
ArchivEintrag UnusualSet(int k) {
    ArchivEintrag e;
    for (int i = 1; i <= kGraphSlots; ++i)
        e.Schaubilder[i] = {static_cast<Color>(i * 4099 + k), static_cast<uint8_t>((i + k) % 4), (i + k) % 3 == 0};
    e.a = 0.1 * k, e.b = -1e-300, e.c = 1.0 / 3.0, e.d = 6.02214076e23;
    e.x1 = -M_PI * k, e.x2 = std::nextafter(8.0, 9.0), e.y1 = -0.5, e.y2 = 1e9;
    e.f = "sin(¶x)+" + std::to_string(k), e.g = " =\"quoted\" ";
    e.fgBereich = {-2, 3}, e.fgParameter = {-1, 1, 0.25};
    e.Liste = "1;2;3;", e.Wert = {1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 3};
    e.u1 = 0.5, e.xo = -0.75, e.u2 = 1.5, e.u3 = 2.5;
    e.Summe = {1, 9, 2};
    for (int i = 1; i <= 4; ++i) {
        e.h[i] = "x^" + std::to_string(i);
        e.hBereich[i] = {-i * 1.0, i * 1.0};
    }
    e.hParameter = {2, 4, 0.5};
    e.Liste2 = "5;", e.Wert2 = {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    e.xt = "cos(t)", e.yt = "sin(2t)", e.xytParameter = {-1, 2, 0.05};
    return e;
}

// Every text of a set at its full length in characters of four bytes, every
// number at its longest text: the largest entry an archive can hold.
ArchivEintrag LargestSet() {
    std::string wide;
    for (size_t i = 0; i < kTermChars; ++i) wide += "\U0001D465";
    const double longest = -2.2250738585072014e-308;  // "-2,2250738585072014e-308"
    ArchivEintrag e;
    for (int i = 1; i <= kGraphSlots; ++i) e.Schaubilder[i] = {0x80000000u, 3, true};
    for (double* d : {&e.a, &e.b, &e.c, &e.d, &e.x1, &e.x2, &e.y1, &e.y2, &e.u1, &e.xo, &e.u2, &e.u3})
        *d = longest;
    for (Funktionsterm* t : {&e.f, &e.g, &e.Liste, &e.Liste2, &e.xt, &e.yt, &e.h[1], &e.h[2], &e.h[3], &e.h[4]})
        *t = wide;
    e.fgBereich = {longest, longest};
    e.fgParameter = e.hParameter = e.xytParameter = {longest, longest, longest};
    for (int i = 1; i <= 4; ++i) e.hBereich[i] = {longest, longest};
    e.Wert.fill(longest);
    e.Wert2.fill(longest);
    e.Wert[kMaxParameterValues] = e.Wert2[kMaxParameterValues] = kMaxParameterValues;
    e.Summe = {INT32_MIN, INT32_MIN, INT32_MIN};
    return e;
}

ArchiveContents UnusualArchive(int storeSets) {
    ArchiveContents a;
    a.Koordinatensystem = {1, 2, 0, 1, 3, "Zeit in ¶ s", "Weg", 0x123456, 3, 0xABCDEF, 4};
    a.Schriftgroesse = 13, a.Schriftname = "Liberation Sans", a.SchriftFett = true;
    for (int i = 1; i <= kListTerms; ++i) a.Listenterme[i] = "x^" + std::to_string(i) + "+ö";
    a.Rahmen = true;
    a.Aktuell = UnusualSet(0);
    for (int k = 1; k <= storeSets; ++k) a.Speicher.push_back(UnusualSet(k));
    return a;
}

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetGraphState();
    }
    void TearDown() override { ResetProgramState(); }
    std::string Path(const char* name) const { return QDir(dir_.path()).filePath(name).toStdString(); }
    void WriteRaw(const char* name, const std::string& bytes) const { std::ofstream(Path(name), std::ios::binary) << bytes; }

    QTemporaryDir dir_;
    MessageRecorder messages_;
};

TEST_F(ArchiveTest, WhatIsWrittenReadsBackTheSameInTheSectionsOfTheFormat) {
    for (int sets : {0, 1, 3}) {
        const ArchiveContents a = UnusualArchive(sets);
        const std::string text = Text(a);
        const ArchiveContents back = ReadArchive(Parsed(text), ArchiveContents{});
        ASSERT_EQ(back.Speicher.size(), static_cast<size_t>(sets));
        EXPECT_EQ(Text(back), text) << sets;
        EXPECT_EQ(back.Aktuell.g.str(), " =\"quoted\" ");
        EXPECT_EQ(back.Koordinatensystem.xAchsentext.str(), "Zeit in ¶ s");
        // Every set takes the one coordinate system of the file.
        for (const ArchivEintrag& e : back.Speicher) EXPECT_EQ(e.Koordinatensystem, a.Koordinatensystem);
    }
    // The sections stand in the order of the format; the current set has the list terms after its graphs.
    const std::vector<std::string> set = {
        "Schaubilder", "Konstanten", "xyBereich", "fg Funktionsterme", "fg Zeichenbereich", "fg Parameter t",
        "Geraden x=u", "Integralfunktion", "fg Summenfunktion", "h Funktionsterme", "h Zeichenbereich",
        "h Parameter t", "x(t), y(t) Funktionsterme", "x(t), y(t) Parameter t"};
    std::vector<std::string> expected = {"Koordinatensystem", "Archiv", set[0], "Funktionsterme"};
    expected.insert(expected.end(), set.begin() + 1, set.end());
    expected.push_back("Grafik");
    for (const std::string& name : set) expected.push_back(name + " Nr1");
    EXPECT_EQ(Parsed(Text(UnusualArchive(1))).SectionNames(), expected);
    EXPECT_EQ(Parsed(Text(UnusualArchive(0))).ReadInteger("Archiv", "Anzahl", -1), 0);
}

TEST_F(ArchiveTest, AnArchiveOfAFullStoreStaysReadable) {
    // The file grows by one entry per set; the largest entry at the largest
    // number times the store's limit must stay within what the reader takes.
    ArchiveContents a;
    a.Aktuell = LargestSet();
    const size_t none = Text(a).size();
    a.Speicher.push_back(LargestSet());
    const size_t one = Text(a).size();
    a.Speicher.push_back(LargestSet());
    const size_t two = Text(a).size();
    const size_t sectionsPerEntry = 14;
    const size_t longerSuffix = std::to_string(SpeicherListe::kMaxCount).size() - 1;
    const size_t entry = two - one + sectionsPerEntry * longerSuffix;
    EXPECT_LE(none + SpeicherListe::kMaxCount * entry, IniFile::kMaxFileBytes);
    // And such a set reads back as it was.
    const ArchiveContents back = ReadArchive(Parsed(Text(a)), ArchiveContents{});
    EXPECT_EQ(Text(back), Text(a));
}

// Saving and reading cost every set the same lookups, however many sets the
// archive holds: a full store takes as long per set as a small one. (About
// two hundred keys a set, each found with a few names looked at.)
TEST_F(ArchiveTest, EverySetCostsTheSameLookupsWhateverTheArchiveHolds) {
    std::vector<std::pair<size_t, size_t>> work;  // lookups looked at: writing, reading
    const int sizes[] = {20, 120, 620};
    for (const int sets : sizes) {
        IniFile out;
        WriteArchive(out, UnusualArchive(sets));
        IniFile in = Parsed(out.Text());
        const size_t parsed = in.Probes();
        ASSERT_EQ(ReadArchive(in, ArchiveContents{}).Speicher.size(), static_cast<size_t>(sets));
        work.emplace_back(out.Probes(), in.Probes() - parsed);
    }
    const double sets1 = sizes[1] - sizes[0], sets2 = sizes[2] - sizes[1];
    for (auto part : {&std::pair<size_t, size_t>::first, &std::pair<size_t, size_t>::second}) {
        const double first = static_cast<double>(work[1].*part - work[0].*part) / sets1;
        const double second = static_cast<double>(work[2].*part - work[1].*part) / sets2;
        EXPECT_NEAR(second, first, 0.02 * first);
        EXPECT_LE(second, 1000);
    }
}

TEST_F(ArchiveTest, MissingKeysTakeTheDefaultsOrTheValueReadBefore) {
    ArchiveContents start = UnusualArchive(0);
    const std::string file =
        "[Archiv]\nAnzahl=2\n"
        "[Schaubilder Nr2]\nLinienart5=2\nLinienart6=9\n"
        "[Konstanten Nr2]\na=2,5\n"
        "[fg Parameter t Nr1]\nWert11=55\nvon=-2\nbis=2\nSchrittweite=0,000001\n"
        "[Eingabe]\nNachkommastellen=3\n"
        "[xyBereich]\nx1=-3\n";
    const ArchiveContents a = ReadArchive(Parsed(file), start);
    ASSERT_EQ(a.Speicher.size(), 2u);
    const ArchivEintrag& second = a.Speicher[1];
    EXPECT_EQ(std::pair(second.a, second.b), std::pair(2.5, 1.0));
    EXPECT_EQ(second.Schaubilder[5].Linienart, 2);
    EXPECT_EQ(second.Schaubilder[6].Linienart, 3);  // clamped
    EXPECT_EQ(second.Schaubilder[7], start.Aktuell.Schaubilder[7]);
    EXPECT_EQ(std::pair(second.x1, second.y2), std::pair(-8.0, 8.0));
    EXPECT_EQ(second.f.str(), "");
    EXPECT_EQ(second.fgParameter, (Parameterbereich{0, 0, 1}));
    EXPECT_EQ(second.Summe, (Summenbereich{0, 0, 1}));
    EXPECT_EQ(second.xytParameter.bis, M_PI);
    EXPECT_EQ(second.Nachkommastellen, 3);
    // Entry 1 is read after entry 2 and keeps what entry 2 gave where it says nothing.
    EXPECT_EQ(a.Speicher[0].Schaubilder[5].Linienart, 2);
    EXPECT_EQ(a.Speicher[0].Wert[kMaxParameterValues], 10);
    // A family of four million curves is corrected to the coarsest step the dialog allows.
    EXPECT_EQ(a.Speicher[0].fgParameter, (Parameterbereich{-2, 2, 4.0 / 249}));
    EXPECT_EQ(a.Aktuell.Schaubilder[5].Linienart, 2);
    EXPECT_EQ(a.Aktuell.Koordinatensystem, start.Koordinatensystem);
}

TEST_F(ArchiveTest, DamagedCountsReadOnlyTheEntriesTheFileHas) {
    // File, sets read, a of the first.
    const std::tuple<const char*, size_t, double> cases[] = {
        {"[Archiv]\nAnzahl=2000000000\n[Konstanten Nr5]\na=5\n[Konstanten Nr05]\na=6\n", 1, 5},
        {"[archiv]\nanzahl=3\n[KONSTANTEN NR3]\na=3\n[Konstanten Nr9]\na=9\n", 1, 3},
        {"[Archiv]\nAnzahl=-4\n[Konstanten Nr1]\na=1\n[Konstanten]\na=7\n", 0, 0},
        {"[Konstanten Nr1]\na=2\n[Konstanten]\na=7\n", 0, 0},
        {"[Archiv]\nAnzahl=1\n[Fremd Nr1]\na=2\n", 0, 0},
    };
    for (const auto& [file, sets, firstA] : cases) {
        const ArchiveContents a = ReadArchive(Parsed(file), ArchiveContents{});
        ASSERT_EQ(a.Speicher.size(), sets) << file;
        EXPECT_EQ(sets ? a.Speicher[0].a : 0, firstA) << file;
    }
    // A store that is full takes no more.
    const ArchiveContents full = ReadArchive(Parsed(Text(UnusualArchive(3))), ArchiveContents{}, SpeicherListe::kMaxCount - 2);
    EXPECT_EQ(full.Speicher.size(), 2u);
}

// A count that is none, sets the count names but the file lacks, and sets
// beyond the count: what was read is read, and one message says what was
// wrong and what came into the program.
TEST_F(ArchiveTest, WhatAFileHoldsThatIsNotReadIsNamed) {
    // Sections of the store entries n, each with its constant a = n.
    auto sets = [](std::initializer_list<int> numbers) {
        std::string s;
        for (int k : numbers) s += "[Konstanten Nr" + std::to_string(k) + "]\na=" + std::to_string(k) + "\n";
        return s;
    };
    struct Case {
        std::string file;
        std::vector<double> store;  // a of the sets that came into the store
        double current;             // a of the current set afterwards (7 stays when entry 0 is not read)
        std::string said;           // after "Die Datei a.lib "
        bool taken = true;          // something of the file came into the program
    };
    const std::string none = "der aktuelle Funktionssatz und der Funktionenspeicher bleiben unverändert.";
    const std::string noCurrent = "enthält keinen aktuellen Funktionssatz; der aktuelle Funktionssatz bleibt unverändert.\n"
                                  "Die Datei a.lib ";
    const Case cases[] = {
        {"[Archiv]\nAnzahl=drei\n[Konstanten]\na=2\n" + sets({1, 2}), {}, 2,
         "nennt als Anzahl der Funktionssätze „drei“, das ist keine Anzahl; übernommen wurde nur der aktuelle "
         "Funktionssatz, nicht die 2 gespeicherten."},
        {"[Archiv]\nAnzahl=2,9\n[Konstanten]\na=1\n" + sets({1}), {}, 1,
         "nennt als Anzahl der Funktionssätze „2,9“, das ist keine Anzahl; übernommen wurde nur der aktuelle "
         "Funktionssatz, nicht der 1 gespeicherte."},
        {"[Archiv]\nAnzahl=10^20\n[Konstanten]\na=2\n", {}, 2,
         "nennt als Anzahl der Funktionssätze „10^20“, das ist keine Anzahl; übernommen wurde nur der aktuelle "
         "Funktionssatz."},
        {"[Archiv]\nAnzahl=100000000000000000000\n[Konstanten]\na=2\n", {}, 2,
         "nennt als Anzahl der Funktionssätze „100000000000000000000“, das ist keine Anzahl; übernommen wurde nur "
         "der aktuelle Funktionssatz."},
        {"[Archiv]\nAnzahl=\n[Konstanten]\na=2\n", {}, 2,
         "nennt als Anzahl der Funktionssätze „“, das ist keine Anzahl; übernommen wurde nur der aktuelle Funktionssatz."},
        {"[Archiv]\nAnzahl=1234567890123456789012345678901234567890\n", {}, 7,
         "enthält keinen Funktionssatz; " + none + "\nDie Datei a.lib nennt als Anzahl der Funktionssätze "
         "„123456789012345678901234567890…“, das ist keine Anzahl.", false},
        {"[Archiv]\nAnzahl=-1\n[Konstanten]\na=2\n" + sets({1}), {}, 7,
         "nennt als Anzahl der Funktionssätze „-1“, das ist keine Anzahl; übernommen wurden nur Koordinatensystem, "
         "Funktionsliste und Rahmen, kein Funktionssatz, auch nicht der 1 gespeicherte."},
        {"[Archiv]\nAnzahl=5\n[Konstanten]\na=2\n" + sets({1, 2, 4}), {1, 2, 4}, 2,
         "nennt 5 Funktionssätze, es fehlen aber Nr3 und Nr5. Übernommen wurden die 3 vorhandenen."},
        {"[Archiv]\nAnzahl=9\n" + sets({2, 4, 6, 8}), {2, 4, 6, 8}, 7,
         noCurrent + "nennt 9 Funktionssätze, es fehlen aber Nr1, Nr3, Nr5 und weitere. Übernommen wurden die 4 vorhandenen."},
        {"[Archiv]\nAnzahl=3\n[Konstanten]\na=2\n" + sets({3}), {3}, 2,
         "nennt 3 Funktionssätze, es fehlen aber Nr1 bis Nr2. Übernommen wurde der eine vorhandene."},
        {"[Archiv]\nAnzahl=1\n[Konstanten]\na=2\n", {}, 2,
         "nennt 1 Funktionssatz, es fehlt aber Nr1. Übernommen wurde nur der aktuelle Funktionssatz."},
        {"[Archiv]\nAnzahl=2\n[Konstanten]\na=1\n" + sets({1, 2, 3, 4}), {1, 2}, 1,
         "nennt 2 Funktionssätze, enthält aber 2 weitere mit höheren Nummern; sie wurden nicht übernommen."},
        {"[Archiv]\nAnzahl=2\n[Konstanten]\na=1\n" + sets({1, 3}), {1}, 1,
         "nennt 2 Funktionssätze, es fehlt aber Nr2. Übernommen wurde der eine vorhandene.\nDie Datei a.lib nennt 2 "
         "Funktionssätze, enthält aber 1 weiteren mit höherer Nummer; er wurde nicht übernommen."},
        {"[Konstanten]\na=2\n" + sets({1}), {}, 2,
         "nennt keine Anzahl der Funktionssätze; übernommen wurde nur der aktuelle, nicht der 1 gespeicherte."},
        // Without the current set: the current state stays, and only the stored sets come in.
        {"[Archiv]\nAnzahl=2\n" + sets({1, 2}), {1, 2}, 7, "enthält keinen aktuellen Funktionssatz; der aktuelle "
         "Funktionssatz bleibt unverändert."},
        {"[Archiv]\nAnzahl=2,9\n" + sets({1}), {}, 7,
         "enthält keinen Funktionssatz, der übernommen werden kann; " + none + "\nDie Datei a.lib nennt als Anzahl der "
         "Funktionssätze „2,9“, das ist keine Anzahl; der 1 gespeicherte wurde nicht übernommen.", false},
        // What the program writes, and files without sets, say nothing.
        {"[Archiv]\nAnzahl=2\n[Konstanten]\na=1\n" + sets({1, 2}), {1, 2}, 1, ""},
        {"[Archiv]\nAnzahl=$2\n[Konstanten]\na=1\n" + sets({1, 2}), {1, 2}, 1, ""},
        {"[Archiv]\nAnzahl=0\n[Konstanten]\na=2\n", {}, 2, ""},
        {"[Konstanten]\na=2\n", {}, 2, ""},
    };
    for (const Case& c : cases) {
        ResetProgramState();
        ResetGraphState();
        gFunktionenspeicher.Done();
        gTerms.KonstanteA = 7;
        messages_.clear();
        WriteRaw("a.lib", c.file);
        ASSERT_EQ(LoadFunctionArchive(Path("a.lib")), c.taken) << c.file;
        std::vector<double> store;
        for (int i = 1; i <= gFunktionenspeicher.Count(); ++i) {
            ArchivEintrag e;
            gFunktionenspeicher.Get(i, e);
            store.push_back(e.a);
        }
        EXPECT_EQ(store, c.store) << c.file;
        EXPECT_EQ(gTerms.KonstanteA, c.current) << c.file;
        if (c.said.empty()) {
            EXPECT_TRUE(messages_.messages().empty()) << c.file;
        } else {
            ASSERT_EQ(messages_.messages().size(), 1u) << c.file;
            EXPECT_EQ(messages_.messages()[0], "Die Datei a.lib " + c.said);
        }
    }
}

TEST_F(ArchiveTest, LoadingPutsTheFileSetsAheadOfTheStoreAndTheCurrentSetLast) {
    const std::string path = Path("kurven.lib");
    WriteRaw("kurven.lib", Text(UnusualArchive(2)));
    gTerms.TermF = "alt";
    ArchivEintrag old;
    old.f = "gespeichert";
    gFunktionenspeicher.Insert(1, old);
    ASSERT_TRUE(LoadFunctionArchive(path));
    EXPECT_TRUE(messages_.messages().empty());
    ASSERT_EQ(gFunktionenspeicher.Count(), 3);
    ArchivEintrag e;
    const char* expected[] = {"sin(¶x)+1", "sin(¶x)+2", "gespeichert"};
    for (int i = 1; i <= 3; ++i) {
        gFunktionenspeicher.Get(i, e);
        EXPECT_EQ(e.f.str(), expected[i - 1]);
    }
    EXPECT_EQ(gTerms.TermF.str(), "sin(¶x)+0");
    EXPECT_EQ(gDisplay.Schriftname, "Liberation Sans");
    EXPECT_EQ(gTerms.Listenterme[8].str(), "x^8+ö");
    EXPECT_TRUE(gDisplay.Rahmen);

    // Saving leaves state and store as they were and writes what was read, replacing an old file.
    const std::string again = Path("wieder.lib");
    WriteRaw("wieder.lib", "[Fremd]\nx=1\n[Archiv]\nAnzahl=7\n");
    ASSERT_TRUE(SaveFunctionArchive(again));
    EXPECT_EQ(gFunktionenspeicher.Count(), 3);
    EXPECT_EQ(gTerms.TermF.str(), "sin(¶x)+0");
    IniFile written;
    ASSERT_TRUE(written.Load(again));
    EXPECT_EQ(written.ReadInteger("Archiv", "Anzahl", 0), 3);
    EXPECT_EQ(written.ReadString("fg Funktionsterme Nr3", "f(x)", ""), "gespeichert");
    EXPECT_FALSE(written.SectionExists("Fremd"));
}

TEST_F(ArchiveTest, OldFilesInWindows1252WithCrLfRead) {
    // "Schriftgröße" and the pi sign as single bytes.
    WriteRaw("alt.lib", "[Koordinatensystem]\r\nSchriftgr\xF6\xDF" "e=12\r\n[Archiv]\r\nAnzahl=0\r\n"
                        "[fg Funktionsterme]\r\nf(x)=sin(\xB6x)\r\n[xyBereich]\r\nx1=-2.5\r\n");
    ASSERT_TRUE(LoadFunctionArchive(Path("alt.lib")));
    EXPECT_EQ(gDisplay.Schriftgroesse, 12);
    EXPECT_EQ(gTerms.TermF.str(), "sin(¶x)");
    EXPECT_EQ(std::pair(gView.BereichX1, gView.BereichX2), std::pair(-2.5, 8.0));
}

// Files that hold no function set: the current set, the settings that come
// with it and the store stay as they were, and the message says why.
TEST_F(ArchiveTest, AFileThatIsNoArchiveChangesNothing) {
    std::string zufall;
    uint32_t z = 12345;
    for (int i = 0; i < 4096; ++i) zufall += static_cast<char>((z = z * 1103515245u + 12345u) >> 23);
    const std::string archiv = Text(UnusualArchive(2));
    WriteRaw("leer.lib", "");
    WriteRaw("fremd.lib", "[Irgendwas]\nx=1\n");
    WriteRaw("nurarchiv.lib", "[Archiv]\n");
    WriteRaw("nullen.lib", "[Archiv]\nAnzahl=1\n" + std::string("\0\0[Konstanten]\n\0a=2\n\0[Konstanten Nr1]\n", 28) +
                               std::string(64, '\0'));
    WriteRaw("zufall.lib", "[Koordinatensystem]\nGitter=2\n[Archiv]\nAnzahl=0\n" + zufall);
    // Cut off in the middle of the first key of the current set.
    WriteRaw("gekuerzt.lib", archiv.substr(0, archiv.find("[Schaubilder]") + 19));
    WriteRaw("liste.lib", "[Funktionsterme]\nf1(x)=x^3\n[Grafik]\nRahmen=1\n[Eingabe]\nNachkommastellen=0\n");
    // A named pipe would block the reader for good if it were opened.
    ASSERT_EQ(::mkfifo(Path("pipe.lib").c_str(), 0644), 0);
    {
        std::ofstream big(Path("gross.lib"), std::ios::binary);
        big << "[Archiv]\nAnzahl=0\n";
        big.seekp(static_cast<std::streamoff>(IniFile::kMaxFileBytes));
        big.put('\n');
    }
    gTerms.TermF = "x^2";
    gTerms.Listenterme[1] = "x";
    gDisplay.Koordinatensystem.Gitter = 1;
    gFunktionenspeicher.Insert(1, ArchivEintrag{});
    const DisplayState display = gDisplay;
    const std::string none = " enthält keinen Funktionssatz; der aktuelle Funktionssatz und der Funktionenspeicher "
                             "bleiben unverändert.";
    const std::pair<const char*, std::string> cases[] = {
        {"fehlt.lib", "Die Datei fehlt.lib kann nicht gelesen werden."},
        {"leer.lib", "Die Datei leer.lib ist kein Funktionen-Archiv."},
        {"fremd.lib", "Die Datei fremd.lib ist kein Funktionen-Archiv."},
        {"pipe.lib", "Die Datei pipe.lib kann nicht gelesen werden."},
        {"gross.lib", "Die Datei gross.lib ist zu groß für ein Funktionen-Archiv."},
        {"nurarchiv.lib", "Die Datei nurarchiv.lib" + none},
        {"nullen.lib", "Die Datei nullen.lib" + none + "\nDie Datei nullen.lib nennt 1 Funktionssatz, es fehlt aber Nr1."},
        {"zufall.lib", "Die Datei zufall.lib" + none},
        {"gekuerzt.lib", "Die Datei gekuerzt.lib" + none + "\nDie Datei gekuerzt.lib nennt 2 Funktionssätze, es fehlen "
                                                            "aber Nr1 bis Nr2."},
        {"liste.lib", "Die Datei liste.lib" + none},
    };
    for (const auto& [name, said] : cases) {
        messages_.clear();
        EXPECT_FALSE(LoadFunctionArchive(Path(name))) << name;
        ASSERT_EQ(messages_.messages().size(), 1u) << name;
        EXPECT_EQ(messages_.messages()[0], said);
        EXPECT_EQ(gTerms.TermF.str(), "x^2");
        EXPECT_EQ(gTerms.Listenterme[1].str(), "x");
        EXPECT_TRUE(gDisplay == display) << name;
        EXPECT_EQ(gFunktionenspeicher.Count(), 1);
    }
}

TEST_F(ArchiveTest, AStoreFullOfSetsLoadsAndWhatDoesNotFitIsNamed) {
    // One section per set is all a set needs; the file holds one set more
    // than fits beside the set the store holds already.
    const int sets = SpeicherListe::kMaxCount;
    std::string file = "[Archiv]\nAnzahl=" + std::to_string(sets) + "\n[Konstanten]\na=0\n";
    for (int k = 1; k <= sets; ++k) file += "[Konstanten Nr" + std::to_string(k) + "]\na=" + std::to_string(k) + "\n";
    WriteRaw("voll.lib", file);
    ArchivEintrag old;
    old.a = -1;
    gFunktionenspeicher.Insert(1, old);
    ASSERT_TRUE(LoadFunctionArchive(Path("voll.lib")));
    ASSERT_EQ(gFunktionenspeicher.Count(), SpeicherListe::kMaxCount);
    ArchivEintrag e;
    for (int i : {1, 2, SpeicherListe::kMaxCount - 1}) {
        gFunktionenspeicher.Get(i, e);
        EXPECT_EQ(e.a, i);
    }
    gFunktionenspeicher.Get(SpeicherListe::kMaxCount, e);
    EXPECT_EQ(e.a, -1);
    ASSERT_EQ(messages_.messages().size(), 1u);
    EXPECT_EQ(messages_.messages()[0], "Der Funktionenspeicher fasst höchstens 7500 Funktionssätze; 1 Funktionssatz der "
                                       "Datei voll.lib wurde nicht übernommen.");
}

TEST(ArchiveFileName, TheChosenNameUpToItsFirstPoint) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/home/u/kurve.alt.txt", ".lib", "/home/u/kurve.lib"},
        {"/home/u/kurve", ".lib", "/home/u/kurve.lib"},
        {"bild.neu", ".emf", "bild.emf"},
        {"/a.b/bild", ".wmf", "/a.b/bild.wmf"},
        {"/home/u/.lib", ".lib", ""},
    };
    for (const auto& [chosen, extension, expected] : cases)
        EXPECT_EQ(FileNameWithExtension(chosen, extension), expected) << chosen;
}

}  // namespace
}  // namespace kalvo
