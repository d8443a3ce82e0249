// What region search and break detection hand to the output phase.
#pragma once

#include "base/records.h"

namespace hatch {

struct SearchResults {
  Region* region_list = nullptr;      // newest region first
  LoopNode* text_box_loops = nullptr;  // the four-edge loops of the texts
  Point* break_marker_list = nullptr;  // newest break first
};

}  // namespace hatch
