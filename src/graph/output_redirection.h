#pragma once
// Printing, the print preview, the full-screen view and the metafile exports
// draw the graph on another surface for the time of one drawing. The guard
// puts the target in place and gives the screen back everything it had (the
// canvas, factors, sampling density, surface size, flags and the transform
// derived for the screen), also when the drawing in between throws.

#include "graph_state.h"
#include "program_state.h"

class QPaintDevice;

namespace kalvo {

class Canvas;

struct OutputTarget {
    Canvas* canvas = nullptr;
    double faktorX = 1, faktorY = 1;
    double samplesPerPixel = 1;
    // Width and height of the surface minus 1, in screen pixels.
    int plotWidthPx = 0, plotHeightPx = 0;
    bool printing = false;
    bool metafile = false;
    bool preview = false;
    // The printable part of the page in device pixels, its origin the
    // graph's; none (zero size) where the surface is all there is.
    int pageLeft = 0, pageTop = 0, pageRight = 0, pageBottom = 0;
    QPaintDevice* metafileDevice = nullptr;
};

class OutputRedirection {
public:
    explicit OutputRedirection(const OutputTarget& target);
    ~OutputRedirection();
    OutputRedirection(const OutputRedirection&) = delete;
    OutputRedirection& operator=(const OutputRedirection&) = delete;

private:
    OutputContext savedOutput_;
    GraphState savedGraph_;
    bool busy_ = false;
};

}  // namespace kalvo
