#include "geometry/loop_bounds.h"

#include <cmath>

#include "geometry/relations.h"

namespace hatch {

LoopBounds loop_bounds(const Segment* loop) {
  LoopBounds b;
  if (loop == nullptr) return b;
  b.box = {loop->x1, loop->y1, loop->x1, loop->y1};
  b.long_edges = true;
  b.finite = true;
  for (const Segment* e = loop; e != nullptr; e = e->next) {
    b.box.widen(e->x1, e->y1);
    b.box.widen(e->x2, e->y2);
    if (!std::isfinite(e->x1) || !std::isfinite(e->y1) || !std::isfinite(e->x2) || !std::isfinite(e->y2))
      b.finite = false;
    if (!long_enough_to_bound(*e)) b.long_edges = false;
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
  return x < b.box.min_x - m || x > b.box.max_x + m || y < b.box.min_y - m || y > b.box.max_y + m;
}

bool surely_no_crossing(const LoopBounds& b, const Segment& line) {
  if (!b.finite || !b.long_edges || !long_enough_to_bound(line)) return false;
  return boxes_apart(b.box, box_of(line), kRelationReach);
}

}  // namespace hatch
