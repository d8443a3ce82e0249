#include "boundary/split_arcs.h"

#include <cmath>
#include <vector>

#include "base/interrupt.h"
#include "geometry/arcs.h"
#include "geometry/primitives.h"
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

int choose_cut(int crossing, const Arc& arc, double a1, double a2) {
  const double eps = std::atan2(0.1, arc.r);
  // With a limit or a range that is not a positive number every angle would count
  // as interior, and a piece could be cut again into a copy of itself for ever.
  if (!(eps > 0.0) || !std::isfinite(arc.start) || !std::isfinite(arc.end)) return 0;
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

void split_arcs_at_arc_ends(Arc*& arcs, EntityStore& store, double tol) {
  for (Arc* a = arcs; a != nullptr; a = a->next) {
    rearm_interrupt();
    for (Arc* b = arcs; b != nullptr; b = b->next) {
      if (b == a) continue;
      const double ends[2] = {b->start, b->end};
      for (double t : ends) {
        // The circle formula even for an ellipse: its flatness and tilt are not applied.
        double px = b->cx + b->r * std::cos(t);
        double py = b->cy + b->r * std::sin(t);
        if (!nearly_equal(distance(px, py, a->cx, a->cy), a->r, tol)) continue;
        split_arc_at_point(arcs, *a, make_segment(px, py, a->cx, a->cy), store, tol);
      }
    }
  }
}

void split_arcs_by_segments(Arc*& arcs, const Segment* first, EntityStore& store, double tol) {
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

}  // namespace hatch
