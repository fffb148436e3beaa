#include "curve_discussion.h"

#include <algorithm>
#include <cmath>

#include "analysis_state.h"
#include "canvas.h"
#include "curves.h"
#include "number_text.h"
#include "program_state.h"
#include "term.h"

namespace kalvo {

KurvendiskussionZustand gKurvendiskussion;

void ResetKurvendiskussion() { gKurvendiskussion = KurvendiskussionZustand{}; }

namespace {

constexpr double kH = 0.001;            // sample step of all differences
constexpr double kGueltig = 100000;     // a sample at or beyond this counts as invalid
constexpr double kSprung = 100;         // a larger difference across a bracket is a jump
constexpr double kNullGrenze = 0.01;    // coordinates, values and slopes below it are 0
constexpr double kPolGrob = 100, kPolFein = 1000;
constexpr double kPolAbstand = 0.02;    // a pole this close to the previous one is the same
constexpr double kAsymptotenSchritt = 10.111;
constexpr double kAsymptotenWeite = 100000;
constexpr double kAsymptotenWertGrenze = 1e7;
constexpr double kSteigungGleich = 1e-9;
constexpr double kSymmetrieToleranz = 1e-8;

// Caps of the loops: far beyond what the callers ask (500 steps), they only
// stop a runaway step or a bisection that floating point cannot finish.
constexpr long kMaxScanSchritte = 10000;
constexpr int kMaxHalbierungen = 200;
constexpr long kAsymptotenSchritte = static_cast<long>(kAsymptotenWeite / kAsymptotenSchritt) + 1;

double Gerundet(double v) { return std::fabs(v) < kNullGrenze ? 0.0 : v; }

bool Definiert(double v) { return gTerms.TermOK && !std::isnan(v); }

struct Dreipunkt {
    double yL = 0, yM = 0, yR = 0, D1 = 0, D2 = 0;
    bool gueltig = false;
};

struct Zweipunkt {
    double yL = 0, yR = 0, D1 = 0;
    bool gueltig = false;
};

struct Asymptote {
    bool gefunden = false;
    double m = 0, c = 0;
};

const char* Ueberschrift(Ergebnisliste liste) {
    switch (liste) {
        case Ergebnisliste::Nullstellen: return "Schnittpunkte mit der x-Achse";
        case Ergebnisliste::Extrema: return "Hoch- und Tiefpunkte";
        case Ergebnisliste::Wendepunkte: return "Wendepunkte";
        case Ergebnisliste::Pole: return "Pole";
        case Ergebnisliste::Asymptoten: return "Asymptoten";
    }
    return "";
}

// One run of the search: the term's values at parameter t summed over the
// family's n range, the result arrays and the lines for the sink.
class Kurvendiskussion {
public:
    Kurvendiskussion(double t, KurvendiskussionAusgabe& ausgabe)
        : t_(t),
          nVon_(SumStartIndex()),
          nBis_(static_cast<double>(gParams.FgSummeBis)),
          nSchritt_(static_cast<double>(gParams.FgSummeSchrittweite)),
          ausgabe_(ausgabe),
          drucker_(gKurvendiskussion.DiskussionDruck ? ausgabe.Drucker() : nullptr) {}

    void Berechnen(double a, double b, double step);

    // Values as the graph shows them: the same start of the n sum, the same cap.
    double F(double x) { return EvalSumOverN(0, x, t_, nVon_, nBis_, nSchritt_); }
    double F1(double x) { return EvalSumOverN(1, x, t_, nVon_, nBis_, nSchritt_); }

