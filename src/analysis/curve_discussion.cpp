#include "curve_discussion.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <cmath>
#include <limits>
#include <numbers>
#include <tuple>
#include <vector>

#include "analysis_state.h"
#include "canvas.h"
#include "curves.h"
#include "number_text.h"
#include "numeric_tables.h"
#include "program_state.h"
#include "shown_derivative.h"
#include "term.h"
#include "work_budget.h"

namespace kalvo {

KurvendiskussionZustand gKurvendiskussion;

void ResetKurvendiskussion() { gKurvendiskussion = KurvendiskussionZustand{}; }

namespace {

constexpr double kH = 0.001;            // sample step of all differences
constexpr double kGueltig = 100000;     // a sample at or beyond this counts as invalid
constexpr double kSprung = 100;         // a larger difference across a bracket is a jump
// Lines far out (asymptotes) are confirmed to two decimals; slopes and
// intercepts below this are 0 there.
constexpr double kNullGrenze = 0.01;
// Coordinates and values below this are the searches' own noise (an extremum
// is located to about 1e-8 where f is flat); anything larger is a real value
// and is shown as such, 0.008 as 8,00 E-3 and not as 0. A slope at a
// touching zero carries that location error times f''.
constexpr double kRauschGrenze = 1e-7;
constexpr double kSteigungRauschGrenze = 1e-6;
constexpr double kPolGrob = 100, kPolFein = 1000;
constexpr double kPolAbstand = 0.02;    // a pole this close to the previous one is the same
// A place this close to 0 (or this share of its size beside a short number)
// is that number: halvings towards 0 never reach it.
constexpr double kNaehe = 1e-12;
constexpr double kSymmetrieToleranz = 1e-8;
// An asymptote is confirmed at x0 +- 1.3 * 10^k for k up to this, as far as
// f is defined there; a line must be approached, not only passed slowly.
constexpr int kAsymptotenDekaden = 300;
// Intercepts come from points no farther out than this (10^9): beyond it
// m * x swallows their digits.
constexpr int kAchsenabschnittDekaden = 9;
// Approaching a point: distances shrink by this factor, down to a few
// spacings of doubles; at most this many of them.
constexpr double kAnnaeherungsFaktor = 4;
constexpr int kAnnaeherungsPunkte = 64;
// f has tended to 0 when its size fell to this share of the largest seen.
constexpr double kNullAnteil = 1e-3;

// Half the language's value limit, where sinh and cosh level off.
constexpr double kSaettigung = 1e49;

// Caps of the loops: far beyond what the callers ask (500 steps), they only
// stop a runaway step or a bisection that floating point cannot finish.
constexpr long kMaxScanSchritte = 10000;
constexpr int kMaxHalbierungen = 200;

double Gerundet(double v) { return std::fabs(v) < kRauschGrenze ? 0.0 : v; }
double SteigungGerundet(double v) { return std::fabs(v) < kSteigungRauschGrenze ? 0.0 : v; }

bool Definiert(double v) { return gTerms.TermOK && !std::isnan(v); }

// The spacing of doubles at x.
double Abstand(double x) {
    const double a = std::fabs(x);
    return std::nextafter(a, std::numeric_limits<double>::infinity()) - a;
}

struct Dreipunkt {
    double yL = 0, yM = 0, yR = 0, D1 = 0, D2 = 0;
    bool gueltig = false;
    bool mDefiniert = false;  // f(x) itself, whatever its size
};

// How f behaves on the way to a point: it tends to 0, it grows without
// bound, or neither.
enum class Grenzverhalten : uint8_t { Null, Unbeschraenkt, Endlich };

// The rounding error of a few operations on doubles of this size.
double Rundungsfehler(double groesse) { return 2 * std::numeric_limits<double>::epsilon() * std::fabs(groesse); }

// A second difference within the rounding of its three values has no sign:
// the curvature of a straight stretch far from the axis.
double D2Rauschen(const Dreipunkt& p) {
    return 4 * std::numeric_limits<double>::epsilon() * (std::fabs(p.yL) + 2 * std::fabs(p.yM) + std::fabs(p.yR));
}

struct Zweipunkt {
    double yL = 0, yR = 0, D1 = 0;
    bool gueltig = false;
};

struct Asymptote {
    bool gefunden = false;
    double m = 0, c = 0;
};

// From which side f grows without bound at a pole; a pole at the end of the
// domain, or with f unbounded on both sides, gets no note.
enum class Polseite : uint8_t { Offen, Beidseitig, Links, Rechts };

struct Polkandidat {
    double x = 0;
    Polseite seite = Polseite::Offen;  // Offen: told at the listing
};

double NaheKurzeZahl(double x);
ShownUnit AsymptotenEinheit();

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
    // f at x where it is defined.
    bool FDefiniert(double x, double& y) {
        y = F(x);
        return Definiert(y) && std::isfinite(y);
    }

    bool PunktsymmetrieTest() { return SymmetrieTest(+1); }
    bool AchsensymmetrieTest() { return SymmetrieTest(-1); }
    std::string SymmetrieText();

private:
    // Value at x and its validity: defined and below kGueltig in size.
    double Wert(double x, bool& gueltig, bool* definiert = nullptr) {
        const double y = F(x);
        if (definiert) *definiert = Definiert(y);
        gueltig = Definiert(y) && std::fabs(y) < kGueltig;
        return std::isnan(y) ? 0.0 : y;
    }
    Dreipunkt Dreipunktwerte(double x);
    Zweipunkt Zweipunktwerte(double x);
    void NullstelleEingrenzen(double l, double r);
    void ExtremumEingrenzen(double l, double r);
    void WendepunktEingrenzen(double l, double r, double s);
    // Whether the second difference changes sign at m beyond the rounding of
    // f, over a part of the scan step s.
    bool KruemmungWechselt(double m, double s);
    // The zero of the second difference over +-eta near m, to the rounding
    // of the values; NaN when none is found within h. `unsicher`: how far
    // from m it may lie.
    double D2Nullstelle(double m, double eta, double unsicher);
    // The second difference over +-eta at x and its rounding.
    bool D2Wert(double x, double eta, double& v, double& rauschen);
    // How far from m that difference has no sign.
    double D2Unschaerfe(double m, double eta);
    // The inflection point near m, from second differences over h and h/2.
    double WendepunktPolieren(double m, double unsicher);
    void NullstelleEintragen(double x, double steigung);
    // Whether x lies in the search interval, as far as the search can place
    // it; a point beyond an end by no more than that is put at the end.
    bool ImIntervall(double& x, double unsicher = 0) const;
    // The slope f'(x), refined to the decimals shown; NaN where it does not exist.
    double Steigung(double x);
    // Where the domain ends between a defined and an undefined sample.
    void RandUntersuchen(double xDefiniert, double xUndefiniert);
    // Whether the border between xd (f defined) and xu (undefined), narrowed
    // down, belongs to the domain; rand: the border.
    bool RandGehoertDazu(double xd, double xu, double& rand);
    Grenzverhalten Annaeherung(double c, double weite, int seiten);
    double VorzeichenwechselEingrenzen(double l, double r);
    // Narrows a border between a defined and an undefined point down (to
    // neighbouring doubles, or as far as the halvings reach towards 0);
    // returns the defined end.
    double Randpunkt(double& xd, double& xu);
    double LochMitte(double c, double l, double r);
    double BetragMaximum(double l, double r);
    bool Beruehrt(double m);
    double EbenenMitte(double m, double schritt, int art);
    double ExtremumPolieren(double m, double s);
    // Whether f has a strict extremum of kind art (1 minimum, -1 maximum)
    // at m, within the reach of the flat stretches EbenenMitte looks at: how
    // far from m f first leaves its value beyond rounding on either side,
    // or NaN.
    double ExtremumReichweite(double m, int art, double schritt);
    // How far f scatters at x about a smooth curve: the rounding of its
    // computation, however small f itself is.
    double WertRauschen(double x);
    // Whether f is undefined at a short number within `unsicher` of x: a
    // point found there lies in a gap of the domain (x + 3 written as
    // (x^2+x-6)/(x-2) at 2).
    bool LueckeNahe(double x, double unsicher);
    // Whether f is exactly 0 beside x, on a whole stretch.
    bool Nullstrecke(double x);
    bool Knick(double m);
    void PolKandidat(double l, double r);
    void PolVormerken(double xp, Polseite seite = Polseite::Offen);
    // Whether f grows without bound on the way to xp from side `seite`
    // (-1 left, +1 right); `definiert`: whether f is defined on that side
    // next to xp at all.
    bool WaechstVonSeite(double xp, int seite, bool& definiert);
    Polseite SeiteBestimmen(double xp);
    // A stretch where f is undefined between the samples l, lu (last defined,
    // first undefined) and ru, r (last undefined, first defined again): an
    // e-term beyond the language's limits on one side of a pole.
    void LueckeUntersuchen(double l, double lu, double ru, double r);
    // Whether |f| grows by orders of magnitude on the way to e, the last
    // point where f is defined before such a stretch, from the side
    // `richtung` (-1 left, +1 right) within `breite`.
    bool UeberlaufKante(double e, int richtung, double breite);
    // The pole inside such a stretch [e1, e2], unbounded on both sides: the
    // middle between where ln|f| takes the same level on either side moves
    // towards it as the level grows, and is carried on to an infinite
    // level. NaN when f does not allow it.
    double PolInDerLuecke(double e1, double e2);
    // Where ln|f| falls to `niveau` on the way from e, the last defined
    // point beside the stretch, in direction `richtung`.
    double NiveauStelle(double e, int richtung, double breite, double niveau);
    bool SymmetrieTest(double vorzeichen);
    void PoleSuchen(double a, double b, double step);
    // The lists a run cut short by its work budget would show wrongly: emptied, with the reason.
    void Abgebrochen(std::initializer_list<Ergebnisliste> listen);
    void PolEintragen(double xp, Polseite seite);
    void AsymptotenSuchen();
    Asymptote AsymptoteSuchen(double x0, double richtung);
    // The line closer in, where f is defined out to a distance between
    // dDefiniert and dUndefiniert from x0 only.
    Asymptote AsymptoteNah(double x0, double richtung, double dDefiniert, double dUndefiniert);
    // The same where f still approaches its line as a rational function
    // does when the e-term ends it (e^x/(e^x + 1) + 1/x): from the values
    // between weit/2 and weit.
    Asymptote AsymptoteGebrochen(double x0, double richtung, double weit);
    // Whether f also keeps the level c between the decades up to kBis.
    bool Bestaetigt(double x0, double richtung, int kBis, double c);
    Asymptote AsymptoteRechts(double x0) { return AsymptoteGeprueft(x0, +1); }
    Asymptote AsymptoteLinks(double x0) { return AsymptoteGeprueft(x0, -1); }
    Asymptote AsymptoteGeprueft(double x0, double richtung) {
        Asymptote a = AsymptoteSuchen(x0, richtung);
        // sinh and cosh hold e^90 and more at 1e50 and stay at half of it:
        // a level that high is the language's limit, not a line of f.
        if (a.gefunden && !(std::fabs(a.c) < kSaettigung)) a.gefunden = false;
        if (a.gefunden && SpitzenFernab(x0, richtung, a)) a.gefunden = false;
        return a;
    }
    // Whether f keeps leaving the line far out, between the samples the
    // search looks at: poles that recur (tan(x)/x), spikes that keep their
    // height (1/(1 + x^2 sin(x)^2)).
    bool SpitzenFernab(double x0, double richtung, const Asymptote& a);
    // The largest |f - line| on [l, r] by golden sections; an undefined
    // value counts as the largest.
    double AbstandMaximum(double l, double r, const Asymptote& a);
    void AsymptoteEintragen(double m, double c);
    void NullstellenOrdnen();
    void PunktlistenFuellen();
    void Zeile(Ergebnisliste liste, const std::string& zeile);
    void Drucken(int schriftgroesse, int zeilen, const std::string& text);

