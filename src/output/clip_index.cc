#include "output/clip_index.h"

namespace hatch {

void ClipIndex::build(const std::vector<Loop>& loops, const std::vector<LoopBounds>& bounds) {
  loops_ = loops;
  edges_.clear();
  loop_of_.clear();
  Box extent{0.0, 0.0, -1.0, -1.0};
  bool any = false;
  for (std::size_t l = 0; l < loops.size(); ++l) {
    for (const Segment* e = loops[l].first; e != nullptr; e = e->next) {
      edges_.push_back(e);
      loop_of_.push_back(static_cast<std::uint32_t>(l));
      const Box b = box_of(*e);
      if (!b.finite()) continue;
      if (!any) extent = b;
      extent.widen(b.min_x, b.min_y);
      extent.widen(b.max_x, b.max_y);
      any = true;
    }
  }
  edge_grid_.reset(extent, edges_.size());
  for (std::size_t i = 0; i < edges_.size(); ++i) {
    const auto id = static_cast<BoxGrid::Id>(i);
    // A short edge's end tolerance reaches along its whole line: it may meet any stroke.
    if (bounded_by_box(*edges_[i]))
      edge_grid_.insert(id, box_of(*edges_[i]));
    else
      edge_grid_.insert_everywhere(id);
  }
  loop_grid_.reset(extent, loops.size());
  for (std::size_t l = 0; l < loops.size(); ++l) {
    const auto id = static_cast<BoxGrid::Id>(l);
    const LoopBounds& b = bounds[l];
    if (!b.finite) {
      loop_grid_.insert_everywhere(id);
      continue;
    }
    // As far as surely_outside looks.
    const double m = 2.0 * b.gaps + 0.2 + 1e-9 * (1.0 + b.box.magnitude());
    loop_grid_.insert(id, {b.box.min_x - m, b.box.min_y - m, b.box.max_x + m, b.box.max_y + m});
  }
  built_ = true;
}

}  // namespace hatch
