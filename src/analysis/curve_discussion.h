#pragma once
// The curve discussion of the function compiled in FunktionTermbaum: zeros,
// extrema, inflection and terrace points, symmetry and, on request, poles
// and asymptotes over a search interval. The results go into gDiscussion,
// where the special-point drawing and the area dialog read them, and as
// text lines to a result sink: the discussion window shows and prints them,
// the redraw discards them.

#include <cstdint>
#include <string>

namespace kalvo {

class Canvas;

// The five result lists of the discussion window, in its order.
enum class Ergebnisliste : uint8_t { Nullstellen, Extrema, Wendepunkte, Pole, Asymptoten };

// Where a run puts its text lines.
class KurvendiskussionAusgabe {
public:
    virtual ~KurvendiskussionAusgabe() = default;
    virtual void ListeLeeren(Ergebnisliste liste) = 0;
    virtual void ZeileHinzufuegen(Ergebnisliste liste, const std::string& zeile) = 0;
    // The symmetry sentence; empty when the graph has no symmetry found.
    virtual void SymmetrieAnzeigen(const std::string& satz) = 0;
    // The printer's canvas while a print job of the window runs (with
    // DiskussionDruck set); each line is printed right after it is added.
    virtual Canvas* Drucker() { return nullptr; }
    // The printable height of a page in printer pixels (0: one endless
    // page), and the start of a new page, on which the lines go on at the top.
    virtual int DruckSeitenhoehe() { return 0; }
    virtual void NeueDruckseite() {}
};

// A sink that keeps nothing: the redraw only wants the result arrays.
class KeineAusgabe final : public KurvendiskussionAusgabe {
public:
    void ListeLeeren(Ergebnisliste) override {}
    void ZeileHinzufuegen(Ergebnisliste, const std::string&) override {}
    void SymmetrieAnzeigen(const std::string&) override {}
};

// The printed lines start this far from the top of the page, also on the
// pages a long printout goes on to (printer pixels).
inline constexpr int kDiskussionDruckOben = 100;

// What the discussion window keeps between runs and the search reads,
// whoever started the run.
struct KurvendiskussionZustand {
    // The window's search interval: the asymptote search starts from its midpoint.
    double SuchintervallVon = -8, SuchintervallBis = 8;
    // "Pole und Asymptoten suchen "
    bool PoleUndAsymptotenSuchen = false;
    // Print state: a print job is running, left edge and y of the last
    // printed line and the line step, in printer pixels. A run prints below
    // DruckY, leaves DruckY at its last line and clears DiskussionDruck.
    bool DiskussionDruck = false;
    int DruckX = 200, DruckY = kDiskussionDruckOben, DruckZeilenhoehe = 0;
};

extern KurvendiskussionZustand gKurvendiskussion;
void ResetKurvendiskussion();

// Searches [a, b] with the scan step `step` at parameter t. Callers pass
// a <= b and step = |b - a| / 500; a missing or runaway step is mended.
// Within a work budget of kWaitSeconds: a run it cuts short empties its
// lists and result arrays and says kDiskussionAbgebrochen.
void KurvendiskussionBerechnen(double a, double b, double step, double t, KurvendiskussionAusgabe& ausgabe);
// The same for the redraw and the area window: only the result arrays. The
// discussion window's lists show its own runs, so that they always belong
// to the term, interval and parameter it shows.
void KurvendiskussionBerechnen(double a, double b, double step, double t);

// "Das Schaubild ist symmetrisch zum Ursprung.", "... zur y-Achse." or empty.
std::string SymmetrieText(double t);

// Result texts for the window.
inline constexpr const char* kDiskussionAbgebrochen = "Die Kurvendiskussion wurde abgebrochen: zu viel Rechenaufwand.";
inline constexpr const char* kLeerePunktliste = "   --- . ---";
inline constexpr const char* kLeerePolliste = " --- . ----";
// The last line of a pole list that reached the room for poles.
std::string PollisteGekuerztText();

}  // namespace kalvo
