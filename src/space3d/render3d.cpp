// The two surface drawers: painter's order (far cells first, no depth
// buffer), shading and the colour spectra. A picture has up to 20,000
// polygons and is redrawn for every mouse-move step, so the nodes are
// projected once, the records live in buffers kept between pictures, and
// one sort of plain (key, index) pairs orders them.

#include <algorithm>
#include <cmath>

#include "grafik3d.h"
#include "number_text.h"
#include "work_budget.h"

namespace kalvo {

namespace {

// |(v - min) / (max - min)|, 0 where that is not a number (a range that the
// nudge of 1e-5 could not widen, as around 1e20).
double Anteil(double v, double min, double max) {
    const double a = std::fabs((v - min) / (max - min));
    return std::isfinite(a) ? a : 0.0;
}

// A channel of a shaded colour: base times factor, at most 255, rounded.
int Kanal(double basis, double f) {
    const double v = basis * f;
    if (!(v > 0)) return 0;
    return ToDevice(std::min(v, 255.0), 1.0);
}

struct Grundfarbe {
    double r, g, b;
    explicit Grundfarbe(Color c)
        : r((c & 0xFF) + 0.1), g(((c >> 8) & 0xFF) + 0.1), b(((c >> 16) & 0xFF) + 0.1) {}
    Color Mal(double f) const { return MakeRGB(Kanal(r, f), Kanal(g, f), Kanal(b, f)); }
};

// Step t (0..127) of spectrum k.
Color Spektrumstufe(int k, int t) {
    const int t2 = 2 * t;
    switch (std::clamp(k, 1, 16)) {
        case 1: return MakeRGB(255 - t2, 255 - t, 0);
        case 2: return MakeRGB(255, 255 - t2, t2);
        case 3: return MakeRGB(t2, 255 - t2, 100);
        case 4: return MakeRGB(0, 255 - t2, 255);
        case 5: return MakeRGB(255 - t2, 120, t2);
        case 6: return MakeRGB(255 - t, t2, 255 - t2);
        case 7: return MakeRGB(255 - t2, t + 127, 128);
        case 8: return MakeRGB(0, 255 - t2, 128);
        case 9: return MakeRGB(t2, 255 - t2, 200);
        case 10: return MakeRGB(200, t2, 255 - t2);
        case 11: return MakeRGB(200, 255 - t2, 127 - t);
        case 12: return MakeRGB(t2, 200, 255 - t2);
        case 13: return MakeRGB(255 - t2, 255 - t, 230);
        case 14: return MakeRGB(255 - t, 255 - t2, 180);
        case 15: return MakeRGB(t2, t2, t2);
        default: return MakeRGB(255 - t2, 255 - t2, 255 - t2);
    }
}

// Far first; equal keys by position in the grid, so that a picture does not
// depend on the sort's whims.
template <typename T>
void NachTiefeSortieren(std::vector<T>& folge) {
    std::sort(folge.begin(), folge.end(), [](const T& a, const T& b) {
        return a.key > b.key || (a.key == b.key && a.index < b.index);
    });
}

}  // namespace

Color Spektralfarbe(int k, double value, double min, double max) {
    if (max == min) max += 0.0001;
    const double a = Anteil(value, min, max) * 127;
    const int t = a >= 127 ? 127 : ToDevice(a, 1.0);
    return Spektrumstufe(k, t);
}

Color Farbverlauffarbe(int k, int s) {
    s = std::clamp(s, 0, 63);
    switch (k) {
        case 6: return MakeRGB(255 - s, 2 * s, 255 - 4 * s);
        case 15: return MakeRGB(2 * s, 2 * s, 2 * s);
        case 16: return MakeRGB(255 - 2 * s, 255 - 2 * s, 255 - 2 * s);
        default: return Spektrumstufe(k, 2 * s);
    }
}

void Farbverlauf(Canvas& c, int k, int hoehe) {
    for (int s = 0; s < 64; ++s) {
        c.SetPen(Farbverlauffarbe(k, s), 1, PenStyle::Solid);
        c.MoveTo(s, 0);
        c.LineTo(s, hoehe);
    }
    c.Flush();
}

void Grafik3DEngine::KnotenBerechnen(const TFlaeche& f) {
    const int nx = f.xMasche() + 1, ny = f.yMasche() + 1;
    const size_t n = static_cast<size_t>(nx) * static_cast<size_t>(ny);
    knotenPixel_.resize(n);
    knotenNorm_.resize(n);
    knotenZ_.resize(n);
    knotenAbstand_.resize(n);
    knotenGueltig_.resize(n);
    const double fx = Fx(), fy = Fy();
    size_t k = 0;
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j, ++k) {
            const TSurfPoint p = f.D3Point(i, j);
            const Vec3 q = Normiere(p.x, p.y, p.z);
            const double abstand = AbstandAugpunkt(q);
            // A point that is not finite (or too large to normalise) leaves
            // its cells out: its depth key could not be ordered.
            const bool gueltig = std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) &&
                                 std::isfinite(abstand) && std::isfinite(p.z);
            knotenGueltig_[k] = gueltig;
            knotenNorm_[k] = q;
            knotenZ_[k] = p.z;
            knotenAbstand_[k] = abstand;
            if (gueltig) {
                const Bildpunkt b = Projiziere(q);
                const double xs = (ap * b.u + bxp) * fx, ys = (byp - ap * b.v) * fy;
                knotenPixel_[k] = CanvasPoint{Pixel(xs), Pixel(ys)};
            }
        }
}

