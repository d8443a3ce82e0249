#include "regions/band.h"

#include <cmath>

#include "base/interrupt.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"

namespace hatch {
namespace {

Segment* last_of(Segment* list) {
  if (list == nullptr) return nullptr;
  while (list->next != nullptr) list = list->next;
  return list;
}

void drop_all(Segment*& list, EntityStore& store) {
  store.free_chain(list);
  list = nullptr;
}

}  // namespace

int chain_end_kind(const Segment* list, const Segment& s, double tol) {
  bool start_touch = false;
  bool end_touch = false;
  for (const Segment* o = list; o != nullptr; o = o->next) {
    rearm_interrupt();
    if (o == &s) continue;
    if (!start_touch) {
      start_touch = same_point(s.start(), o->start(), tol) || same_point(s.start(), o->end(), tol);
    }
    if (!end_touch) {
      end_touch = same_point(s.end(), o->start(), tol) || same_point(s.end(), o->end(), tol);
    }
    if (start_touch && end_touch) return -1;
  }
  if (start_touch) return 1;
  if (end_touch) return 0;
  return 2;
}

const Segment* nearest_visible_segment(const Segment* chain, double px, double py, double reach) {
  double best = reach;
  const Segment* nearest = nullptr;
  for (const Segment* s = chain; s != nullptr; s = s->next) {
    rearm_interrupt();
    const XY mid = midpoint(*s);
    const Segment probe = make_segment(px, py, mid.x, mid.y);
    bool seen = true;
    for (const Segment* o = chain; o != nullptr && seen; o = o->next) {
      if (o != s && classify_segments(*o, probe) != 0) seen = false;
    }
    if (!seen) continue;
    const double d = distance(px, py, mid.x, mid.y);
    if (d < best) {
      best = d;
      nearest = s;
    }
  }
  return nearest;
}

Side side_of(const Segment& s, double px, double py) {
  const double cross = (s.x2 - s.x1) * (py - s.y1) - (s.y2 - s.y1) * (px - s.x1);
  return cross > 0.0 ? Side::left : Side::right_or_on;
}

void offset_segment(const Segment& s, Segment& out, double distance, Side side) {
  const double d = side == Side::left ? distance : -distance;
  const double theta = vector_angle(s.x2 - s.x1, s.y2 - s.y1);
  const double dx = -d * std::sin(theta);
  const double dy = d * std::cos(theta);
  out.x1 = s.x1 + dx;
  out.y1 = s.y1 + dy;
  out.x2 = s.x2 + dx;
  out.y2 = s.y2 + dy;
}

void extend_segment(Ends ends, Segment& s, double distance) {
  const double theta = vector_angle(s.x2 - s.x1, s.y2 - s.y1);
  const double ex = distance * std::cos(theta);
  const double ey = distance * std::sin(theta);
  if (ends == Ends::end || ends == Ends::both) {
    s.x2 += ex;
    s.y2 += ey;
  }
  if (ends == Ends::start || ends == Ends::both) {
    s.x1 -= ex;
    s.y1 -= ey;
  }
}

int intersect_lines(double a1, double b1, double k1, double a2, double b2, double k2, XY& at) {
  const double det = a1 * b2 - a2 * b1;
  // A degenerate line gives a NaN determinant; it crosses nothing.
  if (!(std::fabs(det) >= 0.001)) return 0;
  at.x = (b1 * k2 - b2 * k1) / det;
  at.y = (a2 * k1 - a1 * k2) / det;
  return 1;
}

bool build_chain(Segment*& list, Band& band, double px, double py, EntityStore& store) {
  Segment* first = nullptr;
  int kind = -1;
  for (Segment* s = list; s != nullptr; s = s->next) {
    kind = chain_end_kind(list, *s, band.tol);
    if (kind != -1) {
      first = s;
      break;
    }
  }
  if (first == nullptr) {
    drop_all(list, store);
    return false;
  }
  if (kind == 0) reverse_segment(*first);  // the free end becomes the end

  Segment* chain = nullptr;
  store.insert_copy(chain, *first, band.tol);
  double cx = first->x1, cy = first->y1;
  store.remove_segment(list, first);
  for (;;) {
    rearm_interrupt();
    Segment* taken = nullptr;
    for (Segment* o = list; o != nullptr && taken == nullptr; o = o->next) {
      if (same_point(o->end(), {cx, cy}, band.tol)) {
        taken = o;
      } else if (same_point(o->start(), {cx, cy}, band.tol)) {
        reverse_segment(*o);
        taken = o;
      }
    }
    if (taken == nullptr) break;
    store.insert_copy(chain, *taken, band.tol);
    cx = taken->x1;
    cy = taken->y1;
    store.remove_segment(list, taken);
  }
  store.free_chain(list);  // segments not reached from the free end
  list = chain;

  const Segment* nearest = nearest_visible_segment(list, px, py, store.reach);
  if (nearest == nullptr) {
    drop_all(list, store);
    return false;
  }
  band.band_side = side_of(*nearest, px, py);
  return true;
}

void build_band(Segment*& list, const Band& band, EntityStore& store) {
  if (list == nullptr) return;
  int count = 0;
  for (const Segment* s = list; s != nullptr; s = s->next) ++count;

  Segment* offsets = nullptr;
  Segment* prev = nullptr;
  int index = 0;
  for (const Segment* s = list; s != nullptr; s = s->next, ++index) {
    rearm_interrupt();
    Segment t;
    offset_segment(*s, t, band.offset_distance, band.band_side);
    // Inner ends are lengthened so that neighbours cross; the outer ends stay flush.
    if (count > 1) {
      const Ends ends = index == 0 ? Ends::end : (index == count - 1 ? Ends::start : Ends::both);
      extend_segment(ends, t, band.offset_distance);
    }
    if (prev != nullptr) {
      double a1, b1, k1, a2, b2, k2;
      line_equation(t, a1, b1, k1);
      line_equation(*prev, a2, b2, k2);
      XY at;
      if (intersect_lines(a1, b1, k1, a2, b2, k2, at)) {
        t.x1 = at.x;
        t.y1 = at.y;
        prev->x2 = at.x;
        prev->y2 = at.y;
      }
    }
    if (Segment* copy = store.insert_copy(offsets, t, band.tol)) prev = copy;
  }

  // An offset that reaches back across the polyline loses its part on the wrong side.
  for (Segment* f = offsets; f != nullptr; f = f->next) {
    rearm_interrupt();
    for (const Segment* c = list; c != nullptr; c = c->next) {
      XY at;
      if (classify_segments(*f, *c, &at) == 0) continue;
      if (side_of(*c, f->x2, f->y2) == band.band_side) {
        f->x1 = at.x;
        f->y1 = at.y;
      } else {
        f->x2 = at.x;
        f->y2 = at.y;
      }
    }
  }

  Segment* edges = nullptr;
  for (const Segment* f = offsets; f != nullptr; f = f->next) store.insert_copy(edges, *f, band.tol);
  store.free_chain(offsets);

  if (edges != nullptr) {
    const Segment* head = list;
    const Segment* tail = last_of(list);
    const Segment* edge_tail = last_of(edges);
    const Segment cap1 = make_segment(head->x1, head->y1, edges->x1, edges->y1);
    const Segment cap2 = make_segment(tail->x2, tail->y2, edge_tail->x2, edge_tail->y2);
    store.insert_copy(edges, cap1, band.tol);
    store.insert_copy(edges, cap2, band.tol);
  }
  last_of(list)->next = edges;
}

bool build_offset_band(Segment*& list, const Settings& settings, const InputState& input, EntityStore& store) {
  Band band;
  band.offset_distance = settings.offset_distance;
  band.tol = settings.tolerance;
  if (!build_chain(list, band, input.hp1_x, input.hp1_y, store)) return false;
  build_band(list, band, store);
  return true;
}

}  // namespace hatch