    double t_;
    double nVon_, nBis_, nSchritt_;
    KurvendiskussionAusgabe& ausgabe_;
    Canvas* drucker_;
    double s_ = 1;
    double a_ = 0, b_ = 0;
    bool poleSuchen_ = false;
    // Poles met on the way (borders of the domain, slow poles the pole
    // scan's thresholds miss); listed with those of the pole scan.
    std::vector<Polkandidat> pole_;
    // Extrema at a corner, where the list shows no slope.
    std::array<bool, kMaxSpecialPoints + 1> extremumOhneSteigung_{};
    bool listeBegonnen_[5] = {};
};

Dreipunkt Kurvendiskussion::Dreipunktwerte(double x) {
    Dreipunkt p;
    bool gL, gM, gR;
    p.yL = Wert(x - kH, gL);
    p.yM = Wert(x, gM, &p.mDefiniert);
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

bool Kurvendiskussion::ImIntervall(double& x, double unsicher) const {
    // The scan looks one step beyond both ends, so that a point at b is
    // found as one at a; what it finds out there is not listed. A point at
    // an end is found as far off it as the search places points (an extremum
    // to about 1e-9, halvings to neighbouring doubles), never more than a
    // fraction of a step.
    auto toleranz = [this, unsicher](double ende) {
        return std::max(unsicher, std::min(kRauschGrenze * std::max(1.0, std::fabs(ende)), s_ / 4));
    };
    if (x < a_) {
        if (!(a_ - x <= toleranz(a_))) return false;
        x = a_;
    } else if (x > b_) {
        if (!(x - b_ <= toleranz(b_))) return false;
        x = b_;
    }
    return !std::isnan(x);
}

void Kurvendiskussion::NullstelleEintragen(double x, double steigung) {
    DiscussionResults& d = gDiscussion;
    if (d.AnzahlNullstellen >= kMaxSpecialPoints || !ImIntervall(x)) return;
    ++d.AnzahlNullstellen;
    d.NullstelleX[static_cast<size_t>(d.AnzahlNullstellen)] = x;
    d.NullstelleSteigung[static_cast<size_t>(d.AnzahlNullstellen)] = steigung;
}

double Kurvendiskussion::Steigung(double x) {
    const FunctionSample f = [this](double xs, double& y) { return FDefiniert(xs, y); };
    const ShownDerivative d = ShownDerivatives(f, x, 1, DecimalsUnit(gDisplay.Nachkommastellen, kSteigungRauschGrenze))[0];
    return d.defined ? SteigungGerundet(d.value) : std::numeric_limits<double>::quiet_NaN();
}

Grenzverhalten Kurvendiskussion::Annaeherung(double c, double weite, int seiten) {
    // The largest |f| at c - d and c + d (the sides asked for) for d from
    // `weite` down to a few spacings of doubles, shrinking by a fixed factor.
    std::array<double, kAnnaeherungsPunkte> v{};
    int n = 0, nWachstum = 0;
    const double unten = 16 * Abstand(c);
    // Growth is judged down to a millionth of a millionth: the language
    // leaves f undefined next to a pole (a quotient beyond 1e15), so that
    // the last defined point can lie that close beside it.
    const double wachstumUnten = 1e-12 * std::max(1.0, std::fabs(c));
    // In such a hole around c the points crowd between its edge and `weite`.
    double yc = 0, faktor = kAnnaeherungsFaktor;
    const bool loch = !FDefiniert(c, yc);
    if (loch) {
        double y = 0;
        double aussen = FDefiniert(c - weite, y) ? c - weite : c + weite, innen = c;
        const double rand = Randpunkt(aussen, innen);
        const double radius = std::fabs(c - rand);
        if (radius > 0 && radius < weite) faktor = std::clamp(std::pow(weite / radius, 0.1), 1.1, kAnnaeherungsFaktor);
    }
    double d = weite;
    for (int j = 0; j < kAnnaeherungsPunkte && d >= unten && std::isfinite(d); ++j, d /= faktor) {
        double groesste = -1, y = 0;
        if (seiten <= 0 && FDefiniert(c - d, y)) groesste = std::max(groesste, std::fabs(y));
        if (seiten >= 0 && FDefiniert(c + d, y)) groesste = std::max(groesste, std::fabs(y));
        if (groesste < 0) continue;
        v[static_cast<size_t>(n++)] = groesste;
        if (d >= wachstumUnten) nWachstum = n;
    }
    // In a hole of the domain around c (beside a pole the language leaves f
    // undefined where a quotient passes 1e15) few points may be left: there
    // steady growth by a hundredfold towards the hole counts.
    if (loch && n >= 3 && v[static_cast<size_t>(n - 1)] >= 100 * v[0]) {
        bool steigt = true;
        for (int i = 1; i < n; ++i) steigt = steigt && v[static_cast<size_t>(i)] > v[static_cast<size_t>(i - 1)];
        if (steigt) return Grenzverhalten::Unbeschraenkt;
    }
    if (nWachstum >= 6) {
        const int mitte = nWachstum / 2;
        bool steigt = true;
        for (int i = mitte + 1; i < nWachstum; ++i) steigt = steigt && v[static_cast<size_t>(i)] > v[static_cast<size_t>(i - 1)];
        const double erst = v[static_cast<size_t>(mitte)] - v[0];
        const double zuletzt = v[static_cast<size_t>(nWachstum - 1)] - v[static_cast<size_t>(mitte)];
        // Growth that does not level off: as fast as ln(1/d) or faster. A
        // bounded approach gains less and less with every step.
        if (steigt && zuletzt > 0 && zuletzt >= 0.5 * erst * (nWachstum - 1 - mitte) / std::max(mitte, 1))
            return Grenzverhalten::Unbeschraenkt;
    }
    if (n < 6) return Grenzverhalten::Endlich;
    bool faellt = true;
    for (int i = n / 2 + 1; i < n; ++i) faellt = faellt && v[static_cast<size_t>(i)] <= v[static_cast<size_t>(i - 1)];
    double groesste = 0;
    for (int i = 0; i < n; ++i) groesste = std::max(groesste, v[static_cast<size_t>(i)]);
    if (faellt && v[static_cast<size_t>(n - 1)] <= kNullAnteil * groesste) return Grenzverhalten::Null;
    return Grenzverhalten::Endlich;
}

double Kurvendiskussion::VorzeichenwechselEingrenzen(double l, double r) {
    // Sides by the sign at r: an end where f is exactly 0 draws the
    // bisection to it.
    double sr = TermSgn(F(r));
    if (sr == 0) sr = -TermSgn(F(l));
    for (int i = 0; i < kMaxHalbierungen; ++i) {
        const double m = l + (r - l) / 2;
        if (m <= l || m >= r) break;
        double ym = 0;
        // A hole or the point itself: that is where f changes.
        if (!FDefiniert(m, ym) || ym == 0) return m;
        (TermSgn(ym) == sr ? r : l) = m;
    }
    double yl = 0;
    return FDefiniert(l, yl) && yl == 0 ? l : l + (r - l) / 2;
}

namespace {

// Golden-section search for the largest value of g on [l, r]: where it is
// found and how large it is there. With `endlichBleiben` the search stops at
// the first value that is not finite.
template <class G>
std::pair<double, double> GoldenerSchnittMaximum(double l, double r, G g, bool endlichBleiben) {
    constexpr double k = 0.6180339887498949;
    double x1 = r - k * (r - l), x2 = l + k * (r - l);
    double f1 = g(x1), f2 = g(x2);
    for (int i = 0; i < kMaxHalbierungen && x1 < x2 && (!endlichBleiben || std::isfinite(std::max(f1, f2))); ++i) {
        if (f1 >= f2) {
            r = x2;
            x2 = x1;
            f2 = f1;
            x1 = r - k * (r - l);
            f1 = g(x1);
        } else {
            l = x1;
            x1 = x2;
            f1 = f2;
            x2 = l + k * (r - l);
            f2 = g(x2);
        }
    }
    return f1 >= f2 ? std::pair{x1, f1} : std::pair{x2, f2};
}

}  // namespace

double Kurvendiskussion::BetragMaximum(double l, double r) {
    // An undefined value counts as the largest, so that the search closes in
    // on a pole where f is not defined.
    auto betrag = [this](double x) {
        double y = 0;
        return FDefiniert(x, y) ? std::fabs(y) : std::numeric_limits<double>::infinity();
    };
    return GoldenerSchnittMaximum(l, r, betrag, false).first;
}

double Kurvendiskussion::AbstandMaximum(double l, double r, const Asymptote& a) {
    auto abstand = [this, &a](double x) {
        double y = 0;
        return FDefiniert(x, y) ? std::fabs(y - (a.m * x + a.c)) : std::numeric_limits<double>::infinity();
    };
    return GoldenerSchnittMaximum(l, r, abstand, true).second;
}

bool Kurvendiskussion::SpitzenFernab(double x0, double richtung, const Asymptote& a) {
    // Two windows far out, a thousand and a hundred thousand away: on a grid
    // of quarters f lies within its usual distance from the line, and
    // between the points the largest distances are followed up. A pole or a
    // spike there rises a thousandfold above the usual and beyond the
    // digits shown; an approach that merely oscillates or fades does not.
    // Either window will do: a hundred thousand away doubles no longer come
    // close enough to a pole of tan(x)/x^3 to show it.
    constexpr int kPunkte = 256;
    constexpr double kAbstand = 0.25;
    const double toleranz = 0.25 * AsymptotenEinheit()(a.c);
    for (double fern : {1.3e3, 1.3e5}) {
        std::array<double, kPunkte> e{};
        std::vector<double> sortiert;
        for (size_t j = 0; j < kPunkte; ++j) {
            const double x = x0 + richtung * (fern + kAbstand * static_cast<double>(j));
            double y = 0;
            e[j] = FDefiniert(x, y) ? std::fabs(y - (a.m * x + a.c)) : std::numeric_limits<double>::quiet_NaN();
            if (!std::isnan(e[j])) sortiert.push_back(e[j]);
        }
        // Where f is not defined out there, the window tells nothing.
        if (sortiert.size() < kPunkte / 2) continue;
        std::nth_element(sortiert.begin(), sortiert.begin() + static_cast<long>(sortiert.size() / 2), sortiert.end());
        const double ueblich = sortiert[sortiert.size() / 2];
        // The four highest local maxima of the grid.
        std::vector<std::pair<double, size_t>> gipfel;
        for (size_t j = 1; j + 1 < kPunkte; ++j)
            if (!std::isnan(e[j]) && !(e[j] < e[j - 1]) && !(e[j] < e[j + 1])) gipfel.emplace_back(e[j], j);
        std::sort(gipfel.begin(), gipfel.end(), [](const auto& p, const auto& q) { return p.first > q.first; });
        double hoechster = 0;
        for (size_t k = 0; k < std::min<size_t>(4, gipfel.size()); ++k) {
            const double xm = x0 + richtung * (fern + kAbstand * static_cast<double>(gipfel[k].second));
            hoechster = std::max(hoechster, AbstandMaximum(xm - kAbstand, xm + kAbstand, a));
        }
        if (hoechster > toleranz && hoechster > 1e3 * ueblich) return true;
    }
    return false;
}

double Kurvendiskussion::Randpunkt(double& xd, double& xu) {
    for (int i = 0; i < kMaxHalbierungen; ++i) {
        const double m = xd + (xu - xd) / 2;
        if (m == xd || m == xu) break;
        double y = 0;
        (FDefiniert(m, y) ? xd : xu) = m;
    }
    return xd;
}

double Kurvendiskussion::LochMitte(double c, double l, double r) {
    // The language leaves f undefined next to a pole (a quotient beyond
    // 1e15, a value beyond 1e50): the pole sits in the middle of that hole.
    double y = 0;
    if (FDefiniert(c, y)) return c;
    double yl = 0, yr = 0;
    // Undefined up to an end of the bracket: the domain ends there instead.
    if (!FDefiniert(l, yl) || !FDefiniert(r, yr)) return std::numeric_limits<double>::quiet_NaN();
    double cl = c, cr = c;
    const double links = Randpunkt(l, cl), rechts = Randpunkt(r, cr);
    return links + (rechts - links) / 2;
}

void Kurvendiskussion::PolVormerken(double xp, Polseite seite) {
    if (poleSuchen_ && ImIntervall(xp)) pole_.push_back({xp, seite});
}

bool Kurvendiskussion::WaechstVonSeite(double xp, int seite, bool& definiert) {
    const double weite = std::fabs(s_);
    int n = 0;
    double y = 0;
    for (double d = weite; d >= 1e-12 * std::max(1.0, std::fabs(xp)) && n < 3; d /= 4)
        if (FDefiniert(xp + seite * d, y)) ++n;
    definiert = n >= 3;
    return definiert && Annaeherung(xp, weite, seite) == Grenzverhalten::Unbeschraenkt;
}

Polseite Kurvendiskussion::SeiteBestimmen(double xp) {
    bool linksDefiniert = false, rechtsDefiniert = false;
    const bool links = WaechstVonSeite(xp, -1, linksDefiniert);
    const bool rechts = WaechstVonSeite(xp, +1, rechtsDefiniert);
    // Only where f stays finite on a side it is defined on is the pole
    // one-sided (exp(1/x) at 0 from the right, (1 + sgn(x))/x).
    if (rechts && !links && linksDefiniert) return Polseite::Rechts;
    if (links && !rechts && rechtsDefiniert) return Polseite::Links;
    return Polseite::Beidseitig;
}

bool Kurvendiskussion::UeberlaufKante(double e, int richtung, double breite) {
    // |f| at e + richtung * breite / 2^k for growing k from 2 on, then at e
    // itself: it must grow at every step and by a millionfold in all. An
    // e-term such as e^(1/x) passes the language's limit at such a place,
    // while the true limit lies beyond it, in the undefined stretch. The
    // quarter of the stretch's width keeps the steps to where the e-term
    // rises towards it: e^(1/x^2 + 10/x) falls again beyond -0.1 on the left.
    constexpr int kSchritte = 12;
    double vor = -1, erst = 0, y = 0;
    for (int k = 0; k <= kSchritte; ++k) {
        const double x = k == kSchritte ? e : e + richtung * std::ldexp(breite, -k - 2);
        if (!FDefiniert(x, y)) return false;
        const double betrag = std::fabs(y);
        if (k == 0) erst = betrag;
        if (!(betrag > vor)) return false;
        vor = betrag;
    }
    return vor >= 1e6 * erst;
}

double Kurvendiskussion::NiveauStelle(double e, int richtung, double breite, double niveau) {
    auto ln = [this](double x, double& v) {
        double y = 0;
        if (!FDefiniert(x, y) || y == 0) return false;
        v = std::log(std::fabs(y));
        return true;
    };
    // Out in doubling steps to a point below the level, then halvings back.
    double innen = e, aussen = e, v = 0;
    bool gefunden = false;
    for (int k = 0; k < 30 && !gefunden; ++k) {
        aussen = e + richtung * std::ldexp(breite, k - 4);
        if (!ln(aussen, v)) return std::numeric_limits<double>::quiet_NaN();
        if (v < niveau) {
            gefunden = true;
        } else {
            innen = aussen;
        }
    }
    if (!gefunden) return std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < kMaxHalbierungen; ++i) {
        const double m = innen + (aussen - innen) / 2;
        if (m == innen || m == aussen) break;
        if (!ln(m, v)) return std::numeric_limits<double>::quiet_NaN();
        (v >= niveau ? innen : aussen) = m;
    }
    return innen + (aussen - innen) / 2;
}

double Kurvendiskussion::PolInDerLuecke(double e1, double e2) {
    constexpr double kKeiner = std::numeric_limits<double>::quiet_NaN();
    double y1 = 0, y2 = 0;
    if (!FDefiniert(e1, y1) || !FDefiniert(e2, y2) || y1 == 0 || y2 == 0) return kKeiner;
    const double oben = std::min(std::log(std::fabs(y1)), std::log(std::fabs(y2)));
    if (!(oben > 10)) return kKeiner;
    // For e^(a/u^2 + b/u), u the distance from the pole, the middle at the
    // level L lies b/(2L) off the pole: a polynomial in 1/L, whose value at
    // 1/L = 0 is found from four levels (Lagrange). The spread of the
    // extrapolations of lower degree tells how far it can be trusted.
    constexpr int kNiveaus = 4;
    std::array<double, kNiveaus> u{}, mitte{};
    const double breite = e2 - e1;
    for (int k = 0; k < kNiveaus; ++k) {
        const double niveau = oben * (1 - 0.125 * (k + 0.5));
        const double links = NiveauStelle(e1, -1, breite, niveau), rechts = NiveauStelle(e2, +1, breite, niveau);
        if (std::isnan(links) || std::isnan(rechts)) return kKeiner;
        u[static_cast<size_t>(k)] = 1 / niveau;
        mitte[static_cast<size_t>(k)] = links + (rechts - links) / 2;
    }
    auto beiNull = [&u, &mitte](int grad) {
        double summe = 0;
        for (int i = 0; i <= grad; ++i) {
            double term = mitte[static_cast<size_t>(i)];
            for (int j = 0; j <= grad; ++j)
                if (j != i) term *= u[static_cast<size_t>(j)] / (u[static_cast<size_t>(j)] - u[static_cast<size_t>(i)]);
            summe += term;
        }
        return summe;
    };
    const double lin = beiNull(1), quad = beiNull(2), kub = beiNull(3);
    if (!(e1 < quad && quad < e2)) return kKeiner;
    // The number with the fewest decimals within that spread: the poles of
    // the terms typed are short numbers.
    const double unsicher = std::max({std::fabs(quad - lin), std::fabs(kub - quad), 1e-9 * std::max(1.0, std::fabs(quad))});
    if (std::fabs(quad) <= unsicher) return 0;
    for (int stellen = 0; stellen <= 15; ++stellen) {
        const double faktor = std::pow(10.0, stellen);
        const double kurz = std::nearbyint(quad * faktor) / faktor;
        if (std::fabs(kurz - quad) <= unsicher) return kurz;
    }
    return quad;
}

void Kurvendiskussion::LueckeUntersuchen(double l, double lu, double ru, double r) {
    // Only where f is huge beside the stretch can it be an overflow.
    double yl = 0, yr = 0;
    if (!FDefiniert(l, yl) || !FDefiniert(r, yr) || !(std::max(std::fabs(yl), std::fabs(yr)) >= 1e6)) return;
    const double e1 = Randpunkt(l, lu), e2 = Randpunkt(r, ru);
    const double breite = e2 - e1;
    if (!(breite > 0)) return;
    // A side where f grows without bound right up to its edge has its pole
    // there, which the searches list as such.
    bool definiert = false;
    if (WaechstVonSeite(e1, -1, definiert) || WaechstVonSeite(e2, +1, definiert)) return;
    const bool links = UeberlaufKante(e1, -1, breite), rechts = UeberlaufKante(e2, +1, breite);
    auto kurz = [](double x) {
        const double k = NaheKurzeZahl(x);
        return std::isnan(k) ? x : k;
    };
    if (links && rechts) {
        // Unbounded on both sides: the pole lies within. The middle of the
        // stretch is where both sides reach the language's limit, which is
        // the pole only where f grows alike on both sides (e^(1/x^2), not
        // e^(1/x^2 + 1/x)).
        const double pol = PolInDerLuecke(e1, e2);
        PolVormerken(std::isnan(pol) ? kurz(e1 + breite / 2) : pol, Polseite::Beidseitig);
    } else if (rechts) {
        // f is finite up to e1 and huge just beyond the stretch: the pole is
        // where the stretch begins (exp(1/x) at 0).
        PolVormerken(kurz(e1), Polseite::Rechts);
    } else if (links) {
        PolVormerken(kurz(e2), Polseite::Links);
    }
}

void Kurvendiskussion::PolKandidat(double l, double r) {
    if (!poleSuchen_) return;
    double yl = 0, yr = 0;
    const bool beide = FDefiniert(l, yl) && FDefiniert(r, yr);
    const double c = beide && TermSgn(yl) * TermSgn(yr) == -1 ? VorzeichenwechselEingrenzen(l, r) : BetragMaximum(l, r);
    const double mitte = LochMitte(c, l, r);
    if (!std::isnan(mitte) && Annaeherung(mitte, r - l, 0) == Grenzverhalten::Unbeschraenkt) PolVormerken(mitte);
}

// The number with at most ten significant digits within a trillionth of x,
// or NaN: where a term typed with decimal numbers has its borders (ln(x - 1)
// at 1, sqrt(2.5 - x) at 2.5), while the language's own limits end the
// domain a little beside them (x exp(-1/x) is undefined below 1e-15, where
// -1/x passes 1e15), and a border such as sqrt(2) of sqrt(2 - x^2) falls
// between two doubles.
double NaheKurzeZahl(double x) {
    // Next to 0 the language's limits leave f undefined farthest (exp(-1/x^2)
    // below 3.2e-8, where 1/x^2 passes 1e15); this module shows anything
    // below kRauschGrenze as 0 anyway.
    if (std::fabs(x) < kRauschGrenze) return 0;
    char text[64];
    const auto [ende, fehler] = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific, 9);
    double kurz = 0;
    if (fehler != std::errc() || std::from_chars(text, ende, kurz).ec != std::errc()) return std::nan("");
    return std::fabs(kurz - x) <= kNaehe * std::fabs(x) ? kurz : std::nan("");
}