    bool PunktsymmetrieTest() { return SymmetrieTest(+1); }
    bool AchsensymmetrieTest() { return SymmetrieTest(-1); }
    std::string SymmetrieText();

private:
    // Value at x and its validity: defined and below kGueltig in size.
    double Wert(double x, bool& gueltig) {
        const double y = F(x);
        gueltig = Definiert(y) && std::fabs(y) < kGueltig;
        return std::isnan(y) ? 0.0 : y;
    }
    Dreipunkt Dreipunktwerte(double x);
    Zweipunkt Zweipunktwerte(double x);
    void NullstelleEingrenzen(double l, double r);
    void ExtremumEingrenzen(double l, double r);
    void WendepunktEingrenzen(double l, double r, double s);
    void NullstelleEintragen(double x, double steigung);
    bool SymmetrieTest(double vorzeichen);
    void PoleSuchen(double a, double b, double step);
    void PolEintragen(double xp);
    void AsymptotenSuchen();
    Asymptote AsymptoteSuchen(double x0, double richtung);
    Asymptote AsymptoteRechts(double x0) { return AsymptoteSuchen(x0, +1); }
    Asymptote AsymptoteLinks(double x0) { return AsymptoteSuchen(x0, -1); }
    void AsymptoteEintragen(double m, double c);
    void PunktlistenFuellen();
    void Zeile(Ergebnisliste liste, const std::string& zeile);
    void Drucken(int schriftgroesse, int zeilen, const std::string& text);

