#pragma once
// One function set (an ArchivEintrag) and the INI sections it occupies. The
// settings file holds the current set as entry 0; a function archive holds
// entry 0 and the sets of the store, whose section names carry " Nr" and the
// entry number. Both files read and write these sections through here.

#include <string>
#include <string_view>

#include "ini_file.h"
#include "object_lists.h"
#include "program_state.h"

namespace kalvo {

// The whole graph state to and from one function set.
void StoreGraphState(ArchivEintrag& e);
void LoadGraphState(const ArchivEintrag& e);

// "name" for entry 0, "name Nr<entry>" for the entries of the store.
std::string FunctionSetSection(std::string_view name, int entry);
// prefix + the number + suffix, as repeated keys are named ("Linienfarbe12", "f3(x)").
std::string NumberedKey(std::string_view prefix, int i, std::string_view suffix = "");
// An integer read from the file, clamped to the range the program works with.
int ReadClampedInteger(const IniFile& ini, std::string_view section, std::string_view key, int current, int lo, int hi);

// "Koordinatensystem": the coordinate-system settings and the label font.
void ReadKoordinatensystemSection(const IniFile& ini, KoordinatensystemEinstellung& k, int& schriftgroesse,
                                  std::string& schriftname, bool& schriftFett);
void WriteKoordinatensystemSection(IniFile& ini, const KoordinatensystemEinstellung& k, int schriftgroesse,
                                   const std::string& schriftname, bool schriftFett);

// "Schaubilder" of one entry: colour, line kind and draw flag of the 34 slots.
void ReadSchaubilderSection(const IniFile& ini, int entry, SchaubildTabelle& slots);
void WriteSchaubilderSection(IniFile& ini, int entry, const SchaubildTabelle& slots);

// "Funktionsterme": the eight terms of the function list (one per file).
void ReadListentermeSection(const IniFile& ini, Funktionenliste& terms);
void WriteListentermeSection(IniFile& ini, const Funktionenliste& terms);

// The sections from "Konstanten" to "x(t), y(t) Parameter t" of one entry.
// Missing keys give the read defaults of the settings file; the parameter
// values keep what e holds.
void ReadFunctionSetSections(const IniFile& ini, int entry, ArchivEintrag& e);
void WriteFunctionSetSections(IniFile& ini, int entry, const ArchivEintrag& e);

}  // namespace kalvo
