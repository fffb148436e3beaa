#include "scene3d.h"

#include <cmath>

#include "number_text.h"
#include "work_budget.h"

namespace kalvo {

namespace {

void AchsenZeichnen(Grafik3DEngine& g, const Szenenbild& s, bool nachDerFlaeche) {
    const Color f = s.achsenfarbe;
    switch (s.achsen) {
        case Achsenstil::Ohne: break;
        case Achsenstil::Rahmen: g.KoordinatenBox2(1, f); break;
        case Achsenstil::AchsenMitSkalierung: g.AchsenXYZ(1, f, s.labelX, s.labelY, s.labelZ, true, true); break;
        case Achsenstil::Achsenkreuz2: g.AchsenXYZ(1, f, s.labelX, s.labelY, s.labelZ, true, false); break;
        case Achsenstil::Achsenkreuz1: g.Achsenkreuz(s.achsenkreuzBreite, f, s.labelX, s.labelY, s.labelZ); break;
        case Achsenstil::RahmenMitSkalierung:
            g.AchsenXYZ(1, f, s.labelX, s.labelY, s.labelZ, false, true);
            // In front of the surface the whole box, behind it only its back walls.
            if (nachDerFlaeche)
                g.KoordinatenBox1(1, f);
            else
                g.KoordinatenBox2(1, f);
            break;
    }
}

}  // namespace

void SzeneZeichnen(Grafik3DEngine& g, const TFlaeche* gitter, const Szenenbild& s) {
    // Events that the progress dialog of a printout or an export lets run
    // (a resize, a timer) would draw on its canvas in the middle of it; the
    // window draws its picture again when the output is done.
    if (!gitter || InsideWorkProgress()) return;
    g.SetzFaktor(s.zFaktor);
    g.Grafik_loeschen(s.hintergrund);
    if (!s.nachHinten) AchsenZeichnen(g, s, false);
    if (!s.beleuchtung || s.bewegt)
        g.Zeichne3dFlaeche(gitter, s.diffuse, s.focussed, s.flaeche, s.netz, 1, s.spektrum, s.spektrumNummer, s.art);
    else
        g.ZeichneLicht3dFlaeche(gitter, s.diffuse, s.focussed, s.flaeche);
    if (s.nachHinten) AchsenZeichnen(g, s, true);
}

int FarbArt(bool farbwechsel, bool spektrum, bool zWerte) {
    if (!farbwechsel && !spektrum) return 1;
    return zWerte ? 3 : 2;
}

double Azimutschritt(double yrot, double schritt) {
    const double halbeDrehungen = std::trunc(yrot / 180);
    const bool ungerade = std::fmod(halbeDrehungen, 2) != 0;
    const bool umkehren = (yrot > 0 && ungerade) || (yrot <= 0 && !ungerade);
    return umkehren ? -schritt : schritt;
}

void Drehschritt(Grafik3DEngine& g, const Drehrichtungen& r, double schritt) {
    if (r.unten) g.SetYrot(g.Yrot() - schritt);
    if (r.rechts) g.SetZrot(g.Zrot() - Azimutschritt(g.Yrot(), schritt));
    if (r.oben) g.SetYrot(g.Yrot() + schritt);
    if (r.links) g.SetZrot(g.Zrot() + Azimutschritt(g.Yrot(), schritt));
}

void KoerperDrehschritt(Grafik3DEngine& g, const Drehrichtungen& r, double schritt) {
    if (r.unten) {
        g.SetYrot(g.Yrot() - schritt);
        if (g.Yrot() < 0) g.SetYrot(360);
    }
    if (r.rechts) {
        g.SetZrot(g.Zrot() - Azimutschritt(g.Yrot(), schritt));
        if (g.Zrot() > 360) g.SetZrot(0);
        if (g.Zrot() < 0) g.SetZrot(360);
    }
    if (r.oben) g.SetYrot(g.Yrot() + schritt);
    if (r.links) g.SetZrot(g.Zrot() + Azimutschritt(g.Yrot(), schritt));
}

int Winkelanzeige(double grad) { return RoundToInt(std::fabs(grad)) % 360; }

}  // namespace kalvo
