#pragma once
// Grids from a formula, and an engine whose drawing lands on a recording
// canvas (the printer target with factor 1), so that tests see every call.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <tuple>
#include <vector>

#include "canvas_recording.h"
#include "grafik3d.h"

namespace kalvo {

inline TFlaeche Gitter(int n, int m, const std::function<TSurfPoint(int, int)>& punkt) {
    TFlaeche f(n, m);
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= m; ++j) {
            const TSurfPoint p = punkt(i, j);
            f.Make(i, j, p.x, p.y, p.z);
        }
    return f;
}

// z = f(x, y) over -3..3 in both directions.
inline TFlaeche Funktionsflaeche(int n, const std::function<double(double, double)>& z) {
    return Gitter(n, n, [&](int i, int j) {
        const double x = -3 + 6.0 * i / n, y = -3 + 6.0 * j / n;
        return TSurfPoint{x, y, z(x, y)};
    });
}

// A point and the box of the world coordinates as comparable values.
inline std::tuple<double, double, double> Xyz(const Vec3& v) { return {v.x, v.y, v.z}; }
inline std::array<double, 6> Box(const Grafik3DEngine& g) { return {g.x1(), g.xw(), g.y1(), g.yw(), g.z1(), g.zw()}; }

struct AufgezeichneteSzene {
    Grafik3DEngine g;
    RecordingCanvas rec;
    AufgezeichneteSzene(int w = 600, int h = 600) {
        g.Groesse(w, h);
        g.SetDrucker(&rec, 1, 1);
        g.DefGrafikAusgabe(tAusgabe::Drucker);
    }
    std::vector<CanvasRecord> Alle(CanvasRecord::Kind kind) {
        std::vector<CanvasRecord> r;
        for (const CanvasRecord& c : rec.Records())
            if (c.kind == kind) r.push_back(c);
        return r;
    }
};

}  // namespace kalvo
