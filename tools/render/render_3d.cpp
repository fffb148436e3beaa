// Renders a 3D scene offscreen into a PNG, for looking at pictures:
//   render_3d <scene> <file.png> [phi=45] [theta=60] [n=30] [lit] [spektrum=1] [art=2|3|1]
//             [achsen=ohne|kreuz1|kreuz2|skal|rahmen|rahmenskal] [vorne] [size=600x600] [emf] [druck]
// Scenes: paraboloid, sattel, sincos, torus, flach, nan.
// With emf the scene is also recorded as EMF, converted by emf2svg-conv and
// the SVG drawn into <file>.emf.png next to the screen picture; with druck
// it is printed into <file>.pdf as the print button does.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>

#include "grafik3d_canvas.h"
#include "printing.h"

using namespace kalvo;

namespace {

struct Optionen {
    double phi = 45, theta = 60;
    int n = 30, spektrumNr = 1, art = 2;
    bool lit = false, hinten = true, emf = false, druck = false, spektrum = true;
    std::string achsen = "skal";
    int w = 600, h = 600;
};

bool Fuellen(const std::string& szene, int n, TFlaeche& f) {
    const double pi = std::acos(-1.0);
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            const double s = double(i) / n, t = double(j) / n;
            const double x = -3 + 6 * s, y = -3 + 6 * t;
            if (szene == "paraboloid") f.Make(i, j, x, y, x * x + y * y);
            else if (szene == "sattel") f.Make(i, j, x, y, x * x - y * y);
            else if (szene == "sincos") f.Make(i, j, x, y, std::sin(x) * std::cos(y));
            else if (szene == "flach") f.Make(i, j, x, y, 1);
            else if (szene == "nan") f.Make(i, j, x, y, (i + j) % 7 == 0 ? std::numeric_limits<double>::quiet_NaN() : x * y);
            else if (szene == "torus") {
                const double a = 2 * pi * s, b = 2 * pi * t;
                f.Make(i, j, (2 + 0.8 * std::cos(b)) * std::cos(a), (2 + 0.8 * std::cos(b)) * std::sin(a), 0.8 * std::sin(b));
            } else return false;
        }
    return true;
}

// The box of the surface itself, widened where it is flat.
void Welt(Grafik3DEngine& g, const TFlaeche& f) {
    double lo[3] = {1e20, 1e20, 1e20}, hi[3] = {-1e20, -1e20, -1e20};
    for (int i = 0; i <= f.xMasche(); ++i)
        for (int j = 0; j <= f.yMasche(); ++j) {
            const TSurfPoint p = f.D3Point(i, j);
            const double v[3] = {p.x, p.y, p.z};
            for (int k = 0; k < 3; ++k)
                if (std::isfinite(v[k])) lo[k] = std::min(lo[k], v[k]), hi[k] = std::max(hi[k], v[k]);
        }
    if (std::fabs(hi[2] - lo[2]) < 1e-5) lo[2] -= 1e-5, hi[2] += 1e-5;
    for (int k = 0; k < 2; ++k)
        if (lo[k] == hi[k]) lo[k] -= 1, hi[k] += 1;
    g.DefiniereWeltkoordinaten(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
}

void Achsen(Grafik3DEngine& g, const Optionen& o, bool danach) {
    const Color schwarz = 0;
    if (o.achsen == "rahmen") g.KoordinatenBox2(1, schwarz);
    else if (o.achsen == "skal") g.AchsenXYZ(1, schwarz, "x", "y", "z", true, true);
    else if (o.achsen == "kreuz2") g.AchsenXYZ(1, schwarz, "x", "y", "z", true, false);
    else if (o.achsen == "kreuz1") g.Achsenkreuz(2, schwarz, "x", "y", "z");
    else if (o.achsen == "rahmenskal") {
        g.AchsenXYZ(1, schwarz, "x", "y", "z", false, true);
        if (danach) g.KoordinatenBox1(1, schwarz);
        else g.KoordinatenBox2(1, schwarz);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "render_3d <scene> <file.png> [options]\n");
        return 2;
    }
    const std::string szene = argv[1], datei = argv[2];
    Optionen o;
    for (int a = 3; a < argc; ++a) {
        const std::string s = argv[a];
        const auto wert = [&](const char* k) { return s.rfind(k, 0) == 0 ? s.substr(std::char_traits<char>::length(k)) : std::string(); };
        if (s == "lit") o.lit = true;
        else if (s == "emf") o.emf = true;
        else if (s == "druck") o.druck = true;
        else if (s == "vorne") o.hinten = false;
        else if (s == "ohnespektrum") o.spektrum = false;
        else if (!wert("phi=").empty()) o.phi = std::stod(wert("phi="));
        else if (!wert("theta=").empty()) o.theta = std::stod(wert("theta="));
        else if (!wert("n=").empty()) o.n = std::stoi(wert("n="));
        else if (!wert("spektrum=").empty()) o.spektrumNr = std::stoi(wert("spektrum="));
        else if (!wert("art=").empty()) o.art = std::stoi(wert("art="));
        else if (!wert("achsen=").empty()) o.achsen = wert("achsen=");
        else if (!wert("size=").empty()) std::sscanf(wert("size=").c_str(), "%dx%d", &o.w, &o.h);
    }
    TFlaeche f(o.n, o.n);
    if (!Fuellen(szene, o.n, f)) {
        std::fprintf(stderr, "unknown scene %s\n", szene.c_str());
        return 2;
    }
    TGrafik3DCanvas g;
    g.resize(o.w, o.h);
    g.Groesse(o.w, o.h);
    g.SetZrot(o.phi);
    g.SetYrot(o.theta);
    Welt(g, f);
    const auto zeichnen = [&] {
        g.Grafik_loeschen(0xF0F0F0);
        if (!o.hinten) Achsen(g, o, false);
        if (o.lit) g.ZeichneLicht3dFlaeche(&f, 0.5, 0.5, 0xCCCCCC);
        else g.Zeichne3dFlaeche(&f, 0.5, 0.5, 0xCCCCCC, 0, 1, o.spektrum, o.spektrumNr, o.art);
        if (o.hinten) Achsen(g, o, true);
    };
    zeichnen();
    if (!g.Bitmap().save(QString::fromStdString(datei))) return 1;
    if (o.emf) {
        const std::string emf = datei + ".emf", svg = datei + ".svg";
        if (!Grafik3DSpeichern(g, emf, zeichnen)) return 1;
        if (QProcess::execute("emf2svg-conv", {"-i", QString::fromStdString(emf), "-o", QString::fromStdString(svg)}) != 0)
            return 1;
        QSvgRenderer r(QString::fromStdString(svg));
        // emf2svg cuts the picture to what was drawn.
        QImage bild(r.defaultSize(), QImage::Format_RGB32);
        bild.fill(Qt::white);
        QPainter p(&bild);
        r.render(&p);
        p.end();
        if (!bild.save(QString::fromStdString(datei + ".emf.png"))) return 1;
    }
    if (o.druck) {
        const std::shared_ptr<PrintJob> printer = NewPrintJob();
        if (!printer) return 1;
        printer->SetPdfOutput(QString::fromStdString(datei + ".pdf"));
        if (!Grafik3DDrucken(g, *printer, zeichnen)) return 1;
    }
    return 0;
}
