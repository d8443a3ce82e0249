#include "input/entity_store.h"

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

}  // namespace hatch
