#include "regions/crossings.h"

#include <cmath>
#include <utility>

#include "driver/failure.h"
#include "driver/messages.h"
#include "geometry/arcs.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"

namespace hatch {

int collect_crossings(CrossingTable& table, const Segment* loop, const Segment& line, int first) {
  int i = first;
  int added = 0;
  for (const Segment* e = loop; e != nullptr; e = e->next) {
    XY at;
    if (classify_segments(line, *e, &at) == kNoRelation) continue;
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
  }
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

void arc_crossing_point(Crossing& entry, const Segment& line, const Arc& arc) {
  Segment c;
  copy_segment(line, c);
  to_arc_frame(c, arc);
  double px = c.x1, py = c.y1, ux, uy;
  unit_direction(c, ux, uy);
  const double k = arc.flatness, r = arc.r;
  double qa = uy * uy / (k * k) + ux * ux;
  double qb = 2.0 * (py * uy / (k * k) + px * ux);
  double qc = py * py / (k * k) + px * px - r * r;
  double s = checked_sqrt(std::fabs(qb * qb - 4.0 * qa * qc));
  double t1 = (s - qb) / (2.0 * qa);
  double t2 = (-qb - s) / (2.0 * qa);
  Segment q;
  q.x1 = px + t1 * ux, q.y1 = py + t1 * uy;
  q.x2 = px + t2 * ux, q.y2 = py + t2 * uy;
  from_arc_frame(q, arc);
  if (distance(entry.x, entry.y, q.x1, q.y1) < distance(entry.x, entry.y, q.x2, q.y2)) {
    entry.x_used = q.x1;
    entry.y_used = q.y1;
  } else {
    entry.x_used = q.x2;
    entry.y_used = q.y2;
  }
}

}  // namespace hatch