    double t_;
    double nVon_, nBis_, nSchritt_;
    KurvendiskussionAusgabe& ausgabe_;
    Canvas* drucker_;
    double s_ = 1;
    bool listeBegonnen_[5] = {};
};

Dreipunkt Kurvendiskussion::Dreipunktwerte(double x) {
    Dreipunkt p;
    bool gL, gM, gR;
    p.yL = Wert(x - kH, gL);
    p.yM = Wert(x, gM);
    p.yR = Wert(x + kH, gR);
    p.D1 = p.yR - p.yL;
    p.D2 = p.yR - 2 * p.yM + p.yL;
    p.gueltig = gL && gM && gR;
    return p;
}

Zweipunkt Kurvendiskussion::Zweipunktwerte(double x) {
    Zweipunkt p;
    bool gL, gR;
    p.yL = Wert(x - kH, gL);
    p.yR = Wert(x + kH, gR);
    p.D1 = p.yR - p.yL;
    p.gueltig = gL && gR;
    return p;
}

void Kurvendiskussion::NullstelleEintragen(double x, double steigung) {
    DiscussionResults& d = gDiscussion;
    if (d.AnzahlNullstellen >= kMaxSpecialPoints) return;
    ++d.AnzahlNullstellen;
    d.NullstelleX[static_cast<size_t>(d.AnzahlNullstellen)] = x;
    d.NullstelleSteigung[static_cast<size_t>(d.AnzahlNullstellen)] = steigung;
}

void Kurvendiskussion::NullstelleEingrenzen(double l, double r) {
    double yl = F(l);
    if (!Definiert(yl)) return;
    double yr = F(r);
    if (!Definiert(yr)) return;
    double m = l;
    for (int i = 0; i < kMaxHalbierungen; ++i) {
        m = (l + r) / 2;
        const double ym = F(m);
        if (!Definiert(ym)) return;
        // A sign change across a jump is a pole, not a zero.
        if (std::fabs(yl - yr) > kSprung) return;
        if (std::fabs(m - l) < 0.00001 || ym == 0 || m == l || m == r) break;
        if (TermSgn(ym) != TermSgn(yr)) {
            l = m;
            yl = ym;
        } else {
            r = m;
            yr = ym;
        }
    }
    const double steigung = F1(m);
    NullstelleEintragen(Gerundet(m), Gerundet(steigung));
}

void Kurvendiskussion::ExtremumEingrenzen(double l, double r) {
    const Zweipunkt pl = Zweipunktwerte(l);
    const Zweipunkt pr = Zweipunktwerte(r);
    if (!pl.gueltig || !pr.gueltig) return;
    double dl = pl.D1, dr = pr.D1;
    double m = l;
    for (int i = 0; i < kMaxHalbierungen; ++i) {
        m = (l + r) / 2;
        const Zweipunkt pm = Zweipunktwerte(m);
        if (!pm.gueltig) return;
        if (std::fabs(m - l) < 0.00001 || m == l || m == r) break;
        if (TermSgn(pm.D1) != TermSgn(dr)) {
            l = m;
            dl = pm.D1;
        } else {
            r = m;
            dr = pm.D1;
        }
    }
    m = Gerundet(m);
    double y = F(m);
    if (!Definiert(y)) return;
    y = Gerundet(y);

    DiscussionResults& d = gDiscussion;
    if (d.AnzahlExtrema >= kMaxSpecialPoints) return;
    ++d.AnzahlExtrema;
    const auto k = static_cast<size_t>(d.AnzahlExtrema);
    d.ExtremumArt[k] = dl < dr ? 0 : 1;
    d.ExtremumX[k] = m;
    d.ExtremumY[k] = y;
    // A zero of even order: f touches the axis without changing sign.
    if (y == 0) NullstelleEintragen(m, 0);
}

void Kurvendiskussion::WendepunktEingrenzen(double l, double r, double s) {
    const double x = r;
    // In a straight stretch a sign change of the second difference is noise.
    if (std::fabs(F1(x - 8 * s) - F1(x - 3 * s)) < 0.00001) return;
    const Dreipunkt pl = Dreipunktwerte(l);
    const Dreipunkt pr = Dreipunktwerte(r);
    if (!pl.gueltig || !pr.gueltig) return;
    double fl = pl.yM, fr = pr.yM, d2r = pr.D2;
    double m = l, fm = fl;
    for (int i = 0; i < kMaxHalbierungen; ++i) {
        m = (l + r) / 2;
        const Dreipunkt pm = Dreipunktwerte(m);
        if (!pm.gueltig) return;
        fm = pm.yM;
        if (std::fabs(fl - fr) > kSprung) return;
        if (std::fabs(m - l) < 0.0001 || pm.D2 == 0 || m == l || m == r) break;
        if (TermSgn(pm.D2) != TermSgn(d2r)) {
            l = m;
            fl = fm;
        } else {
            r = m;
            d2r = pm.D2;
            fr = fm;
        }
    }
    const double steigung = Gerundet(F1(m));
    DiscussionResults& d = gDiscussion;
    if (d.AnzahlWendepunkte >= kMaxSpecialPoints) return;
    ++d.AnzahlWendepunkte;
    const auto k = static_cast<size_t>(d.AnzahlWendepunkte);
    d.WendepunktArt[k] = steigung == 0 ? 1 : 0;
    d.WendepunktX[k] = Gerundet(m);
    d.WendepunktY[k] = Gerundet(fm);
    d.WendepunktSteigung[k] = steigung;
    // Two inflection points within one scan step are numerical noise.
    if (k > 1 && d.WendepunktX[k] - d.WendepunktX[k - 1] < s) d.AnzahlWendepunkte -= 2;
}

bool Kurvendiskussion::SymmetrieTest(double vorzeichen) {
    // Pairs where f is undefined on both sides say nothing (a bounded
    // domain such as that of sqrt(4-x^2)); a pair defined on one side only
    // breaks the symmetry.
    bool verglichen = false;
    for (int k = 0; k <= 99; ++k) {
        const double x = 0.001 + 0.11 * k;
        const double y1 = F(x);
        const bool ok1 = Definiert(y1);
        const double y2 = F(-x);
        const bool ok2 = Definiert(y2);
        if (!ok1 && !ok2) continue;
        if (ok1 != ok2) return false;
        if (!(std::fabs(y1 + vorzeichen * y2) < kSymmetrieToleranz)) return false;
        verglichen = true;
    }
    return verglichen;
}

std::string Kurvendiskussion::SymmetrieText() {
    if (PunktsymmetrieTest()) return "Das Schaubild ist symmetrisch zum Ursprung.";
    if (AchsensymmetrieTest()) return "Das Schaubild ist symmetrisch zur y-Achse.";
    return "";
}

void Kurvendiskussion::Drucken(int schriftgroesse, int zeilen, const std::string& text) {
    KurvendiskussionZustand& z = gKurvendiskussion;
    z.DruckY += zeilen * z.DruckZeilenhoehe;
    drucker_->SetFontSize(schriftgroesse);
    drucker_->TextOut(z.DruckX, z.DruckY, text);
}

void Kurvendiskussion::Zeile(Ergebnisliste liste, const std::string& zeile) {
    ausgabe_.ZeileHinzufuegen(liste, zeile);
    if (!drucker_) return;
    bool& begonnen = listeBegonnen_[static_cast<int>(liste)];
    if (!begonnen) Drucken(11, 2, Ueberschrift(liste));
    begonnen = true;
    Drucken(8, 1, zeile);
}

void Kurvendiskussion::PunktlistenFuellen() {
    const DiscussionResults& d = gDiscussion;
    const int dez = gDisplay.Nachkommastellen;
    auto zahl = [dez](double v) { return FormatNumberCommaTight(dez, v); };

    ausgabe_.ListeLeeren(Ergebnisliste::Nullstellen);
    if (d.AnzahlNullstellen == 0) ausgabe_.ZeileHinzufuegen(Ergebnisliste::Nullstellen, kLeerePunktliste);
    for (size_t i = 1; i <= static_cast<size_t>(d.AnzahlNullstellen); ++i)
        Zeile(Ergebnisliste::Nullstellen,
              "N(" + zahl(d.NullstelleX[i]) + "|" + zahl(0) + ")  m =" + zahl(d.NullstelleSteigung[i]));

    ausgabe_.ListeLeeren(Ergebnisliste::Extrema);
    if (d.AnzahlExtrema == 0) ausgabe_.ZeileHinzufuegen(Ergebnisliste::Extrema, kLeerePunktliste);
    for (size_t i = 1; i <= static_cast<size_t>(d.AnzahlExtrema); ++i)
        Zeile(Ergebnisliste::Extrema, (d.ExtremumArt[i] != 0 ? "H(" : "T(") + zahl(d.ExtremumX[i]) + "|" +
                                          zahl(d.ExtremumY[i]) + ")  m =" + zahl(0));

    ausgabe_.ListeLeeren(Ergebnisliste::Wendepunkte);
    if (d.AnzahlWendepunkte == 0) ausgabe_.ZeileHinzufuegen(Ergebnisliste::Wendepunkte, kLeerePunktliste);
    for (size_t i = 1; i <= static_cast<size_t>(d.AnzahlWendepunkte); ++i)
        Zeile(Ergebnisliste::Wendepunkte, (d.WendepunktArt[i] != 0 ? "TR(" : "W(") + zahl(d.WendepunktX[i]) +
                                              "|" + zahl(d.WendepunktY[i]) + ")  m =" +
                                              zahl(d.WendepunktSteigung[i]));
}

void Kurvendiskussion::PolEintragen(double xp) {
    DiscussionResults& d = gDiscussion;
    // Element 0 holds -1000 as the previous pole of a run's first; it is not
    // compared, so a first pole near -1000 is kept.
    if (d.AnzahlPole > 0 && std::fabs(d.PolX[static_cast<size_t>(d.AnzahlPole)] - xp) <= kPolAbstand) return;
    if (d.AnzahlPole >= kMaxPoles) return;
    Zeile(Ergebnisliste::Pole, "x = " + RealToStrComma(xp, 5, 2));
    ++d.AnzahlPole;
    d.PolX[static_cast<size_t>(d.AnzahlPole)] = xp;
}

void Kurvendiskussion::PoleSuchen(double a, double b, double step) {
    DiscussionResults& d = gDiscussion;
    d.AnzahlPole = 0;
    d.PolX[0] = -1000.0;
    const double sp = step / 50;
    const long n = static_cast<long>(std::floor((b - a) / sp + 1e-9));

    // Sign changes of f or of its first difference next to large values.
    // While the three points straddle a pole where f changes sign, their
    // difference flips h before the pole; that pole is placed by the sign
    // change of f itself, not h too early.
    auto treffer = [](double vorF, double vorD1, const Dreipunkt& p, double grenze) {
        const bool ueberPol = TermSgn(p.yL) * TermSgn(p.yR) == -1;
        return ((!ueberPol && TermSgn(vorD1) * TermSgn(p.D1) == -1) || TermSgn(vorF) * TermSgn(p.yM) == -1) &&
               (std::fabs(vorF) > grenze || std::fabs(p.yM) > grenze);
    };

    long i = -1;
    Dreipunkt p;
    do {
        p = Dreipunktwerte(a + static_cast<double>(i) * sp);
        ++i;
    } while (!p.gueltig && i <= n);

    double vorF = 0, vorD1 = 0;
    do {
        if (p.yM != 0) vorF = p.yM;
        if (p.D1 != 0) vorD1 = p.D1;
        const double x = a + static_cast<double>(i) * sp;
        p = Dreipunktwerte(x);
        if (treffer(vorF, vorD1, p, kPolGrob)) {
            // Rescan the step tenfold finer, starting from the values before
            // it, so that every tenth of it is looked at; the coarse sample
            // at x stays the current one.
            const double xs = x - sp, spf = sp / 10;
            double feinF = vorF, feinD1 = vorD1;
            for (int j = 1; j <= 10; ++j) {
                const double xf = xs + j * spf;
                const Dreipunkt q = Dreipunktwerte(xf);
                // The sign changed between this fine sample and the one before.
                if (treffer(feinF, feinD1, q, kPolFein)) PolEintragen(xf - spf / 2);
                if (q.yM != 0) feinF = q.yM;
                if (q.D1 != 0) feinD1 = q.D1;
            }
        }
        ++i;
    } while (i <= n);

    if (d.AnzahlPole == 0) ausgabe_.ZeileHinzufuegen(Ergebnisliste::Pole, kLeerePolliste);
}

Asymptote Kurvendiskussion::AsymptoteSuchen(double x0, double richtung) {
    double x = x0;
    bool steigungGleich = false;
    for (long k = 1; k <= kAsymptotenSchritte; ++k) {
        x = x0 + richtung * static_cast<double>(k) * kAsymptotenSchritt;
        const double d1 = F1(x), d2 = F1(x + richtung * 1.1), d3 = F1(x + richtung * 2.1);
        const double y = F(x);
        steigungGleich = std::fabs(d1 - d2) < kSteigungGleich && std::fabs(d1 - d3) < kSteigungGleich;
        if (steigungGleich || std::fabs(y) > kAsymptotenWertGrenze) break;
    }
    Asymptote a;
    if (!steigungGleich) return a;
    const double x4 = x + richtung * 4;
    a.m = F1(x4);
    if (!Definiert(a.m)) return a;
    const double y4 = F(x4);
    if (!Definiert(y4)) return a;
    a.c = y4 - a.m * x4;
    // A slowly bending graph (sqrt, ln) also passes the slope test far out;
    // a line it really approaches still fits twice as far from the start.
    const double x5 = x4 + (x4 - x0);
    const double y5 = F(x5);
    if (!Definiert(y5) || !(std::fabs(y5 - (a.m * x5 + a.c)) < kNullGrenze)) return a;
    a.gefunden = true;
    return a;
}

void Kurvendiskussion::AsymptoteEintragen(double m, double c) {
    DiscussionResults& d = gDiscussion;
    if (d.AnzahlAsymptoten >= kMaxAsymptoten) return;
    const std::string zeile = LineEquationText(m, c);
    Zeile(Ergebnisliste::Asymptoten, zeile);
    d.AsymptotenText[static_cast<size_t>(d.AnzahlAsymptoten)] = NormalizeTermText(zeile).substr(2);
    ++d.AnzahlAsymptoten;
}

void Kurvendiskussion::AsymptotenSuchen() {
    gDiscussion.AnzahlAsymptoten = 0;
    const double x0 = (gKurvendiskussion.SuchintervallVon + gKurvendiskussion.SuchintervallBis) / 2;
    const Asymptote rechts = AsymptoteRechts(x0);
    const Asymptote links = AsymptoteLinks(x0);
    if (rechts.gefunden && links.gefunden) {
        // One line on both sides is listed once; y = x and y = -x (as of
        // sqrt(x^2+1)) share the intercept but are two lines.
        if (std::fabs(rechts.c - links.c) < 1 && std::fabs(rechts.m - links.m) < kNullGrenze) {
            AsymptoteEintragen((rechts.m + links.m) / 2, (rechts.c + links.c) / 2);
        } else {
            AsymptoteEintragen(rechts.m, rechts.c);
            AsymptoteEintragen(links.m, links.c);
        }
    } else if (rechts.gefunden) {
        AsymptoteEintragen(rechts.m, rechts.c);
    } else if (links.gefunden) {
        AsymptoteEintragen(links.m, links.c);
    } else {
        ausgabe_.ZeileHinzufuegen(Ergebnisliste::Asymptoten, kLeerePolliste);
    }
}

void Kurvendiskussion::Berechnen(double a, double b, double step) {
    DiscussionResults& d = gDiscussion;
    d.AnzahlNullstellen = d.AnzahlExtrema = d.AnzahlWendepunkte = 0;
    // The drawing reads every count: a run without the pole search must not
    // leave the poles and asymptotes of an earlier run behind.
    d.AnzahlPole = d.AnzahlAsymptoten = 0;
    d.PolX[0] = -1000.0;

    if (a > b) std::swap(a, b);
    const bool intervallOk = std::isfinite(b - a);
    if (intervallOk) {
        double s = step;
        if (!(s > 0) || !std::isfinite(s)) s = (b - a) / 500;
        s = std::max(s, (b - a) / kMaxScanSchritte);
        if (!(s > 0)) s = 1;  // a == b: one sample
        s_ = s;
        const long n = static_cast<long>(std::floor((b - a) / s + 1e-9));

        long i = -1;
        Dreipunkt p;
        do {
            p = Dreipunktwerte(a + static_cast<double>(i) * s);
            ++i;
        } while (!p.gueltig && i <= n);

        double vorF = 0, vorD1 = 0, vorD2 = 0;
        do {
            if (p.yM != 0) vorF = p.yM;
            if (p.D1 != 0) vorD1 = p.D1;
            if (p.D2 != 0) vorD2 = p.D2;
            const double x = a + static_cast<double>(i) * s;
            p = Dreipunktwerte(x);
            if (TermSgn(vorF) * TermSgn(p.yM) == -1 && d.AnzahlNullstellen < kMaxSpecialPoints)
                NullstelleEingrenzen(x - s, x);
            if (TermSgn(vorD1) * TermSgn(p.D1) == -1 && d.AnzahlExtrema < kMaxSpecialPoints)
                ExtremumEingrenzen(x - s, x);
            if (TermSgn(vorD2) * TermSgn(p.D2) == -1 && d.AnzahlWendepunkte < kMaxSpecialPoints)
                WendepunktEingrenzen(x - s, x, s);
            ++i;
        } while (i <= n);
    }

    PunktlistenFuellen();
    const std::string symmetrie = SymmetrieText();
    ausgabe_.SymmetrieAnzeigen(symmetrie);

    ausgabe_.ListeLeeren(Ergebnisliste::Pole);
    ausgabe_.ListeLeeren(Ergebnisliste::Asymptoten);
    if (gKurvendiskussion.PoleUndAsymptotenSuchen) {
        if (intervallOk) {
            PoleSuchen(a, b, s_);
        } else {
            ausgabe_.ZeileHinzufuegen(Ergebnisliste::Pole, kLeerePolliste);
        }
        AsymptotenSuchen();
    }

    if (drucker_) Drucken(11, 2, symmetrie);
    gKurvendiskussion.DiskussionDruck = false;
}

}  // namespace

void KurvendiskussionBerechnen(double a, double b, double step, double t, KurvendiskussionAusgabe& ausgabe) {
    Kurvendiskussion(t, ausgabe).Berechnen(a, b, step);
}

namespace {
KurvendiskussionAusgabe* gStandardAusgabe = nullptr;
}

KurvendiskussionAusgabe* SetStandardAusgabe(KurvendiskussionAusgabe* ausgabe) {
    KurvendiskussionAusgabe* vorher = gStandardAusgabe;
    gStandardAusgabe = ausgabe;
    return vorher;
}

void KurvendiskussionBerechnen(double a, double b, double step, double t) {
    KeineAusgabe keine;
    KurvendiskussionBerechnen(a, b, step, t, gStandardAusgabe ? *gStandardAusgabe : keine);
}

std::string SymmetrieText(double t) {
    KeineAusgabe keine;
    return Kurvendiskussion(t, keine).SymmetrieText();
}

}  // namespace kalvo
