#pragma once
// Program-wide variables of the numerical library. The library sits below the
// program state, so it owns them; the state module re-exports them.

#include <array>
#include <cstdint>

namespace kalvo {

// Code of the last guarded elementary function (fmath.h): 0 no error,
// -1 domain, -2 singularity, -3 overflow, -4 underflow.
extern int32_t MathErr;

// The first error code any guarded function raised since it was last
// cleared. MathErr only tells about the last call, and Expo and Log clear it
// on every call, so an error early in a fit would be forgotten by its end; the
// curve fitting clears this one when a fit starts and tests it afterwards.
extern int32_t StickyMathErr;

// Set by the fitting code when a fit is unusable; the curve-fitting window
// clears it before a fit and treats it as failure afterwards.
extern bool FitErrorFlag;

// Settings and results of the sine fit y = a sin(bx + c) + d that the
// curve-fitting window and its start-value dialog share with the fitter.
struct SinusFitState {
    std::array<double, 4> SinusParameter{};     // fitted a, b, c, d
    std::array<double, 4> SinusDefaultStart{};  // start values computed from the data
    double SinusStartA = 0.0;                   // start values typed by the user
    double SinusStartB = 0.0;
    double SinusStartC = 0.0;
    double SinusStartD = 0.0;
    bool SinusAutomatisch = true;               // use the computed start values
    int32_t SinusIterationen = 10;              // iteration limit typed by the user
    int32_t SinusDefaultIterationen = 10;
};

extern SinusFitState SinusFit;

// Puts every program-wide variable of the library back to its start-up value.
void ResetNumlibState();

}  // namespace kalvo
