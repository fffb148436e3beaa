#pragma once
// The 3D drawing surface without its window: world box, camera, perspective
// projection, the two surface drawers, axes and boxes, and the output
// targets (off-screen screen image, printer canvas, metafile recording).
// Every drawing goes through the canvas interface to the current target, so
// the screen, the printer and the metafile receive the same calls; only the
// output factors differ (1 on the screen, 2 for a recording, the printer's
// own). The visible control (TGrafik3DCanvas) adds the window around it.

#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "flaeche.h"

namespace kalvo {

class MetafileRecorder;
class QPainterCanvas;

// The output target; Clipb has no effect of its own (record with WMF, then
// copy the recording to the clipboard).
enum class tAusgabe : uint8_t { Bildschirm = 0, Drucker = 1, WMF = 2, Clipb = 3 };

// A point in the normalised cube: the world box maps to [-1, 1] in x and y
// and to [-zFaktor, zFaktor] in z.
struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// Position on the screen plane before the pixel scale.
struct Bildpunkt {
    double u = 0, v = 0;
};

// The colour of spectrum k (1..16) for a value in [min, max]. A spectrum
// outside 1..16 is taken as the nearest one.
Color Spektralfarbe(int k, double value, double min, double max);
// The colour of column s (0..63) of the 64-pixel spectrum preview.
Color Farbverlauffarbe(int k, int s);
// The 64-pixel preview of spectrum k, one vertical line per column from 0 to hoehe.
void Farbverlauf(Canvas& c, int k, int hoehe);

// Tick step of an axis of width w: the x and y axes step by 0.2, 0.5 or 1
// times a power of ten, the z axis by 0.5, 1 or 2 times it. 0 for a width
// that is zero or not finite (no ticks).
double Skalenschritt(double w, bool zAchse);
// The tick values strictly above min and below min + w, at least one; none
// for a step that is not positive. Capped, so that no box can make it hang.
std::vector<double> Skalenwerte(double min, double w, double step);
// A tick value in general format with 3 significant digits, decimal comma.
std::string Skalentext(double v);

// "bild.neu.wmf" becomes "bild.wmf" or "bild.emf" in the same folder: the
// name is cut before its first "." and given the extension of the chosen
// filter entry (0 WMF, otherwise EMF).
std::string Grafik3DDateiname(const std::string& gewaehlt, int filterIndex);

class Grafik3DEngine {
public:
    Grafik3DEngine();
    virtual ~Grafik3DEngine();
    Grafik3DEngine(const Grafik3DEngine&) = delete;
    Grafik3DEngine& operator=(const Grafik3DEngine&) = delete;

    // --- Camera and world box; every change recomputes the view. A value
    // that is not a finite number is ignored.
    double Zrot() const { return zrd3; }
    void SetZrot(double grad);
    double Yrot() const { return yrd3; }
    void SetYrot(double grad);
    double zFaktor() const { return FaktorZ; }
    void SetzFaktor(double f);
    // Held within 0.001..1000.
    double Entfernung() const { return EntAugPunkt; }
    void SetEntfernung(double e);
    // Held within 0.001..179 degrees.
    double Sehwinkel() const { return alpha; }
    void SetSehwinkel(double grad);

    void DefiniereWeltkoordinaten(double x1, double y1, double z1, double x2, double y2, double z2);
    double x1() const { return x1d3; }
    double xw() const { return xwd3; }
    double y1() const { return y1d3; }
    double yw() const { return ywd3; }
    double z1() const { return z1d3; }
    double zw() const { return zwd3; }
    // The world corner of the box farthest from the eye, and the one opposite.
    Vec3 Basis() const { return {basex, basey, basez}; }
    Vec3 Front() const { return {frontx, fronty, frontz}; }

    void BerechneAnsicht();

