// An axis-aligned box, and the one test that two boxes lie too far apart for
// anything of one to relate to anything of the other.
#pragma once

#include <algorithm>
#include <cmath>

#include "base/records.h"

namespace hatch {

struct Box {
  double min_x = 0.0, min_y = 0.0;
  double max_x = 0.0, max_y = 0.0;

  void widen(double x, double y) {
    if (x < min_x) min_x = x;
    if (x > max_x) max_x = x;
    if (y < min_y) min_y = y;
    if (y > max_y) max_y = y;
  }
  bool finite() const {
    return std::isfinite(min_x) && std::isfinite(min_y) && std::isfinite(max_x) && std::isfinite(max_y);
  }
  // The largest absolute coordinate: how coarse the doubles are around the box.
  double magnitude() const {
    return std::max({std::fabs(min_x), std::fabs(max_x), std::fabs(min_y), std::fabs(max_y)});
  }
};

inline Box box_of(const Segment& s) {
  return {std::min(s.x1, s.x2), std::min(s.y1, s.y2), std::max(s.x1, s.x2), std::max(s.y1, s.y2)};
}

// True only when the boxes are more than `gap` apart along x or y. A slack of
// 1e-9 of the coordinates' size keeps the answer safe where doubles are coarse;
// a box that is not finite is never apart from anything.
inline bool boxes_apart(const Box& a, const Box& b, double gap) {
  if (!a.finite() || !b.finite()) return false;
  const double m = gap + 1e-9 * (1.0 + std::max(a.magnitude(), b.magnitude()));
  return a.max_x + m < b.min_x || b.max_x + m < a.min_x || a.max_y + m < b.min_y || b.max_y + m < a.min_y;
}

}  // namespace hatch
