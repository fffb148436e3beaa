#include "numeric_tables.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "curves.h"
#include "number_text.h"
#include "program_state.h"
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

NewtonErgebnis NewtonBerechnen(double x, double t, int dezimalen) {
    NewtonErgebnis e;
    dezimalen = std::clamp(dezimalen, 1, 7);
    const double grenze = gOutput.ValueLimitHigh;
    WorkBudget budget(kWaitSeconds);
    auto abbrechen = [&e](double letztes) {
        e.abgebrochen = true;
        e.meldung = kBerechnungAbgebrochen;
        e.letztesX = letztes;
        return e;
    };
    bool definiert = false;
    double y = FamilienWert(0, x, t, definiert);
    if (budget.Cut()) return abbrechen(x);
    // Where f is undefined its value reads 0; that is no zero, and the first
    // step reports it.
    if (definiert && std::fabs(y) < 1e-12) {
        e.startwertIstNullstelle = true;
        e.meldung = kStartwertIstNullstelle;
        e.letztesX = x;
        return e;
    }
    const double eps = std::pow(10.0, -dezimalen);
    auto zahl = [dezimalen](double v) { return FormatNumberComma(dezimalen, v); };
    // f' as the table shows it: right to its decimals, and only where it exists.
    auto ableitung = [t, dezimalen](double xs, bool& ok) {
        const ShownDerivative a = ShownDerivatives(FamilienFunktion(t), xs, 1, DecimalsUnit(dezimalen, 1e-10))[0];
        ok = a.defined;
        return a.value;
    };
    // A small |f| alone is no zero: far out on a decaying tail f is tiny
    // everywhere. The iterate has settled when the step still to come stays
    // below the last decimal shown.
    auto gesetzt = [&](double xs, double ys) {
        if (ys == 0) return true;
        bool ok = false;
        const double ds = ableitung(xs, ok);
        return ok && ds != 0 && std::fabs(ys / ds) <= eps * std::max(1.0, std::fabs(xs));
    };

    bool divergiert = false, ableitungNull = false;
    double vorigerSchritt = std::numeric_limits<double>::quiet_NaN();
    for (int n = 1;; ++n) {
        const double xAlt = x;
        bool yDefiniert = false, dDefiniert = false;
        y = FamilienWert(0, xAlt, t, yDefiniert);
        const double d = ableitung(xAlt, dDefiniert);
        definiert = yDefiniert && dDefiniert;
        // Only a derivative that vanishes against f stops the steps; on a
        // flat tail f and f' are tiny together and the step is sound.
        ableitungNull = definiert && !(std::fabs(d) > 1e-12 || (d != 0 && std::fabs(y) <= std::fabs(d) * 1e6));
        NewtonZeile zeile;
        double q = 0;
        if (definiert && !ableitungNull && std::fabs(y) < grenze) {
            q = y / d;
            x = xAlt - q;
            zeile = {IntToText(n - 1), zahl(xAlt), zahl(y), zahl(d), zahl(q), zahl(x)};
            y = FamilienWert(0, x, t, definiert);
        }
        e.zeilen.push_back(std::move(zeile));
        divergiert = std::fabs(x) > 1e6 || std::fabs(y) >= grenze || !std::isfinite(x);
        const bool klein = definiert && !divergiert && std::fabs(y) < 1e-10;
        const bool nullstelle = klein && gesetzt(x, y);
        // Steps that neither settle nor shrink while f is tiny: the
        // iteration runs down a flat tail (a zero of any multiplicity
        // shrinks them by a fixed factor clearly below 1).
        if (klein && !nullstelle && std::fabs(q) >= 0.99 * std::fabs(vorigerSchritt)) divergiert = true;
        vorigerSchritt = q;
        // Values the budget did not pay for read as undefined: the step is not shown.
        if (budget.Cut()) {
            e.zeilen.pop_back();
            return abbrechen(xAlt);
        }
        if (!definiert || std::fabs(xAlt - x) < eps || nullstelle || divergiert || n == kNewtonMaxSchritte) {
            e.letztesX = x;
            if (ableitungNull) e.meldung = kAbleitungNull;
            // Running away is no convergence either, and must not look like
            // a result.
            if (n == kNewtonMaxSchritte || (divergiert && definiert)) e.meldung = kKonvergiertNicht;
            if (!definiert) e.meldung = PointToComma(FormatNumberWide(8, x)) + kNichtDefiniert;
            break;
        }
    }
    return e;
}

}  // namespace kalvo
