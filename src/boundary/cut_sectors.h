// Where the ends that can cut an arc lie, so that an arc asks only the arcs
// with an end there: near its circle, in the directions from its centre of the
// part of it that angle_on_arc still lets be cut.
#pragma once

#include "base/records.h"
#include "geometry/box.h"

namespace hatch {

// The parametric angles at which an arc can be cut: from + [0, length] (mod
// 2 pi), give or take the rounding of angle_on_arc; or anywhere, or nowhere.
struct CutTurn {
  enum Kind { anywhere, nowhere, within } kind = anywhere;
  double from = 0.0, length = 0.0;
};
CutTurn cut_turn(const Arc& a);
// Whether every cut that `now` allows, `asked` allowed, with rounding to spare.
bool covers(const CutTurn& asked, const CutTurn& now);

// The points p whose probe from p to the arc's centre can cut it within a
// turn lie in two annular sectors opposite each other: the directions
// from + [0, span] from (cx, cy) and those a half turn on. A box bounds each.
struct CutSectors {
  double cx = 0.0, cy = 0.0;
  double from = 0.0, span = 0.0;
  Box boxes[2];
  // False only for a point outside both sectors.
  bool holds(const XY& p) const;
};
// False where the rounding is not bounded here: only the circle's box is known
// to hold them.
bool cut_sectors(const Arc& a, const CutTurn& turn, double tol, CutSectors& out);

}  // namespace hatch
