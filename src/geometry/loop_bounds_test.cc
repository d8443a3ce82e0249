#include "geometry/loop_bounds.h"

#include <gtest/gtest.h>

#include <vector>

#include "geometry/relations.h"

namespace hatch {
namespace {

std::vector<Segment> square(double x0, double y0, double side, double gap = 0.0) {
  std::vector<Segment> e(4);
  const double x1 = x0 + side, y1 = y0 + side;
  e[0].x1 = x0, e[0].y1 = y0, e[0].x2 = x1, e[0].y2 = y0;
  e[1].x1 = x1, e[1].y1 = y0, e[1].x2 = x1, e[1].y2 = y1;
  e[2].x1 = x1, e[2].y1 = y1, e[2].x2 = x0, e[2].y2 = y1;
  e[3].x1 = x0, e[3].y1 = y1, e[3].x2 = x0 + gap, e[3].y2 = y0 + gap;
  for (int i = 0; i < 3; ++i) e[static_cast<std::size_t>(i)].next = &e[static_cast<std::size_t>(i) + 1];
  return e;
}

TEST(LoopBounds, OutsideOnlyWhereTheWindingTestSaysSo) {
  auto sq = square(0, 0, 10);
  LoopBounds b = loop_bounds(&sq[0]);
  EXPECT_DOUBLE_EQ(b.gaps, 0.0);
  EXPECT_TRUE(surely_outside(b, 10.3, 5.0));
  EXPECT_EQ(winding_test(&sq[0], 10.3, 5.0, 0.5), -1);
  EXPECT_FALSE(surely_outside(b, 10.1, 5.0));  // near enough to count as on the edge
  EXPECT_FALSE(surely_outside(b, 5.0, 5.0));
  // A loop that does not quite close is only ruled out farther away.
  auto open = square(0, 0, 10, 0.5);
  LoopBounds g = loop_bounds(&open[0]);
  EXPECT_NEAR(g.gaps, 0.70710678, 1e-6);
  EXPECT_FALSE(surely_outside(g, 11.5, 5.0));
  EXPECT_TRUE(surely_outside(g, 11.7, 5.0));
}

TEST(LoopBounds, NoCrossingOnlyBeyondTheEndTolerance) {
  auto sq = square(0, 0, 10);
  LoopBounds b = loop_bounds(&sq[0]);
  Segment row;
  row.x1 = -50, row.x2 = 50, row.y1 = row.y2 = 10.09;  // touches the top corners within 0.1
  EXPECT_FALSE(surely_no_crossing(b, row));
  EXPECT_NE(classify_segments(row, sq[1]), 0);
  row.y1 = row.y2 = 10.5;
  EXPECT_TRUE(surely_no_crossing(b, row));
  Segment stub;  // too short to reason about: always asked the long way
  stub.x1 = 30, stub.y1 = 30, stub.x2 = 30.001, stub.y2 = 30;
  EXPECT_FALSE(surely_no_crossing(b, stub));
}

}  // namespace
}  // namespace hatch
