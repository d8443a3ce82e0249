#include "regions/band.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace hatch {
namespace {

struct Edge {
  double x1, y1, x2, y2;
};

class BandTest : public ::testing::Test {
 protected:
  // Pushed at the head one by one, as the reader stores the file's lines.
  void read(std::initializer_list<Edge> edges) {
    for (const Edge& e : edges) {
      Segment s;
      s.x1 = e.x1;
      s.y1 = e.y1;
      s.x2 = e.x2;
      s.y2 = e.y2;
      store_.insert_copy(store_.segment_list, s, settings_.tolerance);
    }
  }
  bool build(double px, double py) {
    input_.hp1_x = px;
    input_.hp1_y = py;
    return build_offset_band(store_.segment_list, settings_, input_, store_);
  }
  void expect_list(std::initializer_list<Edge> expected) {
    std::vector<Edge> got;
    for (const Segment* s = store_.segment_list; s != nullptr; s = s->next) got.push_back({s->x1, s->y1, s->x2, s->y2});
    ASSERT_EQ(got.size(), expected.size());
    std::size_t i = 0;
    for (const Edge& e : expected) {
      EXPECT_NEAR(got[i].x1, e.x1, 1e-9) << "edge " << i;
      EXPECT_NEAR(got[i].y1, e.y1, 1e-9) << "edge " << i;
      EXPECT_NEAR(got[i].x2, e.x2, 1e-9) << "edge " << i;
      EXPECT_NEAR(got[i].y2, e.y2, 1e-9) << "edge " << i;
      ++i;
    }
    EXPECT_EQ(store_.segments.live(), expected.size());  // nothing left behind in the pool
  }

  Settings settings_;
  InputState input_;
  EntityStore store_;
};

TEST_F(BandTest, OneSegmentGivesTheRectangleOnThePointsSide) {
  read({{0, 0, 1000, 0}});
  ASSERT_TRUE(build(500, 50));
  // chain, cap 2, cap 1, offset
  expect_list({{0, 0, 1000, 0}, {1000, 0, 1000, 100}, {0, 0, 0, 100}, {0, 100, 1000, 100}});
}

TEST_F(BandTest, PointBelowPutsTheBandBelow) {
  read({{0, 0, 1000, 0}});
  ASSERT_TRUE(build(500, -50));
  expect_list({{0, 0, 1000, 0}, {1000, 0, 1000, -100}, {0, 0, 0, -100}, {0, -100, 1000, -100}});
}

TEST_F(BandTest, CornerOffsetsMeetAtTheMitrePoint) {
  read({{0, 0, 1000, 0}, {1000, 0, 1000, 1000}});
  ASSERT_TRUE(build(500, 50));
  expect_list({{0, 0, 1000, 0},
               {1000, 0, 1000, 1000},
               {1000, 1000, 900, 1000},
               {0, 0, 0, 100},
               {0, 100, 900, 100},
               {900, 100, 900, 1000}});
}

TEST_F(BandTest, CollinearNeighboursKeepTheirOverlappingEnds) {
  read({{0, 0, 500, 0}, {500, 0, 1000, 0}});
  ASSERT_TRUE(build(250, 50));
  expect_list({{0, 0, 500, 0},
               {500, 0, 1000, 0},
               {1000, 0, 1000, 100},
               {0, 0, 0, 100},
               {0, 100, 600, 100},
               {400, 100, 1000, 100}});
}

TEST_F(BandTest, ChainRunsFromTheFirstFreeEndAndDropsTheRest) {
  // The reader leaves the last line at the head: the chain starts from the
  // upright's free top and is turned to run from (0, 0).
  read({{5000, 5000, 5100, 5000}, {1000, 0, 0, 0}, {1000, 0, 1000, 1000}});
  ASSERT_TRUE(build(500, 50));
  ASSERT_NE(store_.segment_list, nullptr);
  EXPECT_EQ(store_.segment_list->x1, 0.0);
  EXPECT_EQ(store_.segment_list->x2, 1000.0);
  int count = 0;
  for (const Segment* s = store_.segment_list; s != nullptr; s = s->next) {
    EXPECT_LT(s->x1, 5000.0);
    ++count;
  }
  EXPECT_EQ(count, 6);
  EXPECT_EQ(store_.segments.live(), 6u);
}

TEST_F(BandTest, OffsetCrossingThePolylineIsCutOnTheWrongSide) {
  // A U narrower than the band: the upright's offset crosses both arms.
  read({{0, 0, 1000, 0}, {1000, 0, 1000, 50}, {1000, 50, 0, 50}});
  ASSERT_TRUE(build(500, 25));
  expect_list({{0, 0, 1000, 0},
               {1000, 0, 1000, 50},
               {1000, 50, 0, 50},
               {0, 50, 0, -50},
               {0, 0, 0, 100},
               {0, 100, 900, 100},
               {900, 50, 900, 0},
               {900, -50, 0, -50}});
}

TEST_F(BandTest, NoBandWithoutFreeEndOrVisibleSegment) {
  read({{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 100}, {0, 100, 0, 0}});
  EXPECT_FALSE(build(50, 50));
  EXPECT_EQ(store_.segment_list, nullptr);
  EXPECT_EQ(store_.segments.live(), 0u);

  read({{0, 0, 1000, 0}});
  EXPECT_FALSE(build(500, 200000));
  EXPECT_EQ(store_.segment_list, nullptr);
}

TEST(BandParts, EndKindsAndSides) {
  EntityStore store;
  Segment a, b;
  a.x2 = 10.0;
  b.x1 = 10.0;
  b.x2 = 20.0;
  a.next = &b;
  EXPECT_EQ(chain_end_kind(&a, a, 0.5), 0);
  EXPECT_EQ(chain_end_kind(&a, b, 0.5), 1);
  b.x2 = 0.0;
  b.y2 = 0.3;  // closes the pair within the tolerance
  EXPECT_EQ(chain_end_kind(&a, a, 0.5), -1);
  a.next = nullptr;
  EXPECT_EQ(chain_end_kind(&a, a, 0.5), 2);

  EXPECT_EQ(side_of(a, 5.0, 1.0), Side::left);
  EXPECT_EQ(side_of(a, 5.0, -1.0), Side::right_or_on);
  EXPECT_EQ(side_of(a, 20.0, 0.0), Side::right_or_on);  // on the line

  Segment s;
  s.x2 = 10.0;
  extend_segment(Ends::both, s, 3.0);
  EXPECT_DOUBLE_EQ(s.x1, -3.0);
  EXPECT_DOUBLE_EQ(s.x2, 13.0);

  XY at;
  EXPECT_EQ(intersect_lines(0, 1, -1, 0, 1, -2, at), 0);  // y = 1 and y = 2
  ASSERT_EQ(intersect_lines(0, 1, -1, 1, 0, -3, at), 1);  // y = 1 and x = 3
  EXPECT_DOUBLE_EQ(at.x, 3.0);
  EXPECT_DOUBLE_EQ(at.y, 1.0);
}

}  // namespace
}  // namespace hatch