void Grafik3DEngine::Zeichne3dFlaeche(const TFlaeche* flaeche, double diffuse, double focussed, Color farbe,
                                      Color linienfarbe, int linienart, bool spektrumflag2, int farbspektrum2,
                                      int art) {
    Canvas& c = Ziel();
    c.SetPen(linienfarbe & 0xFFFFFF, std::clamp(linienart, 0, 255), PenStyle::Solid);
    c.SetBrushStyle(BrushStyle::Solid);
    if (!flaeche || flaeche->xMasche() < 1 || flaeche->yMasche() < 1) return;
    const int fxm = flaeche->xMasche(), fym = flaeche->yMasche();
    KnotenBerechnen(*flaeche);

    const auto knoten = [fym](int i, int j) { return static_cast<size_t>(i) * static_cast<size_t>(fym + 1) + static_cast<size_t>(j); };
    folge_.clear();
    folge_.reserve(static_cast<size_t>(fxm) * static_cast<size_t>(fym));
    // From the values themselves, not from +-1e7: heights beyond that are common.
    double minKey = HUGE_VAL, maxKey = -HUGE_VAL, minZ = HUGE_VAL, maxZ = -HUGE_VAL;
    for (int i = 0; i < fxm; ++i)
        for (int j = 0; j < fym; ++j) {
            const size_t a = knoten(i, j), b = knoten(i + 1, j), d = knoten(i + 1, j + 1), e = knoten(i, j + 1);
            if (!(knotenGueltig_[a] && knotenGueltig_[b] && knotenGueltig_[d] && knotenGueltig_[e])) continue;
            const double key = (knotenAbstand_[a] + knotenAbstand_[b] + knotenAbstand_[d] + knotenAbstand_[e]) / 4;
            const double z = knotenZ_[a];
            minKey = std::min(minKey, key);
            maxKey = std::max(maxKey, key);
            minZ = std::min(minZ, z);
            maxZ = std::max(maxZ, z);
            folge_.push_back({key, i * fym + j});
        }
    if (folge_.empty()) return;
    if (maxKey == minKey) maxKey += 1e-5;
    if (maxZ == minZ) maxZ += 1e-5;

    NachTiefeSortieren(folge_);
    const Grundfarbe basis(farbe);
    const bool nachHoehe = art >= 3;
    for (const Sortierschluessel& s : folge_) {
        // A printout or an export the user cancels stops here.
        if (WorkBudgetSpent()) break;
        const int i = s.index / fym, j = s.index % fym;
        const size_t a = knoten(i, j);
        Color col = farbe & 0xFFFFFF;
        if (art >= 2) {
            const double wert = nachHoehe ? knotenZ_[a] : s.key;
            const double min = nachHoehe ? minZ : minKey, max = nachHoehe ? maxZ : maxKey;
            if (spektrumflag2) {
                col = Spektralfarbe(farbspektrum2, wert, min, max);
            } else {
                const double anteil = Anteil(wert, min, max);
                col = basis.Mal((nachHoehe ? anteil : 1 - anteil) * focussed + diffuse);
            }
        }
        const CanvasPoint ecken[4] = {knotenPixel_[a], knotenPixel_[knoten(i + 1, j)],
                                      knotenPixel_[knoten(i + 1, j + 1)], knotenPixel_[knoten(i, j + 1)]};
        c.SetBrushColor(col);
        c.Polygon(ecken);
    }
}

