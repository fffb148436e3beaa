#include "numeric_tables.h"

#include <algorithm>
#include <cmath>

#include "curves.h"
#include "number_text.h"
#include "program_state.h"

namespace kalvo {

double FamilienWert(int order, double x, double t, bool& definiert) {
    const ParameterState& p = gParams;
    const double y = EvalSumOverN(order, x, t, SumStartIndex(), static_cast<double>(p.FgSummeBis),
                                  static_cast<double>(p.FgSummeSchrittweite));
    definiert = gTerms.TermOK && std::isfinite(y);
    return std::isfinite(y) ? y : 0.0;
}

namespace {

double Wert(int order, double x, double t) {
    bool definiert = false;
    return FamilienWert(order, x, t, definiert);
}

}  // namespace

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
    double x = e.von;
    // Counted by rows: a step that rounds away leaves x where it is, and
    // the table then shows the same x in every row.
    for (int r = 1; r <= kWertetabelleMaxZeilen; ++r) {
        x = RoundToDecimals(dezimalen, x);
        WertetabelleZeile zeile;
        zeile[0] = FormatNumberCommaBlanks(dezimalen, x);
        bool definiert = false;
        const double y = FamilienWert(0, x, e.t, definiert);
        if (definiert && std::fabs(y) < 1e20) {
            zeile[1] = FormatNumberComma(dezimalen, y);
            for (int k = 1; k <= 3; ++k) zeile[static_cast<size_t>(k) + 1] = FormatNumberComma(dezimalen, Wert(k, x, e.t));
        } else {
            zeile[1] = definiert ? "|f(x)|>1O^20" : " nicht def.";
        }
        tabelle.zeilen.push_back(std::move(zeile));
        x += e.schritt;
        if (!(x <= e.bis)) break;
    }
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
    bool definiert = false;
    double y = FamilienWert(0, x, t, definiert);
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

    double d = 0;
    bool divergiert = false;
    for (int n = 1;; ++n) {
        const double xAlt = x;
        bool yDefiniert = false, dDefiniert = false;
        y = FamilienWert(0, xAlt, t, yDefiniert);
        d = FamilienWert(1, xAlt, t, dDefiniert);
        definiert = yDefiniert && dDefiniert;
        NewtonZeile zeile;
        if (definiert && std::fabs(d) > 1e-12 && std::fabs(y) < grenze) {
            const double q = y / d;
            x = xAlt - q;
            zeile = {IntToText(n - 1), zahl(xAlt), zahl(y), zahl(d), zahl(q), zahl(x)};
            y = FamilienWert(0, x, t, definiert);
        }
        e.zeilen.push_back(std::move(zeile));
        divergiert = std::fabs(x) > 1e6 || std::fabs(y) >= grenze || !std::isfinite(x);
        if (!definiert || std::fabs(xAlt - x) < eps || std::fabs(y) < 1e-10 || divergiert || n == kNewtonMaxSchritte) {
            e.letztesX = x;
            if (std::fabs(d) < 1e-12) e.meldung = kAbleitungNull;
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
