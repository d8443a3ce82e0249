// The crossings of one hatch line (or one start edge) with closed loops,
// kept sorted along the line. The table is filled loop by loop; callers carry
// the running count.
#pragma once

#include <vector>

#include "base/records.h"

namespace hatch {

struct Crossing {
  double x = 0.0, y = 0.0;  // on the edge's carrying line (an arc piece's chord)
  double distance = 0.0;    // from the line's start, axis-snapped
  double x_used = 0.0, y_used = 0.0;  // the point to draw to: on the true arc for arc pieces
};

struct CrossingTable {
  static constexpr int kSlots = 50;  // the 50th crossing of one line ends the run
  Crossing entries[kSlots];
  double keys[kSlots];
};

// Appends the crossings of `line` with the edges from `loop` on at positions
// first, first + 1, ...; returns how many were added and leaves entries
// 0 .. first + added - 1 sorted by distance.
int collect_crossings(CrossingTable& table, const Segment* loop, const Segment& line, int first);
// The same over the given edges, in their order: those of a list that can relate
// to the line, in list order, give the table the whole list would give.
int collect_crossings(CrossingTable& table, const std::vector<Segment*>& edges, const Segment& line, int first);
void arc_crossing_point(Crossing& entry, const Segment& line, const Arc& arc);

}  // namespace hatch
