#include "numeric_tables.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "curves.h"
#include "number_text.h"
#include "program_state.h"
#include "newton_slope.h"
#include "shown_derivative.h"
#include "work_budget.h"

namespace kalvo {

double FamilienWert(int order, double x, double t, bool& definiert) {
    const ParameterState& p = gParams;
    const double y = EvalSumOverN(order, x, t, SumStartIndex(), static_cast<double>(p.FgSummeBis),
                                  static_cast<double>(p.FgSummeSchrittweite));
    definiert = gTerms.TermOK && std::isfinite(y);
    return std::isfinite(y) ? y : 0.0;
}

FunctionSample FamilienFunktion(double t) {
    return [t](double x, double& y) {
        bool definiert = false;
        y = FamilienWert(0, x, t, definiert);
        return definiert;
    };
}

std::string NichtDefiniertText() { return " " + std::string(kNotFiniteText); }

const WertetabelleZeile& WertetabelleKopf() {
    static const WertetabelleZeile kopf{"     x", "    f(x)", "   f'(x)", "   f''(x)", "   f'''(x)"};
    return kopf;
}

Wertetabelle WertetabelleBerechnen(WertetabelleEingabe e, int dezimalen) {
    e.schritt = std::fabs(e.schritt);
    if (e.schritt == 0 || !std::isfinite(e.schritt)) e.schritt = 1;
    if (e.bis < e.von) std::swap(e.von, e.bis);

    Wertetabelle tabelle;
    tabelle.eingabe = e;
    // The rows the table will have, for sharing out the work of the derivatives.
    const double spanne = std::floor((e.bis - e.von) / e.schritt + 1e-9) + 1;
    const double zeilen = std::isfinite(spanne) ? std::clamp(spanne, 1.0, double(kWertetabelleMaxZeilen)) : 1.0;
    WorkBudget budget(kWaitSeconds);
    bool ableitungenGekuerzt = false, ableitungenUngesichert = false;
    double x = e.von;
    // Counted by rows: a step that rounds away leaves x where it is, and
    // the table then shows the same x in every row.
    for (int r = 1; r <= kWertetabelleMaxZeilen; ++r) {
        x = RoundToDecimals(dezimalen, x);
        WertetabelleZeile zeile;
        zeile[0] = FormatNumberCommaBlanks(dezimalen, x);
        bool definiert = false;
        const double vorher = budget.SecondsLeft();
        const double y = FamilienWert(0, x, e.t, definiert);
        // What a value of f costs of the budget.
        const double kostenF = std::max(0.0, vorher - budget.SecondsLeft());
        // A value the budget did not pay for reads as undefined: the table ends before it.
        if (budget.Spent()) {
            tabelle.meldung = kTabelleAbgebrochen;
            break;
        }
        if (definiert && std::fabs(y) < 1e20) {
            zeile[1] = FormatNumberComma(dezimalen, y);
            // FormatNumberComma shows values below 1e-10 as 0.
            std::array<ShownDerivative, kMaxShownDerivativeOrder> abl;
            {
                // What is left shared out over the rows still to come,
                // less what their values of f will cost (twice over, as a
                // later x may cost more): the derivatives of the first rows
                // must not leave the last rows without their values.
                const double spaeter = std::max(0.0, zeilen - r);
                const double frei = std::max(0.0, budget.SecondsLeft() - 2 * kostenF * spaeter);
                WorkBudget anteil(frei / std::max(1.0, zeilen - (r - 1)));
                abl = ShownDerivatives(FamilienFunktion(e.t), x, 3, DecimalsUnit(dezimalen, 1e-10));
                // A refinement cut short has not shown that its derivative exists.
                if (anteil.Cut()) {
                    for (ShownDerivative& a : abl) a = ShownDerivative{};
                    ableitungenGekuerzt = true;
                }
            }
            for (const ShownDerivative& a : abl) ableitungenUngesichert = ableitungenUngesichert || a.unconfirmed;
            for (size_t k = 0; k < abl.size(); ++k)
                zeile[k + 2] = abl[k].defined ? FormatNumberComma(dezimalen, abl[k].value) : NichtDefiniertText();
        } else {
            zeile[1] = definiert ? "|f(x)|>1O^20" : NichtDefiniertText();
        }
        tabelle.zeilen.push_back(std::move(zeile));
        x += e.schritt;
        if (!(x <= e.bis)) break;
    }
    auto melden = [&tabelle](const char* satz) {
        if (!tabelle.meldung.empty()) tabelle.meldung += '\n';
        tabelle.meldung += satz;
    };
    if (ableitungenGekuerzt && tabelle.meldung.empty()) melden(kAbleitungenNichtBerechnet);
    if (ableitungenUngesichert) melden(kAbleitungenNichtGesichert);
    return tabelle;
}

const NewtonZeile& NewtonKopf() {
    static const NewtonZeile kopf{"n", "     x(n)", "    f(x(n))", "  f'(x(n))", "f(x(n))/f'(x(n))", "    x(n+1)"};
    return kopf;
}

namespace {

// What is left of the way to the zero after the last of the steps s: the
// steps to come shrink by the ratio of the last two, about 1 - 1/m near a
// zero of order m and soon near 0 where they shrink quadratically (the
// geometric sum then overestimates the way, as it should). Infinite where
// the steps do not shrink, or where one step alone cannot tell.
double Restweg(const std::vector<double>& s) {
    constexpr double kUnendlich = std::numeric_limits<double>::infinity();
    if (s.size() < 2) return kUnendlich;
    if (s.back() == 0) return 0;
    const double q = std::fabs(s.back() / s[s.size() - 2]);
    return q < 1 ? std::fabs(s.back()) * q / (1 - q) : kUnendlich;
}

// Only a slope that vanishes against f stops the steps; on a flat tail f
// and f' are tiny together and the step is sound.
bool SteigungNull(double d, double y) {
    return !(std::fabs(d) > 1e-12 || (d != 0 && std::fabs(y) <= std::fabs(d) * 1e6));
}

}  // namespace

NewtonErgebnis NewtonBerechnen(double x, double t, int dezimalen) {
    NewtonErgebnis e;
    dezimalen = std::clamp(dezimalen, 1, 7);
    WorkBudget budget(kWaitSeconds);
    auto abbrechen = [&e](double letztes) {
        e.abgebrochen = true;
        e.meldung = kBerechnungAbgebrochen;
        e.letztesX = letztes;
        return e;
    };
    bool yDefiniert = false;
    double y = FamilienWert(0, x, t, yDefiniert);
    if (budget.Cut()) return abbrechen(x);
    // Where f is undefined its value reads 0; that is no zero, and the first
    // step reports it.
    if (yDefiniert && std::fabs(y) < 1e-12) {
        e.startwertIstNullstelle = true;
        e.meldung = kStartwertIstNullstelle;
        e.letztesX = x;
        return e;
    }
    const FunctionSample f = FamilienFunktion(t);
    const ShownUnit stelle = DecimalsUnit(dezimalen, 1e-10);
    const double eps = std::pow(10.0, -dezimalen);
    auto zahl = [dezimalen](double v) { return FormatNumberComma(dezimalen, v); };
    // A zero is found when what is left of the way to it cannot change a
    // digit its x shows: x shows as every point within twice that way does
    // (twice, for a way that is only estimated; and no less than the last
    // bits of x, which the rounding of f leaves uncertain). Near a zero of
    // order m the steps shrink by the factor 1 - 1/m and the way left is
    // m - 1 times the last step; a step below the shown digits alone says
    // nothing. Steps down to the last bits of x end the iteration as well,
    // three in a row: a zero on the edge between two shown values is
    // reached exactly, or not at all.
    auto bits = [](double xs) {
        return std::nextafter(std::fabs(xs), std::numeric_limits<double>::infinity()) - std::fabs(xs);
    };
    auto letzteBits = [&](double xs, double weg) { return weg <= 8 * bits(xs); };
    int bitSchritte = 0;
    auto gesetzt = [&](double xs, double restweg, int stillstand) {
        const double weg = 2 * std::max(restweg, 4 * bits(xs));
        return stillstand >= 3 || (std::isfinite(weg) && zahl(xs - weg) == zahl(xs + weg));
    };

    // The steps x(n+1) - x(n) and |x|, |f| of the iterates x(0), x(1), ...
    std::vector<double> schritte, betragX{std::fabs(x)}, betragF{std::fabs(y)};
    // |x| grew by the factor in each of the last k steps.
    auto waechst = [&](size_t k, double faktor) {
        if (betragX.size() < k + 1) return false;
        for (size_t i = betragX.size() - k; i < betragX.size(); ++i)
            if (!(betragX[i] > faktor * betragX[i - 1])) return false;
        return true;
    };
    // The iterates run away: |x| grows step after step, and the steps with it.
    auto laeuftDavon = [&] {
        if (!waechst(3, 1) || schritte.size() < 3) return false;
        for (size_t i = schritte.size() - 2; i < schritte.size(); ++i)
            if (std::fabs(schritte[i]) < std::fabs(schritte[i - 1])) return false;
        return true;
    };

    // Where rounding hides the last digits of f, the iteration can go no
    // further. Its x is the zero when what is left of the way cannot change
    // a digit shown; the zero is 0 when 0 lies that close (the last x then
    // shows 0); else the shown digits cannot be reached.
    auto amEnde = [&](double rest) {
        if (letzteBits(x, rest) || gesetzt(x, rest, 0)) return;
        if (std::fabs(x) + rest < 0.5 * eps) {
            x = 0;
            e.zeilen.back()[5] = zahl(0);
            return;
        }
        e.meldung = kKonvergiertNicht;
    };

    for (int n = 1;; ++n) {
        const double xAlt = x;
        const NewtonSteigung d = yDefiniert ? SteigungFuerSchritt(f, xAlt, y) : NewtonSteigung{};
        if (budget.Cut()) return abbrechen(xAlt);
        // Its slope lost in the rounding of f: no step leads on.
        if (d.unscharf) {
            if (schritte.empty()) e.meldung = kKonvergiertNicht;
            else amEnde(Restweg(schritte));
            break;
        }
        const bool definiert = yDefiniert && d.existiert;
        const bool ableitungNull = definiert && SteigungNull(d.wert, y);
        const bool schrittMoeglich = definiert && !ableitungNull;
        double q = 0, yNeu = 0;
        bool neuDefiniert = false;
        if (schrittMoeglich) {
            q = y / d.wert;
            x = xAlt - q;
            yNeu = FamilienWert(0, x, t, neuDefiniert);
        }
        // Values the budget did not pay for read as undefined: the step is not shown.
        if (budget.Cut()) return abbrechen(xAlt);
        const double schritt = x - xAlt;
        // Where a small f(x(n)) or a step below the last decimal suggests the
        // zero, the table ends with the row before when x(n) was the zero
        // indeed: when this step from it, and those it lets expect, stay
        // below what x(n) shows. Else the steps go on.
        if (schrittMoeglich && !schritte.empty() && (std::fabs(y) < 1e-10 || std::fabs(schritte.back()) < eps)) {
            std::vector<double> mitDiesem = schritte;
            mitDiesem.push_back(schritt);
            if (gesetzt(xAlt, std::fabs(schritt) + Restweg(mitDiesem),
                        letzteBits(xAlt, std::fabs(schritt)) ? bitSchritte + 1 : 0)) {
                x = xAlt;
                break;
            }
        }

        NewtonZeile zeile;
        if (schrittMoeglich) {
            // f' as the table shows it: right to its decimals, and only where it settles so.
            const ShownDerivative gezeigt = ShownDerivatives(f, xAlt, 1, stelle)[0];
            const std::string ableitung = gezeigt.defined ? zahl(gezeigt.value) : NichtDefiniertText();
            zeile = {IntToText(n - 1), zahl(xAlt), zahl(y), ableitung, zahl(q), zahl(x)};
            if (budget.Cut()) return abbrechen(xAlt);
        }
        e.zeilen.push_back(std::move(zeile));
        if (!definiert) {
            e.meldung = PointToComma(FormatNumberWide(8, xAlt)) + kNichtDefiniert;
            break;
        }
        if (ableitungNull) {
            // A slope that has faded while the iterates ran off: f levels off far out.
            e.meldung = laeuftDavon() ? kKonvergiertNicht : kAbleitungNull;
            break;
        }
        if (!neuDefiniert) {
            e.meldung = PointToComma(FormatNumberWide(8, x)) + kNichtDefiniert;
            break;
        }
        schritte.push_back(schritt);
        bitSchritte = letzteBits(x, std::fabs(schritt)) ? bitSchritte + 1 : 0;
        betragX.push_back(std::fabs(x));
        betragF.push_back(std::fabs(yNeu));
        // f(x(n+1)) = 0: no step leads on. Near a zero of higher order f
        // rounds to 0 before x shows the zero, and shrinking steps tell how
        // far it may still be; steps that did not shrink landed on it.
        if (yNeu == 0 || schritt == 0) {
            const double verhaeltnis =
                schritte.size() >= 2 ? std::fabs(schritt / schritte[schritte.size() - 2]) : 1.0;
            amEnde(verhaeltnis < 1 ? std::fabs(schritt) * verhaeltnis / (1 - verhaeltnis) : 0.0);
            break;
        }
        // A step below the last decimal, or a small f(x(n+1)), and steps that
        // shrink so that x(n+1) shows the zero.
        if ((std::fabs(schritt) < eps || std::fabs(yNeu) < 1e-10 || bitSchritte >= 3) &&
            gesetzt(x, Restweg(schritte), bitSchritte))
            break;
        // Divergence is a trend, not one large value: |x| grows by half again
        // and more step after step while |f| does not fall (iterates that
        // bounce about near a flat spot grow now and then, not four times in
        // a row); or f is tiny while the steps keep their length (a flat
        // tail far out, where f tends to 0 but has no zero).
        const bool laeuftWeg = waechst(4, 1.5) && betragF.back() >= 0.9 * betragF[betragF.size() - 5];
        const bool flacherAuslauf = std::fabs(yNeu) < 1e-10 && schritte.size() >= 2 &&
                                    std::fabs(schritt) >= 0.99 * std::fabs(schritte[schritte.size() - 2]);
        if (laeuftWeg || flacherAuslauf || n == kNewtonMaxSchritte) {
            e.meldung = kKonvergiertNicht;
            break;
        }
        y = yNeu;
    }
    e.letztesX = x;
    return e;
}

}  // namespace kalvo
