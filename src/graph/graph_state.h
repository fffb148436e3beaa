#pragma once
// What only the graph engine derives from the shared state: axis kinds,
// window limits, logarithmic decades, the tick choice of the last drawn
// coordinate system, the view backup of the iteration dialog and the values
// the redraw sets per graph slot. One instance; ResetGraphState() gives the
// start-up values (the tests call it with ResetProgramState()).

#include "program_state.h"

namespace kalvo {

struct GraphState {
    // Axis kinds and grid, derived from the coordinate-system record by SetupAxes.
    bool PiScaleX = false, PiScaleY = false;
    bool GridPoints = false, GridLines = false, GridSolid = false;
    bool TickValueLabels = true;
    // Labels in margins around a framed plot: the record asks for it, or an
    // axis is logarithmic.
    bool FrameLayout = false;

    double LimitMinX = -1e10, LimitMaxX = 1e10, LimitMinY = -1e10, LimitMaxY = 1e10;

    // Decimal exponents of the ends of a logarithmic axis.
    int LogExpLowX = 0, LogExpHighX = 2, LogExpLowY = 0, LogExpHighY = 2;
    double PixelsPerDecadeX = 1, PixelsPerDecadeY = 1;

    // Pen unit of axes and grid: 3 on printers and in metafiles, else 1.
    int StiftEinheit = 1;

    // Tick choice of the last coordinate system drawn (TickLabelStepX and
    // UnitsPerCmX/Y live in the output context, which other windows read).
    double MaxTicksX = 23, MaxTicksY = 23;
    double TickStepX = 1, TickStepY = 1;
    double TickLabelStepY = 1;
    int TickLabelIntervalX = 1, TickLabelIntervalY = 1;
    double TickPixelsX = 1, TickPixelsY = 1;
    double TickBasePixelsX = 1, TickBasePixelsY = 1;
    int TickExponentX = 0, TickExponentY = 0;
    int TickDecimalsX = 0, TickDecimalsY = 0;
    int TickWidthX = 0, TickWidthY = 0;
    int TickPhaseX = 0, TickPhaseY = 0;

    // View backup of the iteration dialog.
    Funktionsterm SicherungTerm;
    double SicherungA = 1;
    KoordinatensystemEinstellung SicherungKoordinatensystem;
    double SicherungX1 = -8, SicherungX2 = 8, SicherungFgVon = -8, SicherungFgBis = 8;
    double SicherungY1 = -8, SicherungY2 = 8;

    // Set by the redraw for the slot being drawn.
    Color AktuelleLinienfarbe = 0;
    bool ListentermeZeichnen = false;
    // Set while a family walks its parameter list (no spectrum colours then).
    bool ListenPhase = false;
};

extern GraphState gGraph;

void ResetGraphState();

}  // namespace kalvo
