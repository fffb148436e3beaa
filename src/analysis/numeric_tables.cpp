#include "numeric_tables.h"

#include <algorithm>
#include <array>
#include <charconv>
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
double Restweg(double vorletzter, double letzter) {
    if (letzter == 0) return 0;
    const double q = std::fabs(letzter / vorletzter);
    return q < 1 ? std::fabs(letzter) * q / (1 - q) : std::numeric_limits<double>::infinity();
}
double Restweg(const std::vector<double>& s) {
    return s.size() < 2 ? std::numeric_limits<double>::infinity() : Restweg(s[s.size() - 2], s.back());
}

// Whether the steps s shrink steadily, each of the last few shorter than the
// one before by a ratio that holds or falls (linear convergence towards a
// zero of higher order, or from far off, sliding into quadratic at the
// end) and on the same side, and the way left estimated from them falls
// step after step. Cycles, bouncing about and runs that slow down do not.
bool SchrumpftStetig(const std::vector<double>& s) {
    constexpr size_t kSchritte = 6;
    if (s.size() < kSchritte + 1) return false;
    double restVorher = std::numeric_limits<double>::infinity();
    for (size_t i = s.size() - kSchritte; i < s.size(); ++i) {
        const double q = s[i] / s[i - 1], qVorher = s[i - 1] / s[i - 2];
        if (!(std::fabs(q) < 1) || (q < 0) != (qVorher < 0)) return false;
        if (std::fabs(q) > std::fabs(qVorher) + 0.1 * (1 - std::fabs(qVorher))) return false;
        const double rest = Restweg(s[i - 1], s[i]);
        if (!(rest < restVorher)) return false;
        restVorher = rest;
    }
    return true;
}

