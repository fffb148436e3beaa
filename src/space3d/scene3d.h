#pragma once
// What both 3D windows share beyond the engine: the picture of a grid with
// its axis style, shading and colours on the current target, the colouring
// kind the check boxes choose, the steps of the rotation animation and the
// angles as their fields show them.

#include <string>
#include <string_view>

#include "grafik3d.h"

namespace kalvo {

enum class Achsenstil {
    Ohne,
    Achsenkreuz1,          // axes through the origin
    Achsenkreuz2,          // axes along the box edges with arrow heads
    AchsenMitSkalierung,   // the same with ticks
    Rahmen,                // the back walls of the box
    RahmenMitSkalierung,   // axes with ticks, no arrow heads, and the box
};

// Everything a redraw of the picture depends on besides the grid and the camera.
struct Szenenbild {
    Achsenstil achsen = Achsenstil::Ohne;
    // Pen width of the axis cross through the origin.
    int achsenkreuzBreite = 2;
    // The axes are drawn after the surface (in front of it).
    bool nachHinten = true;
    // The lit drawer, unless the view is moving.
    bool beleuchtung = false;
    bool bewegt = false;
    double diffuse = 0.5, focussed = 0.5;
    double zFaktor = 1;
    Color hintergrund = 0xFFFFFF, netz = 0, flaeche = 0xCCCCCC, achsenfarbe = 0;
    std::string labelX = "x", labelY = "y", labelZ = "z";
    bool spektrum = true;
    int spektrumNummer = 1;
    int art = 2;
};

// Clears the screen picture, draws the axis style before or after the
// surface, and the surface, plain while the view moves or without light,
// else lit. Nothing without a grid.
void SzeneZeichnen(Grafik3DEngine& g, const TFlaeche* gitter, const Szenenbild& s);

// The colouring kind of the plain drawer: 1 (one colour) with neither
// "Farbwechsel" nor the spectrum, else 3 by height ("z-Werte") or 2 by
// distance.
int FarbArt(bool farbwechsel, bool spektrum, bool zWerte);

// The animation directions that are switched on.
struct Drehrichtungen {
    bool rechts = false, links = false, oben = false, unten = false;
};

// The sign of a left or right step: the turn goes the other way while the
// eye is beyond a pole (theta in an odd half-turn above 0, or in an even
// one at or below 0).
double Azimutschritt(double yrot, double schritt);

// One animation frame of the 3D window: down, right, up, left in this
// order, each by `schritt` degrees.
void Drehschritt(Grafik3DEngine& g, const Drehrichtungen& r, double schritt);

// The same in the solids window: theta below 0 starts again at 360, and the
// right turn keeps phi within 0..360.
void KoerperDrehschritt(Grafik3DEngine& g, const Drehrichtungen& r, double schritt);

// An angle as the fields show it: round(|angle|) mod 360.
int Winkelanzeige(double grad);

}  // namespace kalvo
