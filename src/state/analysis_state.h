#pragma once
// The shared state through which the analysis dialogs, the iteration dialog,
// the curve-fitting window and the 3D windows hand their settings and results
// to the central redraw and to each other. None of it is stored in a file.

#include <array>
#include <cstdint>
#include <string>

#include "numlib_state.h"  // the sine fit's shared settings and results: SinusFit
#include "program_state.h"

namespace kalvo {

inline constexpr int kMaxSpecialPoints = 50;
inline constexpr int kMaxPoles = 1000;
inline constexpr int kMaxAsymptoten = 4;
inline constexpr int kMaxMesswerte = 500;

// Entries 1..50 used; the count is kept separately.
using Punktwerte = std::array<double, kMaxSpecialPoints + 1>;
using Punktarten = std::array<uint8_t, kMaxSpecialPoints + 1>;

// Brush styles by ordinal.
enum BrushOrdinal : uint8_t {
    kBrushSolid = 0,
    kBrushClear = 1,
    kBrushHorizontal = 2,
    kBrushVertical = 3,
    kBrushFDiagonal = 4,
    kBrushBDiagonal = 5,
    kBrushCross = 6,
    kBrushDiagCross = 7,
};

// Flags and settings of the analysis overlays on the main graph, and the
// drawing-object tool.
struct OverlayState {
    bool SummenZeichnen = false;
    bool FlaecheZeichnen = false;
    bool NewtonZeichnen = false;
    // Start value of Newton's method and of the iteration x(n+1) = f(x(n)).
    double Startwert = 1.0;
    double GrenzeA = 0, GrenzeB = 1;
    int AnzahlRechtecke = 4;
    // 1 upper sum, 2 lower sum, 3 both, 4 error interval, 5 intermediate-value sum.
    int SummenAnzeigeart = 1;
    Color FarbeObersumme = 0x800000;
    Color FarbeUntersumme = 0x808000;
    Color FarbeFehlerintervall = 0xFF;
    Color FarbeZwischenwertsumme = 0x8000;
    uint8_t FuellmusterFlaeche = kBrushBDiagonal;
    uint8_t FuellmusterSummen = kBrushBDiagonal;
    Color FuellfarbeFlaeche = 0xFF;
    bool IntegrandUndefiniert = false;
    // The last integral was cut short by its work budget: it has no value.
    bool IntegralAbgebrochen = false;
    bool ObjektM = false;
    bool ObjektF1 = false;
    double ObjektX = 0;
    double ObjektSchrittweite = 0.5;
};

// Results of the last curve discussion.
struct DiscussionResults {
    bool DiskussionMitG = false;
    bool SonderpunkteZeichnen = false;
    bool SonderpunkteBeschriften = false;
    Color DiskussionFarbe = 0;
    int AnzahlNullstellen = 0;
    int AnzahlExtrema = 0;
    int AnzahlWendepunkte = 0;
    int AnzahlPole = 0;
    int AnzahlAsymptoten = 0;
    Punktwerte NullstelleX{}, NullstelleSteigung{};
    Punktwerte ExtremumX{}, ExtremumY{};
    Punktwerte WendepunktX{}, WendepunktY{}, WendepunktSteigung{};
    Punktarten ExtremumArt{}, WendepunktArt{};
    // Entries 1..AnzahlPole; element 0 is the previous-pole sentinel. Room
    // for every pole a search can tell apart in practice; when it is full
    // the pole list says so.
    std::array<double, kMaxPoles + 1> PolX{-1000.0};
    std::array<Funktionsterm, kMaxAsymptoten> AsymptotenText{};
};

// Settings of the iteration and logistic-equation dialog.
struct IterationState {
    double IterationParameterA = 3.1;
    bool IterLogistisch = false;
    bool IterPfadAktiv = false;
    bool IterPfadAnzeige = false;
    bool FolgeAnzeige = false;
    bool AttraktorAnzeige = false;
    bool IterFett = false;
    bool IterXnMarkieren = false;
    bool IterAMarkieren = false;
    bool IterPunkteVerbinden = true;
    Color IterFarbe = 0;
    int VorIterationen = 50;
    int NachIterationen = 50;
    int IterationenN = 50;
    int IterierteK = 1;
    double AttraktorAVon = 0, AttraktorABis = 4;
    double AttraktorYVon = 0, AttraktorYBis = 1.1;
    double IterPfadXVon = 0, IterPfadXBis = 1.1;
    double IterYVon = 0, IterYBis = 1.1;
};

// The curve-fitting window and the linear-system solver.
struct RegressionState {
    // Rows 1..500 used.
    std::array<std::string, kMaxMesswerte + 2> MesswertTexteX{};
    std::array<std::string, kMaxMesswerte + 2> MesswertTexteY{};
    Color MesspunktFarbe = 0;
    uint8_t RegressionModell = 0;
    int RegressionNachkommastellen = 4;
    int RegressionPunktzahl = 0;
    bool WertepaareZeichnen = true;
    bool RegressionsgraphZeichnen = true;
    bool AbweichungenZeichnen = false;
    int WertepaarSymbol = 0;
    int PolynomGrad = 3;
    int ZaehlerGrad = 1;
    int NennerGrad = 1;
    int LgsHistorieIndex = 1;
    int LgsHistorieAnzahl = 1;
};

// Settings shared by the 3D window and the solids-of-revolution window.
struct Space3DState {
    bool ParameterflaechenModus = false;
    bool Farbspektrum3D = true;
    int Farbspektrum3DNummer = 1;
};

extern OverlayState gOverlay;
extern DiscussionResults gDiscussion;
extern IterationState gIteration;
extern RegressionState gRegression;
extern Space3DState g3D;

}  // namespace kalvo