    // World point into the normalised cube.
    Vec3 Normiere(double x, double y, double z) const {
        return {axd3 * x + bxd3, ayd3 * y + byd3, azd3 * z + bzd3};
    }
    // Eye direction e; the eye point is Entfernung * e.
    Vec3 Blickrichtung() const { return {cosz * siny, sinz * siny, cosy}; }
    double Blicktiefe(const Vec3& n) const { return n.x * cosz * siny + n.y * sinz * siny + n.z * cosy; }
    // Distance from the eye plane, never below 1e-10.
    double AbstandBildebene(const Vec3& n) const;
    Bildpunkt Projiziere(const Vec3& n) const;
    // Distance of the normalised point from the eye point: the depth key of the drawers.
    double AbstandAugpunkt(const Vec3& n) const;
    // The pixel of a world point on the current target, within +-32000.
    void WeltToPixel(double x, double y, double z, int& xs, int& ys) const;
    CanvasPoint WeltToPixel(double x, double y, double z) const {
        CanvasPoint p;
        WeltToPixel(x, y, z, p.x, p.y);
        return p;
    }
    // |unit normal . eye direction| of the triangle, in normalised coordinates; 0 when degenerate.
    double Lichtintensitaet(const TSurfPoint& p1, const TSurfPoint& p2, const TSurfPoint& p3) const;

    // --- The screen image.
    // Follows a size change of the control: a new image, the view, OnResize.
    // Nothing happens when the image already has the size.
    void Groesse(int width, int height);
    int Breite() const { return FBitmap.width(); }
    int Hoehe() const { return FBitmap.height(); }
    // The screen picture; drawing on it is finished first.
    const QImage& Bitmap();
    // Fills the whole screen image, whatever the current target.
    void Grafik_loeschen(Color hintergrundfarbe);
    // The font of the screen image: labels and ticks use it.
    const CanvasFont& Schrift() const { return font_; }
    void SetSchrift(const CanvasFont& f) { font_ = f; }

    std::function<void()> OnResize;

    // --- Surfaces.
    // One quadrilateral per cell, far cells first, with its outline as a net.
    // Art 0, 1: every cell in farbe; 2: by distance from the eye; 3: by height.
    void Zeichne3dFlaeche(const TFlaeche* flaeche, double diffuse, double focussed, Color farbe, Color linienfarbe,
                          int linienart, bool spektrumflag2, int farbspektrum2, int art);
    // Two triangles per cell without outlines, shaded by the angle between
    // their normal and the viewing direction.
    void ZeichneLicht3dFlaeche(const TFlaeche* flaeche, double diffuse, double focussed, Color farbe);

    // --- Axes and boxes (pen width linienart in pixels, lines and texts in farbe).
    void Linie3D(double x1, double y1, double z1, double x2, double y2, double z2);
    void Pfeil3D(bool spitze, double x1, double y1, double z1, double x2, double y2, double z2);
    // All twelve edges of the box.
    void KoordinatenBox1(int linienart, Color farbe);
    // The nine edges of the three faces at the far corner: the back walls.
    void KoordinatenBox2(int linienart, Color farbe);
    // Axes along the box edges from its minimum corner, with labels and ticks.
    void AchsenXYZ(int linienart, Color farbe, const std::string& xlabel, const std::string& ylabel,
                   const std::string& zlabel, bool spitze, bool skalierung);
    // Axes through the world origin.
    void Achsenkreuz(int linienart, Color farbe, const std::string& xlabel, const std::string& ylabel,
                     const std::string& zlabel);

    // --- Output targets.
    void DefGrafikAusgabe(tAusgabe ausgabe);
    // The printer canvas (not owned) and its factors for the next DefGrafikAusgabe(Drucker).
    void SetDrucker(Canvas* c, double x, double y);
    // Saves the recording (EMF for ".emf", WMF otherwise); the recording
    // goes on. A failed write is reported and leaves an old file as it was.
    bool WMFDatei(const std::string& filename);
    // Puts the recording on the clipboard; the recording goes on.
    bool WMFclipb();
    // The current recording, if one was started.
    const MetafileRecorder* Metafile() const { return FMetafile.get(); }

