// What the two windows compute without their controls: surfaces and their
// boxes, the solids with their meshes and volumes, the picture of a scene,
// the animation steps and the numbers of the fields; and the term-list files:
// what a file's bytes become, what is written, the names files are saved
// under, and the split of a parametric entry.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <numbers>
#include <sys/stat.h>

#include "analysis_state.h"
#include "graph_state.h"
#include "program_state.h"
#include "scene3d.h"
#include "solid_model.h"
#include "space3d_test_support.h"
#include "surface_model.h"
#include "term.h"
#include "term_list.h"

namespace kalvo {
namespace {

class SzenenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetGraphState();
        InitTermTrees();
    }
    static void Term(Termbaum& baum, const char* text) { ASSERT_TRUE(ParseTerm(baum, text, true)) << text; }
    static void FlaechenTerm(const char* text) {
        gTerms.ParserAllowsY = true;
        Term(FlaechenTermbaum, text);
        gTerms.ParserAllowsY = false;
    }
};

TEST_F(SzenenTest, FieldNumbers) {
    const struct { const char* text; int zerlegung, iterationen; } faelle[] = {
        {"30", 30, 30},   {"4", 30, 4},      {"5", 5, 5},      {"99", 99, 99},  {"100", 99, 100},
        {" 12 ", 12, 12}, {"+7", 7, 7},      {"-7", 30, 7},    {"abc", 30, 200}, {"", 30, 200},
        {"1,5", 30, 200}, {"1000", 99, 500}, {"-50", 30, 50},  {"0", 30, 0},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(ZerlegungAusText(f.text), f.zerlegung) << f.text;
        EXPECT_EQ(KoerperIterationenAusText(f.text), f.iterationen) << f.text;
    }
}

TEST_F(SzenenTest, RangesPutInOrder) {
    const double pi = std::numbers::pi;
    const struct { double lo, hi; bool parameter; double los, his; } faelle[] = {
        {2, 2, false, -3, 3},  {5, 1, false, 1, 5},   {2, 2 + 1e-6, true, -pi, pi},
        {0, 1e-5, false, 0, 1e-5}, {NAN, 1, false, -3, 3}, {-1e308, 1e308, false, -3, 3},
    };
    for (const auto& f : faelle) {
        double lo = f.lo, hi = f.hi;
        BereichPruefen(lo, hi, f.parameter);
        EXPECT_EQ(std::pair(lo, hi), std::pair(f.los, f.his)) << f.lo << ".." << f.hi;
    }
    double a = 3, b = 1;
    KoerperGrenzenPruefen(a, b);
    EXPECT_EQ(std::pair(a, b), std::pair(1.0, 3.0));
    a = b = 2;
    KoerperGrenzenPruefen(a, b);
    EXPECT_EQ(std::pair(a, b), std::pair(0.0, 1.0));
}

TEST_F(SzenenTest, FunctionSurfaceAndItsBox) {
    FlaechenTerm("x*y+1");
    const auto f = FlaecheBerechnen(false, 4, -2, 2, 0, 1);
    ASSERT_EQ(f->xMasche(), 4);
    EXPECT_EQ(f->D3Point(1, 2), (TSurfPoint{-1, 0.5, 0.5}));
    EXPECT_EQ(f->D3Point(4, 4), (TSurfPoint{2, 1, 3}));
    Grafik3DEngine g;
    WeltkoordinatenFestlegen(g, *f);
    EXPECT_EQ(Box(g), (std::array<double, 6>{-2, 4, 0, 1, -1, 4}));

    // A flat surface is widened by 1e-5, an undefined point is 0.
    FlaechenTerm("1");
    WeltkoordinatenFestlegen(g, *FlaecheBerechnen(false, 5, -3, 3, -3, 3));
    EXPECT_DOUBLE_EQ(g.z1(), 1 - 1e-5);
    EXPECT_NEAR(g.zw(), 2e-5, 1e-15);
    FlaechenTerm("ln(x)");
    EXPECT_EQ(FlaecheBerechnen(false, 2, -1, 1, 0, 1)->D3Point(0, 0).z, 0);
}

