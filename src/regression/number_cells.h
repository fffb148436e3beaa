#pragma once
// The texts of the table cells of the curve-fitting and linear-system
// windows. A cell holds a constant term while it is typed and a plain number
// once it is left; the number is written in the general form, up to 15
// significant digits with the decimal comma, so that reading it back gives
// the value again as far as the display goes.

#include <string>
#include <string_view>

namespace kalvo {

// x with `precision` significant digits (1..17), trailing zeros dropped:
// fixed for 1e-5 <= |x| < 10^precision, else "1,5E-7" style with at least
// `minExpDigits` exponent digits. A value that is not finite gives "nicht def.".
std::string GeneralNumberText(double x, int precision = 15, int minExpDigits = 0);

// A cell's text as a constant term: false when it is empty, not a valid term
// (a syntax error shows its message unless parsing is quiet) or undefined.
bool CellTermValue(std::string_view text, double& value);

// The text without any blank.
std::string RemoveBlanks(std::string_view text);

// What a cell may keep when Enter leaves it: nothing, or a constant term
// with a value (a syntax error shows its message unless parsing is quiet).
bool CellTextAccepted(std::string_view text);

}  // namespace kalvo
