// Orientation aids around a surface: box edges, axes with arrow heads,
// labels and ticks, and the axis cross through the origin. Fixed pixel
// distances (arrow wings, tick lengths, label gaps) grow with the output
// factors, so a recording or a print looks like the screen.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

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

// A tick of a scaled axis: where it stands, its index in steps from zero,
// its value's text and the cell that text would take.
struct Skalenmarke {
    CanvasPoint punkt;
    double index = 0;
    std::string text;
    CanvasRect zelle;
};

bool Ueberlappen(const CanvasRect& a, const CanvasRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Innen(const CanvasRect& a, const CanvasRect& flaeche) {
    return a.left >= flaeche.left && a.top >= flaeche.top && a.right <= flaeche.right && a.bottom <= flaeche.bottom;
}

// The texts of the axes, each measured in the font it is drawn in on the
// output it is drawn to: none is cut off at the edge of the picture, none
// covers another. The names of the axes are moved onto the picture; of the
// values on an axis every one, or where they would run into each other
// every second, fourth, fifth, tenth ..., and of those only the ones clear
// of the texts before them: a value moved away from its tick would name the
// wrong one.
class Beschriftung {
public:
    Beschriftung(Canvas& c, CanvasRect flaeche) : c_(c), flaeche_(flaeche) {
        // Values side by side keep a blank between them.
        luecke_ = std::max(1, c.TextExtent(" ").width);
    }

    // An axis name at the place `wo` gives for its size, moved onto the picture.
    template <class Ort>
    void Name(const std::string& text, Ort wo) {
        if (text.empty()) return;
        const CanvasSize s = c_.TextExtent(text);
        CanvasPoint p = wo(s);
        p.x = std::max(flaeche_.left, std::min(p.x, flaeche_.right - s.width));
        p.y = std::max(flaeche_.top, std::min(p.y, flaeche_.bottom - s.height));
        c_.TextOut(p.x, p.y, text);
        belegt_.push_back(CanvasRect{p.x, p.y, p.x + s.width, p.y + s.height});
    }

    void Skala(const std::vector<Skalenmarke>& marken) {
        const double raster = Raster(marken);
        for (const Skalenmarke& m : marken) {
            if (!Geschrieben(m, raster) || !Frei(m.zelle)) continue;
            c_.TextOut(m.zelle.left, m.zelle.top, m.text);
            belegt_.push_back(m.zelle);
        }
    }

private:
    // Two cells meet where they overlap, or where they stand side by side
    // in a row (their middle halves overlapping up and down) less than a
    // blank apart: "-0,8-0,8" reads as one text. Cells one above the other
    // need no more room than their own: the top and bottom of a cell are
    // empty.
    bool Treffen(const CanvasRect& a, const CanvasRect& b) const {
        if (Ueberlappen(a, b)) return true;
        const auto mitte = [](const CanvasRect& r) {
            const int rand = (r.bottom - r.top) / 4;
            return CanvasRect{r.left, r.top + rand, r.right, r.bottom - rand};
        };
        const CanvasRect m = mitte(a);
        return Ueberlappen(CanvasRect{m.left - luecke_, m.top, m.right + luecke_, m.bottom}, mitte(b));
    }
    bool Frei(const CanvasRect& r) const {
        if (!Innen(r, flaeche_)) return false;
        return std::none_of(belegt_.begin(), belegt_.end(), [&](const CanvasRect& b) { return Treffen(b, r); });
    }
    static bool Geschrieben(const Skalenmarke& m, double raster) { return std::fmod(m.index, raster) == 0; }
    // The smallest of 1, 2, 4, 5, 10, 20, 40, ... steps between written
    // values at which no two of them meet. (Values of an axis stand in a
    // row, so only neighbours can meet.)
    double Raster(const std::vector<Skalenmarke>& marken) const {
        const double groesstes = 10.0 * std::max<size_t>(marken.size(), 1);
        for (double raster = 1;; raster *= 10) {
            for (const double r : {raster, 2 * raster, 4 * raster, 5 * raster}) {
                bool frei = true;
                const Skalenmarke* vorige = nullptr;
                for (const Skalenmarke& m : marken) {
                    if (!Geschrieben(m, r)) continue;
                    if (vorige && Treffen(vorige->zelle, m.zelle)) frei = false;
                    vorige = &m;
                }
                if (frei || r >= groesstes) return r;
            }
        }
    }

    Canvas& c_;
    CanvasRect flaeche_;
    int luecke_ = 1;
    std::vector<CanvasRect> belegt_;
};

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
    Beschriftung texte(c, CanvasRect{0, 0, Pixel(Breite() * Fx()), Pixel(Hoehe() * Fy())});
    CanvasPoint p = WeltToPixel(x2, y1d3, z1d3);
    texte.Name(xlabel, [&](CanvasSize s) { return CanvasPoint{p.x - s.width - abstand3, p.y + abstand6y}; });
    p = WeltToPixel(x1d3, y2, z1d3);
    texte.Name(ylabel, [&](CanvasSize) { return CanvasPoint{p.x + abstand3, p.y + abstand6y}; });
    p = WeltToPixel(x1d3, y1d3, z2);
    texte.Name(zlabel, [&](CanvasSize s) { return CanvasPoint{p.x, p.y - abstand6y - s.height}; });
    if (!skalierung) return;

    // The ticks of an axis, each drawn with its line; their values where
    // they stand clear of one another and of every text before them.
    for (int achse = 0; achse < 3; ++achse) {
        const double min = achse == 0 ? x1d3 : achse == 1 ? y1d3 : z1d3;
        const double w = achse == 0 ? xwd3 : achse == 1 ? ywd3 : zwd3;
        const double schritt = Skalenschritt(w, achse == 2);
        std::vector<Skalenmarke> marken;
        for (double v : Skalenwerte(min, w, schritt)) {
            Skalenmarke m;
            m.punkt = achse == 0 ? WeltToPixel(v, y1d3, z1d3)
                      : achse == 1 ? WeltToPixel(x1d3, v, z1d3)
                                   : WeltToPixel(x1d3, y1d3, v);
            const double k = std::nearbyint(v / schritt);
            m.index = std::isfinite(k) ? k : 0;
            m.text = Skalentext(v);
            const CanvasSize s = c.TextExtent(m.text);
            const CanvasPoint at = achse < 2 ? CanvasPoint{m.punkt.x - s.width / 2, m.punkt.y + abstand8y}
                                             : CanvasPoint{m.punkt.x - abstand8x - s.width, m.punkt.y - s.height / 2};
            m.zelle = CanvasRect{at.x, at.y, at.x + s.width, at.y + s.height};
            marken.push_back(std::move(m));
        }
        texte.Skala(marken);
        for (const Skalenmarke& m : marken) {
            c.MoveTo(m.punkt.x, m.punkt.y);
            if (achse < 2)
                c.LineTo(m.punkt.x, Pixel(double(m.punkt.y) + abstand8y));
            else
                c.LineTo(Pixel(double(m.punkt.x) - abstand6x), m.punkt.y);
        }
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
