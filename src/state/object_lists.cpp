#include "object_lists.h"

namespace kalvo {

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
