#include "graph_state.h"

namespace kalvo {

GraphState gGraph;

void ResetGraphState() { gGraph = {}; }

}  // namespace kalvo
