#include "surface_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "canvas.h"
#include "grafik3d.h"
#include "number_text.h"
#include "scene3d.h"
#include "term.h"

namespace kalvo {

int ZerlegungAusText(std::string_view text) {
    int n = kStandardZerlegung;
    ReadWholeNumber(text, n);
    if (n < kMinZerlegung) return kStandardZerlegung;
    return std::min(n, kMaxZerlegung);
}

void BereichPruefen(double& min, double& max, bool parameter) {
    if (min > max) std::swap(min, max);
    // A range that is not a number is as useless as one without width.
    if (!(std::fabs(max - min) >= 1e-5) || !std::isfinite(max - min)) {
        const double w = parameter ? std::numbers::pi : 3.0;
        min = -w;
        max = w;
    }
}

std::unique_ptr<TFlaeche> FlaecheBerechnen(bool parameter, int n, double u1, double u2, double v1, double v2) {
    // The window's own Qt calls may have left the vector registers in the
    // state that slows the evaluator down.
    ClearUpperVectorState();
    n = std::clamp(n, 1, TFlaeche::kMaxIndex);
    auto gitter = std::make_unique<TFlaeche>(n, n);
    for (int i = 0; i <= n; ++i) {
        const double u = (u2 - u1) * i / n + u1;
        for (int j = 0; j <= n; ++j) {
            const double v = (v2 - v1) * j / n + v1;
            if (parameter)
                gitter->Make(i, j, EvalParamTerm1(u, v), EvalParamTerm2(u, v), EvalParamTerm3(u, v));
            else
                gitter->Make(i, j, u, v, EvalSurfaceTerm(u, v));
        }
    }
    return gitter;
}

void WeltkoordinatenFestlegen(Grafik3DEngine& g, const TFlaeche& gitter) {
    double lo[3] = {1e20, 1e20, 1e20}, hi[3] = {-1e20, -1e20, -1e20};
    for (int i = 0; i <= gitter.xMasche(); ++i)
        for (int j = 0; j <= gitter.yMasche(); ++j) {
            const TSurfPoint p = gitter.D3Point(i, j);
            const double w[3] = {p.x, p.y, p.z};
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], w[k]);
                hi[k] = std::max(hi[k], w[k]);
            }
        }
    if (std::fabs(hi[2] - lo[2]) < 1e-5) {
        lo[2] -= 1e-5;
        hi[2] += 1e-5;
    }
    for (int k = 0; k < 2; ++k)
        if (lo[k] == hi[k]) {
            lo[k] -= 1;
            hi[k] += 1;
        }
    g.DefiniereWeltkoordinaten(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
}

}  // namespace kalvo