// The value a text of FormatNumberComma stands for.
double WertDesTexts(const std::string& text) {
    std::string s;
    for (char c : text)
        if (c != ' ') s += c == ',' ? '.' : c == 'E' ? 'e' : c;
    double v = std::numeric_limits<double>::quiet_NaN();
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
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
    // The last step after which the run went on past kNewtonMaxSchritte
    // for shrinking steadily; 0 while none.
    int stetigBei = 0;
    auto gesetzt = [&](double xs, double restweg, int stillstand) {
        const double weg = 2 * std::max(restweg, 4 * bits(xs));
        return stillstand >= 3 || (std::isfinite(weg) && zahl(xs - weg) == zahl(xs + weg));
    };

    // The steps x(n+1) - x(n) and |x|, |f| of the iterates x(0), x(1), ...
    std::vector<double> schritte, betragX{std::fabs(x)}, betragF{std::fabs(y)};
    // No zero where |f| is far above what it was at an iterate before: a
    // short step there comes from a steep slope (next to a pole), not from
    // a small f.
    std::vector<double> kleinstesF{std::fabs(y)};  // the least |f| up to each iterate
    auto fKlein = [&](size_t i) { return betragF[i] < 1e-10 || i == 0 || betragF[i] <= 1e3 * kleinstesF[i - 1]; };
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

    // The limit of steps that shrink by a ratio that holds: x plus the
    // geometric sum of the steps to come, taken after each of the last few
    // steps. Near a zero of order m the ratio tends to 1 - 1/m as x tends
    // to the zero, and these limits close in on it, each change smaller than
    // the last by about the same factor: what they still change by is how
    // far the last may be off. Limits that scatter are off by as much as
    // they scatter. False where the ratio does not hold well enough.
    auto grenzwert = [&](double& grenze, double& unsicher) {
        constexpr size_t kGrenzen = 5;
        const size_t k = schritte.size();
        if (k < kGrenzen + 2) return false;
        std::array<double, kGrenzen> g{};  // g[0] after the last step
        double xi = x;
        for (size_t j = 0; j < kGrenzen; ++j) {
            const size_t i = k - 1 - j;
            if (schritte[i - 1] == 0 || schritte[i - 2] == 0) return false;
            const double q = schritte[i] / schritte[i - 1], qVorher = schritte[i - 1] / schritte[i - 2];
            const double frei = 1 - std::fabs(q);
            if (!(frei > 0 && std::fabs(q - qVorher) <= 0.1 * frei)) return false;
            g[j] = xi + schritte[i] * q / (1 - q);
            xi -= schritte[i];
        }
        bool schliessen = true;
        double faktor = 0, streuung = 0;
        for (size_t j = 0; j + 2 < kGrenzen; ++j) {
            const double jetzt = g[j] - g[j + 1], vorher = g[j + 1] - g[j + 2];
            schliessen = schliessen && vorher != 0 && (jetzt < 0) == (vorher < 0) &&
                         std::fabs(jetzt) < std::fabs(vorher);
            if (schliessen) faktor = std::max(faktor, jetzt / vorher);
        }
        for (double gj : g) streuung = std::max(streuung, std::fabs(gj - g[0]));
        const bool sicher = schliessen && faktor < 0.99;
        grenze = g[0];
        unsicher = 2 * (sicher ? std::fabs(g[0] - g[1]) * faktor / (1 - faktor) : streuung);
        // Where the factor holds as well (the limits are off by a multiple
        // of the square of the way left, which shrinks by a ratio of its
        // own), the same sum over their changes takes the last closer
        // still, off by what that factor still changes.
        if (sicher) {
            const double d0 = g[0] - g[1], rho = d0 / (g[1] - g[2]);
            double streut = 0;
            for (size_t j = 1; j + 2 < kGrenzen; ++j)
                streut = std::max(streut, std::fabs((g[j] - g[j + 1]) / (g[j + 1] - g[j + 2]) - rho));
            const double frei = 1 - rho;
            const double weiter = 2 * std::fabs(d0) * streut / (frei * frei * frei);
            if (frei > 0 && streut <= 0.1 * frei && weiter < unsicher) {
                grenze = g[0] + d0 * rho / frei;
                unsicher = weiter;
            }
        }
        return std::isfinite(grenze) && std::isfinite(unsicher);
    };
    // The value xs shows when the zero lies within the way w about it: the
    // text of every point there, or where the way crosses the edge between
    // two neighbouring texts, the one whose value lies within the way (a
    // zero at a number the table shows in full, as 1e-4 or 0.1, lies next
    // to such an edge).
    auto gezeigterWert = [&](double xs, double w, double& wert) {
        const double weg = 2 * std::max(w, 4 * bits(xs));
        const std::string unten = zahl(xs - weg), oben = zahl(xs + weg);
        if (!std::isfinite(weg)) return false;
        if (unten == oben) {
            wert = xs;
            return true;
        }
        const double a = WertDesTexts(unten), b = WertDesTexts(oben);
        const std::string mitte = zahl(0.5 * (a + b));
        if (a == b) {
            wert = a;
            return true;
        }
        if (mitte != zahl(a) && mitte != zahl(b)) return false;
        const bool aDrin = a >= xs - weg && a <= xs + weg, bDrin = b >= xs - weg && b <= xs + weg;
        if (aDrin == bDrin) return false;
        wert = aDrin ? a : b;
        return true;
    };
    // x is the zero, within the way `rest`: where that way crosses the edge
    // between two texts, the last x shows the one whose value lies within
    // it (steps down to the last bits of x end next to a zero at 100 or
    // 0.1, whose own text differs from that of the points just below or
    // above it).
    auto amZiel = [&](double rest) {
        double wert = x;
        if (gezeigterWert(x, rest, wert) && wert != x) {
            x = wert;
            e.zeilen.back()[5] = zahl(x);
        }
    };
    // 0 lies within the way w left from xs, and f is 0 there as well.
    auto nullInReichweite = [&](double xs, double w) {
        if (!(std::fabs(xs) <= 2 * std::max(w, 4 * bits(xs)))) return false;
        bool definiert = false;
        const double y0 = FamilienWert(0, 0, t, definiert);
        return definiert && y0 == 0 && !budget.Cut();
    };
    // Where rounding hides the last digits of f, the iteration can go no
    // further. Its x is the zero when what is left of the way cannot change
    // a digit shown. Else, where f rounds to 0 already (a power of high
    // order whose value underflows) but the steps head steadily for their
    // limit, that limit is the zero when it is certain to the digits shown,
    // and the last x shows it. The zero is 0 where f is 0 at 0 and 0 lies
    // within the way left: a zero near 0 is no zero at 0, as the digits of
    // its exponent form show. Else the shown digits cannot be reached.
    auto amEnde = [&](double rest) {
        if (letzteBits(x, rest) || gesetzt(x, rest, 0)) return amZiel(rest);
        double grenze = 0, unsicher = 0, wert = 0;
        const bool hatGrenze = grenzwert(grenze, unsicher);
        if (hatGrenze && gezeigterWert(grenze, unsicher, wert)) {
            x = wert;
        } else if (hatGrenze ? nullInReichweite(grenze, unsicher)
                             : nullInReichweite(x, std::max(rest, std::fabs(schritte.back())))) {
            x = 0;
        } else {
            e.meldung = kKonvergiertNicht;
            return;
        }
        e.zeilen.back()[5] = zahl(x);
    };

    for (int n = 1;; ++n) {
        const double xAlt = x;
        const NewtonSteigung d = yDefiniert ? SteigungFuerSchritt(f, xAlt, y) : NewtonSteigung{};
        if (budget.Cut()) return abbrechen(xAlt);
        // A slope lost in the rounding of f that may be 0, where the step
        // would leave for a million times that rounding away: f' = 0 (at a
        // maximum or minimum where f is far from 0, though below the values
        // the graph shows; above them f may be cut flat at the limit of the
        // term language).
        const bool flach = yDefiniert && d.unscharf && std::fabs(d.wert) <= d.unsicher &&
                           std::fabs(y) > 1e6 * d.unsicher && std::fabs(y) < gOutput.ValueLimitHigh;
        // Else its slope lost in the rounding of f: no step leads on. So
        // too where steps that shrank steadily meet no slope: f there is
        // its rounding noise (a zero of high order of a term that cancels,
        // as (sin(x) - 1)^4), not a corner.
        const bool verrauscht = yDefiniert && !d.existiert && !d.unscharf && SchrumpftStetig(schritte);
        if ((d.unscharf && !flach) || verrauscht) {
            if (schritte.empty()) e.meldung = kKonvergiertNicht;
            else amEnde(Restweg(schritte));
            if (budget.Cut()) return abbrechen(xAlt);
            break;
        }
        const bool definiert = yDefiniert && (d.existiert || flach);
        const bool ableitungNull = definiert && (flach || SteigungNull(d.wert, y));
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
        if (schrittMoeglich && !schritte.empty() && (std::fabs(y) < 1e-10 || std::fabs(schritte.back()) < eps) &&
            fKlein(betragF.size() - 1)) {
            const double rest = std::fabs(schritt) + Restweg(schritte.back(), schritt);
            if (gesetzt(xAlt, rest, letzteBits(xAlt, std::fabs(schritt)) ? bitSchritte + 1 : 0)) {
                x = xAlt;
                amZiel(rest);
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
        kleinstesF.push_back(std::min(kleinstesF.back(), betragF.back()));
        // f(x(n+1)) = 0: no step leads on. Near a zero of higher order f
        // rounds to 0 before x shows the zero, and shrinking steps tell how
        // far it may still be. A step that did not shrink landed on it where
        // it was taken from a value of f above its rounding (f is linear
        // there); from one lost in rounding it is as far off as it is long.
        if (yNeu == 0 || schritt == 0) {
            const double verhaeltnis =
                schritte.size() >= 2 ? std::fabs(schritt / schritte[schritte.size() - 2]) : 1.0;
            const bool gelandet = schritte.size() < 2 || std::fabs(y) >= 1e-10;
            amEnde(verhaeltnis < 1 ? std::fabs(schritt) * verhaeltnis / (1 - verhaeltnis)
                                   : (gelandet ? 0.0 : std::fabs(schritt)));
            if (budget.Cut()) return abbrechen(x);
            break;
        }
        // A step below the last decimal, or a small f(x(n+1)), and steps that
        // shrink so that x(n+1) shows the zero.
        if ((std::fabs(schritt) < eps || std::fabs(yNeu) < 1e-10 || bitSchritte >= 3) &&
            (bitSchritte >= 3 || fKlein(betragF.size() - 1)) && gesetzt(x, Restweg(schritte), bitSchritte)) {
            amZiel(Restweg(schritte));
            break;
        }
        // Divergence is a trend, not one large value: |x| grows by half again
        // and more step after step while |f| does not fall (iterates that
        // bounce about near a flat spot grow now and then, not four times in
        // a row); or f is tiny while the steps keep their length (a flat
        // tail far out, where f tends to 0 but has no zero).
        const bool laeuftWeg = waechst(4, 1.5) && betragF.back() >= 0.9 * betragF[betragF.size() - 5];
        const bool flacherAuslauf = std::fabs(yNeu) < 1e-10 && schritte.size() >= 2 &&
                                    std::fabs(schritt) >= 0.99 * std::fabs(schritte[schritte.size() - 2]);
        // A run that has used up its steps goes on only while it converges
        // steadily, up to a cap for zeros of very high order.
        const bool stetig = n >= kNewtonMaxSchritte && SchrumpftStetig(schritte);
        if (stetig) stetigBei = n;
        const bool schritteAus = n >= kNewtonMaxSchritte && (n >= kNewtonMaxSchritteStetig || !stetig);
        if (laeuftWeg || flacherAuslauf || schritteAus) {
            // One that went on so, and stumbles now in the rounding of f (a
            // power of high order whose values have lost their digits), or
            // reaches the cap, ends as where f rounds to 0.
            if (!laeuftWeg && !flacherAuslauf && stetigBei > 0 && n - stetigBei <= 10) {
                amEnde(Restweg(schritte));
                if (budget.Cut()) return abbrechen(x);
            } else {
                e.meldung = kKonvergiertNicht;
            }
            break;
        }
        y = yNeu;
    }
    e.letztesX = x;
    return e;
}

}  // namespace kalvo
