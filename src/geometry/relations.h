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

// Code 0-9; `at` receives the crossing of the carrying lines unless they are parallel.
int classify_segments(const Segment& a, const Segment& b, XY* at = nullptr);
double distance_to_nearer_end(double len, double t);
int segment_meets_box(const Segment& s, double xmin, double ymin, double xmax, double ymax, XY* at = nullptr);
int point_on_segment(const Segment& s, double px, double py, double tol);
// 1 inside, -1 outside, 0 on the boundary or undecided.
int winding_test(const Segment* loop, double px, double py, double tol);
int locate_in_regions(const Region* regions, double px, double py, double tol);

}  // namespace hatch