TEST_F(SzenenTest, ParametricSurfaceAndAFlatBox) {
    Term(ParamTermbaum1, "a+b");
    Term(ParamTermbaum2, "a*b");
    Term(ParamTermbaum3, "2");
    const auto f = FlaecheBerechnen(true, 2, 0, 1, 0, 2);
    EXPECT_EQ(f->D3Point(2, 1), (TSurfPoint{2, 1, 2}));
    // x and y without width are widened by 1 on each side.
    Term(ParamTermbaum1, "0");
    Term(ParamTermbaum2, "0");
    Grafik3DEngine g;
    WeltkoordinatenFestlegen(g, *FlaecheBerechnen(true, 5, 0, 1, 0, 1));
    const auto box = Box(g);
    EXPECT_EQ(std::vector(box.begin(), box.begin() + 4), (std::vector<double>{-1, 2, -1, 2}));
}

TEST_F(SzenenTest, SolidMeshes) {
    Term(FunktionTermbaum, "x+1");
    Koerperdaten k{.a = 0, .b = 2, .n = 4};
    auto netz = BuildKoerper(k);
    ASSERT_EQ(netz->xMasche(), 4);
    ASSERT_EQ(netz->yMasche(), 4);
    // About the x axis: row i at x_i with radius f(x_i); a quarter turn per column.
    for (int j = 0; j <= 4; ++j) {
        const TSurfPoint p = netz->D3Point(2, j);
        EXPECT_EQ(p.x, 1);
        EXPECT_NEAR(std::hypot(p.y, p.z), 2, 1e-12);
    }
    EXPECT_NEAR(netz->D3Point(2, 1).y, 2, 1e-8);
    EXPECT_NEAR(netz->D3Point(2, 0).z, 2, 1e-12);

    k.geschlossen = true;
    netz = BuildKoerper(k);
    ASSERT_EQ(netz->xMasche(), 6);  // n + 3 rows
    for (int j = 0; j <= 4; ++j) {
        EXPECT_EQ(netz->D3Point(0, j), (TSurfPoint{0, 0, 0}));
        EXPECT_EQ(netz->D3Point(6, j), (TSurfPoint{2, 0, 0}));
        EXPECT_EQ(netz->D3Point(1, j).x, 0);
        EXPECT_EQ(netz->D3Point(5, j).x, 2);
    }

    // About the y axis the graph's y is the height; the discs' centres close it.
    k.umYAchse = true;
    netz = BuildKoerper(k);
    EXPECT_EQ(netz->D3Point(0, 3), (TSurfPoint{0, 0, 1}));
    EXPECT_EQ(netz->D3Point(6, 3), (TSurfPoint{0, 0, 3}));
    const TSurfPoint p = netz->D3Point(2, 1);
    EXPECT_NEAR(std::hypot(p.x, p.y), 0.5, 1e-12);
    EXPECT_EQ(p.z, 1.5);

    // A zero function: equal heights are moved apart by 1.
    Term(FunktionTermbaum, "0");
    k.umYAchse = false;
    Grafik3DEngine g;
    KoerperWeltkoordinaten(g, *BuildKoerper(k));
    EXPECT_EQ(std::pair(g.z1(), g.zw()), std::pair(-1.0, 2.0));
}

