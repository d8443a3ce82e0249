// Comparisons, measures, angles and the 2D transform shared by every stage.
// Coincidence is decided with the run's tolerance, passed in as `tol`; the
// other limits (0.001 axis snap, 0.1 end touch) are fixed drawing units.
#pragma once

#include <cmath>
#include <cstddef>

#include "base/records.h"

namespace hatch {

inline const double pi = 4.0 * std::atan(1.0);

// The square root with the math-error hook: a negative argument is reported on
// standard output and yields 0.0, and the run goes on.
double checked_sqrt(double v);

// |a - b| below the limit (strict): the run's tolerance, or any other limit.
inline int nearly_equal(double a, double b, double limit) { return std::fabs(a - b) < limit ? 1 : 0; }
// Both coordinates within the tolerance (inclusive).
inline int same_point(XY a, XY b, double tol) {
  return (std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol) ? 1 : 0;
}
int same_segment(const Segment& a, const Segment& b, double tol);

// Euclidean distance, snapped to the axes below 0.001.
double distance(double x1, double y1, double x2, double y2);
inline double segment_length(const Segment& s) { return distance(s.x1, s.y1, s.x2, s.y2); }
void unit_direction(const Segment& s, double& ux, double& uy);
// a*x + b*y + k = 0 on the line, normalised so that |a*x + b*y + k| is the distance.
void line_equation(const Segment& s, double& a, double& b, double& k);
// atan2 folded into [0, 2*pi).
double vector_angle(double x, double y);
// atan(dy/dx) in (-pi/2, pi/2), +-pi/2 for a vertical direction.
double slope_angle(double dy, double dx);
inline void snap_to_zero(double limit, double& v) {
  if (std::fabs(v) <= limit) v = 0.0;
}

// Row-vector affine transform; each setter replaces the whole matrix.
struct Transform {
  double m00 = 1.0, m01 = 0.0, m10 = 0.0, m11 = 1.0, m20 = 0.0, m21 = 0.0;

  static Transform translation(double tx, double ty);
  // Counter-clockwise by theta about the origin.
  static Transform rotation(double theta);
  void apply(double& x, double& y) const {
    double nx = x * m00 + y * m10 + m20;
    double ny = x * m01 + y * m11 + m21;
    x = nx;
    y = ny;
  }
  void apply(Segment& s) const {
    apply(s.x1, s.y1);
    apply(s.x2, s.y2);
  }
};

// Copies id, the two marks (higher mark bits of dst kept), coordinates, arc, next.
void copy_segment(const Segment& src, Segment& dst);
inline void reverse_segment(Segment& s) {
  double tx = s.x1, ty = s.y1;
  s.x1 = s.x2;
  s.y1 = s.y2;
  s.x2 = tx;
  s.y2 = ty;
}
inline Segment make_segment(double x1, double y1, double x2, double y2) {
  Segment s;
  s.x1 = x1;
  s.y1 = y1;
  s.x2 = x2;
  s.y2 = y2;
  return s;
}
// A piece of `src` between two other points: it keeps the id and the arc.
inline Segment piece_of(const Segment& src, double x1, double y1, double x2, double y2) {
  Segment s = make_segment(x1, y1, x2, y2);
  s.id = src.id;
  s.arc = src.arc;
  return s;
}
inline XY midpoint(const Segment& s) { return {(s.x1 + s.x2) * 0.5, (s.y1 + s.y2) * 0.5}; }

// The quicksort whose tie order the crossing table depends on.
void sort_values(double* values, std::ptrdiff_t n);

}  // namespace hatch
