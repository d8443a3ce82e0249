// A fixed set of segments, numbered in list order, with the grid that tells
// which of them can relate to a segment or lie near a place.
#pragma once

#include <vector>

#include "base/records.h"
#include "geometry/box_grid.h"
#include "geometry/relations.h"

namespace hatch {

class SegmentSet {
 public:
  // The segments of the list from `first` on; with `full_scans` every question is
  // answered with every segment, as the plain scans do.
  SegmentSet(const Segment* first, bool full_scans);

  std::size_t size() const { return segments_.size(); }
  const Segment& operator[](std::size_t i) const { return *segments_[i]; }

  // The numbers of the segments that may come within `gap` of the box, in list
  // order (every one when the box is not finite or full scans are wanted); a
  // segment too short to be bounded by its box is always among them.
  void near_box(const Box& b, double gap, std::vector<std::size_t>& out);

  // Calls visit(i) for every segment i that classify_segments could relate to `s`
  // (and some that it cannot), each once, in no particular order.
  template <class F>
  void visit_related(const Segment& s, F visit) {
    if (full_ || !bounded_by_box(s)) {
      for (std::size_t i = 0; i < segments_.size(); ++i) visit(i);
      return;
    }
    grid_.visit_near(box_of(s), kRelationReach, [&](BoxGrid::Id id) { visit(static_cast<std::size_t>(id)); });
  }

 private:
  std::vector<const Segment*> segments_;
  BoxGrid grid_;
  bool full_;
};

}  // namespace hatch
