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

// Reading stops at the pairs the table can hold.
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
    int Angegeben = 0;         // own format: the pair count of its second line (at most the table's rows)
    int Fehlend = 0;           // own format: pair lines that count promised beyond the end of the file
};

// The own format from the text of a file: nothing (N = 0) unless the first
// line is exactly "Regression"; the second line gives the count of pair
// lines after it. Blank lines are passed over; a line that is no valid pair
// is left out, never read as (0; 0).
Messdaten LoadMesstabelleDat(std::string_view text);
// Plain text: the valid pairs of the lines that are not blank, in file order.
Messdaten LoadMesswerteTxt(std::string_view text);

// What the user is told once after loading: how many lines were left out and
// the first one's number, and a count the file did not keep. Empty when the
// file was read as it stands.
std::string LadeHinweis(const Messdaten& d);

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
