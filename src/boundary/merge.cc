#include "boundary/merge.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

#include "base/interrupt.h"
#include "geometry/box.h"
#include "geometry/box_grid.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"
#include "geometry/sparse_grid.h"

namespace hatch {

int ranges_overlap(const Segment& a, const Segment& b, double angle) {
  const bool along_x = std::fabs(angle) <= pi * 0.25;
  const double a1 = along_x ? a.x1 : a.y1, a2 = along_x ? a.x2 : a.y2;
  const double b1 = along_x ? b.x1 : b.y1, b2 = along_x ? b.x2 : b.y2;
  const double lo_a = std::min(a1, a2), hi_a = std::max(a1, a2);
  const double lo_b = std::min(b1, b2), hi_b = std::max(b1, b2);
  if (lo_a <= hi_b && hi_b <= hi_a) return 1;
  if (lo_a <= lo_b && lo_b <= hi_a) return 1;
  if (lo_b <= hi_a && hi_a <= hi_b) return 1;
  if (lo_b <= lo_a && lo_a <= hi_b) return 1;
  return 0;
}

namespace {

double snapped_slope(const Segment& s) {
  double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
  snap_to_zero(0.1, dx);
  snap_to_zero(0.1, dy);
  return slope_angle(dy, dx);
}

// Slope angle of `s`, turning it first when it points steeply downwards (which
// makes a vertical segment point up and leaves the other angles as they were).
double oriented_slope(Segment& s) {
  double angle = snapped_slope(s);
  if (angle < -pi * 0.25) {
    reverse_segment(s);
    angle = snapped_slope(s);
  }
  return angle;
}

}  // namespace

int merge_pair(Segment& a, Segment& b, XY& start, XY& end, double tol) {
  const double angle_a = oriented_slope(a);
  const double angle_b = oriented_slope(b);
  // Written as "not close" so that a segment too short to have a direction
  // (both components snapped to zero, slope not a number) merges with nothing.
  if (!(std::fabs(angle_a - angle_b) < pi / 180000.0)) return 0;
  if (!ranges_overlap(a, b, angle_a)) return 0;
  if (!point_on_segment(a, b.x1, b.y1, tol) && !point_on_segment(a, b.x2, b.y2, tol) &&
      !point_on_segment(b, a.x1, a.y1, tol) && !point_on_segment(b, a.x2, a.y2, tol))
    return 0;
  double la, lb, lk;
  line_equation(a, la, lb, lk);
  // |la| is a sine compared with pi/4, so the key stays x up to about 51.8 degrees.
  const bool key_x = std::fabs(la) <= pi * 0.25;
  const XY points[4] = {{a.x1, a.y1}, {a.x2, a.y2}, {b.x1, b.y1}, {b.x2, b.y2}};
  double keys[4];
  for (int i = 0; i < 4; ++i) keys[i] = key_x ? points[i].x : points[i].y;
  double sorted[4] = {keys[0], keys[1], keys[2], keys[3]};
  sort_values(sorted, 4);
  int lo = -1, hi = -1;  // the first point holding the smallest and the largest key
  for (int i = 3; i >= 0; --i) {
    if (keys[i] == sorted[0]) lo = i;
    if (keys[i] == sorted[3]) hi = i;
  }
  if (lo < 0 || hi < 0) return 0;  // a coordinate that is not a number
  start = points[lo];
  end = points[hi];
  return 1;
}

namespace {

// What the merge walk needs to know of a segment without touching its neighbours.
struct MergeNode {
  Segment* s;
  bool alive;
  bool turns;     // merge_pair turns it round on every call (it points steeply down)
  bool vertical;  // its snapped run is zero: once turned it points up and stays so
  Box box;
};

void describe(MergeNode& n) {
  const Segment& s = *n.s;
  double dx = s.x2 - s.x1;
  snap_to_zero(0.1, dx);
  n.vertical = dx == 0.0;
  n.turns = snapped_slope(s) < -pi * 0.25;
  n.box = box_of(s);
}

// The one side effect merge_pair has on a pair that cannot merge.
void turn_as_merge_pair_would(MergeNode& n) {
  if (!n.turns) return;
  reverse_segment(*n.s);
  if (n.vertical) n.turns = false;
}

// Only pairs whose boxes come near each other can be duplicates or merge.
// Every other pair still gets merge_pair's turning from the walk of each
// segment over the whole list; a segment that turns on every call ends up as
// the parity of its calls says, so the indexed walk counts the calls instead
// of making them and turns a segment only when it is looked at.
class MergeWalk {
 public:
  MergeWalk(Segment* segments, double tol) : tol_(tol), reach_(1.01 * std::max(tol, 0.1)) {
    for (Segment* s = segments; s != nullptr; s = s->next) {
      nodes_.push_back(MergeNode{s, true, false, false, {}});
      describe(nodes_.back());
    }
    n_ = nodes_.size();
    applied_.assign(n_, 0);
    own_calls_.assign(n_, 0);
    alive_before_.assign(n_ + 1, 0);
    for (std::size_t k = 0; k < n_; ++k) mark(k, +1);
    alive_ = n_;
  }

