#pragma once
// The state and the files keep colours as 0x00BBGGRR and brush hatchings as
// ordinals 0..7; widgets need QColor and Qt::BrushStyle.

#include <QColor>

#include "program_state.h"

namespace kalvo {

inline QColor ToQColor(Color c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

// The alpha channel and anything above 24 bits is dropped.
inline Color FromQColor(const QColor& q) {
    const QColor rgb = q.toRgb();
    return static_cast<Color>(rgb.red()) | (static_cast<Color>(rgb.green()) << 8) |
           (static_cast<Color>(rgb.blue()) << 16);
}

// Solid, clear, horizontal, vertical, forward diagonal, backward diagonal,
// cross, diagonal cross; anything else is solid.
inline Qt::BrushStyle BrushStyleFromOrdinal(int ordinal) {
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
