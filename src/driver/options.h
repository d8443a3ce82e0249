// Option words: the command line, the command file and the lines of the
// settings log all pass through apply_options; the derived settings follow at
// fixed steps of the run.
#pragma once

#include "base/settings.h"
#include "input/input_state.h"

namespace hatch {

// Words 1 .. count-1 are options; word 0 is never read.
void apply_options(Settings& settings, int count, const char* const* words);

// 'x' -1, digits 0-9, 'a'-'j' (either case) 10-19, anything else -1.
int attribute_digit(char c);

void check_lengths(const Settings& settings);
void convert_angles(Settings& settings);
void scale_to_paper(Settings& settings, const InputState& input);
void complete_hatch_attr(Settings& settings, const InputState& input);
void turn_angles_to_reference(Settings& settings);

}  // namespace hatch
