// A uniform grid of cells over the boxes of a set of items: which items may
// lie near a box, or near a long line, without looking at every item. The
// answers are supersets: every caller applies its own exact test to each item
// it is given, in the order its own rules require, so an index can only ever
// save work, never change a result.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

#include "base/records.h"
#include "geometry/box.h"

namespace hatch {

class BoxGrid {
 public:
  using Id = std::uint32_t;

  // Empties the grid and lays out cells for about `expected` items spread over
  // `extent`; with `walks`, it keeps what visit_along needs to stride.
  // Without `regrows` (and `walks`) an item is registered once and the grid
  // keeps no note of its cells: a big search list spares that memory.
  void reset(const Box& extent, std::size_t expected, bool walks = false, bool regrows = true);

  // Registers item `id` (ids are the caller's, small and dense) under its box;
  // registered again with a larger box, it is added to the cells it now reaches.
  // An item whose box is not finite is registered everywhere: it is given to every query.
  void insert(Id id, const Box& box);
  // From now on the item is given to every query.
  void insert_everywhere(Id id);
  // The item is given to no query any more.
  void erase(Id id);
  bool contains(Id id) const { return id < state_.size() && state_[id] != kAbsent; }
  std::size_t size() const { return live_; }

  // The number, below cell_count(), of the cell a place falls in.
  std::size_t cell_of(double x, double y) const { return cell_index(column(x), row(y)); }
  std::size_t cell_count() const { return cell_first_.size(); }

  // Calls visit(id) once for every item registered within `gap` of `b` (and every
  // item registered everywhere). A box that is not finite is near everything.
  template <class F>
  void visit_near(const Box& b, double gap, F visit) const {
    const std::uint32_t stamp = next_stamp();
    auto offer = [&](Id id) {
      if (seen_[id] == stamp || state_[id] == kAbsent) return;
      seen_[id] = stamp;
      visit(id);
    };
    for (Id id : everywhere_) offer(id);
    if (!b.finite() || !(gap >= 0.0) || !std::isfinite(gap)) {
      for (std::uint32_t e = 0; e < entry_count_; ++e) offer(entry(e).id);
      return;
    }
    const int x0 = column(b.min_x - gap), x1 = column(b.max_x + gap);
    const int y0 = row(b.min_y - gap), y1 = row(b.max_y + gap);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        for_cell(cell_index(x, y), offer);
  }

  // Calls visit(id) for the items registered within `gap` of the straight line
  // from (x1, y1) to (x2, y2), and every item registered everywhere, walking
  // from the line's start outwards. Before each step of the walk it asks
  // keep_going(d): an item that meets the line within `gap` of itself at a
  // distance below d from the start has been visited by then.
  template <class F, class G>
  void visit_along(double x1, double y1, double x2, double y2, double gap, F visit, G keep_going) const;

 private:
  static constexpr std::uint8_t kAbsent = 0, kInCells = 1, kEverywhere = 2;
  struct CellRect {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // empty
    bool holds(int x, int y) const { return x0 <= x && x <= x1 && y0 <= y && y <= y1; }
  };

  int column(double x) const { return clamp_cell((x - extent_.min_x) / cell_w_, gx_); }
  int row(double y) const { return clamp_cell((y - extent_.min_y) / cell_h_, gy_); }
  static int clamp_cell(double v, int n) {
    if (!(v >= 1.0)) return 0;  // also NaN
    if (!(v < n)) return n - 1;
    return static_cast<int>(v);
  }
  std::size_t cell_index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(gx_) + static_cast<std::size_t>(x);
  }
  // Answers mark what they offered: the marks are scratch, not part of the grid.
  std::uint32_t next_stamp() const;
  void grow_to(Id id);
  double step() const { return 0.5 * std::min(cell_w_, cell_h_); }
  // Narrows [t0, t1] to where p + t d lies within [lo, hi]; false when nowhere.
  static bool clip(double p, double d, double lo, double hi, double& t0, double& t1);

  Box extent_;
  int gx_ = 1, gy_ = 1;
  double cell_w_ = 1.0, cell_h_ = 1.0;
  // Each cell's entries are a chain through one shared array, newest first: a
  // vector per cell would cost more than the items themselves on big drawings.
  static constexpr std::uint32_t kEnd = 0xFFFFFFFFu;
  struct Entry {
    Id id;
    std::uint32_t next;
  };
  std::vector<std::uint32_t> cell_first_ = std::vector<std::uint32_t>(1, kEnd);
  // In blocks of a fixed size, so that growing never copies them all: the
  // peak stays at what is used.
  static constexpr int kBlockBits = 12;
  std::vector<std::unique_ptr<Entry[]>> entry_blocks_;
  std::uint32_t entry_count_ = 0;
  const Entry& entry(std::uint32_t e) const { return entry_blocks_[e >> kBlockBits][e & ((1u << kBlockBits) - 1)]; }
  void add_to_cell(std::size_t c, Id id) {
    if ((entry_count_ >> kBlockBits) == entry_blocks_.size())
      entry_blocks_.push_back(std::make_unique<Entry[]>(std::size_t{1} << kBlockBits));
    entry_blocks_[entry_count_ >> kBlockBits][entry_count_ & ((1u << kBlockBits) - 1)] = {id, cell_first_[c]};
    cell_first_[c] = entry_count_++;
  }
  template <class F>
  void for_cell(std::size_t c, F& f) const {
    for (std::uint32_t e = cell_first_[c]; e != kEnd;) {
      const Entry& n = entry(e);
      f(n.id);
      e = n.next;
    }
  }
  std::vector<Id> everywhere_;
  std::vector<std::uint8_t> state_;
  std::deque<CellRect> rect_;  // the cells an item is in, when the grid keeps places
  bool keeps_places_ = true;
  mutable std::vector<std::uint32_t> seen_;
  mutable std::vector<std::uint32_t> cell_seen_;
  mutable std::uint32_t stamp_ = 0;
  std::size_t live_ = 0;
  double beyond_ = 0.0;  // how far the boxes in the cells reach beyond the extent

