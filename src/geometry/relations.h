// How two straight edges relate, whether an edge reaches into a box, and where
// a point lies relative to an edge or a closed loop.
#pragma once

#include "input/records.h"

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

// True only when no relation is possible: both segments at least 0.01 long (so
// the 0.1 end tolerances stretch by under 1%) and their boxes more than 0.4 apart.
inline bool boxes_rule_out_relation(const Segment& a, const Segment& b) {
  const double m = 0.4;
  const double a_lo_x = a.x1 < a.x2 ? a.x1 : a.x2, a_hi_x = a.x1 < a.x2 ? a.x2 : a.x1;
  const double b_lo_x = b.x1 < b.x2 ? b.x1 : b.x2, b_hi_x = b.x1 < b.x2 ? b.x2 : b.x1;
  const double a_lo_y = a.y1 < a.y2 ? a.y1 : a.y2, a_hi_y = a.y1 < a.y2 ? a.y2 : a.y1;
  const double b_lo_y = b.y1 < b.y2 ? b.y1 : b.y2, b_hi_y = b.y1 < b.y2 ? b.y2 : b.y1;
  if (!(a_hi_x + m < b_lo_x || b_hi_x + m < a_lo_x || a_hi_y + m < b_lo_y || b_hi_y + m < a_lo_y)) return false;
  const double adx = a.x2 - a.x1, ady = a.y2 - a.y1, bdx = b.x2 - b.x1, bdy = b.y2 - b.y1;
  return adx * adx + ady * ady >= 1e-4 && bdx * bdx + bdy * bdy >= 1e-4;
}

// Code 0-9; `at` receives the crossing of the carrying lines unless they are parallel.
int classify_segments(const Segment& a, const Segment& b, XY* at = nullptr);
double distance_to_nearer_end(double len, double t);
int segment_meets_box(const Segment& s, double xmin, double ymin, double xmax, double ymax, XY* at = nullptr);
int point_on_segment(const Segment& s, double px, double py, double tol);
// 1 inside, -1 outside, 0 on the boundary or undecided.
int winding_test(const Segment* loop, double px, double py, double tol);
int locate_in_regions(const Region* regions, double px, double py, double tol);

}  // namespace hatch
