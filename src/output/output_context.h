// Everything the output phase reads and changes, handed from writer to writer.
#pragma once

#include <cstdio>

#include <vector>

#include "base/settings.h"
#include "figure/figure.h"
#include "geometry/loop_bounds.h"
#include "output/clip_index.h"
#include "output/hatch_frame.h"
#include "input/entity_store.h"
#include "input/input_state.h"
#include "regions/crossings.h"
#include "regions/search_results.h"

namespace hatch {

// What the host has in force according to the lines written so far; -1 = unknown.
struct AttributeState {
  int layer = -1;
  int line_type = -1;
  int color = -1;
  int pen = -1;
};

// The attributes of the next figure element; they carry over between elements.
struct WantedAttributes {
  int color = 0;
  int line_type = 0;
  int layer = 0;
  int pen = 0;
};

// What the hatch met: the rows and strokes that crossed a loop they may fill
// (an outline, or a text box when text boxes are filled). A run's work on them
// is work its drawing asks for, even where rounding leaves nothing to write.
struct OutputTally {
  long long strokes_meeting_fill = 0;
};

struct OutputContext {
  OutputContext(std::FILE* out_, Settings& settings_, InputState& input_, EntityStore& store_,
                SearchResults& results_, FigureData* figure_ = nullptr)
      : out(out_), settings(settings_), input(input_), store(store_), results(results_), figure(figure_) {}

  std::FILE* out;
  Settings& settings;
  InputState& input;
  EntityStore& store;
  SearchResults& results;
  FigureData* figure;  // read only for figure hatch

  AttributeState state;
  WantedAttributes wanted;
  int angle_index = 0;  // the angle of line hatch being written
  Box bounds;           // of all loops, in the hatch frame
  CrossingTable table;  // the crossings of the current stroke
  // The bounds of every loop in clipping order, with the loop they belong to;
  // made by hatch_bounds, dropped whenever the loops move.
  std::vector<std::pair<const Segment*, LoopBounds>> loop_bounds;
  // The same loops indexed, unless the store wants full scans.
  ClipIndex clip_index;
  // False visits every row, course, band and tile: the plain walk that stepping over is checked against.
  bool step_over = true;
  OutputTally* tally = nullptr;  // counted into when given

  // The hatch frame of angle theta about the hatch origin, kept while the angle stays.
  const HatchFrame& frame_for(double theta) const {
    if (!frame_.same(theta, input.hp2_x, input.hp2_y)) frame_ = HatchFrame(theta, input.hp2_x, input.hp2_y);
    return frame_;
  }

 private:
  mutable HatchFrame frame_;
};

}  // namespace hatch
