// One run of the program: settings, input, boundary, regions, output.
#pragma once

#include <cstdio>

#include "base/file_slot.h"
#include "base/settings.h"
#include "figure/figure.h"
#include "input/entity_store.h"
#include "input/input_state.h"
#include "output/output_context.h"
#include "regions/search_results.h"

namespace hatch {

// How far a run has come; an interrupted or failed run stays where it stopped.
enum class RunPhase { settings, input, boundary, search, output };

// The whole state of one run, handed to the phases that need its parts.
struct RunState {
  RunPhase phase = RunPhase::settings;
  Settings settings;
  InputState input;
  EntityStore store;
  SearchResults results;
  FigureData figure;
  OutputTally tally;
  FileSlot slot;
};

// Runs in the current directory; returns the exit status.
int run(int argc, char** argv);
// The run with the given state (the store may ask for full scans); no console requests.
int run(RunState& state, int argc, const char* const* argv);

// The phases of a run, in order; a failure throws and leaves the slot as it is.
void run_phases(RunState& run, int argc, const char* const* argv);

// The phases after the input was read, in order (the benchmark times them one by one).
void scale_to_drawing(RunState& run);  // tolerance and paper units by the drawing's scale
void prepare_boundary(RunState& run);  // arc cuts, chords, single-segment frame, merge, breaks
void search(RunState& run);            // hatch attributes, band, regions, text boxes
void write_output(RunState& run, std::FILE* out);  // figure, results or break report, restore lines

// Every arc of the store added to segment_list as chords of at most 15 degrees.
void flatten_arcs(EntityStore& store, double tol);
// One lone line becomes the rectangle reaching to the newest pick point.
void build_single_segment_frame(EntityStore& store, InputState& input, double tol);

}  // namespace hatch
