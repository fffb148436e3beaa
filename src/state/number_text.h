#pragma once
// Every number a user sees or types passes through here: decimal comma for
// the user, a fixed form inside a middle band of magnitudes and a scientific
// form outside it. Independent of the process locale.

#include <cstdint>
#include <string>
#include <string_view>

#include "decimal.h"

namespace kalvo {

// What a formatter prints for a value that is not finite.
inline constexpr std::string_view kNotFiniteText = "nicht def.";

// x rounded to d decimals with a decimal point, right-aligned in at least w
// characters; no point for d = 0.
std::string Fixed(double x, int w, int d);

std::string FormatNumberCommaBlanks(int d, double x);
std::string FormatNumberComma(int d, double x);
std::string FormatNumberCommaTight(int d, double x);
std::string FormatNumberWide(int d, double x);
std::string FormatNumberPoint(int d, double x);
std::string ScientificText(int w, int d, double x);
std::string RealToStrFixed(double x, int w, int d);
std::string RealToStrComma(double x, int w, int d);
std::string FormatTwoDecimals(double x);
std::string IntToText(long long i);
std::string PointToComma(std::string s);
std::string CommaToPoint(std::string s);
std::string RepeatChar(char c, int n);
std::string PadRightWith(std::string s, int n, char c);

// The number in s, "," or "." as decimal separator; 0 when s is not a plain
// decimal number (infinities, NaN and hexadecimal included).
double StrToRealComma(std::string_view s);
// What an integer field takes: a whole number in int range with an optional
// sign and blanks around it. False, with value untouched, for anything else.
bool ReadWholeNumber(std::string_view s, int& value);
int DecimalExponent(double x);
double DecimalMantissa(double x);
double RoundToDecimals(int n, double x);

inline void SwapInt(int& a, int& b) { int t = a; a = b; b = t; }
inline void SwapReal(double& a, double& b) { double t = a; a = b; b = t; }

inline uint32_t MakeRGB(int r, int g, int b) {
    return static_cast<uint32_t>(r & 0xFF) | (static_cast<uint32_t>(g & 0xFF) << 8) |
           (static_cast<uint32_t>(b & 0xFF) << 16);
}

// The pi sign inside terms and files, as UTF-8.
inline constexpr std::string_view kPiSign = "\xC2\xB6";
// The pi sign as the user sees and types it (U+03C0), and its capital (U+03A0).
inline constexpr std::string_view kPiShown = "\xCF\x80";
inline constexpr std::string_view kPiShownCapital = "\xCE\xA0";

// A term as it is shown to the user (fields, lists, the term tree,
// printouts, pictures, documents): the internal pi sign reads π.
std::string TermShown(std::string_view term);
// The term behind what a field shows or the user typed: π (or Π) is the
// internal pi sign again, so that what is stored stays as it always was.
std::string TermFromShown(std::string_view shown);

std::string NormalizeTermText(std::string_view s);
// The line y = m x + b; slope and intercept below zeroBelow in size count as 0.
std::string LineEquationText(double m, double b, double zeroBelow = 0.01);

// Text lengths are counted in characters, not bytes: cuts a UTF-8 text after
// at most n characters, never inside a character.
std::string CutToChars(std::string_view s, size_t n);
size_t CharCount(std::string_view s);

// Rounds a double to an int, ties to even, clamped in floating point; a value
// that is not finite maps to the limit of its sign (NaN to the lower limit).
int RoundToInt(double x);
int ClampToInt(double x, int lo, int hi);

}  // namespace kalvo
