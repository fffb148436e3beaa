#pragma once
// The linear-system solver without its window: Gauss-Jordan reduction of the
// augmented matrix (A | b), the verdict on the solution set, the fraction
// texts of the result, and the history of the input matrices of the run.

#include <array>
#include <string>
#include <vector>

namespace kalvo {

inline constexpr int kLgsMaxZeilen = 7;    // equations
inline constexpr int kLgsMaxSpalten = 8;   // unknowns + 1
inline constexpr int kLgsHistorieSlots = 20;

// Rows and columns counted from 1 (index 0 unused), room for 8 of each.
using LgsMatrix = std::array<std::array<double, 9>, 9>;

// The 20 newest input matrices of the program run, oldest first in slots
// 1..20 (0 unused); the read position LgsHistorieIndex lives in gRegression,
// and LgsHistorieAnzahl there follows the next free slot (20 once full).
extern std::array<LgsMatrix, kLgsHistorieSlots + 1> LgsHistorie;
// Back to the start of the program run (tests).
void ResetLgsHistorie();
// Stores an input as the newest; with 20 stored the oldest is dropped.
void LgsHistorieSpeichern(const LgsMatrix& eingabe);
// Whether any input has been stored in this run, and how many are held.
bool LgsHistorieVorhanden();
int LgsHistorieGespeichert();
// The input the restore button shows next, and moves the read position on:
// from the oldest to the newest, then the oldest again. False when nothing
// has been stored.
bool LgsHistorieNaechste(LgsMatrix& matrix);

// Row operations on columns 1..n; after adding and scaling, entries below
// 1e-12 in magnitude become 0.
void RowSwap(LgsMatrix& A, int i, int s, int n);
void RowAddMultiple(LgsMatrix& A, int i, int r, double f, int n);
void RowScale(LgsMatrix& A, int i, double f, int n);

// Reduced row echelon form of rows 1..m, columns 1..n, in place: the first
// usable pivot of each column, exact comparisons, b taking part like any
// other column.
void rref(LgsMatrix& A, int m, int n);

enum class LgsUrteil { KeinUrteil, KeineLoesung, UnendlichViele, Eindeutig };
// The verdict on a reduced matrix: only for square systems (n - 1 = m).
LgsUrteil LgsLoesungsurteil(const LgsMatrix& R, int m, int n);

// An exact fraction, reduced, the denominator positive.
__extension__ typedef __int128 LgsGanzzahl;
struct LgsBruch {
    LgsGanzzahl zaehler = 0, nenner = 1;
};
using LgsBruchMatrix = std::array<std::array<LgsBruch, 9>, 9>;

// The exact reduced row echelon form of rows 1..m, columns 1..n, where every
// entry is a decimal number as typed (at most 15 significant digits): each
// row scaled by a power of ten is whole, and fraction-free Gauss-Jordan in
// 128-bit integers (every product checked, every division tested to leave
// no remainder) gives each entry as a whole number over the pivot
// determinant. False when an entry is no such decimal or a number would
// not fit: then nothing exact is known.
bool LgsExaktReduzieren(const LgsMatrix& A, int m, int n, LgsBruchMatrix& R);
LgsUrteil LgsLoesungsurteil(const LgsBruchMatrix& R, int m, int n);
// "p/q", "p" for a whole number; the nearest double.
std::string BruchText(const LgsBruch& b);
double BruchWert(const LgsBruch& b);

// p/q close to x within `tolerance` by the continued-fraction expansion of
// |x|; p carries the sign. False when no such fraction was reached.
bool FloatToFraction(double x, double& p, double& q, double tolerance = 1e-15);
double FloatGcd(double a, double b);
long long IntGcd(long long a, long long b);

// A computed value carries rounding noise relative to its size: it is taken
// as the fraction p/q when |x - p/q| < 1e-12 max(1, |x|) and, so that no
// number turns into a fraction by chance, q^2 times that tolerance stays
// below 1e-2 (at |x| <= 1 denominators up to 10^5; distinct fractions of such
// denominators lie far more than the tolerance apart).
inline constexpr double kBruchToleranz = 1e-12;
inline constexpr double kBruchEindeutig = 1e-2;
double BruchToleranz(double x);

// A value as a fraction ("5/2", "-3", "0") where one is close enough and
// small enough, else as a decimal number with at least one decimal.
std::string FormatBruch(double x);
// Whether FormatBruch shows x as a fraction or a whole number.
bool AlsBruchErkannt(double x);
// x as a whole number when it is one, else as a decimal number: for values
// that are not known exactly, where a fraction could be wrong.
std::string DezimalText(double x);

// A value in the general form with `stellen` significant digits (0 counts as
// 1) and at least three exponent digits.
std::string LgsZahltext(double x, int stellen);

// The verdict line: "L = {(x1; x2; ...)}" with the texts of the solution,
// "keine Lösung!", "unendlich viele Lösungen!" or empty.
std::string LgsUrteilText(LgsUrteil urteil, const std::vector<std::string>& loesung);
// The same with the b* column of R written by `zahltext`.
template <typename ZahlText>
std::string LgsUrteilText(LgsUrteil urteil, const LgsMatrix& R, int m, int n, ZahlText zahltext) {
    std::vector<std::string> loesung;
    if (urteil == LgsUrteil::Eindeutig)
        for (int r = 1; r <= m; ++r) loesung.push_back(zahltext(R[static_cast<size_t>(r)][static_cast<size_t>(n)]));
    return LgsUrteilText(urteil, loesung);
}

// A solve as the window shows it.
struct LgsErgebnis {
    LgsMatrix werte{};  // the reduced matrix; exact entries as their nearest doubles
    std::array<std::array<std::string, 9>, 9> texte;  // the result grid's cells
    LgsUrteil urteil = LgsUrteil::KeinUrteil;
    std::string urteilText;
    bool exakt = false;  // reduced exactly, so every text is right as it stands
};
// Reduces the input exactly where it can, else in floating point. With
// fractions on, an exact result shows its fractions; otherwise only values
// that pass the fraction guard do, and a unique solution shows either all
// its components as fractions or all as decimals. With fractions off every
// value has `stellen` significant digits.
LgsErgebnis LgsLoesen(const LgsMatrix& eingabe, int m, int n, bool brueche, int stellen);

}  // namespace kalvo
