#pragma once
// The curve fitting without its window: the value table's check, sorting
// and rewriting, the fit of the chosen model through the numerical library,
// the fitted term handed to f(x), and the report. The window shows what this
// leaves; the tests drive it directly.

#include <array>
#include <string>
#include <vector>

#include "analysis_state.h"
#include "matrices.h"
#include "regress.h"

namespace kalvo {

// Rows of the value table; row 0 of the grid is its header.
inline constexpr int kWertepaarZeilen = kMaxMesswerte;

// The pairs of the last successful table check, sorted by x: entries
// 1..RegrAnzahl (entry 0 unused). They live while the program runs, so a
// table survives closing and reopening the window.
extern int RegrAnzahl;
extern TVector RegrX, RegrY;
// Parameter vector of the last fit (ModelFirstParamIndex..ModelLastParamIndex).
extern TVector RegrParameter;

// Back to the start of the program run (tests).
void ResetRegressionModule();

// The cell texts of the value table, rows 1..500 (row 0 unused).
struct Messwerttabelle {
    std::array<std::string, kWertepaarZeilen + 1> x{}, y{};
    void Clear();
};

// Models as the radio buttons number them; 8 is the quadratic polynomial.
inline constexpr int kModellQuadratisch = 8;
inline constexpr int kModellSinus = 11;

inline constexpr char kMsgMehrWertepaare[] = "Zahl der Wertepaare erhöhen!";
inline constexpr char kMsgFitUnmoeglich[] = "Die Kurvenanpassung ist nicht möglich!";

// Reads, checks, sorts and rewrites the table: a row missing x or y is
// emptied; RegrAnzahl counts the complete rows. With no complete row it
// returns at once, leaving `fehler` as the caller set it. Otherwise `fehler`
// tells whether a message was shown; after a message the table keeps what
// was typed. On success the table holds the pairs sorted by x without gaps
// as plain numbers, and RegrX, RegrY and MesswertTexteX/Y hold them too.
void Tabellepruefen(Messwerttabelle& tabelle, bool& fehler);

// Sorts entries lo..hi of x by ascending x, moving y along (pairs with equal
// x may change their order).
void QuickSortWertepaare(TVector& x, TVector& y, int lo, int hi);
void SortWertepaare(TVector& x, TVector& y, int n);

struct FitErgebnis {
    bool ok = false;
    std::string Funktionstext;     // "y = ..." or "f(x) = ..."
    std::string Korrelationstext;  // "Korrelationskoeffizient: r = ..."
    std::vector<std::string> Protokoll;  // with the report flag only
};

// Fits the model of gRegression to RegrX, RegrY (1..RegrAnzahl) and sets
// f(x). A failed fit shows "Die Kurvenanpassung ist nicht möglich!" and
// leaves f(x) as it was.
FitErgebnis calculate_fit(bool mitProtokoll);

// A parameter whose term changes the fitted values over the data by no more
// than this part of the largest |y| is rounding noise and shown as 0; the
// sine fit, which iterates to a looser tolerance, uses the larger share.
inline constexpr double kParameterRauschen = 1e-12;
inline constexpr double kSinusParameterRauschen = 1e-10;

// Sets the noise parameters of the fitted model (the sine model: of
// SinusFit.SinusParameter) to 0, judging each by its effect over X, Y 1..N.
void ParameterBereinigen(int modell, TVector& B, const TVector& X, const TVector& Y, int N);

// v, or 0 when it is no larger than rounding noise at the data's scale.
double ProtokollRauschfrei(double v, double scale);

// What the fit leaves for the term and the report: the term text, the
// correlation coefficient r and its square as reported.
struct Regressionsterm {
    std::string Term;
    std::string Funktionstext;
    std::string Korrelationstext;
    double r = 0;
    double rQuadrat = 0;
};

// For the model as fitted (8 already turned into 2; 11 the sine model, which
// reads SinusFit), with `decimals` places or, when 0, the window's setting.
// The parameters are taken as they are (cleaned by ParameterBereinigen).
Regressionsterm BuildRegressionsterm(int modell, TVector& B, const RegressionsStatistik& statistik,
                                     int decimals = 0);

// f(x) after a fit: the term without blanks and with decimal points, or
// empty when "Funktionsgraph" is off. A term longer than f(x) can hold is
// built again with fewer decimals; false (f(x) unchanged) when even one
// decimal is too long.
bool SetRegressionTermF(int modell, TVector& B, const RegressionsStatistik& statistik);

// The report lines of a fit: model, parameters, r, the table of measured
// against computed values and the standard deviation, ended by four blanks.
std::vector<std::string> WriteProtokoll(int modell, int N, const TVector& X, const TVector& Y,
                                        const TVector& Ycalc, const RegressionsStatistik& statistik,
                                        const TVector& B, const Regressionsterm& term);

// The column header of the report's value table.
std::string ProtokollTabellenkopf();

// The line that ends every report and stops its printing.
inline constexpr char kProtokollEnde[] = "    ";

}  // namespace kalvo
