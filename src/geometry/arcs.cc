#include "geometry/arcs.h"

#include <cmath>

#include "geometry/primitives.h"

namespace hatch {

int angles_near(double a, double b, double t) {
  double a2 = std::fmod(a + 2.0 * pi, 2.0 * pi);
  double b2 = std::fmod(b + 2.0 * pi, 2.0 * pi);
  return std::fabs(a2 - b2) < t ? 1 : 0;
}

ArcWindow arc_window(const Arc& arc) {
  const double full = pi * 2.0;
  double shift;
  if (arc.start < 0.0) {
    shift = std::fabs(arc.start);
  } else if (arc.start > pi) {
    shift = std::fabs(full - arc.start);
  } else {
    shift = -std::fabs(arc.start);
  }
  double span = std::fmod(arc.end + shift, full);
  if (arc.start == 0.0 && arc.end == full) span = arc.end;
  return {shift, span};
}

int angle_on_arc(const Arc& arc, double a) {
  const ArcWindow w = arc_window(arc);
  a = std::fmod(a + w.shift, pi * 2.0);
  if (a < 0.0 || a > w.span) return 0;
  return 1;
}

void normalise_arc_angles(double& s, double& e) {
  const double full = 2.0 * pi;
  if (s == 0.0 && e == full) return;
  if (s < 0.0 && e < 0.0) {
    s = std::fmod(s + full, full);
    e = std::fmod(e + full, full);
  } else if (s >= 0.0 && e < 0.0) {
    e = std::fmod(e + full, full);
  } else if (s < 0.0 && e >= 0.0) {
    double s2 = std::fmod(s + full, full);
    double e2 = std::fmod(e + full, full);
    if (!(e2 < s2)) {
      s = s2;
      e = e2;
    }
  }
}

void to_arc_frame(Segment& s, const Arc& arc) {
  Transform::translation(-arc.cx, -arc.cy).apply(s);
  Transform::rotation(-arc.tilt).apply(s);
}

void from_arc_frame(Segment& s, const Arc& arc) {
  Transform::rotation(arc.tilt).apply(s);
  Transform::translation(arc.cx, arc.cy).apply(s);
}

XY onto_ellipse(const Arc& arc, double x, double y) {
  const double dx = x - arc.cx;
  const double dy = (y - arc.cy) * arc.flatness;
  return {arc.cx + dx * std::cos(arc.tilt) - dy * std::sin(arc.tilt),
          arc.cy + dx * std::sin(arc.tilt) + dy * std::cos(arc.tilt)};
}

XY arc_point(const Arc& arc, double t) {
  return onto_ellipse(arc, arc.cx + arc.r * std::cos(t), arc.cy + arc.r * std::sin(t));
}

void line_meets_ellipse(const Segment& s, const Arc& arc, XY& p1, XY& p2) {
  Segment c = s;
  to_arc_frame(c, arc);
  double x1 = c.x1, y1 = c.y1, ux, uy;
  unit_direction(c, ux, uy);
  const double k = arc.flatness, r = arc.r;
  double qa = uy * uy / (k * k) + ux * ux;
  double qb = 2.0 * (y1 * uy / (k * k) + x1 * ux);
  double qk = y1 * y1 / (k * k) + x1 * x1 - r * r;
  // The absolute value lets a line that just misses the curve still give two points.
  double q = checked_sqrt(std::fabs(qb * qb - 4.0 * qa * qk));
  double s1 = (q - qb) / (2.0 * qa);
  double s2 = (-q - qb) / (2.0 * qa);
  p1 = {x1 + ux * s1, y1 + uy * s1};
  p2 = {x1 + ux * s2, y1 + uy * s2};
}

int intersect_segment_arc(double angles[2], const Segment& s, const Arc& arc, double tol) {
  XY p1, p2;
  line_meets_ellipse(s, arc, p1, p2);
  const double k = arc.flatness, r = arc.r;
  auto on_ellipse = [&](const XY& p) {
    return nearly_equal(p.x * p.x / (r * r), 1.0 - p.y * p.y / (r * r * k * k), tol);
  };
  int on1 = on_ellipse(p1), on2 = on_ellipse(p2);
  if (!on1 && !on2) return 0;
  Segment c = make_segment(p1.x, p1.y, p2.x, p2.y);
  double t1 = vector_angle(p1.x, p1.y / k);
  double t2 = vector_angle(p2.x, p2.y / k);
  double d1 = std::fmod(t1 - arc.start + 2.0 * pi, 2.0 * pi);
  double d2 = std::fmod(t2 - arc.start + 2.0 * pi, 2.0 * pi);
  if (d1 >= d2) {
    angles[0] = t2;
    angles[1] = t1;
    int t = on1;
    on1 = on2;
    on2 = t;
    reverse_segment(c);
  } else {
    angles[0] = t1;
    angles[1] = t2;
  }
  from_arc_frame(c, arc);
  double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
  auto param = [&](double px, double py) {
    return std::fabs(dy) >= std::fabs(dx) ? (py - s.y1) / dy : (px - s.x1) / dx;
  };
  double u1 = param(c.x1, c.y1), u2 = param(c.x2, c.y2);
  bool in1 = -0.0001 < u1 && u1 < 1.0001;
  bool in2 = -0.0001 < u2 && u2 < 1.0001;
  const double eps = pi * 0.01 / 180.0;
  bool end1 = nearly_equal(angles[0], arc.start, eps) || nearly_equal(angles[0], arc.end, eps);
  bool end2 = nearly_equal(angles[1], arc.start, eps) || nearly_equal(angles[1], arc.end, eps);
  if (in1 && in2 && on1 && on2) {
    if (!end1 && !end2) return 3;
    if (!end1) return 1;
    if (!end2) return 2;
    return 0;
  }
  if (in1 && on1 && !in2) return end1 ? 0 : 1;
  if (in2 && on2 && !in1) return end2 ? 0 : 2;
  return 0;
}

}  // namespace hatch
