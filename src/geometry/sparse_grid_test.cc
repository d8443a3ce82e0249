#include "geometry/sparse_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace hatch {
namespace {

// Boxes of every size along a curve and beyond, some not finite, some grown
// again: a query is offered, once each, every item whose box comes within the
// gap of it, and every item whose box is not finite.
TEST(SparseGrid, OffersOnceEveryItemNearAQuery) {
  std::mt19937 rng(5);
  auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
  const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  std::vector<Box> boxes;
  for (int k = 0; k < 3000; ++k) {
    const double t = uni(0, 6.3), x = 100 * std::cos(t), y = 100 * std::sin(t), w = std::pow(10.0, uni(-3, 2.5));
    boxes.push_back({x, y, x + w * uni(0, 1), y + w * uni(0, 1)});
  }
  boxes[7] = {nan, 0, 1, 1};
  boxes[8] = {0, 0, inf, 1};
  SparseGrid grid;
  grid.reset(0.5, boxes.size());
  for (std::size_t k = 0; k < boxes.size(); ++k) grid.insert(static_cast<SparseGrid::Id>(k), boxes[k]);
  for (int q = 0; q < 400; ++q) {
    const std::size_t k = rng() % boxes.size();
    if (q % 2 == 0 && boxes[k].finite()) {  // grown as a merge grows a segment
      boxes[k].min_x -= uni(0, 30);
      boxes[k].max_y += uni(0, 30);
      grid.insert(static_cast<SparseGrid::Id>(k), boxes[k]);
    }
    const double t = uni(0, 6.3), x = 100 * std::cos(t), y = 100 * std::sin(t), w = std::pow(10.0, uni(-3, 2));
    const Box b = q == 5 ? Box{nan, 0, 0, 0} : Box{x, y, x + w, y + w};
    const double gap = uni(0, 1);
    std::vector<int> offers(boxes.size(), 0);
    grid.visit_near(b, gap, [&](SparseGrid::Id id) { ++offers[id]; });
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const Box& a = boxes[i];
      const bool near =
          !a.finite() || !b.finite() ||
          !(a.max_x < b.min_x - gap || b.max_x + gap < a.min_x || a.max_y < b.min_y - gap || b.max_y + gap < a.min_y);
      ASSERT_LE(offers[i], 1) << "query " << q << " item " << i;
      if (near) {
        ASSERT_EQ(offers[i], 1) << "query " << q << " item " << i;
      }
    }
  }
}

}  // namespace
}  // namespace hatch
