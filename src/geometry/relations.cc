#include "geometry/relations.h"

#include <algorithm>
#include <cmath>

#include "geometry/primitives.h"

namespace hatch {

double distance_to_nearer_end(double len, double t) {
  if (t < 0.5) return std::fabs(len * t);
  return std::fabs(len - len * t);
}

LineCrossing cross_lines(const Segment& a, const Segment& b) {
  LineCrossing c;
  const double ax = a.x2 - a.x1, ay = a.y2 - a.y1;
  const double bx = b.x2 - b.x1, by = b.y2 - b.y1;
  const double wx = b.x1 - a.x1, wy = b.y1 - a.y1;
  const double den = bx * ay - by * ax;
  if (std::fabs(den) < 0.001) return c;
  c.parallel = false;
  c.t = (bx * wy - by * wx) / den;
  c.u = (ax * wy - ay * wx) / den;
  c.at = {a.x1 + ax * c.t, a.y1 + ay * c.t};
  return c;
}

int classify_segments(const Segment& a, const Segment& b, XY* at) {
  const LineCrossing c = cross_lines(a, b);
  if (!c.parallel && at != nullptr) *at = c.at;
  // Far apart, the answer is 0: only the crossing of the carrying lines was owed.
  if (c.parallel || boxes_rule_out_relation(a, b)) return kNoRelation;
  const double t = c.t, u = c.u;
  const double ea = distance_to_nearer_end(segment_length(a), t);
  const double eb = distance_to_nearer_end(segment_length(b), u);
  if (ea <= 0.1 && eb <= 0.1) {
    if (t < 0.5 && u < 0.5) return kStartsMeet;
    if (t > 0.5 && u < 0.5) return kEndOfAMeetsStartOfB;
    if (t < 0.5 && u > 0.5) return kStartOfAMeetsEndOfB;
    if (t > 0.5 && u > 0.5) return kEndsMeet;
    return kNoRelation;
  }
  if (u > 0.0 && u < 1.0 && ea <= 0.1) return t < 0.5 ? kStartOfATouchesB : kEndOfATouchesB;
  if (t > 0.0 && t < 1.0 && eb <= 0.1) return u < 0.5 ? kStartOfBTouchesA : kEndOfBTouchesA;
  if (t > 0.0 && t < 1.0 && u > 0.0 && u < 1.0) return kProperCrossing;
  return kNoRelation;
}

int segment_meets_box(const Segment& s, double xmin, double ymin, double xmax, double ymax, XY* at) {
  const Segment edges[4] = {
      make_segment(xmin, ymin, xmin, ymax),  // left
      make_segment(xmax, ymin, xmax, ymax),  // right
      make_segment(xmax, ymin, xmin, ymin),  // bottom
      make_segment(xmax, ymax, xmin, ymax),  // top
  };
  for (const Segment& e : edges) {
    if (classify_segments(s, e, at) != kNoRelation) return 1;
  }
  if (xmin < s.x1 && s.x1 < xmax && xmin < s.x2 && s.x2 < xmax && ymin < s.y1 && s.y1 < ymax &&
      ymin < s.y2 && s.y2 < ymax)
    return 1;
  return 0;
}

int point_on_segment(const Segment& s, double px, double py, double tol) {
  double mx = (s.x1 + s.x2) * 0.5;
  double hx = std::max(s.x1, s.x2) - mx + 0.1;
  double my = (s.y1 + s.y2) * 0.5;
  double hy = std::max(s.y1, s.y2) - my + 0.1;
  if (!(mx - hx <= px && px <= mx + hx && my - hy <= py && py <= my + hy)) return 0;
  double a, b, k;
  line_equation(s, a, b, k);
  double d = a * px + b * py + k;
  double q = d * d / (a * a + b * b);
  return nearly_equal(q, 0.0, tol);
}

int winding_test(const Segment* loop, double px, double py, double tol) {
  double sum = 0.0;
  for (const Segment* q = loop; q != nullptr; q = q->next) {
    if (point_on_segment(*q, px, py, tol)) return 0;
    double a1 = std::atan2(q->y1 - py, q->x1 - px);
    double a2 = std::atan2(q->y2 - py, q->x2 - px);
    double d = a2 - a1;
    if (d < -pi)
      d += 2.0 * pi;
    else if (d > pi)
      d -= 2.0 * pi;
    sum += d;
  }
  double s = std::fabs(sum);
  if (pi - 0.1 < s && s < pi + 0.1) return 0;
  if (s <= 2.0 * pi - 0.1) return -1;
  return 1;
}

int locate_in_regions(const Region* regions, double px, double py, double tol) {
  for (const Region* r = regions; r != nullptr; r = r->next) {
    int w = winding_test(r->outline, px, py, tol);
    if (w != -1) return w;
  }
  return -1;
}

}  // namespace hatch
