#include "grafik3d.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <numbers>

#include "canvas_qpainter.h"
#include "clipboard_picture.h"
#include "message_sink.h"
#include "metafile_recorder.h"
#include "work_budget.h"

namespace kalvo {

namespace {

constexpr double kPi = std::numbers::pi;

// Largest screen image; a bigger control shows the picture in its corner.
constexpr int kMaxBildseite = 32767;

// A box width that projects: zero, or a width that is not finite, is taken as 1.
double Boxbreite(double w) { return (w == 0 || !std::isfinite(w)) ? 1.0 : w; }

}  // namespace

Grafik3DEngine::Grafik3DEngine() {
    font_.name = "Arial";
    font_.size = 10;
    FBitmap = QImage(30, 30, QImage::Format_RGB32);
    FBitmap.fill(Qt::white);
    BerechneAnsicht();
}

Grafik3DEngine::~Grafik3DEngine() {
    // The painters end before their devices go.
    bitmapCanvas_.reset();
    FMetafileCanvas.reset();
}

void Grafik3DEngine::SetZrot(double grad) {
    if (!std::isfinite(grad)) return;
    zrd3 = grad;
    BerechneAnsicht();
}

void Grafik3DEngine::SetYrot(double grad) {
    if (!std::isfinite(grad)) return;
    yrd3 = grad;
    BerechneAnsicht();
}

void Grafik3DEngine::SetzFaktor(double f) {
    if (!std::isfinite(f)) return;
    FaktorZ = f;
    BerechneAnsicht();
}

void Grafik3DEngine::SetEntfernung(double e) {
    if (std::isnan(e)) return;
    EntAugPunkt = e;
    BerechneAnsicht();
}

void Grafik3DEngine::SetSehwinkel(double grad) {
    if (std::isnan(grad)) return;
    alpha = grad;
    BerechneAnsicht();
}

void Grafik3DEngine::DefiniereWeltkoordinaten(double x1, double y1, double z1, double x2, double y2, double z2) {
    // An axis that is not finite keeps the box it had.
    auto setze = [](double a, double b, double& min, double& w) {
        if (std::isfinite(a) && std::isfinite(b) && std::isfinite(b - a)) {
            min = a;
            w = b - a;
        }
    };
    setze(x1, x2, x1d3, xwd3);
    setze(y1, y2, y1d3, ywd3);
    setze(z1, z2, z1d3, zwd3);
    BerechneAnsicht();
}

void Grafik3DEngine::BerechneAnsicht() {
    EntAugPunkt = std::clamp(EntAugPunkt, 0.001, 1000.0);
    alpha = std::clamp(alpha, 0.001, 179.0);
    BerechneProjektion();
    FernsteEcke();
}

void Grafik3DEngine::BerechneProjektion() {
    thetaz = kPi * zrd3 / 180;
    thetay = kPi * yrd3 / 180;
    arad = kPi * alpha / 360;
    sinz = std::sin(thetaz);
    cosz = std::cos(thetaz);
    siny = std::sin(thetay);
    cosy = std::cos(thetay);
    rightz = (zrd3 + 90) - 180 * std::nearbyint((zrd3 + 90) / 180);
    righty = yrd3 - 180 * std::nearbyint(yrd3 / 180);
    // A view along an axis is exact, not off by the rounding of pi.
    if (rightz == 0) cosz = 0;
    if (righty == 0) siny = 0;

    xwd3 = Boxbreite(xwd3);
    ywd3 = Boxbreite(ywd3);
    zwd3 = Boxbreite(zwd3);
    axd3 = 2 / xwd3;
    ayd3 = 2 / ywd3;
    azd3 = 2 / zwd3 * FaktorZ;
    bxd3 = -(xwd3 / 2 + x1d3) * axd3;
    byd3 = -(ywd3 / 2 + y1d3) * ayd3;
    bzd3 = -(zwd3 / 2 + z1d3) * azd3;

    tana = std::tan(arad);
    const double w = FBitmap.width(), h = FBitmap.height();
    ap = std::min(w, h) / 2 / tana / EntAugPunkt;
    bxp = w / 2;
    byp = h / 2;
}

void Grafik3DEngine::FernsteEcke() {
    int bx = -1, by = -1, bz = -1;
    double maximum = 0;
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sy = -1; sy <= 1; sy += 2)
            for (int sz = -1; sz <= 1; sz += 2) {
                const double abstand = EntAugPunkt - Blicktiefe(Vec3{double(sx), double(sy), double(sz)});
                if (abstand >= maximum) {
                    maximum = abstand;
                    bx = sx, by = sy, bz = sz;
                }
            }
    basex = bx > 0 ? x1d3 + xwd3 : x1d3;
    basey = by > 0 ? y1d3 + ywd3 : y1d3;
    basez = bz > 0 ? z1d3 + zwd3 : z1d3;
    frontx = bx > 0 ? x1d3 : x1d3 + xwd3;
    fronty = by > 0 ? y1d3 : y1d3 + ywd3;
    frontz = bz > 0 ? z1d3 : z1d3 + zwd3;
}

