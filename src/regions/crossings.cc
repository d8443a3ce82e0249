#include "regions/crossings.h"

#include <cmath>
#include <utility>

#include "base/failure.h"
#include "base/messages.h"
#include "geometry/arcs.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"

namespace hatch {

namespace {

template <class Edges>
int collect(CrossingTable& table, Edges for_each_edge, const Segment& line, int first) {
  int i = first;
  int added = 0;
  for_each_edge([&](const Segment* e) {
    XY at;
    if (classify_segments(line, *e, &at) == kNoRelation) return;
    Crossing& c = table.entries[i];
    c.x = at.x;
    c.y = at.y;
    c.distance = distance(line.x1, line.y1, at.x, at.y);
    c.x_used = at.x;
    c.y_used = at.y;
    if (e->arc != nullptr) arc_crossing_point(c, line, *e->arc);
    ++i;
    ++added;
    if (i >= CrossingTable::kSlots) fail(msg::too_many_crossings);
  });
  if (added == 0) return 0;
  for (int p = 0; p < i; ++p) table.keys[p] = table.entries[p].distance;
  if (i >= 2) {
    sort_values(table.keys, i);
    for (int p = 0; p < i; ++p) {
      for (int q = p; q < i; ++q) {
        if (table.entries[q].distance == table.keys[p]) {
          std::swap(table.entries[p], table.entries[q]);
          break;
        }
      }
    }
  }
  return added;
}

}  // namespace

int collect_crossings(CrossingTable& table, const Segment* loop, const Segment& line, int first) {
  return collect(
      table, [&](auto f) { for (const Segment* e = loop; e != nullptr; e = e->next) f(e); }, line, first);
}

int collect_crossings(CrossingTable& table, const std::vector<Segment*>& edges, const Segment& line, int first) {
  return collect(
      table, [&](auto f) { for (const Segment* e : edges) f(e); }, line, first);
}

void arc_crossing_point(Crossing& entry, const Segment& line, const Arc& arc) {
  XY p1, p2;
  line_meets_ellipse(line, arc, p1, p2);
  Segment q = make_segment(p1.x, p1.y, p2.x, p2.y);
  from_arc_frame(q, arc);
  // A degenerate ellipse (flatness 0, say) has no points of its own: the chord's crossing stands.
  const bool first_ok = std::isfinite(q.x1) && std::isfinite(q.y1);
  const bool second_ok = std::isfinite(q.x2) && std::isfinite(q.y2);
  if (!first_ok && !second_ok) return;
  if (first_ok && (!second_ok || distance(entry.x, entry.y, q.x1, q.y1) < distance(entry.x, entry.y, q.x2, q.y2))) {
    entry.x_used = q.x1;
    entry.y_used = q.y1;
  } else {
    entry.x_used = q.x2;
    entry.y_used = q.y2;
  }
}

}  // namespace hatch