bool Kurvendiskussion::RandGehoertDazu(double xd, double xu, double& rand) {
    // The halvings end on neighbouring doubles, or short of them on the way
    // to 0.
    rand = std::nextafter(xd, xu) == xu ? xd : xd + (xu - xd) / 2;
    const double kurz = NaheKurzeZahl(rand);
    if (std::isnan(kurz)) {
        // A border between doubles is taken as reached where f vanishes
        // there, still shrinking a hundredfold over the last millionth
        // (sqrt(2 - x^2) at sqrt(2)). Where an e-term passes the language's
        // limits f is smooth up to the border, whose true place lies beyond
        // it (1/(1 + e^(1/x)) ends at 1/90 and has no zero), or it has
        // underflowed to 0 before it (e^(1/sin(x)) right of pi).
        double y = 0, yInnen = 0;
        const double innen = xd + (xd < xu ? -1 : 1) * 1e-6 * std::max(1.0, std::fabs(xd));
        return FDefiniert(xd, y) && FDefiniert(innen, yInnen) && yInnen != 0 &&
               std::fabs(y) <= 0.01 * std::fabs(yInnen);
    }
    // Otherwise the border is that number, and it belongs to the domain
    // when f is defined and 0 there: sqrt(x) at 0, not x^2 ln(x) (f may
    // well be 0 just beside it, where x^2 has underflowed).
    rand = kurz;
    double y = 0;
    return FDefiniert(kurz, y) && Gerundet(y) == 0;
}

