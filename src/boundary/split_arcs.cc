#include "boundary/split_arcs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/interrupt.h"
#include "boundary/cut_sectors.h"
#include "geometry/arcs.h"
#include "geometry/primitives.h"
#include "geometry/box_grid.h"
#include "geometry/relations.h"
#include "geometry/segment_set.h"

namespace hatch {

Arc* new_arc_piece(Arc*& pieces, const Arc& arc, double s, double e, EntityStore& store) {
  if (s == e) return nullptr;
  normalise_arc_angles(s, e);
  Arc* p = store.new_arc();
  p->id = arc.id;
  p->attr = arc.attr & 0xFFFu;  // layer, line type, colour
  p->cx = arc.cx;
  p->cy = arc.cy;
  p->r = arc.r;
  p->flatness = arc.flatness;
  p->tilt = arc.tilt;
  p->tilt_deg = arc.tilt_deg;
  p->start = s;
  p->end = e;
  p->start_deg = s / pi * 180.0;
  p->end_deg = e / pi * 180.0;
  p->next = pieces;
  pieces = p;
  return p;
}

void append_arcs(Arc*& arcs, Arc* pieces) {
  if (pieces == nullptr) return;
  Arc** tail = &arcs;
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = pieces;
}

namespace {

// An angle many turns out has lost the digits that place it on the circle once
// its rounding nears the cut limit: the windows of its pieces then disagree
// with the cuts, and a piece kept the old start can be cut into copies of
// itself for ever. Angles within two turns are always placed.
bool angle_placed(double a, double eps) { return std::fabs(a) <= 4.0 * pi || std::fabs(a) * 0x1p-44 < eps; }

}  // namespace

int choose_cut(int crossing, const Arc& arc, double a1, double a2) {
  const double eps = std::atan2(0.1, arc.r);
  // With a limit or a range that is not a positive number every angle would count
  // as interior, and a piece could be cut again into a copy of itself for ever.
  if (!(eps > 0.0) || !std::isfinite(arc.start) || !std::isfinite(arc.end)) return 0;
  if (!angle_placed(arc.start, eps) || !angle_placed(arc.end, eps)) return 0;
  auto near_start = [&](double x) { return angles_near(arc.start, x, eps) != 0; };
  auto near_end = [&](double x) { return angles_near(arc.end, x, eps) != 0; };
  auto interior = [&](double x) { return std::isfinite(x) && !near_start(x) && !near_end(x); };
  switch (crossing) {
    case 1:
      return interior(a1) ? 1 : 0;
    case 2:
      return interior(a2) ? 2 : 0;
    case 3:
      if (interior(a1) && interior(a2)) return 3;
      if (near_start(a2) && !near_end(a2) && interior(a1)) return 1;
      if (near_end(a2) && !near_start(a2) && interior(a1)) return 1;
      if (near_end(a1) && !near_start(a1) && interior(a2)) return 2;
      if (near_start(a1) && interior(a2)) return 2;
      return 0;
    default:
      return 0;
  }
}

void cut_arc(Arc*& pieces, int code, Arc& arc, double a1, double a2, EntityStore& store) {
  auto move_start = [&arc](double a) {
    arc.start = a;
    arc.start_deg = a / pi * 180.0;
  };
  auto cut_at = [&](double a) {
    new_arc_piece(pieces, arc, arc.start, a, store);
    move_start(a);
  };
  switch (code) {
    case 1:
      if (angle_on_arc(arc, a1)) cut_at(a1);
      break;
    case 2:
      if (angle_on_arc(arc, a2)) cut_at(a2);
      break;
    case 3: {
      int on1 = angle_on_arc(arc, a1);
      int on2 = angle_on_arc(arc, a2);
      if (on1 && on2) {
        new_arc_piece(pieces, arc, arc.start, a1, store);
        new_arc_piece(pieces, arc, a1, a2, store);
        move_start(a2);
      } else if (on1) {
        cut_at(a1);
      } else if (on2) {
        cut_at(a2);
      }
      break;
    }
    default:
      break;
  }
}

namespace {

// Cuts `arc` at its crossings with `s`, appending the pieces to `arcs`.
void cut_by_segment(Arc*& arcs, Arc& arc, const Segment& s, EntityStore& store, double tol) {
  Segment scratch;
  copy_segment(s, scratch);
  double angles[2] = {0.0, 0.0};
  int crossing = intersect_segment_arc(angles, scratch, arc, tol);
  if (crossing == 0) return;
  Arc* pieces = nullptr;
  cut_arc(pieces, choose_cut(crossing, arc, angles[0], angles[1]), arc, angles[0], angles[1], store);
  append_arcs(arcs, pieces);
}

}  // namespace

void split_arc_at_point(Arc*& arcs, Arc& arc, const Segment& probe, EntityStore& store, double tol) {
  cut_by_segment(arcs, arc, probe, store, tol);
}

namespace {

// Where an end of B lies: the circle formula even for an ellipse (its flatness
// and tilt are not applied).
XY arc_end(const Arc& b, double t) { return {b.cx + b.r * std::cos(t), b.cy + b.r * std::sin(t)}; }

// Cuts A where an end of B lies on A's circle.
void cut_at_ends_of(Arc*& arcs, Arc& a, const Arc& b, EntityStore& store, double tol) {
  const double ends[2] = {b.start, b.end};
  for (double t : ends) {
    const XY p = arc_end(b, t);
    if (!nearly_equal(distance(p.x, p.y, a.cx, a.cy), a.r, tol)) continue;
    split_arc_at_point(arcs, a, make_segment(p.x, p.y, a.cx, a.cy), store, tol);
  }
}

// The end points of every arc in a grid, so that an arc asks only the arcs
// with an end where an end can cut it. Arcs are numbered in list order.
class ArcEnds {
 public:
  explicit ArcEnds(Arc* arcs) {
    bool any = false;
    for (Arc* a = arcs; a != nullptr; a = a->next) {
      arcs_.push_back(a);
      // Every piece cut later lies on the circle of an arc of now.
      const Box b{a->cx - a->r, a->cy - a->r, a->cx + a->r, a->cy + a->r};
      if (!b.finite() || !(a->r >= 0.0)) continue;
      if (!any) extent_ = b;
      extent_.widen(b.min_x, b.min_y);
      extent_.widen(b.max_x, b.max_y);
      any = true;
    }
    lay_out();
  }

