#pragma once
// The persistent part of the shared state: kalvo.INI.

#include <string>

#include "ini_file.h"

namespace kalvo {

inline constexpr const char* kSettingsFileName = "kalvo.INI";

// The file to read: the program folder's, else the one in the user's
// configuration folder; when neither exists, the program folder's path.
std::string SettingsPathForReading();
// The file to write: in the program folder when it is writable, otherwise in
// the user's configuration folder (created when missing).
std::string SettingsPathForWriting();

// Reads the settings file into the shared state. Missing keys and values that
// do not convert keep their defaults; counts and enumerations are clamped.
void LoadSettings();
// Writes every setting; on failure shows a message and keeps the old file.
bool SaveSettings();

// The same, on an INI object (tests, and the archive files that reuse the keys).
void ReadSettings(const IniFile& ini);
void WriteSettings(IniFile& ini);

}  // namespace kalvo