  // Blocks of 8 x 8 cells, 64 x 64 and 512 x 512, each with the number of live
  // entries in its cells, so that a walk along a line crosses empty country in
  // long strides.
  struct Blocks {
    int size = 8;  // cells a side
    int nx = 1, ny = 1;
    std::vector<std::int32_t> live;
    bool empty_around(int bx, int by) const;
  };
  std::vector<Blocks> blocks_;
  void count(const CellRect& r, const CellRect& except, int d);
};

template <class F, class G>
void BoxGrid::visit_along(double x1, double y1, double x2, double y2, double gap, F visit, G keep_going) const {
  const std::uint32_t stamp = next_stamp();
  auto offer = [&](Id id) {
    if (seen_[id] == stamp || state_[id] == kAbsent) return;
    seen_[id] = stamp;
    visit(id);
  };
  for (Id id : everywhere_) offer(id);
  const Box line_box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  if (!line_box.finite() || !(gap >= 0.0) || !std::isfinite(gap)) {
    for (std::uint32_t e = 0; e < entry_count_; ++e) offer(entry(e).id);
    return;
  }
  // Every item in the cells lies within `beyond_` of the extent, so only the
  // part of the line within that and `gap` of it can come within `gap` of one.
  const double dx = x2 - x1, dy = y2 - y1;
  const double out = gap + beyond_;
  double t0 = 0.0, t1 = 1.0;
  if (!clip(x1, dx, extent_.min_x - out, extent_.max_x + out, t0, t1) ||
      !clip(y1, dy, extent_.min_y - out, extent_.max_y + out, t0, t1))
    return;
  // Samples about half a cell apart; each visits the cells within `gap` and a
  // spacing of it, so every cell within `gap` of the clipped line is visited,
  // that of a place on the line no later than the sample a spacing beyond it.
  const double len = std::hypot(dx, dy);
  const double stretch = (t1 - t0) * len;
  const double wanted = std::ceil(stretch / step());
  const double n = wanted >= 1.0 ? std::min(wanted, 4.0 * (gx_ + gy_) + 4.0) : 1.0;
  const double spacing = stretch / n;
  const double near = gap + spacing;
  const auto count = static_cast<std::int64_t>(n);
  // Within an empty block whose neighbours are empty too, the windows of the
  // samples meet no live entry: the walk goes on where the line leaves it.
  const double inf = std::numeric_limits<double>::infinity();
  for (std::int64_t i = 0; i <= count; ++i) {
    const double t = t0 + (t1 - t0) * (static_cast<double>(i) / n);
    if (!keep_going(t * len - spacing)) return;
    const double x = x1 + dx * t, y = y1 + dy * t;
    // The coarsest empty level: a level is empty only where the finer ones are.
    const Blocks* empty = nullptr;
    int ex = 0, ey = 0;
    for (const Blocks& level : blocks_) {
      if (near > std::min(level.size * cell_w_, level.size * cell_h_)) break;
      const int bx = column(x) / level.size, by = row(y) / level.size;
      if (!level.empty_around(bx, by)) break;
      empty = &level;
      ex = bx;
      ey = by;
    }
    const bool skipped = empty != nullptr;
    if (skipped) {
      const double block_w = empty->size * cell_w_, block_h = empty->size * cell_h_;
      // The block's place, reaching out to infinity beyond the border cells.
      const double lo_x = ex == 0 ? -inf : extent_.min_x + ex * block_w;
      const double hi_x = ex == empty->nx - 1 ? inf : extent_.min_x + (ex + 1) * block_w;
      const double lo_y = ey == 0 ? -inf : extent_.min_y + ey * block_h;
      const double hi_y = ey == empty->ny - 1 ? inf : extent_.min_y + (ey + 1) * block_h;
      double a = t, b = t1;
      if (clip(x1, dx, lo_x, hi_x, a, b) && clip(y1, dy, lo_y, hi_y, a, b)) {
        const double last_inside = std::floor((b - t0) / (t1 - t0) * n);
        if (last_inside > static_cast<double>(i)) i = static_cast<std::int64_t>(std::min(last_inside, n));
      }
    }
    if (skipped) continue;
    const int cx0 = column(x - near), cx1 = column(x + near);
    const int cy0 = row(y - near), cy1 = row(y + near);
    for (int cy = cy0; cy <= cy1; ++cy)
      for (int cx = cx0; cx <= cx1; ++cx) {
        const std::size_t c = cell_index(cx, cy);
        if (cell_seen_[c] == stamp) continue;
        cell_seen_[c] = stamp;
        for_cell(c, offer);
      }
  }
}

}  // namespace hatch
