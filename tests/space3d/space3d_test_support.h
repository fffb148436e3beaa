#pragma once
// Grids from a formula, and an engine whose drawing lands on a recording
// canvas (the printer target with factor 1), so that tests see every call.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <tuple>
#include <vector>

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>

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

// The rectangle of a picture's pixels that are not white.
inline QRect Inhalt(const QImage& bild) {
    QRect r;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            if (qGray(bild.pixel(x, y)) < 250) r |= QRect(x, y, 1, 1);
    return r;
}

// A printed 3D picture as poppler renders the PDF page: it lies on the page
// with room to spare, and it is the screen picture at one scale (cm per
// screen pixel, or when 0 the scale the page shows across), not a part of it.
inline void SeiteZeigtDasBild(const QString& pdf, const QImage& bildschirm, double cmProPixel = 0,
                              double* breiteCm = nullptr) {
    constexpr int kDpi = 40;
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {"-r", QString::number(kDpi), "-png", "-singlefile", pdf, pdf + ".seite"});
    ASSERT_TRUE(p.waitForFinished(20000)) << "poppler-utils are missing: tools/install-deps installs them";
    const QImage seite(pdf + ".seite.png");
    ASSERT_FALSE(seite.isNull());
    const QRect gedruckt = Inhalt(seite), gezeigt = Inhalt(bildschirm);
    ASSERT_FALSE(gezeigt.isEmpty());
    ASSERT_FALSE(gedruckt.isEmpty());
    EXPECT_TRUE(gedruckt.left() > 0 && gedruckt.top() > 0 && gedruckt.right() < seite.width() - 1 &&
                gedruckt.bottom() < seite.height() - 1);
    const double cm = 2.54 / kDpi;
    const double massstab = cmProPixel > 0 ? cmProPixel : gedruckt.width() * cm / gezeigt.width();
    EXPECT_NEAR(gedruckt.width() * cm, gezeigt.width() * massstab, 0.4);
    EXPECT_NEAR(gedruckt.height() * cm, gezeigt.height() * massstab, 0.4);
    if (breiteCm) *breiteCm = gedruckt.width() * cm;
}

}  // namespace kalvo
