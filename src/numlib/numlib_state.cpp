#include "numlib_state.h"

#include "models.h"
#include "regress.h"
#include "sinefit.h"

namespace kalvo {

int32_t MathErr = 0;
int32_t StickyMathErr = 0;
bool FitErrorFlag = false;
SinusFitState SinusFit;

void ResetNumlibState() {
    MathErr = 0;
    StickyMathErr = 0;
    FitErrorFlag = false;
    SinusFit = SinusFitState{};
    SinusKurve.clear();
    SinusChiQuadrat = 0.0;
    SinusKorrelation = 0.0;
    FitMethod = 1;
    ResetModels();
}

}  // namespace kalvo
