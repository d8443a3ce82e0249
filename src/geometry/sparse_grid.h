// Which items may lie near a box, where the items crowd a small part of their
// extent (a boundary along a curve) and BoxGrid, laying out a cell per item
// over the extent's area, would put scores of them in a cell. Here the cells
// are sized from the items and only those holding something are kept, in a
// hash table. Answers are supersets, as BoxGrid's are: every caller applies its
// own exact test to each item it is given.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/box.h"

namespace hatch {

class SparseGrid {
 public:
  using Id = std::uint32_t;

  // Empties the grid, its finest cells `side` a side. Each level up has cells
  // four times as wide; an item lives on the finest level where it takes few
  // cells. `expected` sizes the table for about that many items.
  void reset(double side, std::size_t expected);

  // Registers item `id` (ids are the caller's, small and dense) under its box;
  // registered again with a larger box, it is added to the cells it now reaches.
  // An item whose box is not finite is given to every query.
  void insert(Id id, const Box& box);

  // Calls visit(id) once for every item registered within `gap` of `b` (and
  // some others). A box that is not finite is near everything.
  template <class F>
  void visit_near(const Box& b, double gap, F visit) const;

 private:
  static constexpr int kLevels = 64;
  static constexpr std::uint32_t kNone = 0xffffffffu;
  static constexpr std::uint8_t kAbsent = 0, kInCells = 1, kEverywhere = 2;
  // Beyond this many cells an item moves a level up, so no box costs much.
  static constexpr double kCellsPerItem = 32.0;
  // Cell numbers stay well inside 32 bits; an item beyond that goes a level up.
  static constexpr double kReach = 1073741824.0;

  struct Place {
    int level = -1;
    std::int32_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    bool holds(int k, std::int32_t x, std::int32_t y) const {
      return k == level && x0 <= x && x <= x1 && y0 <= y && y <= y1;
    }
  };
  struct Cell {
    std::int32_t x, y;
    std::uint32_t level;
    std::uint32_t head;  // its latest entry
  };
  struct Entry {
    Id id;
    std::uint32_t next;
  };

  static std::uint64_t hash(std::uint32_t level, std::int32_t x, std::int32_t y) {
    // Neighbouring cells land far apart: linear probing then meets short runs.
    std::uint64_t h =
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32 | static_cast<std::uint32_t>(y)) +
        std::uint64_t{level} * 0x9E3779B97F4A7C15ull;
    h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
    return h ^ (h >> 31);
  }
  std::uint32_t find(std::uint32_t level, std::int32_t x, std::int32_t y) const;
  void add(std::uint32_t level, std::int32_t x, std::int32_t y, Id id);
  void rehash(std::size_t capacity);
  bool place_at(int k, const Box& box, const Place& old, Place& p) const;
  void grow_to(Id id);
  std::uint32_t next_stamp() const;

  // Places are numbered by multiplying with the inverse, the same for items
  // and queries, so that boxes that meet share a cell.
  double per_unit_[kLevels] = {};
  std::uint64_t levels_ = 0;  // a bit for each level that holds an item
  std::vector<Id> members_[kLevels];
  // The cells in the order they were first filled, which keeps the cells of
  // neighbouring items of the list together; the table holds their numbers.
  std::vector<Cell> cells_;
  std::vector<std::uint32_t> table_;
  std::vector<Entry> entries_;
  std::vector<Id> everywhere_;
  std::vector<std::uint8_t> state_;
  std::vector<Place> place_;
  mutable std::vector<std::uint32_t> seen_;
  mutable std::uint32_t stamp_ = 0;
};

template <class F>
void SparseGrid::visit_near(const Box& b, double gap, F visit) const {
  const std::uint32_t stamp = next_stamp();
  auto offer = [&](Id id) {
    if (seen_[id] == stamp) return;
    seen_[id] = stamp;
    visit(id);
  };
  for (Id id : everywhere_) offer(id);
  const bool anywhere = !b.finite() || !(gap >= 0.0) || !std::isfinite(gap);
  const double lo_x = b.min_x - gap, hi_x = b.max_x + gap, lo_y = b.min_y - gap, hi_y = b.max_y + gap;
  for (std::uint64_t left = levels_; left != 0; left &= left - 1) {
    const int k = std::countr_zero(left);
    const std::vector<Id>& members = members_[k];
    const double u = per_unit_[k];
    const double x0 = std::floor(lo_x * u), x1 = std::floor(hi_x * u);
    const double y0 = std::floor(lo_y * u), y1 = std::floor(hi_y * u);
    // Where looking up the cells would cost more than the level holds, or
    // they cannot be numbered, the level's items are offered one by one.
    const bool numbered = -kReach <= x0 && x1 <= kReach && -kReach <= y0 && y1 <= kReach;
    if (anywhere || !numbered || (x1 - x0 + 1.0) * (y1 - y0 + 1.0) > static_cast<double>(members.size())) {
      for (Id id : members) offer(id);
      continue;
    }
    const auto cx0 = static_cast<std::int32_t>(x0), cx1 = static_cast<std::int32_t>(x1);
    const auto cy0 = static_cast<std::int32_t>(y0), cy1 = static_cast<std::int32_t>(y1);
    for (std::int32_t y = cy0; y <= cy1; ++y)
      for (std::int32_t x = cx0; x <= cx1; ++x) {
        const std::uint32_t c = find(static_cast<std::uint32_t>(k), x, y);
        if (c == kNone) continue;
        for (std::uint32_t e = cells_[c].head; e != kNone; e = entries_[e].next) offer(entries_[e].id);
      }
  }
}

}  // namespace hatch
