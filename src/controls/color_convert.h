#pragma once
// The state and the files keep colours as 0x00BBGGRR and brush hatchings as
// ordinals 0..7; widgets need QColor and Qt::BrushStyle.

#include <QColor>

#include "program_state.h"

// The one colour conversion belongs to the canvas layer; until that layer is
// part of the build, the controls carry it themselves.
#if __has_include("canvas.h")
#include "canvas.h"
#else
namespace kalvo {

inline QColor ToQColor(Color c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

inline Color FromQColor(const QColor& q) {
    return static_cast<Color>(q.red()) | (static_cast<Color>(q.green()) << 8) | (static_cast<Color>(q.blue()) << 16);
}

}  // namespace kalvo
#endif

namespace kalvo {

// Solid, clear, horizontal, vertical, forward diagonal (falling from left to
// right), backward diagonal (rising), cross, diagonal cross; else solid.
inline Qt::BrushStyle QtBrushFromOrdinal(int ordinal) {
    switch (ordinal) {
        case 1: return Qt::NoBrush;
        case 2: return Qt::HorPattern;
        case 3: return Qt::VerPattern;
        case 4: return Qt::FDiagPattern;
        case 5: return Qt::BDiagPattern;
        case 6: return Qt::CrossPattern;
        case 7: return Qt::DiagCrossPattern;
        default: return Qt::SolidPattern;
    }
}

}  // namespace kalvo
