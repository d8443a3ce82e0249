#include "regions/crossings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/failure.h"
#include "base/messages.h"
#include "support/builders.h"

namespace hatch {
namespace {

Segment line(double x1, double y1, double x2, double y2) {
  Segment s;
  s.x1 = x1, s.y1 = y1, s.x2 = x2, s.y2 = y2;
  return s;
}

TEST(Crossings, LineThroughASquareIsSortedAlongTheLine) {
  for (bool reversed_listing : {false, true}) {
    EntityStore store;
    Segment* loop = nullptr;
    if (reversed_listing) {
      test::add_edge(store, loop, 100, 0, 0, 0);
      test::add_edge(store, loop, 0, 0, 0, 100);
      test::add_edge(store, loop, 0, 100, 100, 100);
      test::add_edge(store, loop, 100, 100, 100, 0);
    } else {
      test::add_square(store, loop, 0, 0, 100);
    }
    CrossingTable table;
    ASSERT_EQ(collect_crossings(table, loop, line(-100, 50, 200, 50), 0), 2);
    EXPECT_DOUBLE_EQ(table.entries[0].distance, 100.0);
    EXPECT_DOUBLE_EQ(table.entries[0].x, 0.0);
    EXPECT_DOUBLE_EQ(table.entries[1].distance, 200.0);
    EXPECT_DOUBLE_EQ(table.entries[1].x_used, 100.0);
  }
}

TEST(Crossings, LineAlongAnEdgeMeetsOnlyTheSidesAtTheirEnds) {
  EntityStore store;
  Segment* loop = nullptr;
  test::add_square(store, loop, 0, 0, 100);
  CrossingTable table;
  ASSERT_EQ(collect_crossings(table, loop, line(-100, 0, 200, 0), 0), 2);
  EXPECT_DOUBLE_EQ(table.entries[0].distance, 100.0);
  EXPECT_DOUBLE_EQ(table.entries[1].distance, 200.0);
}

TEST(Crossings, VertexGivesOneEntryPerEdge) {
  EntityStore store;
  Segment* loop = nullptr;
  test::add_square(store, loop, 0, 0, 100);
  CrossingTable table;
  ASSERT_EQ(collect_crossings(table, loop, line(-100, -100, 200, 200), 0), 4);
  const double d = 100.0 * std::sqrt(2.0);
  EXPECT_NEAR(table.entries[0].distance, d, 1e-9);
  EXPECT_NEAR(table.entries[1].distance, d, 1e-9);
  EXPECT_NEAR(table.entries[2].distance, 2 * d, 1e-9);
  EXPECT_NEAR(table.entries[3].distance, 2 * d, 1e-9);
}

TEST(Crossings, LaterLoopsAppendAndTheWholeTableIsResorted) {
  EntityStore store;
  Segment* far = nullptr;
  test::add_square(store, far, 200, 0, 100);
  Segment* near = nullptr;
  test::add_square(store, near, 0, 0, 100);
  CrossingTable table;
  Segment l = line(-100, 50, 500, 50);
  ASSERT_EQ(collect_crossings(table, far, l, 0), 2);
  ASSERT_EQ(collect_crossings(table, near, l, 2), 2);
  double want[] = {100, 200, 300, 400};
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(table.entries[i].distance, want[i]);
  Segment* none = nullptr;
  test::add_square(store, none, 0, 200, 10);
  EXPECT_EQ(collect_crossings(table, none, l, 4), 0);
}

TEST(Crossings, FiftiethCrossingEndsTheRun) {
  EntityStore store;
  Segment* many = nullptr;
  for (int i = 0; i < 50; ++i) test::add_edge(store, many, 10.0 * i, -5, 10.0 * i, 5);
  CrossingTable table;
  Segment l = line(-10, 0, 1000, 0);
  EXPECT_EQ(collect_crossings(table, many->next, l, 0), 49);
  try {
    collect_crossings(table, many, l, 0);
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_EQ(f.message, msg::too_many_crossings);
  }
}

// Found by fuzzing: an ellipse of flatness 0 has no crossing of its own, and the
// hatch line once ended at (nan, nan). The chord's crossing must stand.
TEST(Crossings, AFlatEllipseLeavesTheChordCrossing) {
  Arc arc;
  arc.cx = 0, arc.cy = 0, arc.r = 100, arc.flatness = 0.0;
  Crossing c;
  c.x = c.x_used = 30;
  c.y = c.y_used = 0;
  arc_crossing_point(c, line(-200, 0, 200, 0), arc);
  EXPECT_EQ(c.x_used, 30.0);
  EXPECT_EQ(c.y_used, 0.0);
  arc.flatness = 1.0;  // a circle: the nearer of its two crossings, (100, 0)
  arc_crossing_point(c, line(-200, 0, 200, 0), arc);
  EXPECT_DOUBLE_EQ(c.x_used, 100.0);
}

}  // namespace
}  // namespace hatch
