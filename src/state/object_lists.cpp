#include "object_lists.h"

#include <cmath>

namespace kalvo {

namespace {

double CountingStep(double step) {
    if (std::isfinite(step) && step != 0) return std::fabs(step);
    return 1.0;
}

}  // namespace

double FamilyMemberCount(const Parameterbereich& r) {
    const double extra = std::floor((r.bis - r.von) / CountingStep(r.Schrittweite) + 1e-9);
    return extra > 0 ? extra + 1 : 1;
}

void LimitFamilyMembers(Parameterbereich& r) {
    if (!(FamilyMemberCount(r) > kMaxFamilyMembers)) return;
    const double span = r.bis - r.von;
    if (!std::isfinite(span)) return;  // the drawing caps such a range itself
    double step = span / static_cast<double>(kMaxFamilyMembers - 1);
    for (int i = 0; i < 8 && FamilyMemberCount({r.von, r.bis, step}) > kMaxFamilyMembers; ++i)
        step = std::nextafter(step, INFINITY);
    r.Schrittweite = step;
}

ElementListe gGrafikobjektliste;
SpeicherListe gFunktionenspeicher;

int ElementListe::FindAt(int x, int y) const {
    int found = 0;
    for (int i = 1; i <= Count(); ++i) {
        const tElement& e = items_[static_cast<size_t>(i - 1)];
        if (e.x1 < x && x < e.x2 && e.y1 < y && y < e.y2) found = i;
    }
    return found;
}

}  // namespace kalvo
