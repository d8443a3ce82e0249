#include "boundary/breaks.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/builders.h"

namespace hatch {
namespace {

class Breaks : public ::testing::Test {
 protected:
  // Segments are linked in the order they are added.
  void add(double x1, double y1, double x2, double y2) {
    test::append_edge(store, store.segment_list, x1, y1, x2, y2);
  }
  // The markers in list order (newest first).
  std::vector<XY> markers() {
    check_breaks(store.segment_list, list, store);
    std::vector<XY> out;
    for (const Point* p = list; p != nullptr; p = p->next) {
      EXPECT_EQ(p->attr & 0xFFu, 0u);
      out.push_back({p->x, p->y});
    }
    return out;
  }
  static void expect_at(const std::vector<XY>& got, const std::vector<XY>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
      EXPECT_DOUBLE_EQ(got[i].x, want[i].x) << "marker " << i;
      EXPECT_DOUBLE_EQ(got[i].y, want[i].y) << "marker " << i;
    }
  }

  EntityStore store;
  Point* list = nullptr;
};

TEST_F(Breaks, ClosedTriangleHasNone) {
  add(0, 0, 10, 0);
  add(10, 0, 5, 8);
  add(5, 8, 0, 0);
  EXPECT_TRUE(markers().empty());
}

TEST_F(Breaks, GapOfFiveHundredthsStillCloses) {
  add(0, 0, 10, 0);
  add(10, 0, 10, 10);
  add(10, 10, 0, 10);
  add(0, 10, 0, 0.05);
  EXPECT_TRUE(markers().empty());
}

TEST_F(Breaks, GapOfHalfAUnitGivesAMarkerAtEachSide) {
  add(0, 0, 10, 0);
  add(10, 0, 10, 10);
  add(10, 10, 0, 10);
  add(0, 10, 0, 0.5);
  expect_at(markers(), {{0, 0.5}, {0, 0}});
}

TEST_F(Breaks, LoneSegmentIsMarkedAtStartThenEnd) {
  add(1, 2, 3, 4);
  expect_at(markers(), {{3, 4}, {1, 2}});
}

TEST_F(Breaks, StemOfATJunctionIsConnectedButTheBarEndsAreNot) {
  add(0, 0, 10, 0);
  add(5, 5, 5, 0);
  expect_at(markers(), {{5, 5}, {10, 0}, {0, 0}});
}

TEST_F(Breaks, CrossingConnectsNoEnd) {
  add(0, 0, 10, 10);
  add(0, 10, 10, 0);
  expect_at(markers(), {{10, 0}, {0, 10}, {10, 10}, {0, 0}});
}

TEST_F(Breaks, CollinearNeighboursNeverConnect) {
  add(0, 0, 10, 0);
  add(10.05, 0, 20, 0);
  expect_at(markers(), {{20, 0}, {10.05, 0}, {10, 0}, {0, 0}});
}

TEST_F(Breaks, EndsMeetingEachOtherAreConnected) {
  add(0, 0, 5, 5);
  add(10, 0, 5, 5);
  expect_at(markers(), {{10, 0}, {0, 0}});
  EXPECT_EQ(store.points.live(), 2u);
}

TEST_F(Breaks, MarkersAtTheSamePlaceAreKept) {
  // Parallel segments never connect, so both facing ends are marked at (5, 0).
  add(0, 0, 5, 0);
  add(10, 0, 5, 0);
  expect_at(markers(), {{5, 0}, {10, 0}, {5, 0}, {0, 0}});
}

}  // namespace
}  // namespace hatch
