// Cheap answers for closed loops far from a point or a line. Hatching asks the
// same loops about every stroke and every piece; the bounds rule most of them
// out without changing any answer the full tests would give.
#pragma once

#include "input/records.h"

namespace hatch {

struct LoopBounds {
  double min_x = 0.0, min_y = 0.0, max_x = 0.0, max_y = 0.0;
  double gaps = 0.0;          // summed distances between consecutive edges' ends, closing one included
  bool long_edges = false;    // every edge at least kMinEdge long: the 0.1 end tolerances stay local
  bool finite = false;
};

LoopBounds loop_bounds(const Segment* loop);
// True only when winding_test(loop, x, y) is certainly -1: the point lies so far
// outside the box that no edge is near it and the loop's gaps cannot add up to a turn.
bool surely_outside(const LoopBounds& b, double x, double y);
// True only when classify_segments(line, e) is certainly 0 for every edge e.
bool surely_no_crossing(const LoopBounds& b, const Segment& line);

// The box of one segment, for ruling out relations between segments far apart.
struct SegmentBox {
  double min_x = 0.0, min_y = 0.0, max_x = 0.0, max_y = 0.0;
  bool usable = false;  // finite and at least kMinEdge long
};

SegmentBox segment_box(const Segment& s);
// True only when classify_segments(a, b) is certainly 0, in either order.
bool surely_unrelated(const SegmentBox& a, const SegmentBox& b);

}  // namespace hatch
