#pragma once
// The one shared model of the program, read and written by every window.
// Plain structs grouped by concern with one program-wide instance each; the
// member initialisers are the start-up values, so ResetProgramState() gives
// every test, and the program before it reads its settings, the same start.

#include <array>
#include <cstdint>
#include <string>

#include "bounded_text.h"
#include "color.h"

class QPaintDevice;

namespace kalvo {

class Canvas;

// The colours the drawings name.
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kRed = 0x0000FF;
inline constexpr Color kGreen = 0x008000;
inline constexpr Color kBlue = 0xFF0000;

inline constexpr size_t kTermChars = 120;
inline constexpr size_t kListTermChars = 60;
inline constexpr size_t kAxisTitleChars = 80;
inline constexpr int kGraphSlots = 34;
inline constexpr int kListTerms = 8;
inline constexpr int kMaxParameterValues = 10;

using Funktionsterm = BoundedText<kTermChars>;
using Listenterm = BoundedText<kListTermChars>;
using Achsentext = BoundedText<kAxisTitleChars>;
using Funktionenliste = OneBased<Listenterm, kListTerms>;
// Values in elements 0..9, their count in element 10.
using ParameterWerteFeld = std::array<double, kMaxParameterValues + 1>;

struct Schaubild {
    Color Linienfarbe = 0;
    uint8_t Linienart = 0;  // 0..3: pen width Linienart + 1
    bool zeichnen = false;
    friend bool operator==(const Schaubild&, const Schaubild&) = default;
};

struct KoordinatensystemEinstellung {
    uint8_t xSkalierung = 0;   // 0 linear, 1 logarithmic, 2 multiples of pi
    uint8_t ySkalierung = 0;
    uint8_t Beschriftung = 1;  // 0 one value per axis, 1 every labelled tick, 2 none
    uint8_t Art = 0;           // 0 plot fills the area, 1 margins for the labels
    uint8_t Gitter = 2;        // 0 crosses, 1 dotted lines, 2 none, 3 solid lines
    Achsentext xAchsentext = "x";
    Achsentext yAchsentext = "y";
    int32_t Gitterfarbe = 0xCCCCCC;
    int32_t Gitterdicke = 0;
    int32_t Achsenfarbe = 0;
    int32_t Achsendicke = 0;
    friend bool operator==(const KoordinatensystemEinstellung&, const KoordinatensystemEinstellung&) = default;
};

using SchaubildTabelle = OneBased<Schaubild, kGraphSlots>;

// The graph slots as the program starts: f drawn in black, nothing else.
SchaubildTabelle DefaultSchaubilder();

// View window and drawing ranges (world coordinates).
struct ViewWindowState {
    double BereichX1 = -8, BereichX2 = 8, BereichY1 = -8, BereichY2 = 8;
    double FgZeichenbereichVon = -8, FgZeichenbereichBis = 8;
    bool FgZeichenbereichAuto = true;
    double H1Von = -8, H1Bis = 8, H2Von = -8, H2Bis = 8, H3Von = -8, H3Bis = 8, H4Von = -8, H4Bis = 8;
    double GeradeU1 = 0, GeradeU2 = 0, GeradeU3 = 0;
    double IntegralfunktionXo = 0;
    friend bool operator==(const ViewWindowState&, const ViewWindowState&) = default;
};

// Parameter ranges of t and the range of the summation index n.
struct ParameterState {
    double FgTVon = 0, FgTBis = 0, FgTSchrittweite = 1;
    double HTVon = 0, HTBis = 0, HTSchrittweite = 1;
    double ParamkurveTVon = -3.141592653589793, ParamkurveTBis = 3.141592653589793, ParamkurveTSchrittweite = 0.01;
    int FgSummeVon = 0, FgSummeBis = 0, FgSummeSchrittweite = 1;
    friend bool operator==(const ParameterState&, const ParameterState&) = default;
};

// Terms, parameter lists, constants and the parser's flags.
struct TermState {
    Funktionsterm TermF, TermG, TermXt, TermYt, TermH1, TermH2, TermH3, TermH4;
    Funktionenliste Listenterme;
    Funktionsterm ParameterListe = "1";
    Funktionsterm ParameterListe2 = "1";
    ParameterWerteFeld ParameterWerte{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    ParameterWerteFeld ParameterWerte2{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    bool ParameterAusListe = false;
    double KonstanteA = 1, KonstanteB = 1, KonstanteC = 1, KonstanteD = 1;
    bool TermOK = true;
    bool TermUsesT = false;
    bool TermUsesN = false;
    bool ParserAllowsY = false;
    int SyntaxErrorPos = 0;
    bool ParameterListeFehler = false;
    friend bool operator==(const TermState&, const TermState&) = default;
};

// The number of values a parameter list holds, whatever its count element says.
int ParameterCount(const ParameterWerteFeld& werte);

// Display and output settings.
struct DisplayState {
    KoordinatensystemEinstellung Koordinatensystem;
    SchaubildTabelle Schaubilder = DefaultSchaubilder();
    int Nachkommastellen = 2;
    int Schriftgroesse = 10;
    std::string Schriftname = "Courier New";
    bool SchriftFett = false;
    bool Rahmen = false;
    Color HintergrundBildschirm = 0xFFFFFF;
    Color HintergrundDrucker = 0xFFFFFF;
    int Aufloesung = 3;
    int AnimationDelay = 0;
    bool FarbspektrumParameter = true;
    int FarbspektrumNummer = 1;
    friend bool operator==(const DisplayState&, const DisplayState&) = default;
};

// Where the graph engine draws, and the transform it derived for that surface.
struct OutputContext {
    Canvas* AusgabeCanvas = nullptr;
    QPaintDevice* AusgabeMetafile = nullptr;
    double AusgabefaktorX = 1, AusgabefaktorY = 1;
    double SamplesPerPixel = 1;
    bool PrintingActive = false;
    bool MetafileActive = false;
    bool DruckVorschau = false;
    int PlotWidthPx = 0, PlotHeightPx = 0;
    int PlotLeft = 0, PlotRight = 0, PlotTop = 0, PlotBottom = 0;
    double PixelOriginX = 0, PixelOriginY = 0;
    double PixelsPerUnitX = 1, PixelsPerUnitY = 1;
    bool LogScaleX = false, LogScaleY = false;
    int DecadesX = 2, DecadesY = 2;
    double ValueLimitHigh = 1e10, ValueLimitLow = -1e10;
    double UnitsPerCmX = 1, UnitsPerCmY = 1;
    double TickLabelStepX = 1;
    int PrinterPixelsPerInchX = 0;
    int PrintOffsetX = 0, PrintOffsetY = 0;
    // The printable part of the page in the device pixels the graph is drawn
    // in, whose origin is the graph's; none (zero size) off the printer.
    int PageLeft = 0, PageTop = 0, PageRight = 0, PageBottom = 0;
    double PrintScaleX = 0, PrintScaleY = 0;
    double RandLinks = 1.0, RandOben = 1.0;
};

// Program and dialog control.
struct ProgramControl {
    std::string ProgramDir;
    bool ErstesZeichnen = false;
    bool KeepFamilyDialogInputs = false;
    bool IgnoreNextMouseUp = true;
    bool DruckenOK = false;
};

extern ViewWindowState gView;
extern ParameterState gParams;
extern TermState gTerms;
extern DisplayState gDisplay;
extern OutputContext gOutput;
extern ProgramControl gControl;

// Restores every start-up value of the shared state, the lists included.
void ResetProgramState();

// What the main window sets after reading the settings file, whatever the file said.
void ApplyStartupOverrides();

}  // namespace kalvo
