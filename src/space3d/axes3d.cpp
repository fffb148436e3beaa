// Orientation aids around a surface: box edges, axes with arrow heads,
// labels and ticks, and the axis cross through the origin. Fixed pixel
// distances (arrow wings, tick lengths, label gaps) grow with the output
// factors, so a recording or a print looks like the screen.

#include <algorithm>
#include <charconv>
#include <cmath>

#include "grafik3d.h"
#include "number_text.h"

namespace kalvo {

namespace {

// No axis gets more ticks than this, whatever its box.
constexpr int kMaxTicks = 200;

int Runde(double v) { return ToDevice(v, 1.0); }

// The pen of the axes and the font of their labels in the axis colour; a
// metafile gets the letters twice as large.
Canvas& AchsenStift(Grafik3DEngine& g, int linienart, Color farbe) {
    Canvas& c = g.Ziel();
    c.SetPen(farbe & 0xFFFFFF, std::clamp(linienart, 0, 255), PenStyle::Solid);
    CanvasFont schrift = g.Schrift();
    schrift.color = farbe & 0xFFFFFF;
    if (g.RecordMetafile()) schrift.size *= 2;
    c.SetFont(schrift);
    return c;
}

}  // namespace

double Skalenschritt(double w, bool zAchse) {
    const double aw = std::fabs(w);
    if (!(aw > 0) || !std::isfinite(aw)) return 0;
    int n = static_cast<int>(std::trunc(std::log10(aw)));
    if (aw < 1) --n;
    double p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    for (int i = 0; i > n; --i) p /= 10;
    const double r = aw / p;
    if (!(p > 0) || !std::isfinite(r)) return 0;
    if (zAchse) return r < 2 ? 0.5 * p : r < 5 ? p : 2 * p;
    return r < 2 ? 0.2 * p : r < 5 ? 0.5 * p : p;
}

std::vector<double> Skalenwerte(double min, double w, double step) {
    std::vector<double> werte;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(min) || !std::isfinite(w)) return werte;
    const double q = min / step;
    if (!std::isfinite(q)) return werte;
    double k = std::nearbyint(q);
    // The first tick lies strictly above the minimum.
    for (int n = 0; n < kMaxTicks && k * step <= min; ++n) k += 1;
    int n = 0;
    do {
        werte.push_back(k * step + 0.0);  // no "-0"
        k += 1;
    } while (++n < kMaxTicks && k * step < min + w);
    return werte;
}

// Fixed form while the digits fit, else mantissa and exponent as "1,5E4".
std::string Skalentext(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v + 0.0, std::chars_format::general, 3);
    std::string t(buf, r.ptr);
    const size_t e = t.find('e');
    if (e != std::string::npos) {
        int exponent = 0;
        std::from_chars(t.data() + e + 2, t.data() + t.size(), exponent);
        if (t[e + 1] == '-') exponent = -exponent;
        t = t.substr(0, e) + "E" + std::to_string(exponent);
    }
    return PointToComma(t);
}

void Grafik3DEngine::Linie3D(double x1, double y1, double z1, double x2, double y2, double z2) {
    const CanvasPoint a = WeltToPixel(x1, y1, z1), b = WeltToPixel(x2, y2, z2);
    // Back to the start, so that both end pixels are set.
    const CanvasPoint linie[3] = {a, b, a};
    Ziel().Polyline(linie);
}

void Grafik3DEngine::Pfeil3D(bool spitze, double x1, double y1, double z1, double x2, double y2, double z2) {
    Linie3D(x1, y1, z1, x2, y2, z2);
    const CanvasPoint a = WeltToPixel(x1, y1, z1), b = WeltToPixel(x2, y2, z2);
    if (!spitze || a == b) return;
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double laenge = std::hypot(dx, dy);
    const double s = std::sqrt(2.0) * laenge;
    // Wings of 8 pixels at 45 degrees to the shaft, pointing back.
    const double fluegel[2][2] = {{(dy - dx) / s, (-dy - dx) / s}, {(-dx - dy) / s, (dx - dy) / s}};
    Canvas& c = Ziel();
    for (const auto& w : fluegel) {
        const CanvasPoint linie[2] = {b, {Pixel(b.x + double(Runde(8 * faktorx * w[0]))),
                                          Pixel(b.y + double(Runde(8 * faktory * w[1])))}};
        c.Polyline(linie);
    }
}

void Grafik3DEngine::KoordinatenBox1(int linienart, Color farbe) {
    Canvas& c = Ziel();
    c.SetPen(farbe & 0xFFFFFF, std::clamp(linienart, 0, 255), PenStyle::Solid);
    const double x2 = x1d3 + xwd3, y2 = y1d3 + ywd3, z2 = z1d3 + zwd3;
    for (double z : {z1d3, z2}) {
        const CanvasPoint flaeche[5] = {WeltToPixel(x1d3, y1d3, z), WeltToPixel(x2, y1d3, z), WeltToPixel(x2, y2, z),
                                        WeltToPixel(x1d3, y2, z), WeltToPixel(x1d3, y1d3, z)};
        c.Polyline(flaeche);
    }
    Linie3D(x1d3, y1d3, z1d3, x1d3, y1d3, z2);
    Linie3D(x2, y1d3, z1d3, x2, y1d3, z2);
    Linie3D(x2, y2, z1d3, x2, y2, z2);
    Linie3D(x1d3, y2, z1d3, x1d3, y2, z2);
}

