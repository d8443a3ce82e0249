#include "geometry/sparse_grid.h"

#include <algorithm>

namespace hatch {

void SparseGrid::reset(double side, std::size_t expected) {
  if (!(side > 0.0) || !std::isfinite(side)) side = 1.0;
  for (int k = 0; k < kLevels; ++k) per_unit_[k] = 1.0 / std::ldexp(side, 2 * k);
  levels_ = 0;
  for (std::vector<Id>& m : members_) m.clear();
  cells_.clear();
  entries_.clear();
  // About a cell an item; the table grows when half full.
  rehash(std::bit_ceil(std::max<std::size_t>(2 * expected, 64)));
  entries_.reserve(2 * expected);
  everywhere_.clear();
  std::fill(state_.begin(), state_.end(), kAbsent);
  std::fill(place_.begin(), place_.end(), Place{});
  if (expected > 0) grow_to(static_cast<Id>(expected - 1));
}

void SparseGrid::rehash(std::size_t capacity) {
  table_.assign(capacity, kNone);
  const std::size_t mask = capacity - 1;
  for (std::size_t c = 0; c < cells_.size(); ++c) {
    std::size_t i = hash(cells_[c].level, cells_[c].x, cells_[c].y) & mask;
    while (table_[i] != kNone) i = (i + 1) & mask;
    table_[i] = static_cast<std::uint32_t>(c);
  }
}

std::uint32_t SparseGrid::find(std::uint32_t level, std::int32_t x, std::int32_t y) const {
  const std::size_t mask = table_.size() - 1;
  for (std::size_t i = hash(level, x, y) & mask;; i = (i + 1) & mask) {
    const std::uint32_t c = table_[i];
    if (c == kNone) return kNone;
    const Cell& cell = cells_[c];
    if (cell.x == x && cell.y == y && cell.level == level) return c;
  }
}

void SparseGrid::add(std::uint32_t level, std::int32_t x, std::int32_t y, Id id) {
  const std::size_t mask = table_.size() - 1;
  std::size_t i = hash(level, x, y) & mask;
  for (;; i = (i + 1) & mask) {
    const std::uint32_t c = table_[i];
    if (c == kNone) break;
    Cell& cell = cells_[c];
    if (cell.x == x && cell.y == y && cell.level == level) {
      entries_.push_back(Entry{id, cell.head});
      cell.head = static_cast<std::uint32_t>(entries_.size() - 1);
      return;
    }
  }
  table_[i] = static_cast<std::uint32_t>(cells_.size());
  entries_.push_back(Entry{id, kNone});
  cells_.push_back(Cell{x, y, level, static_cast<std::uint32_t>(entries_.size() - 1)});
  if (2 * cells_.size() > table_.size()) rehash(2 * table_.size());
}

bool SparseGrid::place_at(int k, const Box& box, const Place& old, Place& p) const {
  const double u = per_unit_[k];
  const double x0 = std::floor(box.min_x * u), x1 = std::floor(box.max_x * u);
  const double y0 = std::floor(box.min_y * u), y1 = std::floor(box.max_y * u);
  if (!(-kReach <= x0 && x1 <= kReach && -kReach <= y0 && y1 <= kReach)) return false;
  p = Place{k, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0), static_cast<std::int32_t>(x1),
            static_cast<std::int32_t>(y1)};
  // On its level already, it keeps its cells and gets only those beyond them.
  if (old.level == k)
    p = {k, std::min(p.x0, old.x0), std::min(p.y0, old.y0), std::max(p.x1, old.x1), std::max(p.y1, old.y1)};
  return (static_cast<double>(p.x1) - p.x0 + 1.0) * (static_cast<double>(p.y1) - p.y0 + 1.0) <= kCellsPerItem;
}

void SparseGrid::grow_to(Id id) {
  if (id >= state_.size()) {
    state_.resize(static_cast<std::size_t>(id) + 1, kAbsent);
    place_.resize(state_.size());
    seen_.resize(state_.size(), 0);
  }
}

void SparseGrid::insert(Id id, const Box& box) {
  grow_to(id);
  if (state_[id] == kEverywhere) return;
  const Place old = place_[id];
  Place p;
  int k = !box.finite() ? kLevels : std::max(old.level, 0);
  while (k < kLevels && !place_at(k, box, old, p)) ++k;
  if (k == kLevels) {
    // Its old cells may still offer it; the marks keep it to one offer a query.
    state_[id] = kEverywhere;
    everywhere_.push_back(id);
    return;
  }
  for (std::int32_t y = p.y0; y <= p.y1; ++y)
    for (std::int32_t x = p.x0; x <= p.x1; ++x)
      if (!old.holds(k, x, y)) add(static_cast<std::uint32_t>(k), x, y, id);
  if (old.level != k) {
    // Its entries on the finer level stay; the marks keep it to one offer a query.
    members_[k].push_back(id);
    levels_ |= std::uint64_t{1} << k;
  }
  state_[id] = kInCells;
  place_[id] = p;
}

std::uint32_t SparseGrid::next_stamp() const {
  if (++stamp_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    stamp_ = 1;
  }
  return stamp_;
}

}  // namespace hatch
