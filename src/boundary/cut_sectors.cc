#include "boundary/cut_sectors.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/arcs.h"
#include "geometry/primitives.h"

namespace hatch {

namespace {

// Beyond the rounding of angle_on_arc (below 2e-14 for starts and ends within
// 64) and of the angle of a crossing.
constexpr double kTurnSlack = 1e-12;

bool inside(const XY& p, const Box& b) { return b.min_x <= p.x && p.x <= b.max_x && b.min_y <= p.y && p.y <= b.max_y; }

// The box of the points at radii [inner, outer] from (cx, cy) in the directions
// from + [0, span], widened for the rounding of its own corners.
Box annular_sector_box(double cx, double cy, double inner, double outer, double from, double span) {
  const double full = 2.0 * pi;
  const double inf = std::numeric_limits<double>::infinity();
  Box b{inf, inf, -inf, -inf};
  for (double t : {from, from + span})
    for (double rho : {inner, outer}) b.widen(cx + rho * std::cos(t), cy + rho * std::sin(t));
  // Where the directions pass an axis, the outer circle reaches farthest.
  const XY axis[4] = {{outer, 0.0}, {0.0, outer}, {-outer, 0.0}, {0.0, -outer}};
  for (int q = 0; q < 4; ++q) {
    double off = std::fmod(q * 0.5 * pi - from, full);
    if (off < 0.0) off += full;
    if (off <= span + 1e-9 || off >= full - 1e-9) b.widen(cx + axis[q].x, cy + axis[q].y);
  }
  const double margin = 1e-9 * (1.0 + std::fabs(cx) + std::fabs(cy) + outer);
  return {b.min_x - margin, b.min_y - margin, b.max_x + margin, b.max_y + margin};
}

}  // namespace

CutTurn cut_turn(const Arc& a) {
  const double full = 2.0 * pi;
  // Larger angles round by more than the slack; NaN fails too.
  if (!(std::fabs(a.start) <= 64.0 && std::fabs(a.end) <= 64.0)) return {};
  // angle_on_arc(a, t) is 0 <= fmod(t + shift, 2 pi) <= span: t = -shift + [0, span].
  const ArcWindow w = arc_window(a);
  if (w.span < 0.0) return {CutTurn::nowhere};
  // Nearly the whole turn: its image among the directions could wrap past itself.
  if (!(w.span <= full - 0.02)) return {};
  return {CutTurn::within, -w.shift, w.span};
}

bool covers(const CutTurn& asked, const CutTurn& now) {
  if (asked.kind == CutTurn::anywhere || now.kind == CutTurn::nowhere) return true;
  if (now.kind == CutTurn::anywhere || asked.kind == CutTurn::nowhere) return false;
  const double full = 2.0 * pi;
  // Half the slack is spared for the rounding of this test and of `now`.
  double off = std::remainder(now.from - asked.from, full);
  if (off < -0.5 * kTurnSlack) off += full;
  return off + now.length <= asked.length + 0.5 * kTurnSlack;
}

// A cut of `a` by the end p needs p within the tolerance of the radius, and a
// crossing of the probe's carrying line with the ellipse at a parametric angle
// t on the turn. That line passes through the centre, so in the arc's frame
// both crossings lie along p's direction or against it, and a crossing at t lies
// in the direction of (cos t, k sin t): a map of t onto the directions that
// keeps (k > 0) or reverses (k < 0) their order and stretches no angle by more
// than max(|k|, 1/|k|). The bounds on k, radius and tolerance below keep every
// crossing at least r min(1, |k|) / 2 from the centre, and the bound on the
// tilt keeps its sine and cosine here and in the probe's turn alike, so
// rounding moves a crossing's direction, and the directions computed here, by
// less than 1e-14 (max(|k|, 1/|k|) + outer / (r min(1, |k|))): the slack spares
// 10000 times that.
bool cut_sectors(const Arc& a, const CutTurn& turn, double tol, CutSectors& out) {
  if (turn.kind != CutTurn::within) return false;
  const double full = 2.0 * pi;
  const double k = a.flatness, r = a.r;
  const double thin = std::min(1.0, std::fabs(k)), wide = std::max(1.0, std::fabs(k));
  // No squares in the crossing overflow or underflow.
  if (!(std::fabs(a.cx) <= 1e100 && std::fabs(a.cy) <= 1e100 && r >= 1e-100 && r <= 1e100)) return false;
  if (!(thin >= 1.0 / 64.0 && wide <= 64.0 && std::fabs(a.tilt) <= 64.0)) return false;
  if (!(tol >= 0.0 && tol <= 1e100 && r >= (tol + 0.002) / 16.0)) return false;
  // The distance snaps to the axes below 0.001.
  const double outer = r + tol + 0.002, inner = std::max(0.0, r - tol - 0.002);
  const double ct = std::cos(a.tilt), st = std::sin(a.tilt);
  auto direction = [&](double t) {
    const double x = std::cos(t), y = k * std::sin(t);
    return std::atan2(x * st + y * ct, x * ct - y * st);
  };
  double lo = direction(turn.from - kTurnSlack), hi = direction(turn.from + turn.length + kTurnSlack);
  if (k < 0.0) std::swap(lo, hi);
  double span = hi - lo;
  if (span < 0.0) span += full;
  const double slack = 1e-10 * (wide / thin + outer / (r * thin));
  lo -= slack;
  span += 2.0 * slack;
  if (!(span < full)) return false;
  out.cx = a.cx;
  out.cy = a.cy;
  out.from = lo;
  out.span = span;
  out.boxes[0] = annular_sector_box(a.cx, a.cy, inner, outer, lo, span);
  out.boxes[1] = annular_sector_box(a.cx, a.cy, inner, outer, lo + pi, span);
  return true;
}

bool CutSectors::holds(const XY& p) const {
  if (!inside(p, boxes[0]) && !inside(p, boxes[1])) return false;
  if (span >= pi) return true;
  // Both sectors at once, by the direction modulo a half turn; atan2 and fmod
  // round by far less than the 1e-9 spared.
  double off = std::fmod(std::atan2(p.y - cy, p.x - cx) - from, pi);
  if (off < 0.0) off += pi;
  return off <= span + 1e-9 || off >= pi - 1e-9;
}

}  // namespace hatch