void Grafik3DEngine::ZeichneLicht3dFlaeche(const TFlaeche* flaeche, double diffuse, double focussed, Color farbe) {
    if (!flaeche || flaeche->xMasche() < 1 || flaeche->yMasche() < 1) return;
    const int fxm = flaeche->xMasche(), fym = flaeche->yMasche();
    KnotenBerechnen(*flaeche);
    Canvas& c = Ziel();

    const auto knoten = [fym](int i, int j) { return static_cast<size_t>(i) * static_cast<size_t>(fym + 1) + static_cast<size_t>(j); };
    // The corners of triangle t of cell (i, j): the diagonals alternate like a checkerboard.
    const auto ecken = [&](int index, size_t out[3]) {
        const int zelle = index / 2, i = zelle / fym, j = zelle % fym;
        const bool zweites = index % 2 != 0;
        if ((i + j) % 2 == 0) {
            if (!zweites) out[0] = knoten(i, j), out[1] = knoten(i + 1, j), out[2] = knoten(i, j + 1);
            else out[0] = knoten(i + 1, j + 1), out[1] = knoten(i + 1, j), out[2] = knoten(i, j + 1);
        } else {
            if (!zweites) out[0] = knoten(i, j), out[1] = knoten(i, j + 1), out[2] = knoten(i + 1, j + 1);
            else out[0] = knoten(i + 1, j), out[1] = knoten(i, j), out[2] = knoten(i + 1, j + 1);
        }
    };

    const size_t anzahl = 2 * static_cast<size_t>(fxm) * static_cast<size_t>(fym);
    folge_.clear();
    folge_.reserve(anzahl);
    intensitaet_.resize(anzahl);
    for (int index = 0; index < static_cast<int>(anzahl); ++index) {
        size_t k[3];
        ecken(index, k);
        if (!(knotenGueltig_[k[0]] && knotenGueltig_[k[1]] && knotenGueltig_[k[2]])) continue;
        const double key = (knotenAbstand_[k[0]] + knotenAbstand_[k[1]] + knotenAbstand_[k[2]]) / 3;
        intensitaet_[static_cast<size_t>(index)] = Licht(knotenNorm_[k[0]], knotenNorm_[k[1]], knotenNorm_[k[2]]);
        folge_.push_back({key, index});
    }
    NachTiefeSortieren(folge_);

    const Grundfarbe basis(farbe);
    c.SetPen(c.Pen().color, c.Pen().width, PenStyle::Clear);
    c.SetBrushStyle(BrushStyle::Solid);
    for (const Sortierschluessel& s : folge_) {
        if (WorkBudgetSpent()) break;
        size_t k[3];
        ecken(s.index, k);
        const CanvasPoint punkte[3] = {knotenPixel_[k[0]], knotenPixel_[k[1]], knotenPixel_[k[2]]};
        c.SetBrushColor(basis.Mal(focussed * intensitaet_[static_cast<size_t>(s.index)] + diffuse));
        c.Polygon(punkte);
    }
}

}  // namespace kalvo
