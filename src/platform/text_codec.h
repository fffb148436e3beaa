#pragma once
// Files from older versions hold single-byte Windows-1252 text ("ö", "ß" and
// the pi sign as one byte each); everything inside the program is UTF-8.

#include <string>
#include <string_view>

namespace kalvo {

bool IsValidUtf8(std::string_view bytes);

// UTF-8 stays as it is (a byte-order mark is dropped); a line that is not
// UTF-8 is read as Windows-1252, line by line. A file that starts with the
// byte-order mark of UTF-16 (either byte order) is read as UTF-16.
std::string DecodeFileText(std::string_view bytes);

std::string Windows1252ToUtf8(std::string_view bytes);

// ASCII and Latin-1 letters folded to lower case, for lookups that ignore case.
std::string FoldCase(std::string_view utf8);

}  // namespace kalvo
