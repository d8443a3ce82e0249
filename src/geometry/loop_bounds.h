// Cheap answers for closed loops far from a point or a line. Hatching asks the
// same loops about every stroke and every piece; the bounds rule most of them
// out without changing any answer the full tests would give.
#pragma once

#include "base/records.h"
#include "geometry/box.h"

namespace hatch {

struct LoopBounds {
  Box box;
  double gaps = 0.0;        // summed distances between consecutive edges' ends, closing one included
  bool long_edges = false;  // every edge long enough for the 0.1 end tolerances to stay local
  bool finite = false;
};

LoopBounds loop_bounds(const Segment* loop);
// True only when winding_test(loop, x, y) is certainly -1: the point lies so far
// outside the box that no edge is near it and the loop's gaps cannot add up to a turn.
bool surely_outside(const LoopBounds& b, double x, double y);
// True only when classify_segments(line, e) is certainly 0 for every edge e.
bool surely_no_crossing(const LoopBounds& b, const Segment& line);

}  // namespace hatch
