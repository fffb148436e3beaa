// The term-list files: what a file's bytes become, what is written, the
// names files are saved under, and the split of a parametric entry.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "term_list.h"

namespace kalvo {
namespace {

using Liste = std::vector<std::string>;

TEST(Termliste, LinesOfAFile) {
    const struct {
        std::string bytes;
        Liste eintraege;
    } faelle[] = {
        {"", {}},
        {"\n", {""}},
        {"sin(x)", {"sin(x)"}},
        {"a\nb\n", {"a", "b"}},                    // the last break ends a line, no new one
        {"a\r\nb\r\n\r\nc", {"a", "b", "", "c"}},  // empty lines stay
        {"a\rb\r", {"a", "b"}},
        {"\xEF\xBB\xBFx*y\n", {"x*y"}},            // UTF-8 with its byte-order mark
        {"\xB6*x\n", {"\xC2\xB6*x"}},              // Windows-1252: the pi sign
        {"x\ty\x01\x7F+1", {"xy+1"}},              // control characters dropped
        {"x=\xC2\x85" "a;y=\xEF\xBB\xBF" "b", {"x=a;y=b"}},
        {"\xB6*x\nx\xC2\xB2\n", {"\xC2\xB6*x", "x\xC2\xB2"}},  // each line in its own encoding
        // UTF-16 with its byte-order mark, little and big endian: "¶*x", "y"
        {std::string("\xFF\xFE\xB6\0*\0x\0\r\0\n\0y\0", 14), {"\xC2\xB6*x", "y"}},
        {std::string("\xFE\xFF\0\xB6\0*\0x\0\n\0y", 12), {"\xC2\xB6*x", "y"}},
    };
    for (const auto& f : faelle) {
        const Termliste l = TermlisteAusText(f.bytes, Termlistenart::Funktion);
        EXPECT_EQ(l.eintraege, f.eintraege) << f.bytes;
        EXPECT_EQ(l.ausgelassen + l.gekuerzt, 0u);
    }
}

TEST(Termliste, CountsAndLengthsAreCut) {
    std::string viele;
    for (size_t i = 0; i < kMaxTermlistenEintraege + 7; ++i) viele += "x\n";
    const Termliste l = TermlisteAusText(viele, Termlistenart::Funktion);
    EXPECT_EQ(l.eintraege.size(), kMaxTermlistenEintraege);
    EXPECT_EQ(l.ausgelassen, 7u);

    const std::string lang(500, '1');
    for (const Termlistenart art : {Termlistenart::Funktion, Termlistenart::Parameter}) {
        const Termliste k = TermlisteAusText(lang + "\nx", art);
        ASSERT_EQ(k.eintraege.size(), 2u);
        EXPECT_EQ(k.eintraege[0].size(), MaxEintragZeichen(art));
        EXPECT_EQ(k.gekuerzt, 1u);
    }
    EXPECT_EQ(MaxEintragZeichen(Termlistenart::Funktion), 120u);
    // Three terms of 120 characters with their markers fit.
    EXPECT_EQ(MaxEintragZeichen(Termlistenart::Parameter), 368u);
}

TEST(Termliste, WrittenWithoutEmptyEntriesAndReadBack) {
    const Liste eintraege = {"sin(x)", "", "x\xC2\xB6", "exp(-x^2)"};
    EXPECT_EQ(TermlisteText(eintraege), "sin(x)\r\nx\xC2\xB6\r\nexp(-x^2)\r\n");

    QTemporaryDir dir;
    const std::string pfad = dir.filePath("liste.LFF").toStdString();
    ASSERT_TRUE(TermlisteSpeichern(pfad, eintraege).ok);
    Termliste gelesen;
    std::string fehler;
    ASSERT_TRUE(TermlisteLaden(pfad, Termlistenart::Funktion, gelesen, fehler));
    EXPECT_EQ(gelesen.eintraege, (Liste{"sin(x)", "x\xC2\xB6", "exp(-x^2)"}));

    EXPECT_FALSE(TermlisteLaden(dir.filePath("fehlt.LFF").toStdString(), Termlistenart::Funktion, gelesen, fehler));
    EXPECT_EQ(fehler, "Die Datei fehlt.LFF kann nicht gelesen werden.");
    EXPECT_FALSE(TermlisteLaden(dir.path().toStdString(), Termlistenart::Funktion, gelesen, fehler));
    // A named pipe is refused at once; opening it would wait for a writer.
    const std::string pipe = dir.filePath("pipe.LFF").toStdString();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_FALSE(TermlisteLaden(pipe, Termlistenart::Funktion, gelesen, fehler));
    EXPECT_EQ(fehler, "Die Datei pipe.LFF kann nicht gelesen werden.");
    QFile gross(dir.filePath("gross.LPF"));
    ASSERT_TRUE(gross.open(QIODevice::WriteOnly));
    gross.write(QByteArray(static_cast<int>(kMaxTermlistenBytes) + 1, 'x'));
    gross.close();
    EXPECT_FALSE(TermlisteLaden(gross.fileName().toStdString(), Termlistenart::Parameter, gelesen, fehler));
    EXPECT_EQ(fehler, "Die Datei gross.LPF ist zu groß für eine Termliste.");
}

TEST(Termliste, FileNames) {
    const struct {
        const char* gewaehlt;
        Termlistenart art;
        const char* name;
    } faelle[] = {
        {"/tmp/flaechen.txt", Termlistenart::Parameter, "/tmp/flaechen.LPF"},
        {"/tmp/bild.neu.LFF", Termlistenart::Funktion, "/tmp/bild.LFF"},
        {"/a.b/liste", Termlistenart::Funktion, "/a.b/liste.LFF"},  // a dot in the folder stays
        {"liste.lpf", Termlistenart::Parameter, "liste.LPF"},
        {"/tmp/.LFF", Termlistenart::Funktion, ""},
    };
    for (const auto& f : faelle) EXPECT_EQ(TermlistenDateiname(f.gewaehlt, f.art), f.name) << f.gewaehlt;
}

TEST(Termliste, ParametricEntries) {
    const struct {
        const char* eintrag;
        Parameterterme t;
    } faelle[] = {
        {"x=cos(a);y=sin(a);z=b", {"cos(a)", "sin(a)", "b"}},
        {"x=;y=;z=", {"", "", ""}},
        {"x=a y=b z=a*b", {"a", "b", "a*b"}},  // the character before a marker is dropped
        {"y=b;z=1", {"", "b", "1"}},
        {"x=a;z=1", {"", "", "1"}},
        {"x=a;y=b", {"a", "", ""}},
        {"sin(a)", {"", "", ""}},
        {"", {"", "", ""}},
        {"z=1;y=2;x=3", {"", "", "1;y=2;x=3"}},
    };
    for (const auto& f : faelle) {
        const Parameterterme t = ParameterEintragZerlegen(f.eintrag);
        EXPECT_EQ(std::tie(t.x, t.y, t.z), std::tie(f.t.x, f.t.y, f.t.z)) << f.eintrag;
    }
    const Parameterterme t{"(2+cos(b))*cos(a)", "(2+cos(b))*sin(a)", "sin(b)"};
    const Parameterterme zurueck = ParameterEintragZerlegen(ParameterEintrag(t));
    EXPECT_EQ(ParameterEintrag(zurueck), ParameterEintrag(t));
}

}  // namespace
}  // namespace kalvo
