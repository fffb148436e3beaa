#pragma once
// Function archives ("Funktionen-Archiv (*.LIB)"): the current function set
// and every set of the function store in one INI text, with the keys of the
// settings file. Entry 0 is the current set and its sections carry no
// suffix; entry i of the store has " Nr" and i appended to each section
// name. "Koordinatensystem" (with the label font) and "Archiv" stand once at
// the top; the function list ("Funktionsterme") and the frame ("Grafik")
// belong to no entry.
//
// Reading and writing work on plain values, so that a damaged file can be
// read without a window; the main window's buttons only choose the file.

#include <string>
#include <utility>
#include <vector>

#include "ini_file.h"
#include "object_lists.h"
#include "program_state.h"

namespace kalvo {

inline constexpr const char* kArchiveFilter = "Funktionen-Archiv (*.LIB)";

// Everything an archive holds.
struct ArchiveContents {
    KoordinatensystemEinstellung Koordinatensystem;
    int Schriftgroesse = 10;
    std::string Schriftname = "Courier New";
    bool SchriftFett = false;
    Funktionenliste Listenterme;
    bool Rahmen = false;
    // Entry 0.
    ArchivEintrag Aktuell;
    // Entries 1 to N, in file order.
    std::vector<ArchivEintrag> Speicher;
    // Whether the file holds the current set. Without it the program keeps
    // its current state as it is, and only the stored sets join the store.
    bool MitAktuell = true;
};

// The current state, with the whole function store unless withStore is false.
ArchiveContents ArchiveFromProgram(bool withStore = true);

// Writes every section of the archive, in the file's order.
void WriteArchive(IniFile& ini, const ArchiveContents& a);

// What reading found that the user is told: no current set, a count that
// is none, entries the count names that the file lacks, entries beyond the
// count, entries the store has no room for.
struct ArchiveReadNotes {
    bool current = true;      // the file holds the current set (a section of entry 0 with a key)
    std::string countText;  // "Anzahl" as the file spells it
    bool countGiven = false;  // "Anzahl" is there and an integer
    bool countValid = true;   // "Anzahl" is missing or a count from 0
    int count = 0;            // as read; 0 when missing or no integer
    std::vector<std::pair<int, int>> gaps;  // entries 1..count without any section: first, last
    int present = 0;  // entries 1..count the file has
    int beyond = 0;   // entries numbered above the count, not read
    int left = 0;     // entries the store had no room for
    // Not one set of the file comes into the program.
    bool Nothing() const { return !current && present - left <= 0; }
};

// Reads an archive. A key the file lacks takes the default of the archive
// format, or for the slots, the coordinate system, the function list, the
// parameter values, the decimals and the frame, the value `start` has (for
// the entries of the store: the value of the entry read before). Counts,
// sizes and kinds are clamped; entries the file has no section with a key
// of are left out (entry 0 too: the result is then `start` without it), and
// no more entries are read than the store has room for besides `storeCount`
// sets. A count that is no integer counts as 0; a negative count reads no
// entry, not even entry 0.
ArchiveContents ReadArchive(const IniFile& ini, const ArchiveContents& start, int storeCount = 0,
                            ArchiveReadNotes* notes = nullptr);

// The one message that tells the user what of the file `name` was not read
// and why; empty when the file was read as it stands. When nothing of it is
// taken (notes.Nothing()), it says so first.
std::string ArchiveReadMessage(const ArchiveReadNotes& notes, const std::string& name);

// Whether the file has any section of an archive or of the settings file.
bool LooksLikeArchive(const IniFile& ini);

// Into the program: the current state, label font, function list and frame
// (none of them from an archive without a current set); the sets of the
// archive go into the store ahead of the sets it holds.
void ApplyArchive(const ArchiveContents& a);

// The file a chosen name stands for: its folder, its name up to the first
// ".", then `extension` (".lib"). Empty when no name is left.
std::string FileNameWithExtension(const std::string& chosen, const std::string& extension);

// Writes the program's archive through a temporary file; on failure a
// message, and an old file of that name stays as it was.
bool SaveFunctionArchive(const std::string& path);

// Reads an archive into the program. A file that cannot be read, holds no
// archive or no set that can be taken gets a message and changes nothing;
// what a file holds that was not read is named in a warning. No redraw.
bool LoadFunctionArchive(const std::string& path);

}  // namespace kalvo
