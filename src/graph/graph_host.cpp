#include "graph_host.h"

#include "object_lists.h"
#include "primitives.h"
#include "redraw.h"
#include "program_state.h"
#include "view.h"

namespace kalvo {

namespace {
GraphHost gDefaultHost;
GraphHost* gHost = nullptr;
}  // namespace

void GraphHost::ClearGraph() {
    const OutputContext& o = gOutput;
    Canvas& c = Ausgabe();
    c.SetBrush(o.PrintingActive ? gDisplay.HintergrundDrucker : gDisplay.HintergrundBildschirm, BrushStyle::Solid);
    c.FillRect(CanvasRect{0, 0, ToDevice(o.PlotWidthPx + 1, o.AusgabefaktorX), ToDevice(o.PlotHeightPx + 1, o.AusgabefaktorY)});
}

void GraphHost::FunktionstermeAusListe(int k) {
    ArchivEintrag e;
    if (!gFunktionenspeicher.ValidIndex(k)) return;
    gFunktionenspeicher.Get(k, e);
    LoadGraphState(e);
}

void GraphHost::FunktionstermeInListe(int stelle) {
    ArchivEintrag e;
    StoreGraphState(e);
    gFunktionenspeicher.Insert(stelle, e);
}

void GraphHost::RedrawMainGraph(bool clearFirst) { GrafikZeichnen(clearFirst); }

GraphHost& Host() { return gHost ? *gHost : gDefaultHost; }

GraphHost* SetGraphHost(GraphHost* host) {
    GraphHost* previous = gHost;
    gHost = host;
    return previous;
}

}  // namespace kalvo