void Grafik3DEngine::KoordinatenBox2(int linienart, Color farbe) {
    Ziel().SetPen(farbe & 0xFFFFFF, std::clamp(linienart, 0, 255), PenStyle::Solid);
    const double bx = basex, by = basey, bz = basez, fx = frontx, fy = fronty, fz = frontz;
    Linie3D(bx, by, bz, fx, by, bz);
    Linie3D(bx, by, bz, bx, fy, bz);
    Linie3D(bx, by, bz, bx, by, fz);
    Linie3D(bx, fy, bz, fx, fy, bz);
    Linie3D(bx, fy, bz, bx, fy, fz);
    Linie3D(bx, by, fz, fx, by, fz);
    Linie3D(bx, by, fz, bx, fy, fz);
    Linie3D(fx, by, bz, fx, fy, bz);
    Linie3D(fx, by, bz, fx, by, fz);
}

void Grafik3DEngine::AchsenXYZ(int linienart, Color farbe, const std::string& xlabel, const std::string& ylabel,
                               const std::string& zlabel, bool spitze, bool skalierung) {
    Canvas& c = AchsenStift(*this, linienart, farbe);
    c.SetBrushStyle(BrushStyle::Clear);

    const double x2 = x1d3 + xwd3, y2 = y1d3 + ywd3, z2 = z1d3 + zwd3;
    Pfeil3D(spitze, x1d3, y1d3, z1d3, x2, y1d3, z1d3);
    Pfeil3D(spitze, x1d3, y1d3, z1d3, x1d3, y2, z1d3);
    Pfeil3D(spitze, x1d3, y1d3, z1d3, x1d3, y1d3, z2);

    const int abstand3 = Runde(3 * faktorx), abstand6x = Runde(6 * faktorx), abstand6y = Runde(6 * faktory);
    const int abstand8x = Runde(8 * faktorx), abstand8y = Runde(8 * faktory);
    CanvasPoint p = WeltToPixel(x2, y1d3, z1d3);
    if (!xlabel.empty()) c.TextOut(p.x - c.TextExtent(xlabel).width - abstand3, p.y + abstand6y, xlabel);
    p = WeltToPixel(x1d3, y2, z1d3);
    if (!ylabel.empty()) c.TextOut(p.x + abstand3, p.y + abstand6y, ylabel);
    p = WeltToPixel(x1d3, y1d3, z2);
    if (!zlabel.empty()) c.TextOut(p.x, p.y - abstand6y - c.TextExtent(zlabel).height, zlabel);
    if (!skalierung) return;

    for (int achse = 0; achse < 2; ++achse) {
        const double min = achse == 0 ? x1d3 : y1d3, w = achse == 0 ? xwd3 : ywd3;
        for (double v : Skalenwerte(min, w, Skalenschritt(w, false))) {
            p = achse == 0 ? WeltToPixel(v, y1d3, z1d3) : WeltToPixel(x1d3, v, z1d3);
            const std::string t = Skalentext(v);
            c.TextOut(p.x - c.TextExtent(t).width / 2, p.y + abstand8y, t);
            c.MoveTo(p.x, p.y);
            c.LineTo(p.x, Pixel(double(p.y) + abstand8y));
        }
    }
    for (double v : Skalenwerte(z1d3, zwd3, Skalenschritt(zwd3, true))) {
        p = WeltToPixel(x1d3, y1d3, v);
        const std::string t = Skalentext(v);
        const CanvasSize s = c.TextExtent(t);
        c.TextOut(p.x - abstand8x - s.width, p.y - s.height / 2, t);
        c.MoveTo(p.x, p.y);
        c.LineTo(Pixel(double(p.x) - abstand6x), p.y);
    }
    c.Flush();
}

void Grafik3DEngine::Achsenkreuz(int linienart, Color farbe, const std::string& xlabel, const std::string& ylabel,
                                 const std::string& zlabel) {
    Canvas& c = AchsenStift(*this, linienart, farbe);

    Linie3D(0, y1d3 - 0.1 * ywd3, 0, 0, y1d3 + 1.1 * ywd3, 0);
    Linie3D(x1d3 - 0.1 * xwd3, 0, 0, x1d3 + 1.1 * xwd3, 0, 0);
    Linie3D(0, 0, z1d3 - 0.1 * zwd3, 0, 0, z1d3 + 1.1 * zwd3);

    const BrushStyle vorher = c.Brush().style;
    c.SetBrushStyle(BrushStyle::Clear);
    CanvasPoint p = WeltToPixel(x1d3 + 1.15 * xwd3, 0, 0);
    if (!xlabel.empty()) c.TextOut(p.x, p.y - Runde(5 * faktory), xlabel);
    p = WeltToPixel(0, y1d3 + 1.15 * ywd3, 0);
    if (!ylabel.empty()) c.TextOut(p.x, p.y, ylabel);
    p = WeltToPixel(0, 0, z1d3 + 1.2 * zwd3);
    if (!zlabel.empty()) c.TextOut(p.x, p.y, zlabel);
    c.SetBrushStyle(vorher);
}

}  // namespace kalvo
