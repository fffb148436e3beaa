#pragma once
// The persistent part of the shared state: kalvo.INI.

#include <string>

#include "ini_file.h"

namespace kalvo {

inline constexpr const char* kSettingsFileName = "kalvo.INI";

// The file to read: the program folder's when it can be read, else the one
// in the user's configuration folder; when neither exists, the program
// folder's path.
std::string SettingsPathForReading();
// The file to write: in the program folder when it is writable and its
// settings file can be read or does not exist yet, otherwise in the user's
// configuration folder (created when missing).
std::string SettingsPathForWriting();

// Reads the settings file into the shared state. Missing keys and values that
// do not convert keep their defaults; counts and enumerations are clamped.
// A file that exists but cannot be read (unreadable, too large, not a
// regular file) is left alone with one message; the settings then come from
// and go to the configuration folder.
void LoadSettings();
// Writes every setting; on failure shows a message and keeps the old file.
// A file that exists but cannot be read is not replaced.
bool SaveSettings();

// The same, on an INI object (tests, and the archive files that reuse the keys).
void ReadSettings(const IniFile& ini);
void WriteSettings(IniFile& ini);

}  // namespace kalvo
