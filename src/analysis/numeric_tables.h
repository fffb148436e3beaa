#pragma once
// The tables of the value-table and Newton windows, computed from the term in
// FunktionTermbaum without any window: the windows show the rows, print them
// and copy them, and the tests check them directly.

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace kalvo {

// The family's n sum of the term in the main tree, as the graph shows it:
// from the start index (a term without n is evaluated once) to FgSummeBis.
// `definiert` tells whether the value is defined.
double FamilienWert(int order, double x, double t, bool& definiert);
// The same of order 0 as a function of x, for the refined derivatives.
std::function<bool(double, double&)> FamilienFunktion(double t);

// What a number that does not exist shows: " nicht def.".
std::string NichtDefiniertText();

// ---- value table ----

inline constexpr int kWertetabelleMaxZeilen = 101;

using WertetabelleZeile = std::array<std::string, 5>;

struct WertetabelleEingabe {
    double von = -8, bis = 8, schritt = 1, t = 0;
};

struct Wertetabelle {
    // The input as it was used: the step positive (0 becomes 1), von <= bis.
    WertetabelleEingabe eingabe;
    std::vector<WertetabelleZeile> zeilen;  // without the header
    // What the table could not show and why, said to the user (one line
    // for each reason); empty when nothing.
    std::string meldung;
};

// The table ends where its work budget does; a row's derivatives that its
// share of the budget cannot refine read "nicht def.".
inline constexpr const char* kTabelleAbgebrochen =
    "Die Wertetabelle wurde abgebrochen: zu viel Rechenaufwand.";
inline constexpr const char* kAbleitungenNichtBerechnet =
    "Nicht alle Ableitungen konnten berechnet werden (zu viel Rechenaufwand); sie stehen als \"nicht def.\" in der Tabelle.";
// A derivative that may exist but could not be shown right to its digits.
inline constexpr const char* kAbleitungenNichtGesichert =
    "Nicht alle Ableitungen lie\xC3\x9F" "en sich auf die angezeigten Stellen genau bestimmen (die N\xC3\xA4herungen "
    "stimmen nicht \xC3\xBC" "berein, oder der Term \xC3\xA4ndert sich schneller, als die feinste Schrittweite "
    "aufl\xC3\xB6st); sie stehen als \"nicht def.\" in der Tabelle.";

// The header row: "     x", "    f(x)", ...
const WertetabelleZeile& WertetabelleKopf();

// x from von on, each x rounded to `dezimalen` decimals before it is used and
// before the step is added, until x passes bis or 101 rows are made, within
// a work budget of kWaitSeconds: the rows it pays for, each row's refined
// derivatives with what is left shared out over the rows still to come.
Wertetabelle WertetabelleBerechnen(WertetabelleEingabe eingabe, int dezimalen);

// ---- Newton's method ----

// A run that has not ended after kNewtonMaxSchritte steps goes on only
// while its steps shrink steadily: near a zero of order m they shrink by
// 1 - 1/m, and from 2 to 1e-10 a zero of order 20 takes some 480 steps.
inline constexpr int kNewtonMaxSchritte = 100;
inline constexpr int kNewtonMaxSchritteStetig = 2000;

using NewtonZeile = std::array<std::string, 6>;

const NewtonZeile& NewtonKopf();

struct NewtonErgebnis {
    // The start value is a zero: the table stays as it was.
    bool startwertIstNullstelle = false;
    // The work budget ran out: the rows are the steps it paid for in full.
    bool abgebrochen = false;
    // One row per step, n = 0, 1, ...; a step that could not be taken leaves
    // its row empty.
    std::vector<NewtonZeile> zeilen;
    double letztesX = 0;
    // Why the iteration stopped; empty when it converged.
    std::string meldung;
};

inline constexpr const char* kStartwertIstNullstelle = "Startwert ist Nullstelle!";
inline constexpr const char* kAbleitungNull = "  f'(x(n)) = 0 --> Das Iterationsverfahren konvergiert nicht.";
inline constexpr const char* kKonvergiertNicht = "Das Iterationsverfahren konvergiert nicht. => Keine L\xC3\xB6sung!";
inline constexpr const char* kNichtDefiniert = " ----> nicht definiert !";

// x(n+1) = x(n) - f(x(n)) / f'(x(n)) from x0 at parameter t, with the cells'
// decimals `dezimalen` (1 to 7). It ends where the last x shows the zero
// right to those decimals (judged by how the steps shrink), where a step
// cannot be taken (f or f' undefined, f' = 0), where the run diverges (a
// trend of growing |x|, a flat tail) or after 100 steps unless they shrink
// steadily. Where f rounds to 0 before x shows the zero, the last x shows
// the limit the steps head for, when that is certain to its digits. Within
// a work budget of kWaitSeconds; what it cannot pay for ends the table
// with kBerechnungAbgebrochen.
NewtonErgebnis NewtonBerechnen(double x0, double t, int dezimalen);

}  // namespace kalvo
