#pragma once
// The parameter list of the function family: up to ten constant terms
// separated by ";", such as "2; 4,5; sqrt(2)".

#include "program_state.h"

namespace kalvo {

// Rewrites `list` in its normalised form without the refused entries and
// stores up to ten values with their count in values[10]. Returns false (and
// sets gTerms.ParameterListeFehler) when an entry did not parse or evaluate.
bool ReadParameterliste(Funktionsterm& list, ParameterWerteFeld& values);

}  // namespace kalvo