  std::size_t size() const { return arcs_.size(); }
  Arc* operator[](std::size_t i) const { return arcs_[i]; }

  // Arcs appended to the list since (pieces go to the tail).
  void take_new() {
    Arc* last = arcs_.back();
    for (Arc* p = last->next; p != nullptr; p = p->next) {
      arcs_.push_back(p);
      place(arcs_.size() - 1);
    }
    // Cells sized for the arcs of the start would fill up as pieces come.
    if (arcs_.size() > 2 * laid_out_for_) lay_out();
  }
  // The arc's ends moved (its start, when it was cut).
  void update(std::size_t i) {
    grid_.erase(static_cast<BoxGrid::Id>(2 * i));
    grid_.erase(static_cast<BoxGrid::Id>(2 * i + 1));
    place(i);
  }
  // Whether an end of arc j lies in the sectors.
  bool end_in(std::size_t j, const CutSectors& sectors) const {
    return sectors.holds(points_[2 * j]) || sectors.holds(points_[2 * j + 1]);
  }
  // The numbers of the arcs with an end that may cut `a` as it is now, in list
  // order; the turn returned bounds the cuts they were asked for.
  CutTurn near_cuts(const Arc& a, double tol, std::vector<std::size_t>& out) {
    out.clear();
    const CutTurn turn = cut_turn(a);
    if (turn.kind == CutTurn::nowhere) return turn;
    auto take = [&](BoxGrid::Id id) { out.push_back(id / 2); };
    CutSectors sectors;
    const bool bounded = cut_sectors(a, turn, tol, sectors);
    if (bounded) {
      // The cells reach far beyond small sectors; an end that is not a number cuts nothing.
      for (const Box& b : sectors.boxes)
        grid_.visit_near(b, 0.0, [&](BoxGrid::Id id) {
          if (sectors.holds(points_[id])) take(id);
        });
    } else {
      // Within the tolerance of the radius, measured with the axis snap of 0.001.
      const double reach = a.r + tol + 0.002;
      grid_.visit_near({a.cx - reach, a.cy - reach, a.cx + reach, a.cy + reach}, 0.0, take);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return bounded ? turn : CutTurn{};
  }

 private:
  void lay_out() {
    laid_out_for_ = arcs_.size();
    grid_.reset(extent_, 2 * arcs_.size());
    for (std::size_t i = 0; i < arcs_.size(); ++i) place(i);
  }
  void place(std::size_t i) {
    const Arc& a = *arcs_[i];
    const XY s = arc_end(a, a.start), e = arc_end(a, a.end);
    if (points_.size() < 2 * arcs_.size()) points_.resize(2 * arcs_.size());
    points_[2 * i] = s;
    points_[2 * i + 1] = e;
    grid_.insert(static_cast<BoxGrid::Id>(2 * i), {s.x, s.y, s.x, s.y});
    grid_.insert(static_cast<BoxGrid::Id>(2 * i + 1), {e.x, e.y, e.x, e.y});
  }

  std::vector<Arc*> arcs_;
  std::vector<XY> points_;  // the ends as placed, two an arc
  Box extent_{0.0, 0.0, -1.0, -1.0};
  std::size_t laid_out_for_ = 0;
  BoxGrid grid_;
};

}  // namespace

void split_arcs_at_arc_ends(Arc*& arcs, EntityStore& store, double tol) {
  if (store.full_scans) {
    for (Arc* a = arcs; a != nullptr; a = a->next) {
      rearm_interrupt();
      for (Arc* b = arcs; b != nullptr; b = b->next)
        if (b != a) cut_at_ends_of(arcs, *a, *b, store, tol);
    }
    return;
  }
  // While A is cut, no other arc changes and only pieces of A are appended: A
  // asks the arcs with an end that can cut it, in list order, then every piece
  // appended meanwhile, as the walk over the whole list would meet them.
  ArcEnds ends(arcs);
  std::vector<std::size_t> near;
  for (std::size_t i = 0; i < ends.size(); ++i) {
    rearm_interrupt();
    Arc& a = *ends[i];
    const std::size_t known = ends.size();
    // Pieces go after the last arc known; linking them there spares walking the list.
    Arc*& tail = ends[known - 1]->next;
    CutTurn asked = ends.near_cuts(a, tol, near);
    CutSectors left;  // where an end can cut what is left of A, once it was cut
    bool shrunk = false;
    for (std::size_t n = 0; n < near.size();) {
      const std::size_t j = near[n++];
      if (j == i || (shrunk && !ends.end_in(j, left))) continue;
      const double start = a.start;
      cut_at_ends_of(tail, a, *ends[j], store, tol);
      if (a.start == start) continue;
      const CutTurn now = cut_turn(a);
      if (covers(asked, now)) {
        shrunk = cut_sectors(a, now, tol, left);
        continue;
      }
      // Rounding carried the new start past the end: the rest may be cut anywhere.
      asked = ends.near_cuts(a, tol, near);
      near.erase(near.begin(), std::upper_bound(near.begin(), near.end(), j));
      n = 0;
      shrunk = false;
    }
    for (Arc* b = tail; b != nullptr; b = b->next) cut_at_ends_of(tail, a, *b, store, tol);
    ends.update(i);
    ends.take_new();
  }
}

void split_arcs_by_segments(Arc*& arcs, const Segment* first, EntityStore& store, double tol) {
  if (arcs == nullptr) return;  // no index of the segments for nobody to ask
  SegmentSet segments(first, store.full_scans);
  std::vector<std::size_t> near;
  for (Arc* a = arcs; a != nullptr; a = a->next) {
    rearm_interrupt();
    // The radius alone bounds the box, whatever the flatness and tilt.
    const double margin = a->r + 5.0;
    const double xmin = a->cx - margin, ymin = a->cy - margin;
    const double xmax = a->cx + margin, ymax = a->cy + margin;
    // Only a segment near the box can meet it; the cuts depend on the order of the segments.
    segments.near_box({xmin, ymin, xmax, ymax}, kRelationReach, near);
    for (std::size_t i : near) {
      Segment scratch;
      copy_segment(segments[i], scratch);
      if (!segment_meets_box(scratch, xmin, ymin, xmax, ymax)) continue;
      cut_by_segment(arcs, *a, scratch, store, tol);
    }
  }
}

void split_arcs_by_segments(Arc*& arcs, const std::vector<Segment*>& segments, EntityStore& store, double tol) {
  for (Arc* a = arcs; a != nullptr; a = a->next) {
    rearm_interrupt();
    const double margin = a->r + 5.0;
    const double xmin = a->cx - margin, ymin = a->cy - margin;
    const double xmax = a->cx + margin, ymax = a->cy + margin;
    for (const Segment* s : segments) {
      Segment scratch;
      copy_segment(*s, scratch);
      if (!segment_meets_box(scratch, xmin, ymin, xmax, ymax)) continue;
      cut_by_segment(arcs, *a, scratch, store, tol);
    }
  }
}

}  // namespace hatch
