#pragma once
// The term lists of the 3D window: plain text files with one entry per line,
// z(x,y) terms in ".LFF" files, parametric surfaces as "x=...;y=...;z=..."
// in ".LPF" files. They are user files: whatever they hold is cut to sizes
// the window can take, and never more entries than kMaxTermlistenEintraege.

#include <string>
#include <string_view>
#include <vector>

#include "atomic_file.h"

namespace kalvo {

enum class Termlistenart { Funktion, Parameter };

// More lines than this are not read; a file larger than kMaxTermlistenBytes
// is refused as a whole.
inline constexpr size_t kMaxTermlistenEintraege = 1000;
inline constexpr size_t kMaxTermlistenBytes = 1 << 20;

// The longest entry in characters: one term, or three terms with their markers.
size_t MaxEintragZeichen(Termlistenart art);

// "LFF" or "LPF".
const char* TermlistenEndung(Termlistenart art);

struct Termliste {
    std::vector<std::string> eintraege;
    // Lines left out beyond kMaxTermlistenEintraege, and lines cut to the longest entry.
    size_t ausgelassen = 0;
    size_t gekuerzt = 0;
};

// The lines of a file's bytes (UTF-8 or Windows-1252, LF, CRLF or CR), empty
// lines included; a line break at the end ends the last line and starts no
// new one. Control characters and byte-order marks are dropped.
Termliste TermlisteAusText(std::string_view bytes, Termlistenart art);

// One line per entry that is not empty, each ended by CR LF.
std::string TermlisteText(const std::vector<std::string>& eintraege);

// What the user is told of a list read from the file `name`: lines left
// out, lines cut; one text each, none when the file was read whole.
std::vector<std::string> TermlistenHinweise(const Termliste& liste, const std::string& name);

// Reads a list file; false with a message text when it cannot be read or is too large.
bool TermlisteLaden(const std::string& pfad, Termlistenart art, Termliste& liste, std::string& fehler);
WriteResult TermlisteSpeichern(const std::string& pfad, const std::vector<std::string>& eintraege);

// The name a chosen file is saved under: its name without the folder, cut
// before its first ".", with the list's extension, in the chosen folder.
// Empty when nothing of the name is left.
std::string TermlistenDateiname(const std::string& gewaehlt, Termlistenart art);

struct Parameterterme {
    std::string x, y, z;
};

// "x=" x ";y=" y ";z=" z.
std::string ParameterEintrag(const Parameterterme& t);

// An entry split at its markers: the x term runs from "x=" to the character
// before "y=", the y term from "y=" to the character before "z=", the z term
// is the rest after "z=". A term is empty when its own marker or the one
// after it is missing.
Parameterterme ParameterEintragZerlegen(std::string_view eintrag);

}  // namespace kalvo