void Kurvendiskussion::RandUntersuchen(double xd, double xu) {
    Randpunkt(xd, xu);
    const int seite = xd < xu ? -1 : +1;  // where f is defined, seen from the border
    // Defined again just beyond: a hole in the domain, not its end. A hole
    // can be a pole, never a zero.
    double y = 0;
    const double weite = std::fabs(s_);
    for (double d = 16 * Abstand(xu); d < 1e-6 * std::max(1.0, std::fabs(xu)); d *= 64) {
        const double jenseits = xu - seite * d;
        if (!FDefiniert(jenseits, y)) continue;
        double innen = xu, ende = jenseits;
        Randpunkt(ende, innen);
        const double mitte = xd + (ende - xd) / 2;
        if (Annaeherung(mitte, weite, 0) == Grenzverhalten::Unbeschraenkt) PolVormerken(mitte);
        return;
    }
    double rand = xd;
    switch (Annaeherung(xd, weite, seite)) {
        case Grenzverhalten::Null:
            // A zero only where the border belongs to the domain (sqrt(x) at
            // 0), not where f merely tends to 0 (x^2 ln(x) at 0). The slope
            // there does not exist: f ends.
            // Nor where f is 0 on a whole stretch up to the border: e^(1/x^3)
            // has underflowed to 0 left of 0 and ends where 1/x^3 passes
            // the language's limit, at -1e-5; its limit 0 is not attained.
            if (RandGehoertDazu(xd, xu, rand) && !Nullstrecke(xd))
                NullstelleEintragen(Gerundet(rand), std::numeric_limits<double>::quiet_NaN());
            break;
        case Grenzverhalten::Unbeschraenkt: PolVormerken(xd); break;
        case Grenzverhalten::Endlich: break;
    }
}

void Kurvendiskussion::NullstelleEingrenzen(double l, double r) {
    double yl = 0, yr = 0;
    if (!FDefiniert(l, yl) || !FDefiniert(r, yr)) return;
    const double weite = r - l;
    double m = VorzeichenwechselEingrenzen(l, r);
    double ym = 0;
    // The halvings towards 0 end short of it: the change is at 0 itself,
    // which need not belong to the domain (x^2/x, x ln|x|).
    if (l < 0 && 0 < r && std::fabs(m) < kNaehe) m = 0;
    const bool definiert = FDefiniert(m, ym);
    if (definiert && ym == 0) {
        // The end of a stretch where f is 0 throughout is no zero of its
        // own, whether f leaves it by a jump (int(x) at 1) or not: such a
        // stretch lists none, as a term that is 0 everywhere.
        if (!Nullstrecke(m)) NullstelleEintragen(Gerundet(m), Steigung(m));
        return;
    }
    // However steep the change: a zero where f tends to 0, a pole where it
    // grows without bound, and a jump across the axis is neither. Across a
    // gap of the domain f may tend to 0 (x ln(x^2) at 0), but a zero is a
    // point of the domain.
    switch (Annaeherung(m, weite, 0)) {
        case Grenzverhalten::Null:
            if (definiert) NullstelleEintragen(Gerundet(m), Steigung(m));
            break;
        case Grenzverhalten::Unbeschraenkt: PolVormerken(m); break;
        case Grenzverhalten::Endlich: break;
    }
}

double Kurvendiskussion::ExtremumPolieren(double m, double s) {
    // The difference over +-0.001 changes sign up to about 1e-6 away from
    // the extremum; the quotient over a step that shrinks with the bracket
    // closes in on it, until rounding decides its sign.
    const double skala = std::max(1.0, std::fabs(m));
    auto g = [this](double x, double eta, double& v) {
        double yl = 0, yr = 0;
        if (!FDefiniert(x - eta, yl) || !FDefiniert(x + eta, yr)) return false;
        v = yr - yl;
        return true;
    };
    double w = 1e-4 * skala, gl = 0, gr = 0;
    bool gefunden = false;
    for (; w <= s && !gefunden; w *= 4)
        gefunden = g(m - w, w / 8, gl) && g(m + w, w / 8, gr) && TermSgn(gl) * TermSgn(gr) == -1;
    if (!gefunden) return m;
    w /= 4;
    double l = m - w, r = m + w;
    for (int i = 0; i < kMaxHalbierungen && r - l > 1e-9 * skala; ++i) {
        const double mitte = l + (r - l) / 2;
        double gm = 0;
        if (!g(mitte, (r - l) / 16, gm) || gm == 0) return mitte;
        (TermSgn(gm) == TermSgn(gl) ? l : r) = mitte;
    }
    return l + (r - l) / 2;
}

double Kurvendiskussion::EbenenMitte(double m, double schritt, int art) {
    // f keeps its value to the last bit over a stretch around an extremum
    // where it is flat beyond the precision of doubles (x^8 near 0,
    // (x-2)^12 + 3 within 0.05 of 2): the extremum is the middle of that
    // stretch, not where the bisection happened to stop on it. NaN where f
    // is constant as far as the search looks. art: 1 minimum, -1 maximum.
    constexpr int kProben = 256;
    const double q = schritt / 4;
    double y0 = 0, y = 0;
    if (!FDefiniert(m, y0)) return m;
    // The extreme value of the stretch: the bisection may have stopped at
    // its edge, a rounding step off.
    const double m0 = m;
    for (double richtung : {-1.0, 1.0}) {
        for (int k = 1; k <= kProben; ++k) {
            const double x = m0 + richtung * k * q;
            if (!FDefiniert(x, y) || art * (y - y0) > 0) break;
            if (art * (y - y0) < 0) {
                m = x;
                y0 = y;
            }
        }
    }
    auto gleich = [this, y0, &y](double x) { return FDefiniert(x, y) && y == y0; };
    double rand[2] = {m, m};
    for (int seite = 0; seite < 2; ++seite) {
        const double richtung = seite == 0 ? -1 : 1;
        double innen = m, aussen = m;
        int k = 1;
        for (; k <= kProben; ++k) {
            aussen = m + richtung * k * q;
            if (!gleich(aussen)) break;
            innen = aussen;
        }
        if (k > kProben) return std::numeric_limits<double>::quiet_NaN();
        for (int i = 0; i < kMaxHalbierungen; ++i) {
            const double mitte = innen + (aussen - innen) / 2;
            if (mitte == innen || mitte == aussen) break;
            (gleich(mitte) ? innen : aussen) = mitte;
        }
        rand[seite] = innen;
    }
    return rand[0] + (rand[1] - rand[0]) / 2;
}

bool Kurvendiskussion::Beruehrt(double m) {
    // f touches the axis when its value at the extremum is no larger than
    // what it varies by a few millionths away: zero within rounding, not a
    // minimum a little above the axis.
    double y0 = 0, y = 0;
    if (!FDefiniert(m, y0)) return false;
    if (y0 == 0) return true;
    const double d = 1e-6 * std::max(1.0, std::fabs(m));
    double schwankung = 0;
    for (int j = -4; j <= 4; ++j)
        if (j != 0 && FDefiniert(m + j * d, y)) schwankung = std::max(schwankung, std::fabs(y - y0));
    return std::fabs(y0) <= schwankung;
}

double Kurvendiskussion::WertRauschen(double x) {
    // Fourth differences over a millionth leave the rounding alone, the
    // curve's own part shrinking with the fourth power of the spacing: the
    // smaller of two spacings tells. The spacing of doubles would not do:
    // there the parts of a term such as 1 - cos(x) near 0 do not change.
    constexpr double kUnendlich = std::numeric_limits<double>::infinity();
    double y[9];
    const double u = 0.25e-6 * std::max(1.0, std::fabs(x));
    for (int i = 0; i < 9; ++i)
        if (!FDefiniert(x + (i - 4) * u, y[i])) return kUnendlich;
    auto vierte = [&y](int k) { return std::fabs(y[4 - 2 * k] - 4 * y[4 - k] + 6 * y[4] - 4 * y[4 + k] + y[4 + 2 * k]); };
    // The five values of a fourth difference add their rounding up to eight times.
    return std::min(vierte(1), vierte(2)) / 8 + Rundungsfehler(y[4]) / 2;
}

bool Kurvendiskussion::LueckeNahe(double x, double unsicher) {
    double y = 0;
    if (std::fabs(x) <= unsicher && !FDefiniert(0, y)) return true;
    // x rounded to 0, 1, 2, ... decimals: the numbers a term is typed with.
    for (int stellen = 0; stellen <= 15; ++stellen) {
        const double faktor = std::pow(10.0, stellen);
        const double kurz = std::nearbyint(x * faktor) / faktor;
        if (std::fabs(kurz - x) <= unsicher && kurz != x && !FDefiniert(kurz, y)) return true;
    }
    return false;
}

bool Kurvendiskussion::Nullstrecke(double x) {
    // Two points a little apart on the same side, both exactly 0.
    const double d = std::fabs(s_) / 8;
    for (double seite : {-1.0, 1.0}) {
        double y1 = 0, y2 = 0;
        if (FDefiniert(x + seite * d, y1) && y1 == 0 && FDefiniert(x + 2 * seite * d, y2) && y2 == 0) return true;
    }
    return false;
}

double Kurvendiskussion::ExtremumReichweite(double m, int art, double schritt) {
    // On each side, the first value that differs from f(m) beyond rounding
    // must lie on the side of the extremum's kind, and f must be defined up
    // to there. Beside a pole or a gap f moves the wrong way on one side; on
    // a level stretch (f constant beside a step, or where an e-term has
    // reached its limit to the last digit) it does not move at all, and
    // where the stretch ends in a gap of the domain it is no extremum either.
    constexpr double kKeins = std::numeric_limits<double>::quiet_NaN();
    double y0 = 0;
    if (!FDefiniert(m, y0)) return kKeins;
    const double rauschen = 4 * WertRauschen(m) + Rundungsfehler(y0);
    const double skala = std::max(1.0, std::fabs(m));
    // From well beyond the place's uncertainty out to the reach of EbenenMitte.
    const double weite = 64 * schritt;
    double reichweite = 0;
    for (double seite : {-1.0, 1.0}) {
        bool entschieden = false;
        double d = 1e-6 * skala;
        for (; d <= weite && !entschieden; d *= 2) {
            double y = 0;
            if (!FDefiniert(m + seite * d, y)) return kKeins;
            const double abweichung = art * (y - y0);
            if (abweichung < -rauschen) return kKeins;
            entschieden = abweichung > rauschen;
        }
        if (!entschieden) return kKeins;
        reichweite = std::max(reichweite, d / 2);
    }
    return reichweite;
}

void Kurvendiskussion::ExtremumEingrenzen(double l, double r) {
    const double l0 = l, r0 = r;
    const Zweipunkt pl = Zweipunktwerte(l);
    const Zweipunkt pr = Zweipunktwerte(r);
    if (!pl.gueltig || !pr.gueltig) return;
    double dl = pl.D1, dr = pr.D1;
    double m = l;
    for (int i = 0; i < kMaxHalbierungen; ++i) {
        m = (l + r) / 2;
        const Zweipunkt pm = Zweipunktwerte(m);
        // Huge or undefined in the middle: perhaps a pole where f keeps its sign.
        if (!pm.gueltig) return PolKandidat(l0 - 2 * kH, r0 + 2 * kH);
        if (std::fabs(m - l) < 0.00001 || m == l || m == r) break;
        if (TermSgn(pm.D1) != TermSgn(dr)) {
            l = m;
            dl = pm.D1;
        } else {
            r = m;
            dr = pm.D1;
        }
    }
    const double genau = EbenenMitte(ExtremumPolieren(m, r0 - l0), r0 - l0, dl < dr ? 1 : -1);
    if (std::isnan(genau)) return;
    m = Gerundet(genau);
    const bool drin = ImIntervall(m);
    double y = F(m);
    if (!Definiert(y) || !(std::fabs(y) < kGueltig)) return PolKandidat(l0 - 2 * kH, r0 + 2 * kH);
    // Not every sign change of the difference is an extremum: rounding noise
    // on a level stretch, a pole or a gap in between. Nor is a point in a
    // gap of the domain one: the place is known to where f leaves its value
    // on both sides, and that is where a gap would have to be.
    const double reichweite = ExtremumReichweite(genau, dl < dr ? 1 : -1, r0 - l0);
    if (std::isnan(reichweite) || LueckeNahe(genau, reichweite)) return;
    const double yGenau = F(genau);
    y = Gerundet(y);

    DiscussionResults& d = gDiscussion;
    if (d.AnzahlExtrema >= kMaxSpecialPoints) return;
    if (drin) {
        ++d.AnzahlExtrema;
        const auto k = static_cast<size_t>(d.AnzahlExtrema);
        d.ExtremumArt[k] = dl < dr ? 0 : 1;
        d.ExtremumX[k] = m;
        d.ExtremumY[k] = y;
        // The tangent is level, or at a corner (or a cusp) there is none.
        const bool ecke = Knick(genau);
        extremumOhneSteigung_[k] = ecke;
        if (Beruehrt(genau)) {
            // A zero of even order: f touches the axis without changing sign;
            // not where it lies on the axis for a whole stretch (x int(x)).
            if (!Nullstrecke(genau)) NullstelleEintragen(m, ecke ? std::numeric_limits<double>::quiet_NaN() : 0.0);
            return;
        }
    }
    // Across the axis and back within one scan step: the samples at both
    // ends agree in sign, the extremum lies on the other side.
    double yl = 0, yr = 0;
    if (FDefiniert(l0, yl) && FDefiniert(r0, yr) && TermSgn(yl) != 0 && TermSgn(yl) == TermSgn(yr) &&
        TermSgn(yGenau) == -TermSgn(yl)) {
        NullstelleEingrenzen(l0, genau);
        NullstelleEingrenzen(genau, r0);
    }
}