    // The current target of all drawing.
    Canvas& Ziel();
    bool Drucken() const { return drucken; }
    bool RecordMetafile() const { return FRecordMetafile; }
    double FaktorX() const { return faktorx; }
    double FaktorY() const { return faktory; }

protected:
    // The screen image changed; the control schedules a repaint.
    virtual void BitmapGeaendert() {}

private:
    // A pixel coordinate: rounded halves to even, held within +-32000 so
    // that points at or behind the eye plane stay drawable.
    static int Pixel(double v);
    double Licht(const Vec3& q1, const Vec3& q2, const Vec3& q3) const;
    void BerechneProjektion();
    void FernsteEcke();
    void EndeBildschirm();
    Canvas& Bildschirmcanvas();
    double Fx() const;
    double Fy() const;
    void KnotenBerechnen(const TFlaeche& f);

    double FaktorZ = 1;
    double x1d3 = -2, xwd3 = 4, y1d3 = -2, ywd3 = 4, z1d3 = -2, zwd3 = 4;
    double alpha = 3;
    double zrd3 = 45;
    double yrd3 = 45;
    double basex = 0, basey = 0, basez = 0;
    double frontx = 0, fronty = 0, frontz = 0;
    double EntAugPunkt = 8;
    double arad = 0, tana = 0;
    double thetaz = 0, thetay = 0;
    double sinz = 0, siny = 0, cosz = 0, cosy = 0;
    double axd3 = 0, ayd3 = 0, azd3 = 0, bxd3 = 0, byd3 = 0, bzd3 = 0;
    double ap = 0, bxp = 0, byp = 0;
    // Remainders that are 0 for a view along an axis (cos phi = 0, sin theta = 0).
    double rightz = 0, righty = 0;

    bool FRecordMetafile = false;
    std::unique_ptr<MetafileRecorder> FMetafile;
    std::unique_ptr<QPainterCanvas> FMetafileCanvas;
    QImage FBitmap;
    std::unique_ptr<QPainterCanvas> bitmapCanvas_;
    CanvasFont font_;
    Canvas* DruckerCanvas = nullptr;
    bool drucken = false;
    double faktorx = 1, faktory = 1;
    tAusgabe ausgabe_ = tAusgabe::Bildschirm;
    double druckerx = 1, druckery = 1;
    NullCanvas nirgends_;

    // Working records of the drawers, kept between pictures so that a
    // redraw allocates nothing once the grid size is known.
    struct Sortierschluessel {
        double key;
        int32_t index;
    };
    std::vector<CanvasPoint> knotenPixel_;
    std::vector<Vec3> knotenNorm_;
    std::vector<double> knotenZ_;
    std::vector<double> knotenAbstand_;
    std::vector<uint8_t> knotenGueltig_;
    std::vector<Sortierschluessel> folge_;
    std::vector<double> intensitaet_;
};

// A drag with the left mouse button from (altX, altY) to (neuX, neuY): half
// the distance in pixels turns the view, truncated toward zero.
void KameraZiehen(Grafik3DEngine& g, int altX, int altY, int neuX, int neuY);

// The export sequences both 3D windows share. szene redraws the whole
// picture on the current target; afterwards the output is back on the screen
// and the screen picture is redrawn. Each shows a dialog with "Abbrechen"
// once it lasts over a second; a cancelled one writes nothing, says so and
// counts as done.
// Records the scene and puts it on the clipboard.
bool Grafik3DInZwischenablage(Grafik3DEngine& g, const std::function<void()>& szene);
// Records the scene and saves it to the file (EMF for ".emf", WMF otherwise).
bool Grafik3DSpeichern(Grafik3DEngine& g, const std::string& datei, const std::function<void()>& szene);

}  // namespace kalvo
