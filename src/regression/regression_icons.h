#pragma once
// The small pictures of the tool buttons of the curve-fitting and
// linear-system windows, drawn here rather than loaded.

#include <QIcon>

namespace kalvo {

enum class ToolIcon { Oeffnen, Speichern, Loeschen, Wiederherstellen, Kopieren, Startwerte };

QIcon MakeToolIcon(ToolIcon icon);

}  // namespace kalvo
