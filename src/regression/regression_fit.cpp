#include "regression_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fmath.h"
#include "message_sink.h"
#include "models.h"
#include "number_cells.h"
#include "number_text.h"
#include "numlib_state.h"
#include "program_state.h"
#include "sinefit.h"
#include "term.h"

namespace kalvo {

int RegrAnzahl = 0;
TVector RegrX, RegrY;
TVector RegrParameter;

void ResetRegressionModule() {
    RegrAnzahl = 0;
    RegrX.clear();
    RegrY.clear();
    RegrParameter.clear();
}

void Messwerttabelle::Clear() {
    for (auto& s : x) s.clear();
    for (auto& s : y) s.clear();
}

namespace {

int Decimals() { return std::clamp(gRegression.RegressionNachkommastellen, 1, 6); }

// A cell as a number: the plain number it normally holds, else the constant
// term that was typed; false when it is neither.
bool CellNumber(const std::string& text, double& value) {
    const std::string plain = RemoveBlanks(text);
    if (plain.empty()) return false;
    if (ParseDecimal(plain, value)) return true;
    QuietParsing quiet;
    return CellTermValue(plain, value);
}

std::string Pad(std::string s, size_t width) {
    const size_t n = CharCount(s);
    if (n < width) s.append(width - n, ' ');
    return s;
}

std::string Dash() { return std::string(60, '-'); }

double Sign(double v) { return v >= 0 ? 1.0 : -1.0; }

}  // namespace

void QuickSortWertepaare(TVector& x, TVector& y, int lo, int hi) {
    // The smaller part recursively, the larger one in the loop: the depth stays logarithmic.
    while (lo < hi) {
        const double pivot = x[static_cast<size_t>((lo + hi) / 2)];
        int i = lo, j = hi;
        do {
            while (x[static_cast<size_t>(i)] < pivot) ++i;
            while (pivot < x[static_cast<size_t>(j)]) --j;
            if (i <= j) {
                std::swap(x[static_cast<size_t>(i)], x[static_cast<size_t>(j)]);
                std::swap(y[static_cast<size_t>(i)], y[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (j > lo) QuickSortWertepaare(x, y, lo, j);
            lo = i;
        } else {
            if (i < hi) QuickSortWertepaare(x, y, i, hi);
            hi = j;
        }
    }
}

void SortWertepaare(TVector& x, TVector& y, int n) {
    if (n >= 2) QuickSortWertepaare(x, y, 1, n);
}

void Tabellepruefen(Messwerttabelle& t, bool& fehler) {
    const RegressionState& r = gRegression;
    const int modell = r.RegressionModell;

    // Complete rows count; a half row, or a cell that holds no number, empties the row.
    std::array<double, kWertepaarZeilen + 1> wx{}, wy{};
    int count = 0;
    for (int row = 1; row <= kWertepaarZeilen; ++row) {
        double vx = 0, vy = 0;
        const size_t i = static_cast<size_t>(row);
        if (CellNumber(t.x[i], vx) && CellNumber(t.y[i], vy)) {
            ++count;
            wx[static_cast<size_t>(count)] = vx;
            wy[static_cast<size_t>(count)] = vy;
        } else {
            t.x[i].clear();
            t.y[i].clear();
        }
    }
    RegrAnzahl = count;
    if (count == 0) return;
    fehler = false;

    auto fail = [&](const std::string& message) {
        ShowMessage(message, MessageKind::Error);
        fehler = true;
    };
    const int p = std::clamp(r.ZaehlerGrad, 1, 4), q = std::clamp(r.NennerGrad, 1, 4);
    const int grad = std::clamp(r.PolynomGrad, 3, 6);
    if (modell == kModellSinus && count < 5) fail(kMsgMehrWertepaare);
    else if ((modell == 5 || modell == 7 || modell == 10 || modell == kModellQuadratisch) && count < 3)
        fail(kMsgMehrWertepaare);
    else if (modell == 0 && count < 2) fail(kMsgMehrWertepaare);
    else if (modell == 3 && p + q + 1 > count) fail(std::string(kMsgMehrWertepaare) + "\nz>=Grad p + Grad q + 1");
    else if (modell == 2 && grad >= count) fail(std::string(kMsgMehrWertepaare) + "\nz>=Grad p + 1");
    if (fehler) return;

    if (modell == 7) {
        for (int i = 1; i <= count; ++i)
            if (wx[static_cast<size_t>(i)] < 0) {
                fail("x-Werte:\nx >= 0");
                return;
            }
        for (int i = 1; i <= count; ++i)
            if (wx[static_cast<size_t>(i)] == 0 && wy[static_cast<size_t>(i)] != 0) {
                fail("für x = 0 muss y = 0 festgelegt werden!");
                return;
            }
    }

    TVector sx(wx.begin(), wx.begin() + count + 1), sy(wy.begin(), wy.begin() + count + 1);
    SortWertepaare(sx, sy, count);

    AllocVector(RegrX, count);
    AllocVector(RegrY, count);
    RegressionState& shared = gRegression;
    for (int row = 1; row <= kWertepaarZeilen; ++row) {
        const size_t i = static_cast<size_t>(row);
        if (row > count) {
            t.x[i].clear();
            t.y[i].clear();
        } else {
            t.x[i] = GeneralNumberText(sx[i]);
            t.y[i] = GeneralNumberText(sy[i]);
            RegrX[i] = sx[i];
            RegrY[i] = sy[i];
        }
        shared.MesswertTexteX[i] = t.x[i];
        shared.MesswertTexteY[i] = t.y[i];
    }
}

namespace {

std::string Num(int d, double v) { return FormatNumberCommaTight(d, v); }
std::string Signed(int d, double v) { return (v >= 0 ? "+" : "") + Num(d, v); }

double LargestMagnitude(const TVector& v, int N) {
    double m = 0;
    for (int i = 1; i <= N; ++i) m = std::max(m, std::fabs(v[static_cast<size_t>(i)]));
    return m;
}

// How much the fitted values change over the data when parameter k is left
// out (set to 0); not finite counts as a large change.
template <typename Params, typename Value>
double EffectOverData(Params P, size_t k, const Value& value, const TVector& X, int N) {
    double worst = 0;
    for (int i = 1; i <= N; ++i) {
        const double x = X[static_cast<size_t>(i)];
        const double with = value(P, x);
        const double keep = P[k];
        P[k] = 0;
        const double without = value(P, x);
        P[k] = keep;
        const double change = std::fabs(with - without);
        worst = std::isnan(change) ? std::numeric_limits<double>::infinity() : std::max(worst, change);
    }
    return worst;
}

}  // namespace

double ProtokollRauschfrei(double v, double scale) {
    return std::fabs(v) <= kParameterRauschen * scale ? 0.0 : v;
}

void ParameterBereinigen(int modell, TVector& B, const TVector& X, const TVector& Y, int N) {
    if (N < 1 || !Covers(X, N) || !Covers(Y, N)) return;
    const double scale = LargestMagnitude(Y, N);
    // Leaving a parameter out may drive the model into a math error; that
    // says nothing about the fit, which has been judged already.
    const int32_t mathErr = MathErr, sticky = StickyMathErr;
    const bool fitError = FitErrorFlag;
    if (modell == kModellSinus) {
        auto& P = SinusFit.SinusParameter;
        TSinusParams Q{0, P[0], P[1], P[2], P[3]};
        // The sine fit iterates to a looser tolerance than the linear models solve.
        std::array<bool, 4> noise{};
        for (size_t k = 0; k < 4; ++k)
            noise[k] = EffectOverData(Q, k + 1, SinusModell, X, N) <= kSinusParameterRauschen * scale;
        for (size_t k = 0; k < 4; ++k)
            if (noise[k]) P[k] = 0;
    } else if (ModelKnown(modell)) {
        const int first = ModelFirstParamIndex(), last = ModelLastParamIndex();
        if (first >= 0 && Covers(B, last)) {
            auto value = [](const TVector& P, double x) { return ModelValue(P, x); };
            std::vector<bool> noise(static_cast<size_t>(last) + 1, false);
            for (int k = first; k <= last; ++k)
                noise[static_cast<size_t>(k)] =
                    EffectOverData(B, static_cast<size_t>(k), value, X, N) <= kParameterRauschen * scale;
            for (int k = first; k <= last; ++k)
                if (noise[static_cast<size_t>(k)]) B[static_cast<size_t>(k)] = 0;
        }
    }
    MathErr = mathErr;
    StickyMathErr = sticky;
    FitErrorFlag = fitError;
}

Regressionsterm BuildRegressionsterm(int modell, TVector& B, const RegressionsStatistik& statistik, int d) {
    if (d <= 0) d = Decimals();
    Regressionsterm out;
    std::string& s = out.Term;
    if (modell == kModellSinus) {
        const auto& P = SinusFit.SinusParameter;
        s = Num(d, P[0]) + "*sin(" + Num(d, P[1]) + "*x" + Signed(d, P[2]) + ")" + Signed(d, P[3]);
        out.Funktionstext = "f(x) = " + RemoveBlanks(s);
        out.r = SinusKorrelation;
        out.rQuadrat = SinusKorrelation * SinusKorrelation;
    } else {
        const int first = ModelFirstParamIndex(), last = ModelLastParamIndex();
        auto b = [&](int i) -> double& { return B[static_cast<size_t>(i)]; };
        auto polynom = [&](int from, int to, int shift) {
            std::string p;
            for (int i = from; i <= to; ++i) {
                if (i - shift == 0) p += Num(d, b(i));
                else p += Signed(d, b(i)) + "x^" + std::to_string(i - shift);
            }
            return p;
        };
        switch (modell) {
            case 0: s = Num(d, b(1)) + "*x" + Signed(d, b(0)); break;
            case 9: s = Num(d, b(0)) + "*x"; break;
            case 2: s = polynom(first, last, 0); break;
            case 3: {
                const int p = std::clamp(gRegression.ZaehlerGrad, 1, 4);
                s = "(" + polynom(first, p, 0) + ")/(1" + polynom(p + 1, last, p) + ")";
                break;
            }
            case 4: s = Num(d, b(1)) + "*exp(" + Num(d, -b(2)) + "*x)"; break;
            case 5:
                s = Num(d, b(2) * b(0)) + (b(0) >= 0 ? "-" + Num(d, b(0)) : "+" + Num(d, -b(0))) + "*exp(" +
                    Num(d, -b(1)) + "*x)";
                break;
            case 7: s = Num(d, b(0)) + "*x^" + Num(d, b(1)); break;
            case 10: s = Num(d, b(1)) + "/(1+exp(" + Num(d, -b(2)) + "*x" + Signed(d, b(3)) + "))"; break;
            default: break;
        }
        out.Funktionstext = "y = " + RemoveBlanks(s);
        double q = statistik.RSquared;
        if (q > 1) q = 1 / q;
        q = std::max(q, 0.0);
        out.rQuadrat = q;
        out.r = std::sqrt(q);
        if (modell == 0) out.r *= Sign(b(1));
        if (modell == 9) out.r *= Sign(b(0));
    }
    out.Korrelationstext = "Korrelationskoeffizient: r = " + FormatNumberComma(d, out.r);
    return out;
}

bool SetRegressionTermF(int modell, TVector& B, const RegressionsStatistik& statistik) {
    if (!gRegression.RegressionsgraphZeichnen) {
        gTerms.TermF = "";
        return true;
    }
    // A term cut to the length of f(x) would be a different term, or none.
    for (int d = Decimals(); d >= 1; --d) {
        const std::string term = NormalizeTermText(BuildRegressionsterm(modell, B, statistik, d).Term);
        if (CharCount(term) <= kTermChars) {
            gTerms.TermF = term;
            return true;
        }
    }
    return false;
}

FitErgebnis calculate_fit(bool mitProtokoll) {
    FitErgebnis out;
    const int N = RegrAnzahl;
    if (N < 1 || !Covers(RegrX, N) || !Covers(RegrY, N)) return out;
    const int modell = gRegression.RegressionModell;
    RegressionsStatistik statistik;
    TVector B, Ycalc;
    int fitModell = modell;

    // A math error anywhere in the fit, not only in its last guarded call, makes it unusable.
    StickyMathErr = 0;
    if (modell == kModellSinus) {
        if (SinusRegression(RegrX, RegrY, N) != 0 || StickyMathErr != 0) {
            ShowMessage(kMsgFitUnmoeglich, MessageKind::Error);
            return out;
        }
        Ycalc = SinusKurve;
        statistik.ResidualVariance = SinusChiQuadrat;
    } else {
        TVector opt(3, 0.0);
        switch (modell) {
            case kModellQuadratisch: fitModell = 2; opt[0] = 2; break;
            case 2: opt[0] = std::clamp(gRegression.PolynomGrad, 3, 6); break;
            case 3:
                opt[0] = std::clamp(gRegression.ZaehlerGrad, 1, 4);
                opt[1] = std::clamp(gRegression.NennerGrad, 1, 4);
                opt[2] = 1;
                break;
            case 4: opt[0] = 1; opt[1] = 0; break;
            default: break;
        }
        if (!ModelKnown(fitModell)) return out;
        SetFitModel(fitModell, 0, opt);
        const int first = ModelFirstParamIndex(), last = ModelLastParamIndex();
        TVector Bmin, Bmax, VrOut, S;
        TMatrix V;
        AllocVector(B, last);
        AllocVector(Bmin, last);
        AllocVector(Bmax, last);
        for (int i = first; i <= last; ++i) {
            Bmin[static_cast<size_t>(i)] = -10000.0;
            Bmax[static_cast<size_t>(i)] = 10000.0;
        }
        AllocMatrix(V, last, last);
        AllocVector(Ycalc, N);
        AllocVector(S, N);
        AllocVector(VrOut, WeightModeClass(0));
        FitErrorFlag = false;
        MathErr = 0;
        StickyMathErr = 0;
        const int code = FitData(RegrX, TVector{}, RegrY, N, true, 100, 0.001, VrOut, B, Bmin, Bmax, V, Ycalc, S,
                                 statistik);
        bool usable = code == 0 && MathErr == 0 && StickyMathErr == 0 && !FitErrorFlag;
        for (int i = first; i <= last && usable; ++i) usable = std::isfinite(B[static_cast<size_t>(i)]);
        for (int i = 1; i <= N && usable; ++i) usable = std::isfinite(Ycalc[static_cast<size_t>(i)]);
        if (!usable) {
            ShowMessage(kMsgFitUnmoeglich, MessageKind::Error);
            return out;
        }
    }

    ParameterBereinigen(fitModell, B, RegrX, RegrY, N);
    if (!SetRegressionTermF(fitModell, B, statistik)) {
        ShowMessage("Der angepasste Funktionsterm ist zu lang für f(x).", MessageKind::Error);
        return out;
    }
    const Regressionsterm term = BuildRegressionsterm(fitModell, B, statistik);
    if (modell != kModellSinus) RegrParameter = B;
    out.ok = true;
    out.Funktionstext = term.Funktionstext;
    out.Korrelationstext = term.Korrelationstext;
    if (mitProtokoll) out.Protokoll = WriteProtokoll(fitModell, N, RegrX, RegrY, Ycalc, statistik, B, term);
    return out;
}

std::string ProtokollTabellenkopf() {
    return Pad("    x", 15) + Pad(" y gemessen", 15) + Pad("y berechnet", 15) + Pad("  delta y", 15);
}

std::vector<std::string> WriteProtokoll(int modell, int N, const TVector& X, const TVector& Y, const TVector& Ycalc,
                                        const RegressionsStatistik& statistik, const TVector& B,
                                        const Regressionsterm& term) {
    const int d = Decimals();
    auto num = [d](double v) { return FormatNumberComma(d, v); };
    // Parameters have been cleaned by their effect and the measured values are
    // what was typed: no absolute cut to 0 for them. Fitted values, deviations
    // and s lose only what is rounding noise at the scale of the data.
    auto exact = [d](double v) { return FormatNumberCommaBlanks(d, v); };
    double scale = 0;
    for (int i = 1; i <= N; ++i)
        if (static_cast<size_t>(i) < Y.size()) scale = std::max(scale, std::fabs(Y[static_cast<size_t>(i)]));
    auto fitted = [d, scale](double v) { return FormatNumberCommaBlanks(d, ProtokollRauschfrei(v, scale)); };
    auto b = [&B](int i) { return i >= 0 && static_cast<size_t>(i) < B.size() ? B[static_cast<size_t>(i)] : 0.0; };
    std::vector<std::string> lines;
    auto param = [&](const std::string& name, double v) { lines.push_back(Pad("   " + name + " = ", 9) + Pad(exact(v), 15)); };

    lines.push_back(modell == kModellSinus ? "Regressionsmodell: f(x)=a sin(bx + c)+ d"
                                           : "Regressionsmodell: " + ModelFormula());
    lines.push_back(Dash());
    lines.push_back(Pad("Anpassungsparameter", 24));
    lines.push_back(Dash());
    switch (modell) {
        case kModellSinus: {
            const auto& P = SinusFit.SinusParameter;
            param("a", P[0]);
            param("b", P[1]);
            param("c", P[2]);
            param("d", P[3]);
            break;
        }
        case 4: param("a", b(1)); param("b", -b(2)); break;
        case 5: param("a", b(0)); param("b", -b(1)); param("c", b(2) * b(0)); break;
        case 9: param("m", b(0)); break;
        case 10:
            param("a", b(1));
            param("b", -b(2));
            param("c", b(3));
            // The pairs the estimate could not take: on a level, or beyond 0.
            if (EstimateLeftOut > 0)
                lines.push_back(IntToText(EstimateLeftOut) + (EstimateLeftOut == 1 ? " Wertepaar" : " Wertepaare") +
                                " nicht in der Schätzung (y nicht zwischen 0 und a)");
            break;
        default:
            if (modell == 2 && ModelLastParamIndex() == 2) {
                param("a", b(2));
                param("b", b(1));
                param("c", b(0));
            } else {
                for (int i = ModelFirstParamIndex(); i <= ModelLastParamIndex(); ++i) param(ModelParamName(i), b(i));
            }
            break;
    }
    lines.push_back(Dash());
    lines.push_back("Korrelationskoeffizient: r = " + num(term.r));
    lines.push_back(std::string(24, ' ') + "r² = " + num(term.rQuadrat));
    lines.push_back("");
    lines.push_back("Messwerte");
    lines.push_back(Dash());
    lines.push_back(ProtokollTabellenkopf());
    lines.push_back(Dash());
    for (int i = 1; i <= N; ++i) {
        auto at = [i](const TVector& v) { return static_cast<size_t>(i) < v.size() ? v[static_cast<size_t>(i)] : 0.0; };
        lines.push_back(Pad(exact(at(X)), 15) + Pad(exact(at(Y)), 15) + Pad(fitted(at(Ycalc)), 15) +
                        Pad(fitted(at(Y) - at(Ycalc)), 15));
    }
    lines.push_back(Dash());
    lines.push_back("Standardabweichung: s = " + fitted(std::sqrt(std::max(statistik.ResidualVariance, 0.0))));
    lines.push_back(kProtokollEnde);
    return lines;
}

}  // namespace kalvo
