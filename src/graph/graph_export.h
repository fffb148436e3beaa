#pragma once
// The 2D graph as a metafile picture: the central redraw recorded at the
// graphics-file resolution, for the picture files, the clipboard and the
// word-processor document alike.

#include <QSize>

namespace kalvo {

class MetafileRecorder;

// The picture of the current screen graph in device pixels: the surface
// times the resolution setting (2 to 4).
QSize GraphPictureSize();

// Records the graph into `out` (made with GraphPictureSize()): label font
// times the resolution and fontFactor (1.1 for files and documents, 1.2 for
// the clipboard), curves sampled at the resolution. The screen's output
// context comes back whatever happens. False when there is no surface to
// record from.
bool RecordGraphPicture(MetafileRecorder& out, double fontFactor);

}  // namespace kalvo
