#pragma once
// What the graph engine asks of the main window. The engine runs without
// windows: the defaults here do what the engine can do alone, and the main
// window overrides what involves its controls.

#include <string>

namespace kalvo {

class GraphHost {
public:
    virtual ~GraphHost() = default;

    // Fills the drawing surface with the background colour (the printer's
    // while printing) and leaves the brush solid in that colour.
    virtual void ClearGraph();

    // Loads stored function set k (1-based) into the current state; no redraw.
    virtual void FunktionstermeAusListe(int k);
    // The current state as a function set into the store at position stelle
    // (1 or less: at the head).
    virtual void FunktionstermeInListe(int stelle);

    // Windows other than the main window call this after changing what the
    // graph shows: the central redraw onto the main graph area, shown at once.
    virtual void RedrawMainGraph(bool clearFirst);

    // The sums overlay is on or off: the button "O - U - Z  Summen" down or
    // up, "2n" and "n/2" enabled or not, the result label emptied when off.
    virtual void SummenAnzeige(bool on) {}

    // The result line of the sums (the main window's status label).
    virtual void SummenText(const std::string& text) {}

    // Runs the curve-discussion search on the term in the main tree over
    // [a, b] with the given step at parameter t, filling the result arrays
    // of gDiscussion that the special-point marks are drawn from. The
    // search lives above the graph engine; without a main window nothing
    // is searched and the arrays stay as they are.
    virtual void SonderpunkteBerechnen(double a, double b, double step, double t) {}
};

// The host the engine calls; a default one while none is installed.
GraphHost& Host();
// Installs a host (nullptr for the default) and returns the previous one.
GraphHost* SetGraphHost(GraphHost* host);

}  // namespace kalvo