  std::vector<MergeNode>& nodes() { return nodes_; }

  // The walk of every segment over the whole list, every call made: the plain
  // version the counted walk is checked against.
  void run_plain() {
    for (std::size_t i = 0; i < n_; ++i) {
      if (!nodes_[i].alive) continue;
      rearm_interrupt();
      MergeNode& a = nodes_[i];
      for (std::size_t j = 0; j < n_; ++j) {
        MergeNode& b = nodes_[j];
        if (j == i || !b.alive) continue;
        if (boxes_apart(a.box, b.box, reach_)) {
          turn_as_merge_pair_would(a);
          turn_as_merge_pair_would(b);
          continue;
        }
        if (same_segment(*a.s, *b.s, tol_)) {
          b.alive = false;
          continue;
        }
        XY start, end;
        const int merged = merge_pair(*a.s, *b.s, start, end, tol_);
        if (merged) {
          a.s->x1 = start.x;
          a.s->y1 = start.y;
          a.s->x2 = end.x;
          a.s->y2 = end.y;
          b.alive = false;
        }
        describe(a);
        if (!merged) describe(b);
      }
    }
  }

  void run() {
    Box extent{0.0, 0.0, -1.0, -1.0};
    bool any = false;
    for (const MergeNode& node : nodes_) {
      if (!node.box.finite()) continue;
      if (!any) extent = node.box;
      extent.widen(node.box.min_x, node.box.min_y);
      extent.widen(node.box.max_x, node.box.max_y);
      any = true;
    }
    // boxes_apart adds a slack for the coordinates' size; so does the query.
    gap_ = reach_ + 1e-9 * (1.0 + extent.magnitude());
    grid_.reset(extent, n_);
    double typical = 0.0;
    sparse_ = crowded(typical);
    if (sparse_) {
      // A typical query, a segment's box grown by the gap, then spans one or
      // two cells a side.
      sparse_grid_.reset(2.0 * (typical + 2.0 * gap_), n_);
      for (std::size_t k = 0; k < n_; ++k) sparse_grid_.insert(static_cast<SparseGrid::Id>(k), nodes_[k].box);
    } else {
      for (std::size_t k = 0; k < n_; ++k) grid_.insert(static_cast<BoxGrid::Id>(k), nodes_[k].box);
    }
    for (i_ = 0; i_ < n_; ++i_) {
      if (!nodes_[i_].alive) continue;
      rearm_interrupt();
      alive_at_start_ = alive_;
      killed_ = duplicates_ = 0;
      walk_candidates();
      own_calls_[i_] = alive_at_start_ - 1 - duplicates_;
      ++acted_;
    }
    for (std::size_t k = 0; k < n_; ++k)
      if (nodes_[k].alive) materialize(k, acted_ - 1 + own_calls_[k]);
  }

