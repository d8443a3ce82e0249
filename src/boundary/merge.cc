#include "boundary/merge.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/interrupt.h"
#include "geometry/box.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"

namespace hatch {

int ranges_overlap(const Segment& a, const Segment& b, double angle) {
  const bool along_x = std::fabs(angle) <= pi * 0.25;
  const double a1 = along_x ? a.x1 : a.y1, a2 = along_x ? a.x2 : a.y2;
  const double b1 = along_x ? b.x1 : b.y1, b2 = along_x ? b.x2 : b.y2;
  const double lo_a = std::min(a1, a2), hi_a = std::max(a1, a2);
  const double lo_b = std::min(b1, b2), hi_b = std::max(b1, b2);
  if (lo_a <= hi_b && hi_b <= hi_a) return 1;
  if (lo_a <= lo_b && lo_b <= hi_a) return 1;
  if (lo_b <= hi_a && hi_a <= hi_b) return 1;
  if (lo_b <= lo_a && lo_a <= hi_b) return 1;
  return 0;
}

namespace {

double snapped_slope(const Segment& s) {
  double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
  snap_to_zero(0.1, dx);
  snap_to_zero(0.1, dy);
  return slope_angle(dy, dx);
}

// Slope angle of `s`, turning it first when it points steeply downwards (which
// makes a vertical segment point up and leaves the other angles as they were).
double oriented_slope(Segment& s) {
  double angle = snapped_slope(s);
  if (angle < -pi * 0.25) {
    reverse_segment(s);
    angle = snapped_slope(s);
  }
  return angle;
}

}  // namespace

int merge_pair(Segment& a, Segment& b, XY& start, XY& end, double tol) {
  const double angle_a = oriented_slope(a);
  const double angle_b = oriented_slope(b);
  // Written as "not close" so that a segment too short to have a direction
  // (both components snapped to zero, slope not a number) merges with nothing.
  if (!(std::fabs(angle_a - angle_b) < pi / 180000.0)) return 0;
  if (!ranges_overlap(a, b, angle_a)) return 0;
  if (!point_on_segment(a, b.x1, b.y1, tol) && !point_on_segment(a, b.x2, b.y2, tol) &&
      !point_on_segment(b, a.x1, a.y1, tol) && !point_on_segment(b, a.x2, a.y2, tol))
    return 0;
  double la, lb, lk;
  line_equation(a, la, lb, lk);
  // |la| is a sine compared with pi/4, so the key stays x up to about 51.8 degrees.
  const bool key_x = std::fabs(la) <= pi * 0.25;
  const XY points[4] = {{a.x1, a.y1}, {a.x2, a.y2}, {b.x1, b.y1}, {b.x2, b.y2}};
  double keys[4];
  for (int i = 0; i < 4; ++i) keys[i] = key_x ? points[i].x : points[i].y;
  double sorted[4] = {keys[0], keys[1], keys[2], keys[3]};
  sort_values(sorted, 4);
  int lo = -1, hi = -1;  // the first point holding the smallest and the largest key
  for (int i = 3; i >= 0; --i) {
    if (keys[i] == sorted[0]) lo = i;
    if (keys[i] == sorted[3]) hi = i;
  }
  if (lo < 0 || hi < 0) return 0;  // a coordinate that is not a number
  start = points[lo];
  end = points[hi];
  return 1;
}

namespace {

// What the merge walk needs to know of a segment without touching its neighbours.
struct MergeNode {
  Segment* s;
  bool alive;
  bool turns;     // merge_pair turns it round on every call (it points steeply down)
  bool vertical;  // its snapped run is zero: once turned it points up and stays so
  Box box;
};

void describe(MergeNode& n) {
  const Segment& s = *n.s;
  double dx = s.x2 - s.x1;
  snap_to_zero(0.1, dx);
  n.vertical = dx == 0.0;
  n.turns = snapped_slope(s) < -pi * 0.25;
  n.box = box_of(s);
}

// The one side effect merge_pair has on a pair that cannot merge.
void turn_as_merge_pair_would(MergeNode& n) {
  if (!n.turns) return;
  reverse_segment(*n.s);
  if (n.vertical) n.turns = false;
}

}  // namespace

void merge_collinear_segments(Segment*& segments, EntityStore& store, double tol) {
  // The walk of every segment over the whole list is kept; pairs too far apart
  // to relate only get merge_pair's turning, without its arithmetic.
  std::vector<MergeNode> nodes;
  for (Segment* s = segments; s != nullptr; s = s->next) {
    nodes.push_back(MergeNode{s, true, false, false, {}});
    describe(nodes.back());
  }
  // Duplicates need ends within the tolerance, an end on the other segment needs
  // the 0.1 box margin of point_on_segment: boxes further apart cannot merge.
  const double reach = 1.01 * std::max(tol, 0.1);
  const std::size_t n = nodes.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (!nodes[i].alive) continue;
    rearm_interrupt();
    MergeNode& a = nodes[i];
    for (std::size_t j = 0; j < n; ++j) {
      MergeNode& b = nodes[j];
      if (j == i || !b.alive) continue;
      if (boxes_apart(a.box, b.box, reach)) {
        turn_as_merge_pair_would(a);
        turn_as_merge_pair_would(b);
        continue;
      }
      if (same_segment(*a.s, *b.s, tol)) {
        b.alive = false;
        continue;
      }
      XY start, end;
      const int merged = merge_pair(*a.s, *b.s, start, end, tol);
      if (merged) {
        a.s->x1 = start.x;
        a.s->y1 = start.y;
        a.s->x2 = end.x;
        a.s->y2 = end.y;
        b.alive = false;
      }
      describe(a);
      if (!merged) describe(b);
    }
  }
  Segment** link = &segments;
  for (MergeNode& node : nodes) {
    if (node.alive) {
      *link = node.s;
      link = &node.s->next;
    } else {
      store.segments.release(node.s);
    }
  }
  *link = nullptr;
}

}  // namespace hatch
