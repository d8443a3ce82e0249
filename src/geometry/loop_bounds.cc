#include "geometry/loop_bounds.h"

#include <algorithm>
#include <cmath>

namespace hatch {

namespace {

// Below this length the axis snap of `distance` can stretch the 0.1 end
// tolerance of classify_segments; above it the stretch stays under 1%.
constexpr double kMinEdge = 0.01;
// A related crossing lies within 0.1 (stretched at most 1%) of an edge's extent.
constexpr double kCrossingMargin = 0.2;

double length(const Segment& s) { return std::hypot(s.x2 - s.x1, s.y2 - s.y1); }

}  // namespace

LoopBounds loop_bounds(const Segment* loop) {
  LoopBounds b;
  if (loop == nullptr) return b;
  b.min_x = b.max_x = loop->x1;
  b.min_y = b.max_y = loop->y1;
  b.long_edges = true;
  b.finite = true;
  for (const Segment* e = loop; e != nullptr; e = e->next) {
    for (double x : {e->x1, e->x2}) {
      b.min_x = std::min(b.min_x, x);
      b.max_x = std::max(b.max_x, x);
    }
    for (double y : {e->y1, e->y2}) {
      b.min_y = std::min(b.min_y, y);
      b.max_y = std::max(b.max_y, y);
    }
    if (!std::isfinite(e->x1) || !std::isfinite(e->y1) || !std::isfinite(e->x2) || !std::isfinite(e->y2))
      b.finite = false;
    if (!(length(*e) >= kMinEdge)) b.long_edges = false;
    const Segment* n = e->next != nullptr ? e->next : loop;
    b.gaps += std::hypot(n->x1 - e->x2, n->y1 - e->y2);
  }
  if (!std::isfinite(b.gaps)) b.finite = false;
  return b;
}

bool surely_outside(const LoopBounds& b, double x, double y) {
  if (!b.finite || !std::isfinite(x) || !std::isfinite(y)) return false;
  // Beyond 0.1 no edge counts the point as on it; each gap g seen from a
  // distance d turns at most g/d, so at 2*gaps + 0.2 the sum stays below 0.5.
  const double m = 2.0 * b.gaps + 0.2;
  return x < b.min_x - m || x > b.max_x + m || y < b.min_y - m || y > b.max_y + m;
}

bool surely_no_crossing(const LoopBounds& b, const Segment& line) {
  if (!b.finite || !b.long_edges || !(length(line) >= kMinEdge)) return false;
  const double m = kCrossingMargin;
  const double lx0 = std::min(line.x1, line.x2) - m, lx1 = std::max(line.x1, line.x2) + m;
  const double ly0 = std::min(line.y1, line.y2) - m, ly1 = std::max(line.y1, line.y2) + m;
  return lx1 < b.min_x - m || lx0 > b.max_x + m || ly1 < b.min_y - m || ly0 > b.max_y + m;
}

SegmentBox segment_box(const Segment& s) {
  SegmentBox b;
  b.min_x = std::min(s.x1, s.x2);
  b.max_x = std::max(s.x1, s.x2);
  b.min_y = std::min(s.y1, s.y2);
  b.max_y = std::max(s.y1, s.y2);
  b.usable = std::isfinite(b.min_x) && std::isfinite(b.max_x) && std::isfinite(b.min_y) &&
             std::isfinite(b.max_y) && length(s) >= kMinEdge;
  return b;
}

bool surely_unrelated(const SegmentBox& a, const SegmentBox& b) {
  if (!a.usable || !b.usable) return false;
  // Any relation puts the crossing within 0.1 (stretched at most 1%) of both segments.
  const double m = 2.0 * kCrossingMargin;
  return a.max_x + m < b.min_x || b.max_x + m < a.min_x || a.max_y + m < b.min_y || b.max_y + m < a.min_y;
}

}  // namespace hatch
