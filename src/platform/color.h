#pragma once
// Colours as the state, the files and every drawing keep them: 0x00BBGGRR,
// red in the low byte. Qt's colours meet them only through the two
// conversions here, so a widget shows exactly what the graph draws.

#include <cstdint>

class QColor;

namespace kalvo {

using Color = uint32_t;

QColor ToQColor(Color c);
// The alpha channel is dropped.
Color FromQColor(const QColor& c);

}  // namespace kalvo
