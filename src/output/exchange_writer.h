// The host commands written back into the exchange file.
#pragma once

#include <cstdio>

#include "input/input_state.h"

namespace hatch {

// The closing lines of every run: the attributes in force at input.
void restore_initial_attributes(std::FILE* out, const InputState& input);

}  // namespace hatch
