#include "boundary/breaks.h"

#include "base/interrupt.h"
#include "geometry/relations.h"

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
  for (const Segment* a = first; a != nullptr; a = a->next) {
    rearm_interrupt();
    bool start_ok = false, end_ok = false;
    for (const Segment* b = first; b != nullptr && !(start_ok && end_ok); b = b->next) {
      if (b == a) continue;
      switch (classify_segments(*a, *b)) {
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
    }
    if (!start_ok) add_break_marker(break_markers, a->x1, a->y1, store);
    if (!end_ok) add_break_marker(break_markers, a->x2, a->y2, store);
  }
}

}  // namespace hatch