 private:
  // The grid over the extent has about a cell per segment. Segments along a
  // curve crowd a thin band of its cells, and every query would meet scores
  // of them: such a boundary gets cells sized from its segments instead. A
  // sample of at most 1024 segments tells, drawn at random so that a cell's
  // share of it does not depend on where its segments stand in the list; it
  // also gives the median of the larger side of their boxes.
  bool crowded(double& typical) const {
    const std::size_t draws = std::min<std::size_t>(n_, 1024);
    std::vector<bool> taken(n_, false);
    std::vector<std::uint32_t> in_cell(grid_.cell_count(), 0);
    std::vector<double> sizes;
    double pairs = 0.0;
    for (std::size_t d = 0; d < draws; ++d) {
      const std::size_t k = draws == n_ ? d : static_cast<std::size_t>(scramble(d) % n_);
      if (taken[k]) continue;
      taken[k] = true;
      const Box& b = nodes_[k].box;
      if (!b.finite()) continue;
      pairs += in_cell[grid_.cell_of(0.5 * (b.min_x + b.max_x), 0.5 * (b.min_y + b.max_y))]++;
      sizes.push_back(std::max(b.max_x - b.min_x, b.max_y - b.min_y));
    }
    if (sizes.empty()) return false;
    const auto middle = sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2);
    std::nth_element(sizes.begin(), middle, sizes.end());
    typical = *middle;
    // A pair of the sample stands for n(n-1)/(m(m-1)) pairs of the list: more
    // than eight others in a segment's cell, on average.
    const double n = static_cast<double>(n_), m = static_cast<double>(sizes.size());
    return 2.0 * pairs * (n - 1.0) > 8.0 * m * (m - 1.0);
  }

  static std::uint64_t scramble(std::uint64_t k) {
    k = (k ^ (k >> 30)) * 0xBF58476D1CE4E5B9ull;
    k = (k ^ (k >> 27)) * 0x94D049BB133111EBull;
    return k ^ (k >> 31);
  }

  // The walk of A (node i_) over the nodes near it, in list order; a merge
  // that lengthens A brings in the nodes near its new box that are still ahead.
  void walk_candidates() {
    std::vector<std::size_t> ahead;
    gather(0, ahead);
    for (std::size_t pos = 0; pos < ahead.size(); ++pos) {
      const std::size_t j = ahead[pos];
      const Box before = nodes_[i_].box;
      if (visit(j)) {
        std::vector<std::size_t> more;
        gather_beyond(before, j + 1, more);
        std::vector<std::size_t> rest(ahead.begin() + static_cast<std::ptrdiff_t>(pos) + 1, ahead.end());
        ahead.resize(pos + 1);
        std::merge(rest.begin(), rest.end(), more.begin(), more.end(), std::back_inserter(ahead));
        ahead.erase(std::unique(ahead.begin() + static_cast<std::ptrdiff_t>(pos) + 1, ahead.end()), ahead.end());
      }
    }
  }

  // The alive nodes from `from` on near A's box, in list order.
  void gather(std::size_t from, std::vector<std::size_t>& out) {
    out.clear();
    gather_near(nodes_[i_].box, from, out);
    std::sort(out.begin(), out.end());
  }

