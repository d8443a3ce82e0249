#include "geometry/primitives.h"

#include <cstdio>

namespace hatch {

double checked_sqrt(double v) {
  if (v < 0.0) {
    std::printf("DOMAIN ERR @sqrt( %e ) \n", v);
    return 0.0;
  }
  return std::sqrt(v);
}

int same_segment(const Segment& a, const Segment& b, double tol) {
  if (same_point(a.start(), b.start(), tol) && same_point(a.end(), b.end(), tol)) return 1;
  if (same_point(a.start(), b.end(), tol) && same_point(a.end(), b.start(), tol)) return 1;
  return 0;
}

double distance(double x1, double y1, double x2, double y2) {
  double dx = x1 - x2;
  double dy = y1 - y2;
  if (std::fabs(dx) < 0.001) return std::fabs(dy);
  if (std::fabs(dy) < 0.001) return std::fabs(dx);
  return checked_sqrt(dx * dx + dy * dy);
}

void unit_direction(const Segment& s, double& ux, double& uy) {
  double dx = s.x2 - s.x1;
  double dy = s.y2 - s.y1;
  double len = checked_sqrt(dx * dx + dy * dy);
  ux = dx / len;
  uy = dy / len;
}

void line_equation(const Segment& s, double& a, double& b, double& k) {
  double dx = s.x2 - s.x1;
  double dy = s.y2 - s.y1;
  double len = checked_sqrt(dx * dx + dy * dy);
  a = -dy / len;
  b = dx / len;
  k = (s.x1 * s.y2 - s.x2 * s.y1) / len;
}

double vector_angle(double x, double y) {
  double a = std::atan2(y, x);
  if (a < 0.0) a += 2.0 * pi;
  return a;
}

double slope_angle(double dy, double dx) {
  if (dx == 0.0) {
    if (dy > 0.0) return pi * 0.5;
    if (dy < 0.0) return -pi * 0.5;
  }
  return std::atan(dy / dx);
}

Transform Transform::translation(double tx, double ty) {
  Transform t;
  t.m20 = tx;
  t.m21 = ty;
  return t;
}

Transform Transform::rotation(double theta) {
  Transform t;
  t.m00 = std::cos(theta);
  t.m01 = std::sin(theta);
  t.m10 = -std::sin(theta);
  t.m11 = std::cos(theta);
  return t;
}

void copy_segment(const Segment& src, Segment& dst) {
  dst.id = src.id;
  dst.marks = (dst.marks & ~0xFFu) | (src.marks & 0xFFu);
  dst.x1 = src.x1;
  dst.y1 = src.y1;
  dst.x2 = src.x2;
  dst.y2 = src.y2;
  dst.arc = src.arc;
  dst.next = src.next;
}

namespace {
void quicksort(double* a, std::ptrdiff_t lo, std::ptrdiff_t hi) {
  double pivot = a[(lo + hi) / 2];
  std::ptrdiff_t i = lo, j = hi;
  do {
    while (a[i] < pivot && i < hi) ++i;
    while (pivot < a[j] && j > lo) --j;
    if (i <= j) {
      double t = a[i];
      a[i] = a[j];
      a[j] = t;
      ++i;
      --j;
    }
  } while (i <= j);
  if (lo < j) quicksort(a, lo, j);
  if (i < hi) quicksort(a, i, hi);
}
}  // namespace

void sort_values(double* values, std::ptrdiff_t n) {
  if (n > 1) quicksort(values, 0, n - 1);
}

}  // namespace hatch
