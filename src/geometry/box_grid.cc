#include "geometry/box_grid.h"

namespace hatch {

void BoxGrid::reset(const Box& extent, std::size_t expected, bool walks, bool regrows) {
  keeps_places_ = walks || regrows;
  extent_ = extent.finite() && extent.min_x <= extent.max_x && extent.min_y <= extent.max_y ? extent : Box{};
  const double w = extent_.max_x - extent_.min_x, h = extent_.max_y - extent_.min_y;
  // About one item a cell, in cells as square as the extent allows.
  const double n = static_cast<double>(std::max<std::size_t>(expected, 1));
  double side = std::sqrt(w * h / n);
  if (!(side > 0.0)) side = std::max(w, h) / n;
  if (!(side > 0.0) || !std::isfinite(side)) side = 1.0;
  const double limit = 4.0 * n + 16.0;
  double gx = std::clamp(std::ceil(w / side), 1.0, limit), gy = std::clamp(std::ceil(h / side), 1.0, limit);
  while (gx * gy > limit) {
    gx = std::max(1.0, std::floor(gx / 2.0));
    gy = std::max(1.0, std::floor(gy / 2.0));
  }
  gx_ = static_cast<int>(gx);
  gy_ = static_cast<int>(gy);
  cell_w_ = w > 0.0 ? w / gx_ : 1.0;
  cell_h_ = h > 0.0 ? h / gy_ : 1.0;
  cell_first_.assign(static_cast<std::size_t>(gx_) * static_cast<std::size_t>(gy_), kEnd);
  entry_count_ = 0;  // the blocks stay for the next use
  blocks_.clear();
  for (int size = 8; walks && size <= 512; size *= 8) {
    Blocks b;
    b.size = size;
    b.nx = (gx_ + size - 1) / size;
    b.ny = (gy_ + size - 1) / size;
    b.live.assign(static_cast<std::size_t>(b.nx) * static_cast<std::size_t>(b.ny), 0);
    const bool whole = b.nx == 1 && b.ny == 1;
    blocks_.push_back(std::move(b));
    if (whole) break;
  }
  cell_seen_.assign(cell_first_.size(), 0);
  everywhere_.clear();
  std::fill(state_.begin(), state_.end(), kAbsent);
  std::fill(rect_.begin(), rect_.end(), CellRect{});
  live_ = 0;
  beyond_ = 0.0;
}

void BoxGrid::grow_to(Id id) {
  if (id >= state_.size()) {
    state_.resize(static_cast<std::size_t>(id) + 1, kAbsent);
    seen_.resize(state_.size(), 0);
  }
  // A grid laid out again to keep places may have grown without them.
  if (keeps_places_ && rect_.size() < state_.size()) rect_.resize(state_.size());
}

void BoxGrid::insert(Id id, const Box& box) {
  if (!box.finite()) {
    insert_everywhere(id);
    return;
  }
  // A box beyond the extent goes into the border cells; a walk along a line
  // then looks that much farther out.
  beyond_ = std::max({beyond_, extent_.min_x - box.min_x, box.max_x - extent_.max_x, extent_.min_y - box.min_y,
                      box.max_y - extent_.max_y});
  grow_to(id);
  if (state_[id] == kEverywhere) return;
  const bool was_absent = state_[id] == kAbsent;
  if (was_absent) ++live_;
  state_[id] = kInCells;
  // The cells it is in already keep it; only those beyond get it.
  const CellRect old = keeps_places_ ? rect_[id] : CellRect{};
  CellRect r{column(box.min_x), row(box.min_y), column(box.max_x), row(box.max_y)};
  if (old.x0 <= old.x1) r = {std::min(r.x0, old.x0), std::min(r.y0, old.y0), std::max(r.x1, old.x1), std::max(r.y1, old.y1)};
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x)
      if (!old.holds(x, y)) add_to_cell(cell_index(x, y), id);
  // Live again, it counts in all its cells; still live, in the new ones.
  count(r, was_absent ? CellRect{} : old, +1);
  if (keeps_places_) rect_[id] = r;
}

void BoxGrid::insert_everywhere(Id id) {
  grow_to(id);
  if (state_[id] == kEverywhere) return;
  if (state_[id] == kAbsent) ++live_;
  if (state_[id] == kInCells && !blocks_.empty()) count(rect_[id], CellRect{}, -1);  // offered apart from the cells now
  state_[id] = kEverywhere;
  everywhere_.push_back(id);
}

void BoxGrid::erase(Id id) {
  if (!contains(id)) return;
  // Its entries stay in the cells and in the list of everywhere items; offers skip them.
  if (state_[id] == kInCells && !blocks_.empty()) count(rect_[id], CellRect{}, -1);
  state_[id] = kAbsent;
  --live_;
}

void BoxGrid::count(const CellRect& r, const CellRect& except, int d) {
  if (blocks_.empty()) return;
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) {
      if (except.holds(x, y)) continue;
      for (Blocks& b : blocks_)
        b.live[static_cast<std::size_t>(y / b.size) * static_cast<std::size_t>(b.nx) +
               static_cast<std::size_t>(x / b.size)] += d;
    }
}

bool BoxGrid::Blocks::empty_around(int bx, int by) const {
  for (int y = std::max(0, by - 1); y <= std::min(ny - 1, by + 1); ++y)
    for (int x = std::max(0, bx - 1); x <= std::min(nx - 1, bx + 1); ++x)
      if (live[static_cast<std::size_t>(y) * static_cast<std::size_t>(nx) + static_cast<std::size_t>(x)] != 0)
        return false;
  return true;
}

std::uint32_t BoxGrid::next_stamp() const {
  if (++stamp_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    std::fill(cell_seen_.begin(), cell_seen_.end(), 0);
    stamp_ = 1;
  }
  return stamp_;
}

bool BoxGrid::clip(double p, double d, double lo, double hi, double& t0, double& t1) {
  if (d == 0.0) return lo <= p && p <= hi;
  double a = (lo - p) / d, b = (hi - p) / d;
  if (a > b) std::swap(a, b);
  t0 = std::max(t0, a);
  t1 = std::min(t1, b);
  return t0 <= t1;
}

}  // namespace hatch