TEST_F(SzenenTest, Volumes) {
    const struct {
        const char* f;
        double a, b, v1, v2;
        const char* text1;
        const char* text2;
    } faelle[] = {
        {"1", 0, 1, 1, 0, "1,00\xE2\x80\xA2pi [VE]", "0,00\xE2\x80\xA2pi [VE]"},
        {"x", 0, 1, 1.0 / 3, 1.0 / 3, "0,33\xE2\x80\xA2pi [VE]", "0,33\xE2\x80\xA2pi [VE]"},
        {"sqrt(x)", 0, 4, 8, 6.4, "8,00\xE2\x80\xA2pi [VE]", "6,40\xE2\x80\xA2pi [VE]"},
    };
    for (const auto& f : faelle) {
        Term(FunktionTermbaum, f.f);
        const Rauminhalte r = KoerperVolumen(200, 0, f.a, f.b);
        EXPECT_NEAR(r.v1, f.v1, 1e-5) << f.f;
        EXPECT_NEAR(r.v2, f.v2, 1e-5) << f.f;
        EXPECT_FALSE(r.v1Undefiniert);
        EXPECT_EQ(VolumenText(r.v1, 2), f.text1);
        EXPECT_EQ(VolumenText(r.v2, 2), f.text2);
    }
    // No volume about the x axis where f^2 is not integrable up to a pole; 1/x
    // about the y axis has one, x^2 f' = -1 (by hand). Where f is merely
    // undefined the solid about the y axis is that of the defined part:
    // sqrt(x) on [0, 1] gives 1/5 by hand. cos(x) on [-pi, pi]: x^2 f' is
    // odd, V2 exactly 0.
    const struct {
        const char* f;
        double a, b;
        bool v1Undefiniert, v2Undefiniert;
        const char* text2;
    } ohne[] = {
        {"1/x", -1, 1, true, false, "-2,00\xE2\x80\xA2pi [VE]"},
        {"1/x", -1, 2, true, false, "-3,00\xE2\x80\xA2pi [VE]"},
        {"1/x^2", -1, 2, true, true, ""},
        {"tan(x)", 1, 2, true, true, ""},
        {"sqrt(x)", -1, 1, true, false, "0,20\xE2\x80\xA2pi [VE]"},
        {"cos(x)", -3.141592653589793, 3.141592653589793, false, false, "0,00\xE2\x80\xA2pi [VE]"},
        {"1/(x-3)", 0, 2, false, false, "-1,41\xE2\x80\xA2pi [VE]"},  // by hand: 6 ln 3 - 8
        // A hemisphere, -2/3; poles at 0 with x^2 f -> 0: -1, -1/3, -1/7.
        {"sqrt(1-x^2)", 0, 1, false, false, "-0,67\xE2\x80\xA2pi [VE]"},
        {"1/x", 0, 1, true, false, "-1,00\xE2\x80\xA2pi [VE]"},
        {"1/sqrt(x)", 0, 1, true, false, "-0,33\xE2\x80\xA2pi [VE]"},
        {"1/sqrt(sqrt(x))", 0, 1, false, false, "-0,14\xE2\x80\xA2pi [VE]"},
        // A gap at 0, one where x f oscillates (sin 1 - 2 * integral of
        // |sin(1/x)|, mpmath), and poles whose values leave the evaluator's
        // range around 0.
        {"sin(x)/x", -1, 1, false, false, "0,00\xE2\x80\xA2pi [VE]"},
        {"abs(sin(1/x))/x", 0, 1, true, false, "-0,71\xE2\x80\xA2pi [VE]"},
        {"1/x^3", -1, 1, true, true, ""}, {"exp(1/x)", -1, 1, true, true, ""},
    };
    for (const auto& f : ohne) {
        Term(FunktionTermbaum, f.f);
        const Rauminhalte r = KoerperVolumen(200, 0, f.a, f.b);
        EXPECT_EQ(r.v1Undefiniert, f.v1Undefiniert) << f.f << " on " << f.a;
        EXPECT_EQ(r.v2Undefiniert, f.v2Undefiniert) << f.f << " on " << f.a;
        if (!f.v2Undefiniert) {
            EXPECT_EQ(VolumenText(r.v2, 2), f.text2) << f.f;
        }
    }
    // t and the family's n range enter as in the graph.
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 2;
    Term(FunktionTermbaum, "n*t");
    EXPECT_NEAR(KoerperVolumen(200, 2, 0, 1).v1, 36, 1e-9);
}