bool Kurvendiskussion::Knick(double m) {
    // Secant slopes over eight equal parts of a bracket around m; the bracket
    // then shrinks fourfold to the two parts beside the largest change of
    // slope. On a smooth graph the changes shrink with the parts; where f'
    // jumps, the largest change keeps at least half the jump.
    constexpr int kTeile = 8;
    const double skala = std::max(1.0, std::fabs(m));
    double l = m - 4 * kH, breite = 8 * kH;
    double ersteAenderung = -1, aenderung = 0, rauschen = 0;
    std::array<double, kTeile + 1> y{};
    std::array<bool, kTeile + 1> bekannt{};
    while (breite / kTeile >= 1e-9 * skala) {
        const double teil = breite / kTeile;
        for (size_t i = 0; i <= kTeile; ++i)
            if (!bekannt[i] && !FDefiniert(l + static_cast<double>(i) * teil, y[i])) return false;
        int stelle = 0;
        aenderung = 0;
        double groesse = 0;
        for (int i = 0; i + 2 <= kTeile; ++i) {
            const auto k = static_cast<size_t>(i);
            const double d = std::fabs((y[k + 2] - y[k + 1]) - (y[k + 1] - y[k])) / teil;
            if (d > aenderung) {
                aenderung = d;
                stelle = i;
            }
        }
        for (double v : y) groesse = std::max(groesse, std::fabs(v));
        rauschen = 4 * std::numeric_limits<double>::epsilon() * groesse / teil;
        if (ersteAenderung < 0) ersteAenderung = aenderung;
        // Shrinking as on a smooth graph: no corner.
        if (aenderung < 0.25 * ersteAenderung) return false;
        // The two parts kept become the new eight; their three points stay.
        const auto s0 = static_cast<size_t>(stelle);
        const std::array<double, 3> alt = {y[s0], y[s0 + 1], y[s0 + 2]};
        bekannt = {};
        for (size_t j = 0; j < 3; ++j) {
            y[4 * j] = alt[j];
            bekannt[4 * j] = true;
        }
        l += stelle * teil;
        breite = 2 * teil;
    }
    return ersteAenderung > 0 && aenderung > 100 * rauschen;
}

bool Kurvendiskussion::D2Wert(double x, double eta, double& v, double& rauschen) {
    double yl = 0, ym = 0, yr = 0;
    if (!FDefiniert(x - eta, yl) || !FDefiniert(x, ym) || !FDefiniert(x + eta, yr)) return false;
    v = yr - 2 * ym + yl;
    rauschen = Rundungsfehler(2 * (std::fabs(yl) + 2 * std::fabs(ym) + std::fabs(yr)));
    return true;
}

double Kurvendiskussion::D2Unschaerfe(double m, double eta) {
    // Out to where the second difference has a sign on both sides of m,
    // beyond its rounding: near a zero of f'' of higher order (x^5 - 5x) far
    // more than its slope at a distance suggests.
    const double skala = std::max(1.0, std::fabs(m));
    for (double d = 1e-13 * skala; d <= 4 * kH; d *= 2) {
        double vl = 0, rl = 0, vr = 0, rr = 0;
        if (D2Wert(m - d, eta, vl, rl) && D2Wert(m + d, eta, vr, rr) && std::fabs(vl) > rl && std::fabs(vr) > rr)
            return d;
    }
    return 4 * kH;
}

double Kurvendiskussion::D2Nullstelle(double m, double eta, double unsicher) {
    auto d2 = [this, eta](double x, double& v, double& rauschen) { return D2Wert(x, eta, v, rauschen); };
    const double skala = std::max(1.0, std::fabs(m));
    double w = std::max(unsicher, 1e-7 * skala), gl = 0, gr = 0, rl = 0, rr = 0;
    bool gefunden = false;
    for (; w <= 4 * kH && !gefunden; w *= 4)
        gefunden = d2(m - w, gl, rl) && d2(m + w, gr, rr) && std::fabs(gl) > rl && std::fabs(gr) > rr &&
                   TermSgn(gl) * TermSgn(gr) == -1;
    if (!gefunden) return std::numeric_limits<double>::quiet_NaN();
    w /= 4;
    double l = m - w, r = m + w;
    for (int i = 0; i < kMaxHalbierungen && r - l > 1e-13 * skala; ++i) {
        const double mitte = l + (r - l) / 2;
        if (mitte <= l || mitte >= r) break;
        double gm = 0, rm = 0;
        if (!d2(mitte, gm, rm)) return std::numeric_limits<double>::quiet_NaN();
        // Within its rounding the difference has no sign: the point is here.
        if (std::fabs(gm) <= rm) return mitte;
        (TermSgn(gm) == TermSgn(gl) ? l : r) = mitte;
    }
    return l + (r - l) / 2;
}

bool Kurvendiskussion::KruemmungWechselt(double m, double s) {
    // Second differences over +-H centred at m - H and m + H; H is halved
    // where f is not defined that far out (a border, a pole beside).
    for (double H = s / 2; H >= s / 64; H /= 2) {
        std::array<double, 5> y{};
        double rauschen = 0;
        bool definiert = true;
        for (size_t i = 0; i < 5 && definiert; ++i) {
            const double x = m + (static_cast<double>(i) - 2) * H;
            definiert = FDefiniert(x, y[i]);
            if (definiert) rauschen = std::max(rauschen, WertRauschen(x));
        }
        if (!definiert) continue;
        const double links = y[0] - 2 * y[1] + y[2], rechts = y[2] - 2 * y[3] + y[4];
        const double grenze = 4 * rauschen;
        return std::fabs(links) > grenze && std::fabs(rechts) > grenze && TermSgn(links) * TermSgn(rechts) == -1;
    }
    return true;
}

double Kurvendiskussion::WendepunktPolieren(double m, double unsicher) {
    // The zero of the second difference over +-h lies some h^2 away from the
    // zero of the second derivative; with h halved the offset drops to a
    // quarter, and the two zeros give the inflection point (Richardson).
    const double grob = D2Nullstelle(m, kH, unsicher);
    const double fein = D2Nullstelle(std::isnan(grob) ? m : grob, kH / 2, 4 * unsicher);
    if (std::isnan(grob) || std::isnan(fein)) return m;
    return fein + (fein - grob) / 3;
}

void Kurvendiskussion::WendepunktEingrenzen(double l, double r, double s) {
    const double x = r;
    // In a straight stretch a sign change of the second difference is noise:
    // f' does not change there beyond the rounding of its stencil, however
    // large or small f and f' are.
    {
        const double f1a = F1(x - 8 * s), f1b = F1(x - 3 * s);
        const double rauschen = 1e4 * std::numeric_limits<double>::epsilon() *
                                (std::fabs(F(x - 8 * s)) + std::fabs(F(x - 3 * s)));
        if (!(std::fabs(f1a - f1b) > rauschen)) return;
    }
    const Dreipunkt pl = Dreipunktwerte(l);
    const Dreipunkt pr = Dreipunktwerte(r);
    if (!pl.gueltig || !pr.gueltig) return;
    // How fast the second difference changes across the step: the rounding
    // of the values then tells how closely its zero can be located.
    const double d2Steigung = std::fabs(pr.D2 - pl.D2) / (r - l);
    double fl = pl.yM, fr = pr.yM, d2r = pr.D2;
    // A jump makes f change across the bracket by more than its steepest
    // slope on it explains; a steep curve does not (10x^3 + 5000x).
    double steilste = std::max(std::fabs(pl.D1), std::fabs(pr.D1)) / (2 * kH);
    auto sprung = [&fl, &fr, &steilste](double breite) {
        const double d = std::fabs(fl - fr);
        return d > kSprung && d > 4 * breite * steilste + Rundungsfehler(std::fabs(fl) + std::fabs(fr));
    };
    double m = l, fm = fl, rauschen = D2Rauschen(pl);
    for (int i = 0; i < kMaxHalbierungen; ++i) {
        m = (l + r) / 2;
        const Dreipunkt pm = Dreipunktwerte(m);
        if (!pm.gueltig) return;
        fm = pm.yM;
        rauschen = D2Rauschen(pm);
        steilste = std::max(steilste, std::fabs(pm.D1) / (2 * kH));
        if (sprung(r - l)) return;
        // On to a ten-billionth: y and the slope at the point are shown and
        // must be those of the inflection point, not of a point 1e-4 away.
        if (std::fabs(m - l) < 1e-10 * std::max(1.0, std::fabs(m)) || pm.D2 == 0 || m == l || m == r) break;
        if (TermSgn(pm.D2) != TermSgn(d2r)) {
            l = m;
            fl = fm;
        } else {
            r = m;
            d2r = pm.D2;
            fr = fm;
        }
    }
    if (sprung(r - l)) return;
    // Refined past the bias of the second difference. Within its rounding
    // the difference has no sign: on a steep curve the bisection's place may
    // be off by far more than its last step, and the refinement looks there.
    m = WendepunktPolieren(m, d2Steigung > 0 ? rauschen / d2Steigung : 0);
    // The place is known to where the half step's difference has a sign
    // again, and a third more after the extrapolation.
    const double unsicher = 1.5 * D2Unschaerfe(m, kH / 2);
    const bool imUrsprung = std::fabs(m) <= unsicher;
    if (imUrsprung) m = 0;
    if (!ImIntervall(m, unsicher)) return;
    // An inflection point needs a tangent: at a corner f' jumps, and the
    // curvature changes sign without any inflection.
    if (Knick(m)) return;
    if (!FDefiniert(m, fm)) return;
    // The curvature must change sign beyond what rounding makes of f: on a
    // straight stretch of a term that cancels (near the removable gap of
    // (x^2+x-6)/(x-2), or near its zero) the second difference is noise far
    // above the rounding of f's own size. Nor is a point in a gap of the
    // domain an inflection point.
    if (!KruemmungWechselt(m, s) || LueckeNahe(m, std::max(unsicher, 1e-6 * std::max(1.0, std::fabs(m))))) return;
    const double steigung = Steigung(m);
    // Within the uncertainty of the place the value is known only to what f
    // changes over it: a point on the axis stays on it. At 0 the value is
    // that of the place shown.
    const double f1 = std::isnan(steigung) ? steilste : std::fabs(steigung);
    if (!imUrsprung && std::fabs(fm) <= f1 * unsicher + Rundungsfehler(fm)) fm = 0;
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
    // A line that would not fit goes on at the top of a new page.
    const int seite = ausgabe_.DruckSeitenhoehe();
    if (seite > 0 && z.DruckY + z.DruckZeilenhoehe > seite) {
        ausgabe_.NeueDruckseite();
        z.DruckY = kDiskussionDruckOben;
    }
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
    auto steigung = [&zahl](double v) { return std::isnan(v) ? NichtDefiniertText() : zahl(v); };

    ausgabe_.ListeLeeren(Ergebnisliste::Nullstellen);
    if (d.AnzahlNullstellen == 0) ausgabe_.ZeileHinzufuegen(Ergebnisliste::Nullstellen, kLeerePunktliste);
    for (size_t i = 1; i <= static_cast<size_t>(d.AnzahlNullstellen); ++i)
        Zeile(Ergebnisliste::Nullstellen,
              "N(" + zahl(d.NullstelleX[i]) + "|" + zahl(0) + ")  m =" + steigung(d.NullstelleSteigung[i]));

    ausgabe_.ListeLeeren(Ergebnisliste::Extrema);
    if (d.AnzahlExtrema == 0) ausgabe_.ZeileHinzufuegen(Ergebnisliste::Extrema, kLeerePunktliste);
    for (size_t i = 1; i <= static_cast<size_t>(d.AnzahlExtrema); ++i)
        Zeile(Ergebnisliste::Extrema, (d.ExtremumArt[i] != 0 ? "H(" : "T(") + zahl(d.ExtremumX[i]) + "|" +
                                          zahl(d.ExtremumY[i]) + ")  m =" +
                                          (extremumOhneSteigung_[i] ? NichtDefiniertText() : zahl(0)));

    ausgabe_.ListeLeeren(Ergebnisliste::Wendepunkte);
    if (d.AnzahlWendepunkte == 0) ausgabe_.ZeileHinzufuegen(Ergebnisliste::Wendepunkte, kLeerePunktliste);
    for (size_t i = 1; i <= static_cast<size_t>(d.AnzahlWendepunkte); ++i)
        Zeile(Ergebnisliste::Wendepunkte, (d.WendepunktArt[i] != 0 ? "TR(" : "W(") + zahl(d.WendepunktX[i]) +
                                              "|" + zahl(d.WendepunktY[i]) + ")  m =" +
                                              steigung(d.WendepunktSteigung[i]));
}

