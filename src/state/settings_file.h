#pragma once
// The persistent part of the shared state: kalvo.INI.

#include <string>

#include "ini_file.h"

namespace kalvo {

inline constexpr const char* kSettingsFileName = "kalvo.INI";

// The file to read: where the settings were saved last. That is the user's
// configuration folder's file when saving goes there, or when it is newer
// than the program folder's; otherwise the program folder's file.
std::string SettingsPathForReading();
// The file to write: in the program folder when a file can be written there
// and its settings file can be read and is not write-protected (or does not
// exist yet), otherwise in the user's configuration folder (created when
// missing).
std::string SettingsPathForWriting();

// Reads the settings file into the shared state. Missing keys and values that
// do not convert keep their defaults; counts and enumerations are clamped.
// A file that exists but cannot be read (unreadable, too large, not a
// regular file) is left alone with one message; the settings then come from
// and go to the configuration folder.
void LoadSettings();
// Writes every setting; on failure shows a message and keeps the old file.
// A file that exists but cannot be read is not replaced. Settings saved
// elsewhere than in the program folder are followed by a message that says
// where and why.
bool SaveSettings();

// The same, on an INI object (tests, and the archive files that reuse the keys).
void ReadSettings(const IniFile& ini);
void WriteSettings(IniFile& ini);

}  // namespace kalvo
