#pragma once
// Value tables in files: the program's own format (".dat": the word
// "Regression", the pair count, then one "x;y" line per pair) and plain text
// (".txt": one pair a line, x and y separated by TAB or ";", decimal comma or
// point). Files come in UTF-8 or Windows-1252 with LF or CR LF; what is
// written is ASCII with CR LF.

#include <string>
#include <string_view>
#include <vector>

#include "atomic_file.h"
#include "matrices.h"

namespace kalvo {

// The pairs the table can hold; reading keeps no more, and counts the rest.
inline constexpr int kMaxDateiWertepaare = 500;
// Larger files are not read at all.
inline constexpr long long kMaxMessdateiBytes = 16LL * 1024 * 1024;

enum class WertepaarStatus { Ok, KeinTrenner, KeineZahl };

// One pair line: "." becomes ",", TAB becomes ";"; split at the first ";",
// blanks removed, an empty y is 0. Without a separator, or with a side that
// is no number, x and y stay as they were.
WertepaarStatus ParseWertepaar(std::string_view line, double& x, double& y);

struct Messdaten {
    int N = 0;        // pairs 1..N of X and Y (entry 0 unused)
    TVector X, Y;
    int Uebergangen = 0;       // lines that held no valid pair and were left out
    int ErsteUebergangene = 0; // line number (from 1) of the first of them
    int Weitere = 0;           // valid pairs beyond the table's rows, not read
    // Own format only:
    bool KeinEigenesFormat = false;  // a first line that is not "Regression"
    bool KeineAnzahl = false;        // a second line that is no count from 1 (or none)
    std::string AnzahlText;          // that line as it stands
    int Angegeben = 0;               // the pair count of the second line
    int Fehlend = 0;                 // pair lines that count promised beyond the end of the file
};

// The own format from the text of a file: nothing (N = 0) unless the first
// line is exactly "Regression" and the second a count from 1; that many pair
// lines follow. Blank lines are passed over; a line that is no valid pair
// is left out, never read as (0; 0). Lines end in LF, CR LF or CR.
Messdaten LoadMesstabelleDat(std::string_view text);
// Plain text: the valid pairs of the lines that are not blank, in file order.
Messdaten LoadMesswerteTxt(std::string_view text);

// What the user is told once after loading: why an own-format file was not
// read, how many lines were left out and the first one's number, a count
// the file did not keep, and the pairs the table had no room for (a later
// save would not write them). Empty when the file was read as it stands.
std::string LadeHinweis(const Messdaten& d);

// The message for a file that gave no pair: that nothing was loaded and the
// table stays, then why (LadeHinweis).
std::string NichtsGeladenMeldung(const Messdaten& d, const std::string& name);

// Reads a file: plain text when the name ends in exactly ".txt", else the
// own format. `fehler` gets a message text when the file cannot be read.
Messdaten LoadMessdatei(const std::string& path, std::string& fehler);

// The save layouts, as the save dialog lists them (1..5).
enum class Speicherformat { Eigenes = 1, TabKomma, TabPunkt, SemikolonKomma, SemikolonPunkt };
// The save dialog's filter entries, in that order.
std::vector<std::string> SpeicherFilter();
// The open dialog's filter entries.
std::vector<std::string> LadeFilter();

// The name the table is written under: the chosen name without its folder,
// cut before its first ".", with ".dat" or ".txt" by the layout.
std::string SpeicherDateiname(std::string_view chosen, Speicherformat format);

// The file's text from the cell texts of the pair rows.
std::string MesswerteDateitext(const std::vector<std::pair<std::string, std::string>>& paare, Speicherformat format);

}  // namespace kalvo