void Kurvendiskussion::PolEintragen(double xp, Polseite seite) {
    DiscussionResults& d = gDiscussion;
    // Element 0 holds -1000 as the previous pole of a run's first; it is not
    // compared, so a first pole near -1000 is kept.
    if (d.AnzahlPole > 0 && std::fabs(d.PolX[static_cast<size_t>(d.AnzahlPole)] - xp) <= kPolAbstand) return;
    if (d.AnzahlPole >= kMaxPoles) return;
    // A one-sided pole says from where f grows without bound.
    const char* hinweis = seite == Polseite::Rechts  ? " (rechtsseitig)"
                          : seite == Polseite::Links ? " (linksseitig)"
                                                     : "";
    Zeile(Ergebnisliste::Pole, "x = " + RealToStrComma(xp, 5, 2) + hinweis);
    ++d.AnzahlPole;
    d.PolX[static_cast<size_t>(d.AnzahlPole)] = xp;
}

void Kurvendiskussion::PoleSuchen(double a, double b, double step) {
    DiscussionResults& d = gDiscussion;
    d.AnzahlPole = 0;
    d.PolX[0] = -1000.0;
    const double sp = step / 50;
    // From one step before a to one step beyond b, so that both ends are
    // looked at alike.
    const long n = static_cast<long>(std::floor((b - a) / sp + 1e-9)) + 1;

    // Sign changes of f or of its first difference next to large values.
    // While the three points straddle a pole where f changes sign, their
    // difference flips h before the pole; that pole is placed by the sign
    // change of f itself, not h too early.
    auto treffer = [](double vorF, double vorD1, const Dreipunkt& p, double grenze) {
        const bool ueberPol = TermSgn(p.yL) * TermSgn(p.yR) == -1;
        return ((!ueberPol && TermSgn(vorD1) * TermSgn(p.D1) == -1) || TermSgn(vorF) * TermSgn(p.yM) == -1) &&
               (std::fabs(vorF) > grenze || std::fabs(p.yM) > grenze);
    };
    // Large values alone make no pole (a steep zero, a steep extremum): f
    // must grow without bound on the way to the place.
    auto bestaetigen = [this](double xf, double spf, bool vorzeichenwechsel) {
        if (vorzeichenwechsel) {
            PolKandidat(xf - spf, xf);
        } else {
            // The difference over +-h changed sign: the place lies within h.
            PolKandidat(xf - spf - kH, xf + kH);
        }
    };

    // Stretches where f is undefined between defined samples. One that
    // reaches beyond an end of the scan is followed out to where f is
    // defined again, up to the length of the interval: its pole may lie at
    // the end, with f unbounded only outside (e^(-1/x) on [0, 8]).
    auto definiertJenseits = [this, a, b, sp](double x0, double richtung, double& xu) {
        double y = 0;
        xu = x0;
        for (double d = sp; d <= std::max(b - a, sp); d *= 2) {
            const double x = x0 + richtung * d;
            if (FDefiniert(x, y)) return x;
            xu = x;
        }
        return std::numeric_limits<double>::quiet_NaN();
    };
    double xVor = a - sp, lueckeL = 0, lueckeLU = 0;
    bool vorDefiniert = true, lueckeOffen = false;
    {
        double y = 0, innen = 0;
        if (!FDefiniert(a - sp, y)) {
            vorDefiniert = false;
            lueckeL = definiertJenseits(a - sp, -1, innen);
            lueckeLU = innen;
            lueckeOffen = !std::isnan(lueckeL);
        }
    }
    auto verfolgen = [&](double x, bool definiert) {
        if (!definiert && vorDefiniert) {
            lueckeOffen = true;
            lueckeL = xVor;
            lueckeLU = x;
        } else if (definiert && !vorDefiniert && lueckeOffen) {
            LueckeUntersuchen(lueckeL, lueckeLU, xVor, x);
            lueckeOffen = false;
        }
        vorDefiniert = definiert;
        xVor = x;
    };

    long i = -1;
    Dreipunkt p;
    do {
        p = Dreipunktwerte(a + static_cast<double>(i) * sp);
        verfolgen(a + static_cast<double>(i) * sp, p.mDefiniert);
        ++i;
    } while (!p.gueltig && i <= n);

    double vorF = 0, vorD1 = 0;
    do {
        if (p.yM != 0) vorF = p.yM;
        if (p.D1 != 0) vorD1 = p.D1;
        const double x = a + static_cast<double>(i) * sp;
        p = Dreipunktwerte(x);
        verfolgen(x, p.mDefiniert);
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
                if (treffer(feinF, feinD1, q, kPolFein)) bestaetigen(xf, spf, TermSgn(feinF) * TermSgn(q.yM) == -1);
                if (q.yM != 0) feinF = q.yM;
                if (q.D1 != 0) feinD1 = q.D1;
            }
        }
        ++i;
        // Enough for the list and the notice that it is cut.
    } while (i <= n && pole_.size() <= static_cast<size_t>(2 * kMaxPoles));
    if (lueckeOffen && !vorDefiniert && i > n) {
        double ru = 0;
        const double r = definiertJenseits(xVor, +1, ru);
        if (!std::isnan(r)) LueckeUntersuchen(lueckeL, lueckeLU, ru, r);
    }

    // In the order of x, each once: poles within kPolAbstand of the first
    // of a group are that pole, whose side one of them may know already.
    std::stable_sort(pole_.begin(), pole_.end(),
                     [](const Polkandidat& u, const Polkandidat& v) { return u.x < v.x; });
    for (size_t k = 0; k < pole_.size();) {
        const double xp = pole_[k].x;
        Polseite seite = Polseite::Offen;
        for (; k < pole_.size() && std::fabs(pole_[k].x - xp) <= kPolAbstand; ++k)
            if (seite == Polseite::Offen) seite = pole_[k].seite;
        if (d.AnzahlPole >= kMaxPoles) {
            if (std::fabs(d.PolX[static_cast<size_t>(d.AnzahlPole)] - xp) > kPolAbstand) {
                Zeile(Ergebnisliste::Pole, PollisteGekuerztText());
                break;
            }
            continue;
        }
        if (d.AnzahlPole > 0 && std::fabs(d.PolX[static_cast<size_t>(d.AnzahlPole)] - xp) <= kPolAbstand) continue;
        PolEintragen(xp, seite == Polseite::Offen ? SeiteBestimmen(xp) : seite);
    }
    if (d.AnzahlPole == 0) ausgabe_.ZeileHinzufuegen(Ergebnisliste::Pole, kLeerePolliste);
}

// Whether v[k] for k from kFit to kBis fit c + a w[k] to a quarter of the
// unit (and their rounding), with a taken from the points kA and kBis; c is
// the limit where w fades.
bool FitPasst(const double* v, const double* w, const double* rauschen, int kFit, int kA, int kBis,
              const ShownUnit& einheit, double& grenzwert) {
    const double a = (v[kA] - v[kBis]) / (w[kA] - w[kBis]);
    const double c = v[kBis] - a * w[kBis];
    if (!std::isfinite(c)) return false;
    const double toleranz = 0.25 * einheit(c);
    for (int k = kFit; k <= kBis; ++k)
        if (!(std::fabs(v[k] - (c + a * w[k])) <= toleranz + rauschen[k])) return false;
    grenzwert = c;
    return true;
}

// How a limit far out was confirmed.
enum class Grenzweg : uint8_t { Keiner, Ruhig, Angepasst };

// The limit of v[k] for k from kVon to kBis, values far out at distances
// growing geometrically with k, to a quarter of the unit `einheit` gives.
// It is confirmed when the last third has settled on v[kBis], or when the
// outer two thirds fit c + a/k, an approach as slow as 1/ln(x), or, with
// the distances given, c + a/distance, as a rational function approaches
// its line; then c is the limit, not the value at the last point.
// rauschen[k] is the rounding error v[k] may carry: within it the values
// count as settled, however they scatter.
Grenzweg GrenzwertFern(const double* v, const double* rauschen, int kVon, int kBis, const ShownUnit& einheit,
                       double& grenzwert, const double* abstand = nullptr) {
    if (kBis - kVon < 2) return Grenzweg::Keiner;
    const int kRuhig = kBis - std::max(2, (kBis - kVon) / 3);
    bool ruhig = true;
    for (int k = kRuhig; k <= kBis && ruhig; ++k) {
        const double abweichung = std::fabs(v[k] - v[kBis]);
        const double streuung = rauschen[k] + rauschen[k - 1] + 2 * rauschen[kBis];
        ruhig = abweichung <= 0.25 * einheit(v[kBis]) &&
                (k == kRuhig || abweichung <= std::fabs(v[k - 1] - v[kBis]) + streuung);
    }
    if (ruhig) {
        grenzwert = v[kBis];
        return Grenzweg::Ruhig;
    }
    const int k3 = kVon + (kBis - kVon) / 3;
    const int k2 = std::min(kBis - 1, kVon + (2 * (kBis - kVon) + 2) / 3);
    std::array<double, kAsymptotenDekaden + 1> w{};
    for (int k = kVon; k <= kBis; ++k) w[static_cast<size_t>(k)] = 1.0 / k;
    if (FitPasst(v, w.data(), rauschen, k3, k2, kBis, einheit, grenzwert)) return Grenzweg::Angepasst;
    if (!abstand) return Grenzweg::Keiner;
    // The slope of that fit from the points farthest apart in 1/distance:
    // the rounding of the outer values weighs least there.
    for (int k = kVon; k <= kBis; ++k) w[static_cast<size_t>(k)] = 1.0 / abstand[k];
    return FitPasst(v, w.data(), rauschen, k3, k3, kBis, einheit, grenzwert) ? Grenzweg::Angepasst : Grenzweg::Keiner;
}

