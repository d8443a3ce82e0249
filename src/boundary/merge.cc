#include "boundary/merge.h"

#include <algorithm>
#include <cmath>

#include "driver/interrupt.h"
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

void merge_collinear_segments(Segment*& segments, EntityStore& store, double tol) {
  for (Segment* a = segments; a != nullptr; a = a->next) {
    rearm_interrupt();
    Segment* b = segments;
    while (b != nullptr) {
      if (b == a) {
        b = b->next;
        continue;
      }
      if (same_segment(*a, *b, tol)) {
        b = store.remove_segment(segments, b);
        continue;
      }
      XY start, end;
      if (merge_pair(*a, *b, start, end, tol)) {
        a->x1 = start.x;
        a->y1 = start.y;
        a->x2 = end.x;
        a->y2 = end.y;
        b = store.remove_segment(segments, b);
        continue;
      }
      b = b->next;
    }
  }
}

}  // namespace hatch