  // Those near A's box that were not near it before it grew from `before`: the
  // place of A's box nearest to such a node lies beyond `before`, in one of the
  // strips the box gained.
  void gather_beyond(const Box& before, std::size_t from, std::vector<std::size_t>& out) {
    out.clear();
    const Box& now = nodes_[i_].box;
    if (!before.finite() || !now.finite()) {
      gather_near(now, from, out);
    } else {
      if (now.min_x < before.min_x) gather_near({now.min_x, now.min_y, before.min_x, now.max_y}, from, out);
      if (now.max_x > before.max_x) gather_near({before.max_x, now.min_y, now.max_x, now.max_y}, from, out);
      if (now.min_y < before.min_y) gather_near({now.min_x, now.min_y, now.max_x, before.min_y}, from, out);
      if (now.max_y > before.max_y) gather_near({now.min_x, before.max_y, now.max_x, now.max_y}, from, out);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
  }

  void gather_near(const Box& b, std::size_t from, std::vector<std::size_t>& out) {
    auto take = [&](std::uint32_t id) {
      if (id >= from && id != i_ && nodes_[id].alive) out.push_back(id);
    };
    if (sparse_)
      sparse_grid_.visit_near(b, gap_, take);
    else
      grid_.visit_near(b, gap_, take);
  }

  // A meets node j in its walk; true when A was merged with it (A changed).
  bool visit(std::size_t j) {
    MergeNode& a = nodes_[i_];
    MergeNode& b = nodes_[j];
    if (j == i_ || !b.alive) return false;
    if (boxes_apart(a.box, b.box, reach_)) return false;  // a call that only turns: counted, not made
    materialize(i_, calls_of_a(j));
    materialize(j, calls_of_b(j));
    if (same_segment(*a.s, *b.s, tol_)) {
      kill(j);
      ++duplicates_;
      return false;
    }
    XY start, end;
    const int merged = merge_pair(*a.s, *b.s, start, end, tol_);
    ++applied_[i_];
    ++applied_[j];
    if (merged) {
      a.s->x1 = start.x;
      a.s->y1 = start.y;
      a.s->x2 = end.x;
      a.s->y2 = end.y;
      kill(j);
    }
    describe(a);
    if (!merged) describe(b);
    if (merged && sparse_) sparse_grid_.insert(static_cast<SparseGrid::Id>(i_), a.box);
    if (merged && !sparse_) grid_.insert(static_cast<BoxGrid::Id>(i_), a.box);
    return merged != 0;
  }

  // The calls node i_ (A) has had when its walk reaches node j: one for every
  // earlier walk, and one for every node before j alive when this walk began,
  // but for the duplicates it removed without a call.
  std::int64_t calls_of_a(std::size_t j) const {
    std::int64_t before = alive_count_before(j) + killed_ - duplicates_;
    if (i_ < j) --before;  // A itself
    return acted_ + before;
  }

  // The calls alive node j has had when A's walk reaches it: one in every
  // earlier walk but its own, and those of its own walk.
  std::int64_t calls_of_b(std::size_t j) const {
    return j < i_ ? acted_ - 1 + own_calls_[j] : acted_;
  }

  // Brings node k's orientation up to `calls` calls of merge_pair.
  void materialize(std::size_t k, std::int64_t calls) {
    MergeNode& node = nodes_[k];
    const std::int64_t pending = calls - applied_[k];
    applied_[k] = calls;
    if (pending <= 0 || !node.turns) return;
    if (node.vertical) {
      turn_as_merge_pair_would(node);
    } else if (pending % 2 == 1) {
      reverse_segment(*node.s);
    }
  }

  void kill(std::size_t k) {
    nodes_[k].alive = false;
    mark(k, -1);
    --alive_;
    ++killed_;
  }

  // A Fenwick tree of the alive nodes by list position.
  void mark(std::size_t k, int d) {
    for (std::size_t x = k + 1; x <= n_; x += x & (~x + 1)) alive_before_[x] += d;
  }
  std::int64_t alive_count_before(std::size_t j) const {
    std::int64_t sum = 0;
    for (std::size_t x = j; x > 0; x -= x & (~x + 1)) sum += alive_before_[x];
    return sum;
  }

  double tol_, reach_, gap_ = 0.0;
  std::vector<MergeNode> nodes_;
  std::size_t n_ = 0;
  std::vector<std::int64_t> applied_;    // the calls reflected in each node's orientation
  std::vector<std::int64_t> own_calls_;  // the calls each node had in its own walk
  std::vector<std::int64_t> alive_before_;
  std::size_t alive_ = 0;
  std::size_t i_ = 0;                // the node whose walk this is
  std::int64_t acted_ = 0;           // the walks before this one
  std::int64_t alive_at_start_ = 0;  // alive nodes when this walk began
  std::int64_t killed_ = 0, duplicates_ = 0;  // removed in this walk, and of those the duplicates
  bool sparse_ = false;
  BoxGrid grid_;
  SparseGrid sparse_grid_;
};

}  // namespace

void merge_collinear_segments(Segment*& segments, EntityStore& store, double tol) {
  MergeWalk walk(segments, tol);
  if (store.full_scans)
    walk.run_plain();
  else
    walk.run();
  Segment** link = &segments;
  for (MergeNode& node : walk.nodes()) {
    if (node.alive) {
      *link = node.s;
      link = &node.s->next;
    } else {
      store.segments.release(node.s);
    }
  }
  *link = nullptr;
}

}  // namespace hatch
