#pragma once
// The one routine that draws the whole 2D graph for the current state:
// coordinate system, analysis overlays, the 34 graph slots of the current
// state and of every stored function set, the drawing objects and frames.
// Each slot and overlay is drawn through a table, so drawers that other
// parts of the engine provide slot in without touching the redraw; an empty
// entry draws nothing.

#include <array>

#include "object_lists.h"
#include "program_state.h"

namespace kalvo {

void GrafikZeichnen(bool clearFirst);

// Draws every element of the drawing-object list.
void DrawObjectList();
// Empties the drawing-object list and redraws.
void ClearDrawingObjects();

// Draws graph slot i (1..34) with the pen the redraw has set for it.
using SlotDrawer = void (*)(int slot);
using OverlayDrawer = void (*)();
using ObjectDrawer = void (*)(const tElement& element);

struct GraphDrawers {
    // Index 1..34; 0 unused.
    std::array<SlotDrawer, kGraphSlots + 1> slotDrawers{};
    OverlayDrawer flaeche = nullptr;       // area between f and g
    OverlayDrawer wertepaare = nullptr;    // value pairs of the curve fitting
    OverlayDrawer summen = nullptr;        // lower, upper and intermediate sums
    OverlayDrawer iteration = nullptr;     // iteration path or sequence graph
    OverlayDrawer attraktor = nullptr;     // bifurcation diagram
    OverlayDrawer newton = nullptr;        // Newton tangents
    OverlayDrawer sonderpunkte = nullptr;  // special points, after the host's search
    // By TDrawingTool: Tangente, Normale, Senkrechte, Waagrechte, Punkt1, Punkt2
    // (text objects are drawn by the object list itself).
    std::array<ObjectDrawer, 6> objects{};
};

// The drawer table: every slot, overlay and object kind has its drawer.
GraphDrawers& Drawers();

}  // namespace kalvo
