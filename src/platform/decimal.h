#pragma once
// Locale-independent reading and writing of doubles, the ground floor of the
// number-text module and of the settings files.

#include <string>
#include <string_view>

namespace kalvo {

// s without blanks, tabs and carriage returns at either end.
std::string_view TrimBlanks(std::string_view s);

// A plain decimal number with "," or "." as separator, optional sign and
// exponent, blanks around it allowed. Infinities, NaN, hexadecimal and
// anything trailing are not numbers.
bool ParseDecimal(std::string_view s, double& value);

// A whole number in 32 bits: decimal, or hexadecimal after "$" or "0x".
bool ParseInteger(std::string_view s, int& value);

// Shortest text that reads back to the same double, with the given separator.
std::string RoundTripText(double x, char separator = '.');

}  // namespace kalvo
