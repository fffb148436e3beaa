#include "flaeche.h"

#include <algorithm>

namespace kalvo {

TFlaeche::TFlaeche(int xgrid, int ygrid) {
    Fxm = std::clamp(xgrid, -1, kMaxIndex);
    Fym = std::clamp(ygrid, -1, kMaxIndex);
    // Without nodes in one direction there are none at all (Inside() fails).
    if (Fxm < 0 || Fym < 0) return;
    FFloatFlaeche.assign(static_cast<size_t>(Fxm + 1) * static_cast<size_t>(Fym + 1), TSurfPoint{});
}

void TFlaeche::Make(int i, int j, double x, double y, double z) {
    if (!Inside(i, j)) return;
    FFloatFlaeche[static_cast<size_t>(i) * static_cast<size_t>(Fym + 1) + static_cast<size_t>(j)] = {x, y, z};
}

TSurfPoint TFlaeche::D3Point(int i, int j) const {
    if (!Inside(i, j)) return {};
    return FFloatFlaeche[static_cast<size_t>(i) * static_cast<size_t>(Fym + 1) + static_cast<size_t>(j)];
}

}  // namespace kalvo