TEST_F(SzenenTest, Angles) {
    const std::pair<double, int> faelle[] = {{45, 45}, {-30, 30}, {725, 5}, {359.5, 0}, {358.5, 358}, {360, 0}};
    for (auto [grad, anzeige] : faelle) EXPECT_EQ(Winkelanzeige(grad), anzeige) << grad;
    const std::pair<double, int> koerper[] = {{270, 0}, {225, 45}, {0, 270}, {-100, 10}, {630, 0}};
    for (auto [zrot, phi] : koerper) EXPECT_EQ(KoerperPhiAnzeige(zrot), phi) << zrot;
    EXPECT_EQ(KoerperZrotAusPhi(45), 225);
    EXPECT_EQ(KoerperZrotAusPhi(-45), 225);
}

TEST_F(SzenenTest, AnimationSteps) {
    // Beyond a pole the azimuth turns the other way.
    const std::pair<double, double> azimut[] = {{100, 1},   {200, -1}, {360, 1}, {0, -1},
                                                {-100, -1}, {-200, 1}, {180, -1}};
    for (auto [yrot, schritt] : azimut) EXPECT_EQ(Azimutschritt(yrot, 1), schritt) << yrot;

    Grafik3DEngine g;
    g.SetYrot(100);
    g.SetZrot(45);
    Drehschritt(g, {.rechts = true}, 2);
    EXPECT_EQ(g.Zrot(), 43);
    g.SetYrot(200);
    Drehschritt(g, {.rechts = true}, 2);
    EXPECT_EQ(g.Zrot(), 45);
    // Down first, then the sign of the right turn from the new theta.
    g.SetYrot(181);
    Drehschritt(g, {.rechts = true, .unten = true}, 2);
    EXPECT_EQ(std::pair(g.Yrot(), g.Zrot()), std::pair(179.0, 43.0));
    Drehschritt(g, {.links = true, .oben = true}, 1);
    EXPECT_EQ(std::pair(g.Yrot(), g.Zrot()), std::pair(180.0, 42.0));

    // The solids window wraps theta below 0 and phi turning right.
    g.SetYrot(0.5);
    g.SetZrot(0.5);
    KoerperDrehschritt(g, {.rechts = true, .unten = true}, 1);
    EXPECT_EQ(std::pair(g.Yrot(), g.Zrot()), std::pair(360.0, 360.0));
    g.SetYrot(90);
    g.SetZrot(359.5);
    KoerperDrehschritt(g, {.links = true}, 1);
    EXPECT_EQ(g.Zrot(), 360.5);
}

