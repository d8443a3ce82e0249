#include "boundary/breaks.h"

#include "base/interrupt.h"
#include "geometry/relations.h"
#include "geometry/segment_set.h"

namespace hatch {

Point* add_break_marker(Point*& list, double x, double y, EntityStore& store) {
  Point* p = store.points.make();
  p->attr = 0;
  p->x = x;
  p->y = y;
  p->next = list;
  list = p;
  return p;
}

void check_breaks(const Segment* first, Point*& break_markers, EntityStore& store) {
  SegmentSet set(first, store.full_scans);
  for (std::size_t i = 0; i < set.size(); ++i) {
    rearm_interrupt();
    const Segment& a = set[i];
    // Whichever segment connects an end, the end is connected: the order of the
    // segments asked does not matter, only that every one that can is asked.
    bool start_ok = false, end_ok = false;
    set.visit_related(a, [&](std::size_t j) {
      if (j == i || (start_ok && end_ok)) return;
      switch (classify_segments(a, set[j])) {
        case kStartOfATouchesB:
        case kStartsMeet:
        case kStartOfAMeetsEndOfB:
          start_ok = true;
          break;
        case kEndOfATouchesB:
        case kEndOfAMeetsStartOfB:
        case kEndsMeet:
          end_ok = true;
          break;
        default:
          break;
      }
    });
    if (!start_ok) add_break_marker(break_markers, a.x1, a.y1, store);
    if (!end_ok) add_break_marker(break_markers, a.x2, a.y2, store);
  }
}

}  // namespace hatch
