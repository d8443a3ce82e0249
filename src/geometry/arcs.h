// Elliptic-arc angles and the crossings of a straight segment with an arc.
#pragma once

#include "base/records.h"

namespace hatch {

int angles_near(double a, double b, double t);
// angle_on_arc(arc, a) holds when 0 <= fmod(a + shift, 2 pi) <= span: the arc
// turned until its start lies at 0 (a start above 2 pi is mirrored, not turned).
struct ArcWindow {
  double shift = 0.0;
  double span = 0.0;
};
ArcWindow arc_window(const Arc& arc);
int angle_on_arc(const Arc& arc, double a);
void normalise_arc_angles(double& s, double& e);
void to_arc_frame(Segment& s, const Arc& arc);
void from_arc_frame(Segment& s, const Arc& arc);
// Where the carrying line of `s` meets the arc's ellipse, in the arc's own frame
// (centre at the origin, tilt removed).
void line_meets_ellipse(const Segment& s, const Arc& arc, XY& p1, XY& p2);
// Code 0-3 (bit 1: the first angle is a crossing inside the arc, bit 2: the
// second is); the two angles come ordered along the arc from its start.
int intersect_segment_arc(double angles[2], const Segment& s, const Arc& arc, double tol);
// A point of the arc's circle moved onto its ellipse: the offset from the
// centre is flattened along y, then turned by the tilt.
XY onto_ellipse(const Arc& arc, double x, double y);
// The point of the arc's ellipse at parametric angle t.
XY arc_point(const Arc& arc, double t);

}  // namespace hatch
