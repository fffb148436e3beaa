#pragma once
#include "program_state.h"
namespace kalvo {
bool ReadParameterliste(Funktionsterm& list, ParameterWerteFeld& values);
}
