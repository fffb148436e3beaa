#include "solid_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "analysis_state.h"
#include "canvas.h"
#include "grafik3d.h"
#include "integration.h"
#include "work_budget.h"
#include "number_text.h"
#include "plot_support.h"
#include "scene3d.h"

namespace kalvo {

namespace {

// A full turn as the meshes have always used it.
constexpr double kVollerWinkel = 6.283185308;

double Radius(double x, double t, const NRange& n) {
    bool definiert = false;
    const double r = NSum(0, x, t, n, definiert);
    return definiert ? r : 0.0;
}

TSurfPoint Knoten(const Koerperdaten& k, double x, double r, double w) {
    if (k.umYAchse) return {x * std::sin(w), x * std::cos(w), r};
    return {x, r * std::sin(w), r * std::cos(w)};
}

}  // namespace

void KoerperGrenzenPruefen(double& a, double& b) {
    if (a > b) std::swap(a, b);
    if (!(std::fabs(b - a) >= 1e-5) || !std::isfinite(b - a)) {
        a = 0;
        b = 1;
    }
}

int KoerperIterationenAusText(const std::string& text) {
    int n = kStandardKoerperIterationen;
    ReadWholeNumber(text, n);
    return static_cast<int>(std::min<long long>(std::llabs(n), kMaxKoerperIterationen));
}

std::unique_ptr<TFlaeche> BuildKoerper(const Koerperdaten& k) {
    ClearUpperVectorState();  // after the window's own Qt calls
    const int n = std::clamp(k.n, 1, TFlaeche::kMaxIndex - 2);
    const NRange nBereich = CurrentNRange();
    const int zeilen = k.geschlossen ? n + 2 : n;
    auto netz = std::make_unique<TFlaeche>(zeilen, n);
    std::vector<double> winkel(static_cast<size_t>(n) + 1);
    for (int j = 0; j <= n; ++j) winkel[static_cast<size_t>(j)] = kVollerWinkel * ((k.u2 - k.u1) * j / n + k.u1);

    for (int i = 0; i <= zeilen; ++i) {
        const bool deckel = k.geschlossen && (i == 0 || i == zeilen);
        double x;
        if (!k.geschlossen)
            x = (k.b - k.a) * i / n + k.a;
        else if (i == 0)
            x = k.a;
        else if (i == zeilen)
            x = k.b;
        else
            x = (k.b - k.a) * (i - 1) / n + k.a;
        const double r = Radius(x, k.t, nBereich);
        for (int j = 0; j <= n; ++j) {
            TSurfPoint p;
            if (!deckel)
                p = Knoten(k, x, r, winkel[static_cast<size_t>(j)]);
            else if (k.umYAchse)
                p = {0, 0, r};  // the centre of the top or bottom disc
            else
                p = {x, 0, 0};  // the end of the solid on the axis
            netz->Make(i, j, p.x, p.y, p.z);
        }
    }
    return netz;
}

void KoerperWeltkoordinaten(Grafik3DEngine& g, const TFlaeche& netz) {
    double lo[3] = {1e20, 1e20, 1e20}, hi[3] = {-1e20, -1e20, -1e20};
    for (int i = 0; i <= netz.xMasche(); ++i)
        for (int j = 0; j <= netz.yMasche(); ++j) {
            const TSurfPoint p = netz.D3Point(i, j);
            const double w[3] = {p.x, p.y, p.z};
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], w[k]);
                hi[k] = std::max(hi[k], w[k]);
            }
        }
    if (lo[2] == hi[2]) {
        lo[2] -= 1;
        hi[2] += 1;
    }
    g.DefiniereWeltkoordinaten(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
}

Rauminhalte KoerperVolumen(int, double t, double a, double b, int nachkommastellen) {
    ClearUpperVectorState();
    Rauminhalte r;
    const Ergebnistext text = [nachkommastellen](double v) { return VolumenText(v, nachkommastellen); };
    WorkBudget budget(kWaitSeconds);
    const Integralwert v1 = Integrieren(kIntegrandQuadrat, t, a, b, text, kWaitSeconds / 2);
    const Integralwert v2 = IntegralX2Ableitung(t, a, b, text, kWaitSeconds);
    r.v1 = v1.wert;
    r.v2 = v2.wert;
    r.v1Undefiniert = v1.undefiniert;
    r.v2Undefiniert = v2.undefiniert;
    r.v1Abgebrochen = v1.abgebrochen;
    r.v2Abgebrochen = v2.abgebrochen;
    r.abgebrochen = v1.abgebrochen || v2.abgebrochen;
    return r;
}

std::string VolumenText(double v, int nachkommastellen) {
    std::string s = FormatNumberComma(nachkommastellen, v);
    const size_t anfang = s.find_first_not_of(' ');
    const size_t ende = s.find_last_not_of(' ');
    s = anfang == std::string::npos ? std::string() : s.substr(anfang, ende - anfang + 1);
    return s + "\xE2\x80\xA2" "pi [VE]";
}

int KoerperPhiAnzeige(double zrot) {
    const int r = RoundToInt(zrot + 90) % 360;
    const int m = r < 0 ? r + 360 : r;
    return (360 - m) % 360;
}

double KoerperZrotAusPhi(double phi) { return 270 - std::fabs(phi); }

}  // namespace kalvo
