// The figure file: a small drawing of lines, arcs and points in the host's
// binary figure format, read once per run for figure hatch.
#pragma once

#include "base/settings.h"
#include "figure/figure.h"
#include "input/entity_store.h"
#include "input/input_state.h"

namespace hatch {

// The three element counts of the count block; a count that does not parse, or
// is negative, is 0.
struct FigureCounts {
  int lines = 0;
  int arcs = 0;
  int points = 0;
};

// Parses the count block text with the meaning of the pattern "%d\t,%d,%d,%d";
// parsing stops at the first mismatch, and a number too large saturates.
FigureCounts parse_figure_counts(const char* text);

// Reads settings.figure_file_name + ".plk" into `figure`. A whole-copies figure
// (/s6) is turned by minus `turn_angle` (radians) about its origin. Leaves the
// attributes of the last record read in the current attributes of `input`.
void read_figure_file(const Settings& settings, InputState& input, EntityStore& store, FigureData& figure,
                      double turn_angle);
// The same with settings.angles[0] as the turn: the driver calls it after
// turn_angles_to_reference, so a /s6 figure turns with the final hatch angle.
void read_figure_file(const Settings& settings, InputState& input, EntityStore& store, FigureData& figure);

}  // namespace hatch
