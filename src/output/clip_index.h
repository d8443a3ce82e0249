// The loops strokes are clipped against, indexed in the hatch frame: which
// edges a stroke can meet, and which loops can hold a point. Strokes ask the
// loops in clipping order (each outline, its islands, region by region, then
// the text boxes) and every loop its edges in chain order; the index answers
// in that order, so the crossing table fills exactly as the walk over every
// edge of every loop fills it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/records.h"
#include "geometry/box_grid.h"
#include "geometry/loop_bounds.h"
#include "geometry/relations.h"

namespace hatch {

enum class LoopKind { outline, island, text_box };

class ClipIndex {
 public:
  struct Loop {
    const Segment* first = nullptr;
    LoopKind kind = LoopKind::outline;
  };

  // Indexes the loops, given in clipping order with their bounds.
  void build(const std::vector<Loop>& loops, const std::vector<LoopBounds>& bounds);
  void clear() { built_ = false; }
  bool built() const { return built_; }

  // The edges that classify_segments could relate to `s` (and some it cannot),
  // grouped by loop in clipping order, each group in chain order: calls
  // visit(loop number, edges of that loop).
  template <class F>
  void edges_near(const Segment& s, F visit) const;
  template <class F>
  void edges_near_box(const Box& b, double gap, F visit) const;

  // Calls visit(loop number) for every loop that may hold (x, y), in no particular order.
  template <class F>
  void loops_at(double x, double y, F visit) const {
    loop_grid_.visit_near({x, y, x, y}, 0.0, [&](BoxGrid::Id id) { visit(static_cast<std::size_t>(id)); });
  }

  const std::vector<Loop>& loops() const { return loops_; }

 private:
  template <class F>
  void group(F visit) const;

  bool built_ = false;
  std::vector<Loop> loops_;
  std::vector<const Segment*> edges_;
  std::vector<std::uint32_t> loop_of_;  // edges are numbered in clipping order, loop by loop
  BoxGrid edge_grid_, loop_grid_;
  mutable std::vector<std::uint32_t> found_;  // scratch of one answer
  mutable std::vector<Segment*> run_;
};

template <class F>
void ClipIndex::edges_near(const Segment& s, F visit) const {
  found_.clear();
  if (bounded_by_box(s)) {
    edge_grid_.visit_near(box_of(s), kRelationReach, [&](BoxGrid::Id id) { found_.push_back(id); });
  } else {
    for (std::uint32_t id = 0; id < edges_.size(); ++id) found_.push_back(id);
  }
  group(visit);
}

template <class F>
void ClipIndex::edges_near_box(const Box& b, double gap, F visit) const {
  found_.clear();
  edge_grid_.visit_near(b, gap, [&](BoxGrid::Id id) { found_.push_back(id); });
  group(visit);
}

template <class F>
void ClipIndex::group(F visit) const {
  // Edge numbers follow clipping order: sorting them is sorting by loop, then chain.
  std::sort(found_.begin(), found_.end());
  std::size_t i = 0;
  while (i < found_.size()) {
    const std::uint32_t loop = loop_of_[found_[i]];
    run_.clear();
    for (; i < found_.size() && loop_of_[found_[i]] == loop; ++i)
      run_.push_back(const_cast<Segment*>(edges_[found_[i]]));
    visit(static_cast<std::size_t>(loop), run_);
  }
}

}  // namespace hatch
