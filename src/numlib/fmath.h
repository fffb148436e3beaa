#pragma once
// Elementary functions that never raise a floating-point fault: instead of
// failing they set MathErr and return a fixed finite substitute (0 or MaxNum),
// so the fitting code can always go on with a finite number.

#include <bit>
#include <cstdint>

#include "numlib_state.h"

namespace kalvo {

// Four units of the last place below the largest double.
inline constexpr double MaxNum = std::bit_cast<double>(uint64_t{0x7FEFFFFFFFFFFFFB});
inline constexpr double MachEp = 2.220446049250313E-16;
inline constexpr double MinLog = -708.3964185322641;  // ln of the smallest normal double
inline constexpr double MaxLog = 709.782712893384;    // ln of the largest double
inline constexpr double Pi = 3.141592653589793;

// Stores code in MathErr (and, when it is the first error since StickyMathErr
// was cleared, there too) and returns its substitute: MaxNum for -2 and -3, else 0.
double SetMathErr(int32_t code);

int IMin(int a, int b);
double FMax(double x, double y);
int SignOf(double x);  // 1 for x >= 0 (also -0.0), -1 below
void FSwap(double& a, double& b);

// These four clear MathErr first.
double Expo(double x);
double Log(double x);
double Pythag(double x, double y);  // sqrt(x^2 + y^2) without intermediate overflow
double ArcCosine(double x);

// These three only set MathErr on an error; a caller that tests it clears it first.
bool PowerSpecialCase(double x, double y, double& r);
double IntPower(double x, int n);
double RealPower(double x, double y);

}  // namespace kalvo
