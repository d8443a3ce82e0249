#include "input/entity_store.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "geometry/primitives.h"

namespace hatch {

void EntityStore::add_pick_point(double x, double y) {
  PickPoint* p = pick_points.make();
  p->x = x;
  p->y = y;
  p->next = pick_point_list;
  pick_point_list = p;
}

Segment* EntityStore::insert_copy(Segment*& list, const Segment& scratch, double tol) {
  if (same_point(scratch.start(), scratch.end(), tol)) return nullptr;
  Segment* s = new_segment();
  *s = piece_of(scratch, scratch.x1, scratch.y1, scratch.x2, scratch.y2);
  s->next = list;
  list = s;
  return s;
}

Segment* EntityStore::append_segment_copy(Segment*& list, const Segment& src, double tol) {
  if (nearly_equal(src.x1, src.x2, tol) && nearly_equal(src.y1, src.y2, tol)) return nullptr;
  Segment* s = new_segment();
  *s = piece_of(src, src.x1, src.y1, src.x2, src.y2);
  Segment** tail = &list;
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = s;
  return s;
}

Segment* EntityStore::remove_segment(Segment*& list, Segment* s) {
  for (Segment** link = &list; *link != nullptr; link = &(*link)->next) {
    if (*link == s) {
      Segment* after = s->next;
      *link = after;
      segments.release(s);
      return after;
    }
  }
  return nullptr;
}

void EntityStore::free_chain(Segment* first) {
  while (first != nullptr) {
    Segment* n = first->next;
    segments.release(first);
    first = n;
  }
}

void set_reach(EntityStore& store, const InputState& input) {
  Box d{INFINITY, INFINITY, -INFINITY, -INFINITY};
  auto take = [&](double x, double y) {
    if (x < d.min_x) d.min_x = x;
    if (x > d.max_x) d.max_x = x;
    if (y < d.min_y) d.min_y = y;
    if (y > d.max_y) d.max_y = y;
  };
  for (const Segment* list : {store.segment_list, store.text_edge_list})
    for (const Segment* s = list; s != nullptr; s = s->next) {
      take(s->x1, s->y1);
      take(s->x2, s->y2);
    }
  for (const Arc* a = store.arc_list; a != nullptr; a = a->next) {
    take(a->cx - a->r, a->cy - a->r);
    take(a->cx + a->r, a->cy + a->r);
  }
  for (const PickPoint* p = store.pick_point_list; p != nullptr; p = p->next) take(p->x, p->y);
  if (input.hp1_given) take(input.hp1_x, input.hp1_y);
  if (input.hp2_given) take(input.hp2_x, input.hp2_y);

  store.reach = EntityStore::kNearReach;
  if (!(d.min_x <= d.max_x)) return;  // nothing was read
  const double diagonal = std::hypot(d.max_x - d.min_x, d.max_y - d.min_y);
  // The hatch bounds start at min +reach and max -reach and only widen, so the
  // fixed reach also has to lie on the far side of the drawing on each axis: a
  // drawing wholly above +reach in y, or below -reach in x or y, would be
  // bounded by empty space out to the start values, and fan and slant strokes
  // sized from those bounds would miss it.
  const double near = EntityStore::kNearReach;
  if (d.max_x < near && diagonal < near && d.min_y <= near && d.max_x >= -near && d.max_y >= -near) return;
  const double need = 2.0 * (d.magnitude() + diagonal);
  // Powers of ten read from their decimal spelling are the nearest doubles;
  // beyond 1e308 there is none, and the largest one has to do.
  for (int k = 5; k <= 308; ++k) {
    char spelled[8];
    std::snprintf(spelled, sizeof spelled, "1e%d", k);
    store.reach = std::strtod(spelled, nullptr);
    if (store.reach >= need) return;
  }
}

}  // namespace hatch