TEST_F(SzenenTest, PictureOrderAndLight) {
    const TFlaeche f = Funktionsflaeche(6, [](double x, double y) { return x * y / 3; });
    const Color achsen = 0x00FF00;
    const auto erstes = [&](AufgezeichneteSzene& s, CanvasRecord::Kind kind, bool achsenfarbe) {
        const auto& r = s.rec.Records();
        for (size_t i = 0; i < r.size(); ++i)
            if (r[i].kind == kind && (r[i].pen.color == achsen) == achsenfarbe) return i;
        return r.size();
    };
    for (const Achsenstil stil : {Achsenstil::Achsenkreuz1, Achsenstil::Achsenkreuz2, Achsenstil::AchsenMitSkalierung,
                                  Achsenstil::Rahmen, Achsenstil::RahmenMitSkalierung}) {
        for (const bool nachHinten : {false, true}) {
            AufgezeichneteSzene s;
            s.g.DefiniereWeltkoordinaten(-3, -3, -3, 3, 3, 3);
            SzeneZeichnen(s.g, &f, {.achsen = stil, .nachHinten = nachHinten, .achsenfarbe = achsen});
            const size_t linie = erstes(s, CanvasRecord::Kind::Polyline, true);
            const size_t flaeche = erstes(s, CanvasRecord::Kind::Polygon, false);
            ASSERT_LT(linie, s.rec.Records().size());
            EXPECT_EQ(nachHinten, linie > flaeche) << static_cast<int>(stil);
        }
    }
    // In front of the surface the framed style with ticks shows the whole
    // box, behind it only the back walls, which never reach the front corner.
    for (const bool nachHinten : {false, true}) {
        AufgezeichneteSzene s;
        SzeneZeichnen(s.g, &f, {.achsen = Achsenstil::RahmenMitSkalierung, .nachHinten = nachHinten});
        const Vec3 vorne = s.g.Front();
        const CanvasPoint ecke = s.g.WeltToPixel(vorne.x, vorne.y, vorne.z);
        bool erreicht = false;
        for (const CanvasRecord& r : s.Alle(CanvasRecord::Kind::Polyline))
            for (const CanvasPoint& q : r.points) erreicht |= q == ecke;
        EXPECT_EQ(erreicht, nachHinten);
    }

    // Light draws two shaded triangles per cell, unless the view moves.
    const struct { bool licht, bewegt; size_t polygone; int ecken; } licht[] = {
        {false, false, 36, 4}, {true, false, 72, 3}, {true, true, 36, 4}};
    for (const auto& l : licht) {
        AufgezeichneteSzene s;
        SzeneZeichnen(s.g, &f, {.beleuchtung = l.licht, .bewegt = l.bewegt});
        const auto polygone = s.Alle(CanvasRecord::Kind::Polygon);
        ASSERT_EQ(polygone.size(), l.polygone);
        EXPECT_EQ(static_cast<int>(polygone[0].points.size()), l.ecken);
    }
    AufgezeichneteSzene leer;
    SzeneZeichnen(leer.g, nullptr, Szenenbild{});
    EXPECT_TRUE(leer.rec.Records().empty());
}

using Liste = std::vector<std::string>;

TEST(Termliste, LinesOfAFile) {
    const struct { std::string bytes; Liste eintraege; } faelle[] = {
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
    // What the user is told agrees in number.
    const std::pair<Termliste, Liste> hinweise[] = {
        {l, {"Die Termliste a.LFF ist länger als 1000 Zeilen; der Rest wurde nicht geladen."}},
        {TermlisteAusText(lang, Termlistenart::Funktion), {"1 Zeile der Termliste a.LFF war zu lang und wurde gekürzt."}},
        {TermlisteAusText(lang + "\n" + lang, Termlistenart::Funktion),
         {"2 Zeilen der Termliste a.LFF waren zu lang und wurden gekürzt."}},
        {TermlisteAusText("x", Termlistenart::Funktion), {}},
    };
    for (const auto& [liste, gesagt] : hinweise) EXPECT_EQ(TermlistenHinweise(liste, "a.LFF"), gesagt);
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
    const struct { const char* gewaehlt; Termlistenart art; const char* name; } faelle[] = {
        {"/tmp/flaechen.txt", Termlistenart::Parameter, "/tmp/flaechen.LPF"},
        {"/tmp/bild.neu.LFF", Termlistenart::Funktion, "/tmp/bild.LFF"},
        {"/a.b/liste", Termlistenart::Funktion, "/a.b/liste.LFF"},  // a dot in the folder stays
        {"liste.lpf", Termlistenart::Parameter, "liste.LPF"},
        {"/tmp/.LFF", Termlistenart::Funktion, ""},
    };
    for (const auto& f : faelle) EXPECT_EQ(TermlistenDateiname(f.gewaehlt, f.art), f.name) << f.gewaehlt;
}

TEST(Termliste, ParametricEntries) {
    const struct { const char* eintrag; Parameterterme t; } faelle[] = {
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
