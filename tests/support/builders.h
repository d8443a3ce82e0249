// Small builders and views of segments, loops and arcs for the tests.
#pragma once

#include <cmath>
#include <vector>

#include "input/entity_store.h"
#include "base/records.h"
#include "geometry/primitives.h"

namespace hatch::test {

struct Edge {
  double x1, y1, x2, y2;
  bool operator==(const Edge&) const = default;
};

// A copy at the tail of the list (lists then read in the order of the calls).
inline Segment* append_edge(EntityStore& store, Segment*& list, double x1, double y1, double x2, double y2,
                            double tol = 0.005) {
  return store.append_segment_copy(list, make_segment(x1, y1, x2, y2), tol);
}

// An arc value; angles in radians.
inline Arc make_arc(double cx, double cy, double r, double start, double end, double flatness = 1.0,
                    double tilt = 0.0) {
  Arc a;
  a.cx = cx, a.cy = cy, a.r = r;
  a.start = start, a.end = end;
  a.flatness = flatness, a.tilt = tilt;
  return a;
}

// A new arc of the store at the tail of the list.
inline Arc* append_arc(EntityStore& store, Arc*& list, const Arc& value) {
  Arc* a = store.new_arc();
  *a = value;
  Arc** tail = &list;
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = a;
  return a;
}

// At the head of the list.
inline Segment* add_edge(EntityStore& store, Segment*& list, double x1, double y1, double x2, double y2,
                         int id = 0) {
  Segment s;
  s.id = id;
  s.x1 = x1, s.y1 = y1, s.x2 = x2, s.y2 = y2;
  return store.insert_copy(list, s, 0.5);
}

// Counter-clockwise: bottom, right, top, left; the list then starts with the left edge.
inline void add_square(EntityStore& store, Segment*& list, double x0, double y0, double side) {
  add_edge(store, list, x0, y0, x0 + side, y0);
  add_edge(store, list, x0 + side, y0, x0 + side, y0 + side);
  add_edge(store, list, x0 + side, y0 + side, x0, y0 + side);
  add_edge(store, list, x0, y0 + side, x0, y0);
}

inline std::vector<Edge> edges_of(const Segment* list) {
  std::vector<Edge> v;
  for (const Segment* s = list; s != nullptr; s = s->next) v.push_back({s->x1, s->y1, s->x2, s->y2});
  return v;
}

template <class T>
int length_of(const T* list) {
  int n = 0;
  for (; list != nullptr; list = list->next) ++n;
  return n;
}

// Twice the signed area; positive for a counter-clockwise loop.
inline double twice_area(const Segment* loop) {
  double a = 0.0;
  for (const Segment* s = loop; s != nullptr; s = s->next) a += s->x1 * s->y2 - s->x2 * s->y1;
  return a;
}

// Each edge ends where the next one starts, the last where the first starts.
inline bool is_closed_chain(const Segment* loop, double tol) {
  if (loop == nullptr) return false;
  for (const Segment* s = loop; s != nullptr; s = s->next) {
    const Segment* n = s->next != nullptr ? s->next : loop;
    if (!(std::fabs(s->x2 - n->x1) <= tol && std::fabs(s->y2 - n->y1) <= tol)) return false;
  }
  return true;
}

}  // namespace hatch::test