// Lines show two decimals; a level, slope or intercept below kNullGrenze is 0.
ShownUnit AsymptotenEinheit() { return DecimalsUnit(2, kNullGrenze); }

// The slope of a line far out from secant slopes st[k], k from kVon to kBis
// (their rounding in rauschen); NaN when they do not settle. `streuung`:
// how far the slope may be off.
double SteigungFern(const double* st, const double* rauschen, int kVon, int kBis, double& streuung) {
    double m = 0;
    if (GrenzwertFern(st, rauschen, kVon, kBis, AsymptotenEinheit(), m) == Grenzweg::Keiner)
        return std::numeric_limits<double>::quiet_NaN();
    // How far m may be off: the scatter of the settled slopes.
    streuung = Rundungsfehler(m);
    for (int k = kBis - std::max(2, (kBis - kVon) / 3); k <= kBis; ++k)
        streuung = std::max(streuung, std::fabs(st[k] - m));
    if (m != 0 && std::fabs(m) < kNullGrenze) {
        // A small slope is a slope when it is settled to its own digits (a
        // line such as 0.000001x + 3); slopes that merely fade are 0.
        double genau = 0;
        const ShownUnit eigeneStellen = [](double v) { return ShownDigitUnit(v, 2); };
        m = GrenzwertFern(st, rauschen, kVon, kBis, eigeneStellen, genau) != Grenzweg::Keiner ? genau : 0;
    }
    return m;
}

Asymptote Kurvendiskussion::AsymptoteSuchen(double x0, double richtung) {
    Asymptote a;
    if (!std::isfinite(x0)) return a;
    const ShownUnit einheit = AsymptotenEinheit();
    // f and its secant slopes at x0 +- 1.3 * 10^k, as far out as f is defined.
    std::array<double, kAsymptotenDekaden + 1> werte{}, steigungen{}, werteRauschen{}, steigungenRauschen{};
    int kWerte = 0, kSteigungen = 0, kUndefiniert = 0;
    auto abstand = [](int k) { return 1.3 * std::pow(10.0, k); };
    for (int k = 1; k <= kAsymptotenDekaden; ++k) {
        const double x = x0 + richtung * abstand(k);
        double y = 0;
        if (!FDefiniert(x, y)) {
            kUndefiniert = k;
            break;
        }
        const auto i = static_cast<size_t>(k);
        werte[i] = y;
        werteRauschen[i] = Rundungsfehler(y);
        kWerte = k;
        const double x2 = x0 + richtung * 2.6 * std::pow(10.0, k);
        double y2 = 0;
        if (kSteigungen == k - 1 && FDefiniert(x2, y2) && std::isfinite((y2 - y) / (x2 - x))) {
            steigungen[i] = (y2 - y) / (x2 - x);
            // Far out on a steep line the slope is known only to the rounding
            // of the two values it is taken from.
            steigungenRauschen[i] = Rundungsfehler(std::fabs(y) + std::fabs(y2)) / std::fabs(x2 - x) +
                                    Rundungsfehler(steigungen[i]);
            kSteigungen = k;
        }
    }
    // Where f ends short of the far samples (an e-term beyond the language's
    // limits, a domain that ends), the line is looked for closer in.
    auto naeher = [&] {
        if (kUndefiniert == 0) return a;
        return AsymptoteNah(x0, richtung, kWerte > 0 ? abstand(kWerte) : 0, abstand(kUndefiniert));
    };
    double m = 0, c = 0;
    const Grenzweg ebene = GrenzwertFern(werte.data(), werteRauschen.data(), 1, kWerte, einheit, c);
    if (ebene == Grenzweg::Angepasst || (ebene == Grenzweg::Ruhig && Bestaetigt(x0, richtung, kWerte, c))) {
        // Level far out: the values themselves approach the line.
        a.m = 0;
        a.c = c;
        a.gefunden = true;
        return a;
    }
    // Slanted: the slopes settle, and the intercepts f(x) - m x approach c.
    double mRauschen = 0;
    m = SteigungFern(steigungen.data(), steigungenRauschen.data(), 1, kSteigungen, mRauschen);
    if (std::isnan(m)) return naeher();
    // The intercepts at four points a decade, out to where m x swallows the
    // digits they are shown with: the steeper the line, the closer in.
    constexpr int kJeDekade = 4;
    constexpr int jVon = kJeDekade, jBis = kJeDekade * kAchsenabschnittDekaden;
    std::array<double, jBis + 1> abschnitte{}, abschnitteRauschen{}, abstaende{};
    int jAbschnitte = jVon - 1;
    for (int j = jVon; j <= jBis; ++j) {
        const double x = x0 + richtung * 1.3 * std::pow(10.0, static_cast<double>(j) / kJeDekade);
        double y = 0;
        if (!FDefiniert(x, y)) break;
        const double abschnitt = y - m * x;
        const double rauschen = Rundungsfehler(std::fabs(y) + std::fabs(m * x)) + mRauschen * std::fabs(x);
        if (!std::isfinite(abschnitt) || !std::isfinite(rauschen)) break;
        const auto i = static_cast<size_t>(j);
        abschnitte[i] = abschnitt;
        abschnitteRauschen[i] = rauschen;
        abstaende[i] = std::fabs(x - x0);
        // The noise grows with the distance: the range ends at the last point
        // whose noise leaves the digits it is shown with.
        if (rauschen <= 0.1 * einheit(abschnitt)) jAbschnitte = j;
    }
    if (GrenzwertFern(abschnitte.data(), abschnitteRauschen.data(), jVon, jAbschnitte, einheit, c, abstaende.data()) ==
        Grenzweg::Keiner)
        return naeher();
    a.m = m;
    a.c = c;
    a.gefunden = true;
    return a;
}

bool Kurvendiskussion::Bestaetigt(double x0, double richtung, int kBis, double c) {
    // A periodic term can take the same value at every x0 + 1.3 * 10^k
    // (cos(pi x/8) is 1 wherever x/16 is whole): the level must also hold
    // between those points, at distances that share no period with them.
    const ShownUnit einheit = AsymptotenEinheit();
    const int kVon = std::max(1, kBis - std::max(2, (kBis - 1) / 3));
    for (int k = kVon; k < kBis; ++k) {
        double y = 0;
        const double x = x0 + richtung * 1.3 * std::numbers::sqrt2 * std::pow(10.0, k);
        if (FDefiniert(x, y) && !(std::fabs(y - c) <= 0.25 * einheit(c) + Rundungsfehler(y) + Rundungsfehler(c)))
            return false;
    }
    return true;
}

Asymptote Kurvendiskussion::AsymptoteNah(double x0, double richtung, double dDefiniert, double dUndefiniert) {
    // f is defined out to some distance D between the two given. Where an
    // e-term ends it there (e^x beyond 90), f has reached its line to the
    // last digit long before: over the outer eighth of the way out to D it
    // keeps to one straight line within a millionth of the digits shown. A
    // curve that only bends slowly (ln(ln(x)) or x^0.001 up to the
    // language's limit on x) leaves that line by far more.
    Asymptote a;
    double xd = x0 + richtung * dDefiniert, xu = x0 + richtung * dUndefiniert, y = 0;
    if (!FDefiniert(xd, y)) return a;
    Randpunkt(xd, xu);
    const double weit = std::fabs(xd - x0);
    if (!(weit > 0) || !std::isfinite(weit)) return a;
    constexpr int kPunkte = 8;
    std::array<double, kPunkte + 1> x{}, v{};
    for (int k = 0; k <= kPunkte; ++k) {
        const auto i = static_cast<size_t>(k);
        x[i] = k == kPunkte ? xd : x0 + richtung * weit * (7.0 + static_cast<double>(k) / kPunkte) / 8;
        if (!FDefiniert(x[i], v[i])) return a;
    }
    // The line through the two ends of that stretch.
    double m = (v[kPunkte] - v[0]) / (x[kPunkte] - x[0]);
    double c = v[kPunkte] - m * x[kPunkte];
    if (!std::isfinite(m) || !std::isfinite(c)) return a;
    const ShownUnit einheit = AsymptotenEinheit();
    for (size_t i = 0; i <= kPunkte; ++i) {
        // So far out that rounding leaves the intercept no digits, nothing
        // is confirmed (x + sin(x) near 1e16).
        const double rauschen = 8 * Rundungsfehler(std::fabs(v[i]) + std::fabs(m * x[i]) + std::fabs(c));
        const double u = einheit(v[i] - m * x[i]);
        if (!(rauschen <= 1e-3 * u)) return a;
        if (!(std::fabs(v[i] - (m * x[i] + c)) <= 1e-6 * u + rauschen)) return AsymptoteGebrochen(x0, richtung, weit);
    }
    // Level where the slope moves f by less than that over the whole way out.
    if (std::fabs(m) * weit <= 1e-6 * einheit(c) + 8 * Rundungsfehler(v[kPunkte])) {
        m = 0;
        c = v[kPunkte];
    }
    a.m = m;
    a.c = c;
    a.gefunden = true;
    return a;
}

// Least squares by Householder reflections: the coefficients of the columns
// of a (n rows, k columns) that fit b best; false where the columns do not
// determine them. The largest deviation of the fit goes to `abweichung`.
constexpr int kFitZeilen = 17, kFitSpalten = 6;
bool KleinsteQuadrate(std::array<std::array<double, kFitSpalten>, kFitZeilen> a, std::array<double, kFitZeilen> b,
                      int k, std::array<double, kFitSpalten>& loesung, double& abweichung) {
    constexpr int n = kFitZeilen;
    const std::array<std::array<double, kFitSpalten>, kFitZeilen> a0 = a;
    const std::array<double, kFitZeilen> b0 = b;
    for (int j = 0; j < k; ++j) {
        double norm = 0;
        for (int i = j; i < n; ++i) norm = std::hypot(norm, a[i][j]);
        if (!(norm > 0)) return false;
        const double alpha = a[j][j] > 0 ? -norm : norm;
        std::array<double, kFitZeilen> v{};
        for (int i = j; i < n; ++i) v[i] = a[i][j];
        v[j] -= alpha;
        double vv = 0;
        for (int i = j; i < n; ++i) vv += v[i] * v[i];
        if (!(vv > 0)) return false;
        for (int spalte = j; spalte < k; ++spalte) {
            double s = 0;
            for (int i = j; i < n; ++i) s += v[i] * a[i][spalte];
            for (int i = j; i < n; ++i) a[i][spalte] -= 2 * s / vv * v[i];
        }
        double s = 0;
        for (int i = j; i < n; ++i) s += v[i] * b[i];
        for (int i = j; i < n; ++i) b[i] -= 2 * s / vv * v[i];
    }
    for (int j = k - 1; j >= 0; --j) {
        double s = b[j];
        for (int spalte = j + 1; spalte < k; ++spalte) s -= a[j][spalte] * loesung[spalte];
        if (!(std::fabs(a[j][j]) > 1e-12 * std::fabs(a[0][0]))) return false;
        loesung[j] = s / a[j][j];
    }
    abweichung = 0;
    for (int i = 0; i < n; ++i) {
        double y = 0;
        for (int j = 0; j < k; ++j) y += a0[i][j] * loesung[j];
        abweichung = std::max(abweichung, std::fabs(y - b0[i]));
    }
    return std::isfinite(abweichung);
}

