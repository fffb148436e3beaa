#pragma once
// The current main graph as a vector picture for other programs: the redraw
// recorded into a metafile at the graphics resolution, with the screen's
// canvas, factors and flags given back afterwards. The graphics export of the
// main window and the report export of the curve-fitting window share it.

#include <memory>
#include <string>

#include "atomic_file.h"
#include "metafile_recorder.h"

namespace kalvo {

// Font factor of pictures written to a file or a document, and of the clipboard.
inline constexpr double kPictureFontFactorFile = 1.1;
inline constexpr double kPictureFontFactorClipboard = 1.2;

// Records GrafikZeichnen (with clearing) into a new picture: output factors
// from Aufloesung, the picture (PlotWidthPx + 1) x (PlotHeightPx + 1) times
// the factors, the graph area's font scaled by AusgabefaktorY * fontFactor.
// Null when there is no graph area to measure (PlotWidthPx or PlotHeightPx
// not positive).
std::unique_ptr<MetafileRecorder> RecordGraphPicture(double fontFactor = kPictureFontFactorFile);

// Records the graph and saves it; the format follows the path's extension
// (".emf" EMF, anything else WMF) unless given.
WriteResult SaveGraphPicture(const std::string& path, double fontFactor = kPictureFontFactorFile);
WriteResult SaveGraphPicture(const std::string& path, MetafileFormat format,
                             double fontFactor = kPictureFontFactorFile);

}  // namespace kalvo
