// How two straight edges relate, whether an edge reaches into a box, and where
// a point lies relative to an edge or a closed loop.
#pragma once

#include "base/records.h"
#include "geometry/box.h"

namespace hatch {

// Relation codes of classify_segments(A, B); an end touches within 0.1.
enum SegmentRelation : int {
  kNoRelation = 0,
  kProperCrossing = 1,
  kStartOfATouchesB = 2,
  kEndOfATouchesB = 3,
  kStartOfBTouchesA = 4,
  kEndOfBTouchesA = 5,
  kStartsMeet = 6,
  kEndOfAMeetsStartOfB = 7,
  kStartOfAMeetsEndOfB = 8,
  kEndsMeet = 9,
};

// Any relation of two segments puts the crossing of their lines within 0.1 of
// both (stretched at most 1% by the axis snap of their lengths), so boxes
// further apart than this rule it out.
inline constexpr double kRelationReach = 0.4;

// At least 0.01 long: below that the axis snap of `distance` can stretch the
// 0.1 end tolerance without bound.
inline bool long_enough_to_bound(const Segment& s) {
  const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
  return dx * dx + dy * dy >= 1e-4;
}

// Long enough and finite: what relates to it lies near its box.
inline bool bounded_by_box(const Segment& s) { return long_enough_to_bound(s) && box_of(s).finite(); }

// True only when no relation is possible between the two segments.
inline bool boxes_rule_out_relation(const Segment& a, const Segment& b) {
  return boxes_apart(box_of(a), box_of(b), kRelationReach) && long_enough_to_bound(a) && long_enough_to_bound(b);
}

// Where the carrying lines of a and b cross: the parameters t along a and u
// along b (0 at the start, 1 at the end) and the point; `parallel` when the
// cross product of the directions is below 0.001 and nothing else is known.
struct LineCrossing {
  bool parallel = true;
  double t = 0.0, u = 0.0;
  XY at;
};
LineCrossing cross_lines(const Segment& a, const Segment& b);

// Code 0-9; `at` receives the crossing of the carrying lines unless they are parallel.
int classify_segments(const Segment& a, const Segment& b, XY* at = nullptr);
double distance_to_nearer_end(double len, double t);
int segment_meets_box(const Segment& s, double xmin, double ymin, double xmax, double ymax, XY* at = nullptr);
int point_on_segment(const Segment& s, double px, double py, double tol);
// 1 inside, -1 outside, 0 on the boundary or undecided.
int winding_test(const Segment* loop, double px, double py, double tol);
int locate_in_regions(const Region* regions, double px, double py, double tol);

}  // namespace hatch
