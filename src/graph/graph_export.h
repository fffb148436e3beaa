#pragma once
// The current main graph as a vector picture for other programs: the redraw
// recorded into a metafile at the graphics resolution, with the screen's
// canvas, factors and flags given back afterwards. The graphics export of the
// main window and the report export of the curve-fitting window share it.

#include <memory>
#include <optional>
#include <string>

#include "atomic_file.h"
#include "metafile_recorder.h"

class QPaintDevice;

namespace kalvo {

// Font factor of pictures written to a file or a document, and of the clipboard.
inline constexpr double kPictureFontFactorFile = 1.1;
inline constexpr double kPictureFontFactorClipboard = 1.2;

// The picture of the graph area as it stands: (PlotWidthPx + 1) x
// (PlotHeightPx + 1) times output factors from Aufloesung. None when there
// is no graph area to measure.
struct GraphPictureLayout {
    double faktorX = 1, faktorY = 1;
    int width = 0, height = 0;
    int plotWidthPx = 0, plotHeightPx = 0;
};
std::optional<GraphPictureLayout> GraphPictureLayoutNow();

// GrafikZeichnen (with clearing) on the device at that layout, the graph
// area's font scaled by faktorY * fontFactor; with a recorder, as a metafile.
// Returns whether the redraw's work budget cut the picture.
bool DrawGraphPicture(QPaintDevice* device, const GraphPictureLayout& layout, double fontFactor,
                      MetafileRecorder* metafile);

// Records GrafikZeichnen (with clearing) into a new picture: output factors
// from Aufloesung, the picture (PlotWidthPx + 1) x (PlotHeightPx + 1) times
// the factors, the graph area's font scaled by AusgabefaktorY * fontFactor.
// Null when there is no graph area to measure (PlotWidthPx or PlotHeightPx
// not positive). `cut` (if given) tells whether the work budget cut it.
std::unique_ptr<MetafileRecorder> RecordGraphPicture(double fontFactor = kPictureFontFactorFile, bool* cut = nullptr);

// Records the graph and saves it; the format follows the path's extension
// (".emf" EMF, anything else WMF) unless given. A picture the work budget
// cut is saved as it is, and a message says that it is not whole. One the
// user cancelled is not saved: the result then fails with no error text,
// and the message saying so has been shown (unless an output around it
// that was cancelled as well tells its own).
WriteResult SaveGraphPicture(const std::string& path, double fontFactor = kPictureFontFactorFile);
WriteResult SaveGraphPicture(const std::string& path, MetafileFormat format,
                             double fontFactor = kPictureFontFactorFile);

}  // namespace kalvo