int Grafik3DEngine::Pixel(double v) {
    if (std::isnan(v)) return 32000;
    if (v >= 32000) return 32000;
    if (v <= -32000) return -32000;
    return ToDevice(v, 1.0);
}

double Grafik3DEngine::AbstandBildebene(const Vec3& n) const {
    const double abstand = EntAugPunkt - Blicktiefe(n);
    return abstand > 0 ? abstand : 1e-10;
}

// The closed formulas: no division by sin theta or cos phi, which loses
// every digit near a view along an axis.
Bildpunkt Grafik3DEngine::Projiziere(const Vec3& n) const {
    const double abstand = AbstandBildebene(n);
    const double u = -n.x * sinz + n.y * cosz;
    const double v = n.z * siny - (n.x * cosz + n.y * sinz) * cosy;
    return {u / abstand, v / abstand};
}

double Grafik3DEngine::AbstandAugpunkt(const Vec3& n) const {
    const double e = EntAugPunkt;
    const double dx = e * siny * cosz - n.x;
    const double dy = e * siny * sinz - n.y;
    const double dz = e * cosy - n.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double Grafik3DEngine::Fx() const { return FRecordMetafile ? 2.0 : drucken ? faktorx : 1.0; }
double Grafik3DEngine::Fy() const { return FRecordMetafile ? 2.0 : drucken ? faktory : 1.0; }

void Grafik3DEngine::WeltToPixel(double x, double y, double z, int& xs, int& ys) const {
    const Bildpunkt b = Projiziere(Normiere(x, y, z));
    xs = Pixel((ap * b.u + bxp) * Fx());
    ys = Pixel((byp - ap * b.v) * Fy());
}

double Grafik3DEngine::Lichtintensitaet(const TSurfPoint& p1, const TSurfPoint& p2, const TSurfPoint& p3) const {
    return Licht(Normiere(p1.x, p1.y, p1.z), Normiere(p2.x, p2.y, p2.z), Normiere(p3.x, p3.y, p3.z));
}

// Light comes from the viewer: both sides of a triangle are lit alike.
double Grafik3DEngine::Licht(const Vec3& q1, const Vec3& q2, const Vec3& q3) const {
    const Vec3 a{q3.x - q1.x, q3.y - q1.y, q3.z - q1.z};
    const Vec3 b{q2.x - q1.x, q2.y - q1.y, q2.z - q1.z};
    const Vec3 n{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    const double laenge = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (!(laenge > 0) || !std::isfinite(laenge)) return 0;
    const Vec3 e = Blickrichtung();
    const double i = std::fabs((n.x * e.x + n.y * e.y + n.z * e.z) / laenge);
    return std::isfinite(i) ? std::min(i, 1.0) : 0.0;
}

// --- Screen image.

void Grafik3DEngine::EndeBildschirm() {
    if (!bitmapCanvas_) return;
    bitmapCanvas_.reset();
    ClearUpperVectorState();
}

Canvas& Grafik3DEngine::Bildschirmcanvas() {
    if (FBitmap.isNull()) return nirgends_;
    if (!bitmapCanvas_) {
        bitmapCanvas_ = std::make_unique<QPainterCanvas>(&FBitmap, kScreenDpi);
        bitmapCanvas_->SetFont(font_);
    }
    BitmapGeaendert();
    return *bitmapCanvas_;
}

void Grafik3DEngine::Groesse(int width, int height) {
    width = std::clamp(width, 0, kMaxBildseite);
    height = std::clamp(height, 0, kMaxBildseite);
    if (FBitmap.width() == width && FBitmap.height() == height) return;
    EndeBildschirm();
    if (width > 0 && height > 0) {
        FBitmap = QImage(width, height, QImage::Format_RGB32);
        FBitmap.fill(Qt::white);
    } else {
        FBitmap = QImage();
    }
    ClearUpperVectorState();
    BerechneAnsicht();
    BitmapGeaendert();
    if (OnResize) OnResize();
}

const QImage& Grafik3DEngine::Bitmap() {
    EndeBildschirm();
    return FBitmap;
}

void Grafik3DEngine::Grafik_loeschen(Color hintergrundfarbe) {
    Canvas& s = Bildschirmcanvas();
    s.SetBrush(hintergrundfarbe & 0xFFFFFF, BrushStyle::Solid);
    s.FillRect(CanvasRect{0, 0, FBitmap.width(), FBitmap.height()});
}

// --- Output targets.

Canvas& Grafik3DEngine::Ziel() {
    switch (ausgabe_) {
        case tAusgabe::Drucker: return DruckerCanvas ? *DruckerCanvas : nirgends_;
        case tAusgabe::WMF: return FMetafileCanvas ? static_cast<Canvas&>(*FMetafileCanvas) : nirgends_;
        default: return Bildschirmcanvas();
    }
}

void Grafik3DEngine::SetDrucker(Canvas* c, double x, double y) {
    DruckerCanvas = c;
    // Far beyond any printer's resolution, but every distance stays an int.
    constexpr double kMaxFaktor = 1000;
    druckerx = std::isfinite(x) && x > 0 ? std::min(x, kMaxFaktor) : 1.0;
    druckery = std::isfinite(y) && y > 0 ? std::min(y, kMaxFaktor) : 1.0;
}

void Grafik3DEngine::DefGrafikAusgabe(tAusgabe ausgabe) {
    switch (ausgabe) {
        case tAusgabe::Bildschirm:
            // The recording stays for a later save, but its painter ends.
            if (FMetafileCanvas) FMetafileCanvas->End();
            faktorx = faktory = 1;
            FRecordMetafile = false;
            drucken = false;
            ausgabe_ = tAusgabe::Bildschirm;
            break;
        case tAusgabe::Drucker:
            EndeBildschirm();
            faktorx = druckerx;
            faktory = druckery;
            drucken = true;
            FRecordMetafile = false;
            ausgabe_ = tAusgabe::Drucker;
            if (DruckerCanvas) DruckerCanvas->SetFont(font_);
            break;
        case tAusgabe::WMF: {
            EndeBildschirm();
            FMetafileCanvas.reset();
            FMetafile = std::make_unique<MetafileRecorder>(2 * std::max(1, FBitmap.width()),
                                                           2 * std::max(1, FBitmap.height()));
            FMetafileCanvas = std::make_unique<QPainterCanvas>(FMetafile.get(), kScreenDpi);
            FMetafileCanvas->SetFont(font_);
            faktorx = faktory = 2;
            drucken = false;
            FRecordMetafile = true;
            ausgabe_ = tAusgabe::WMF;
            break;
        }
        case tAusgabe::Clipb: break;
    }
}

bool Grafik3DEngine::WMFDatei(const std::string& filename) {
    if (!FMetafile) return false;
    if (FMetafileCanvas) FMetafileCanvas->Flush();
    const WriteResult r = FMetafile->save(filename, MetafileRecorder::FormatForFileName(filename));
    if (!r.ok) ShowMessage(r.error, MessageKind::Error);
    return r.ok;
}

bool Grafik3DEngine::WMFclipb() {
    if (!FMetafile) return false;
    if (FMetafileCanvas) FMetafileCanvas->Flush();
    return CopyPictureToClipboard(*FMetafile);
}

void KameraZiehen(Grafik3DEngine& g, int altX, int altY, int neuX, int neuY) {
    g.SetZrot(g.Zrot() + (static_cast<long long>(altX) - neuX) / 2);
    g.SetYrot(g.Yrot() + (static_cast<long long>(altY) - neuY) / 2);
}

std::string Grafik3DDateiname(const std::string& gewaehlt, int filterIndex) {
    const std::filesystem::path p(gewaehlt);
    std::string name = p.filename().string();
    name = name.substr(0, name.find('.'));
    name += filterIndex == 0 ? ".wmf" : ".emf";
    return (p.parent_path() / name).string();
}

namespace {

// Back on the screen whatever the scene does, then the screen picture again.
struct ZurueckZumBildschirm {
    Grafik3DEngine& g;
    const std::function<void()>& szene;
    ~ZurueckZumBildschirm() {
        g.DefGrafikAusgabe(tAusgabe::Bildschirm);
        if (szene && std::uncaught_exceptions() == 0) szene();
    }
};

// The scene recorded into a new metafile and handed on by `weiter`, as one
// work the user may cancel; false when he did.
bool Aufzeichnen(Grafik3DEngine& g, const std::function<void()>& szene, const char* was,
                 const std::function<bool()>& weiter, bool& erledigt) {
    CancellableWork arbeit(was);
    g.DefGrafikAusgabe(tAusgabe::WMF);
    if (szene) szene();
    if (!arbeit.Cancelled()) erledigt = weiter();
    return !arbeit.Cancelled();
}

}  // namespace

bool Grafik3DInZwischenablage(Grafik3DEngine& g, const std::function<void()>& szene) {
    ZurueckZumBildschirm zurueck{g, szene};
    bool kopiert = false;
    // The clipboard keeps what it held: no picture half done.
    if (!Aufzeichnen(g, szene, "Die Grafik wird f\u00FCr die Zwischenablage aufgezeichnet \u2026",
                     [&g] { return g.WMFclipb(); }, kopiert)) {
        ShowMessage(kZwischenablageAbgebrochen);
        return true;
    }
    return kopiert;
}

bool Grafik3DSpeichern(Grafik3DEngine& g, const std::string& datei, const std::function<void()>& szene) {
    ZurueckZumBildschirm zurueck{g, szene};
    bool gespeichert = false;
    // Nothing is written, and a file of that name stays as it was.
    if (!Aufzeichnen(g, szene, "Die Grafik wird gespeichert \u2026", [] { return true; }, gespeichert)) {
        ShowMessage(kSpeichernAbgebrochen);
        return true;
    }
    return g.WMFDatei(datei);
}

}  // namespace kalvo
