#include "geometry/segment_set.h"

#include <algorithm>

namespace hatch {

SegmentSet::SegmentSet(const Segment* first, bool full_scans) : full_(full_scans) {
  for (const Segment* s = first; s != nullptr; s = s->next) segments_.push_back(s);
  // A few segments are asked faster one by one than through a grid.
  if (segments_.size() < 32) full_ = true;
  if (full_) return;
  Box extent{0.0, 0.0, -1.0, -1.0};
  bool any = false;
  for (const Segment* s : segments_) {
    if (!bounded_by_box(*s)) continue;
    const Box b = box_of(*s);
    if (!any) extent = b;
    extent.widen(b.min_x, b.min_y);
    extent.widen(b.max_x, b.max_y);
    any = true;
  }
  grid_.reset(extent, segments_.size());
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    const auto id = static_cast<BoxGrid::Id>(i);
    // A short segment's end tolerance reaches along its whole line: it may relate to anything.
    if (bounded_by_box(*segments_[i]))
      grid_.insert(id, box_of(*segments_[i]));
    else
      grid_.insert_everywhere(id);
  }
}

void SegmentSet::near_box(const Box& b, double gap, std::vector<std::size_t>& out) {
  out.clear();
  if (full_) {
    for (std::size_t i = 0; i < segments_.size(); ++i) out.push_back(i);
    return;
  }
  grid_.visit_near(b, gap, [&](BoxGrid::Id id) { out.push_back(static_cast<std::size_t>(id)); });
  std::sort(out.begin(), out.end());
}

}  // namespace hatch