Asymptote Kurvendiskussion::AsymptoteGebrochen(double x0, double richtung, double weit) {
    // In w = weit / d, d the distance from x0, a rational approach is a
    // power series: c + a1 w + a2 w^2 + ... (and m weit / w on a slanted
    // line). Fits of growing degree over w in [1, 2] settle on c as fast as
    // that series converges, each step a fraction of the last; a slow bend
    // (ln(x), x^0.1, e^(-x/10)) moves c by much the same at every degree,
    // and sin(x)/x fits no degree at all.
    Asymptote a;
    std::array<std::array<double, kFitSpalten>, kFitZeilen> zeilen{};
    std::array<double, kFitZeilen> v{};
    std::array<double, kFitZeilen> w{};
    for (int j = 0; j < kFitZeilen; ++j) {
        const double d = weit * (0.5 + 0.5 * j / (kFitZeilen - 1));
        w[static_cast<size_t>(j)] = weit / d;
        if (!FDefiniert(x0 + richtung * d, v[static_cast<size_t>(j)])) return a;
    }
    const ShownUnit einheit = AsymptotenEinheit();
    // Degrees 2, 3, 4 of the series, with or without the slope's column.
    auto anpassen = [&](bool schraeg, std::array<double, 3>& c, std::array<double, 3>& m, double& abweichung) {
        const int erste = schraeg ? -1 : 0;
        for (int grad = 2; grad <= 4; ++grad) {
            const int k = grad + 1 - erste;
            for (size_t i = 0; i < kFitZeilen; ++i)
                for (int j = 0; j < k; ++j) zeilen[i][static_cast<size_t>(j)] = std::pow(w[i], erste + j);
            std::array<double, kFitSpalten> loesung{};
            if (!KleinsteQuadrate(zeilen, v, k, loesung, abweichung)) return false;
            c[static_cast<size_t>(grad - 2)] = loesung[static_cast<size_t>(-erste)];
            m[static_cast<size_t>(grad - 2)] = schraeg ? loesung[0] / weit : 0;
        }
        return true;
    };
    auto konvergiert = [](const std::array<double, 3>& folge, double u) {
        const double d1 = std::fabs(folge[1] - folge[0]), d2 = std::fabs(folge[2] - folge[1]);
        return d2 <= 0.04 * u && d2 <= std::max(0.25 * d1, 1e-6 * u);
    };
    for (bool schraeg : {false, true}) {
        std::array<double, 3> c{}, m{};
        double abweichung = 0;
        if (!anpassen(schraeg, c, m, abweichung)) continue;
        const double rauschen = 8 * Rundungsfehler(std::fabs(v[0]) + std::fabs(v[kFitZeilen - 1]));
        if (!(abweichung <= 0.01 * einheit(c[2]) + rauschen) || !konvergiert(c, einheit(c[2]))) continue;
        if (schraeg && !konvergiert(m, einheit(m[2]))) continue;
        // Back from the distance to x: y = m d + c with d = richtung (x - x0).
        a.m = richtung * m[2];
        a.c = c[2] - a.m * x0;
        a.gefunden = std::isfinite(a.m) && std::isfinite(a.c);
        return a;
    }
    return a;
}

void Kurvendiskussion::AsymptoteEintragen(double m, double c) {
    DiscussionResults& d = gDiscussion;
    if (d.AnzahlAsymptoten >= kMaxAsymptoten) return;
    // The slope is 0 or settled to its digits, however small; an intercept
    // is known to a quarter of a hundredth.
    if (std::fabs(c) < kNullGrenze) c = 0;
    // The list shows the decimal comma as every number on screen; the stored
    // term, which the drawing compiles and the user may copy, keeps its point.
    const std::string gleichung = LineEquationText(m, c, 0);
    Zeile(Ergebnisliste::Asymptoten, PointToComma(gleichung));
    d.AsymptotenText[static_cast<size_t>(d.AnzahlAsymptoten)] = NormalizeTermText(gleichung).substr(2);
    ++d.AnzahlAsymptoten;
}

// Both searches found the same line when slope and intercept agree within
// half of the last digit shown, or read the same.
bool DieselbeGerade(const Asymptote& r, const Asymptote& l) {
    const ShownUnit einheit = AsymptotenEinheit();
    auto gleich = [&einheit](double u, double v) {
        return std::fabs(u - v) <= 0.5 * einheit(std::fabs(u) > std::fabs(v) ? u : v);
    };
    auto text = [](const Asymptote& a) { return LineEquationText(a.m, std::fabs(a.c) < kNullGrenze ? 0 : a.c, 0); };
    return (gleich(r.m, l.m) && gleich(r.c, l.c)) || text(r) == text(l);
}

void Kurvendiskussion::AsymptotenSuchen() {
    gDiscussion.AnzahlAsymptoten = 0;
    const double x0 = (gKurvendiskussion.SuchintervallVon + gKurvendiskussion.SuchintervallBis) / 2;
    const Asymptote rechts = AsymptoteRechts(x0);
    const Asymptote links = AsymptoteLinks(x0);
    if (rechts.gefunden && links.gefunden) {
        // One line on both sides is listed once; y = x and y = -x (as of
        // sqrt(x^2+1)) share the intercept but are two lines, and so are
        // levels a little apart (arctan(x)/10).
        if (DieselbeGerade(rechts, links)) {
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

void Kurvendiskussion::NullstellenOrdnen() {
    // Zeros found beside an extremum or at a border come in out of order.
    DiscussionResults& d = gDiscussion;
    const auto n = static_cast<size_t>(std::clamp(d.AnzahlNullstellen, 0, kMaxSpecialPoints));
    std::vector<std::pair<double, double>> z;
    for (size_t i = 1; i <= n; ++i) z.emplace_back(d.NullstelleX[i], d.NullstelleSteigung[i]);
    std::stable_sort(z.begin(), z.end(), [](const auto& p, const auto& q) { return p.first < q.first; });
    for (size_t i = 1; i <= n; ++i) std::tie(d.NullstelleX[i], d.NullstelleSteigung[i]) = z[i - 1];
}

void Kurvendiskussion::Berechnen(double a, double b, double step) {
    WorkBudget budget(kWaitSeconds);
    DiscussionResults& d = gDiscussion;
    d.AnzahlNullstellen = d.AnzahlExtrema = d.AnzahlWendepunkte = 0;
    // The drawing reads every count: a run without the pole search must not
    // leave the poles and asymptotes of an earlier run behind.
    d.AnzahlPole = d.AnzahlAsymptoten = 0;
    d.PolX[0] = -1000.0;

    if (a > b) std::swap(a, b);
    a_ = a;
    b_ = b;
    poleSuchen_ = gKurvendiskussion.PoleUndAsymptotenSuchen;
    const bool intervallOk = std::isfinite(b - a);
    if (intervallOk) {
        double s = step;
        if (!(s > 0) || !std::isfinite(s)) s = (b - a) / 500;
        s = std::max(s, (b - a) / kMaxScanSchritte);
        if (!(s > 0)) s = 1;  // a == b: one sample
        s_ = s;
        // The samples run from one step before a to one step beyond b: a
        // zero, extremum or border exactly at either end lies between two of
        // them. What is found outside [a, b] is not listed.
        const long n = static_cast<long>(std::floor((b - a) / s + 1e-9)) + 1;

        // Where f is defined on one side of a step and undefined on the
        // other, the domain ends (or has a hole): zeros and poles there.
        double vorX = 0;
        bool vorDefiniert = false;
        auto abtasten = [&](long i) {
            const double x = a + static_cast<double>(i) * s;
            const Dreipunkt q = Dreipunktwerte(x);
            if (i > -1 && q.mDefiniert != vorDefiniert)
                q.mDefiniert ? RandUntersuchen(x, vorX) : RandUntersuchen(vorX, x);
            vorX = x;
            vorDefiniert = q.mDefiniert;
            return q;
        };

        // The scan starts where f is defined: a line as steep as 1e9 x is
        // nowhere below the validity bound at x +- h, and its zero is still
        // a zero. The refinements of extrema and inflection points test the
        // validity of their samples themselves.
        long i = -1;
        Dreipunkt p;
        do {
            p = abtasten(i);
            ++i;
        } while (!p.mDefiniert && i <= n);

        double vorF = 0, vorD1 = 0, vorD2 = 0;
        do {
            if (p.yM != 0) vorF = p.yM;
            if (p.D1 != 0) vorD1 = p.D1;
            if (std::fabs(p.D2) > D2Rauschen(p)) vorD2 = p.D2;
            // The step from the previous sample exactly: x - s may miss a
            // zero that sample hit.
            const double x = a + static_cast<double>(i) * s, xv = a + static_cast<double>(i - 1) * s;
            p = abtasten(i);
            if (TermSgn(vorF) * TermSgn(p.yM) == -1 && d.AnzahlNullstellen < kMaxSpecialPoints)
                NullstelleEingrenzen(xv, x);
            if (TermSgn(vorD1) * TermSgn(p.D1) == -1 && d.AnzahlExtrema < kMaxSpecialPoints)
                ExtremumEingrenzen(xv, x);
            if (TermSgn(vorD2) * TermSgn(p.D2) == -1 && std::fabs(p.D2) > D2Rauschen(p) &&
                d.AnzahlWendepunkte < kMaxSpecialPoints)
                WendepunktEingrenzen(xv, x, s);
            ++i;
        } while (i <= n);
        NullstellenOrdnen();
    }

    // Values the budget did not pay for read as undefined: what was found
    // meanwhile is not all there is, and "none" would be a wrong answer.
    const std::string symmetrie = budget.Cut() ? std::string() : SymmetrieText();
    if (budget.Cut()) {
        Abgebrochen({Ergebnisliste::Nullstellen, Ergebnisliste::Extrema, Ergebnisliste::Wendepunkte,
                     Ergebnisliste::Pole, Ergebnisliste::Asymptoten});
        return;
    }
    PunktlistenFuellen();
    ausgabe_.SymmetrieAnzeigen(symmetrie);

    ausgabe_.ListeLeeren(Ergebnisliste::Pole);
    ausgabe_.ListeLeeren(Ergebnisliste::Asymptoten);
    if (gKurvendiskussion.PoleUndAsymptotenSuchen) {
        if (intervallOk) {
            PoleSuchen(a, b, s_);
        } else {
            ausgabe_.ZeileHinzufuegen(Ergebnisliste::Pole, kLeerePolliste);
        }
        if (!budget.Cut()) AsymptotenSuchen();
        if (budget.Cut()) {
            Abgebrochen({Ergebnisliste::Pole, Ergebnisliste::Asymptoten});
            return;
        }
    }

    if (drucker_) Drucken(11, 2, symmetrie);
    gKurvendiskussion.DiskussionDruck = false;
}

void Kurvendiskussion::Abgebrochen(std::initializer_list<Ergebnisliste> listen) {
    DiscussionResults& d = gDiscussion;
    for (Ergebnisliste l : listen) {
        switch (l) {
            case Ergebnisliste::Nullstellen: d.AnzahlNullstellen = 0; break;
            case Ergebnisliste::Extrema: d.AnzahlExtrema = 0; break;
            case Ergebnisliste::Wendepunkte: d.AnzahlWendepunkte = 0; break;
            case Ergebnisliste::Pole: d.AnzahlPole = 0; break;
            case Ergebnisliste::Asymptoten: d.AnzahlAsymptoten = 0; break;
        }
        ausgabe_.ListeLeeren(l);
        ausgabe_.ZeileHinzufuegen(l, std::string(" ") + kZuVielRechenaufwand);
    }
    ausgabe_.SymmetrieAnzeigen(kDiskussionAbgebrochen);
    if (drucker_) Drucken(11, 2, kDiskussionAbgebrochen);
    gKurvendiskussion.DiskussionDruck = false;
}

}  // namespace

void KurvendiskussionBerechnen(double a, double b, double step, double t, KurvendiskussionAusgabe& ausgabe) {
    Kurvendiskussion(t, ausgabe).Berechnen(a, b, step);
}

void KurvendiskussionBerechnen(double a, double b, double step, double t) {
    KeineAusgabe keine;
    KurvendiskussionBerechnen(a, b, step, t, keine);
}

std::string PollisteGekuerztText() {
    return "(Liste nach " + IntToText(kMaxPoles) + " Polen abgebrochen)";
}

std::string SymmetrieText(double t) {
    KeineAusgabe keine;
    return Kurvendiskussion(t, keine).SymmetrieText();
}

}  // namespace kalvo
