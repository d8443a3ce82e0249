#include "regions/band.h"

#include "geometry/primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <utility>
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

// Winding paths whose offsets reach back across them, the point beside a
// random vertex: the indexed band is the band of the plain scans, bit for bit,
// and points anywhere see the same nearest segment.
TEST(BandIndexed, BuildsWhatThePlainScansBuild) {
  auto band = [](unsigned seed, bool full_scans) {
    std::srand(seed);
    auto uniform = [](double lo, double hi) { return lo + (hi - lo) * std::rand() / RAND_MAX; };
    Settings settings;
    settings.offset_distance = uniform(2.0, 80.0);
    InputState input;
    EntityStore store;
    store.full_scans = full_scans;
    double x = 0.0, y = 0.0, a = uniform(0.0, 6.3);
    const int n = 40 + std::rand() % 160;
    std::vector<Segment> path(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      a += std::rand() % 2 == 0 ? uniform(-2.8, 2.8) : uniform(-0.4, 0.4);
      Segment& s = path[static_cast<std::size_t>(i)];
      s.x1 = x, s.y1 = y;
      x += uniform(3.0, 60.0) * std::cos(a);
      y += uniform(3.0, 60.0) * std::sin(a);
      s.x2 = x, s.y2 = y;
      if (i == n / 2) input.hp1_x = x + uniform(-30.0, 30.0), input.hp1_y = y + uniform(-30.0, 30.0);
    }
    // Drawn in any order and direction, with a branch or two.
    if (seed % 2 == 0)
      for (std::size_t i = path.size(); i > 1; --i) std::swap(path[i - 1], path[static_cast<std::size_t>(std::rand()) % i]);
    for (Segment& s : path) {
      if (std::rand() % 3 == 0) std::swap(s.x1, s.x2), std::swap(s.y1, s.y2);
      store.insert_copy(store.segment_list, s, settings.tolerance);
      if (std::rand() % 50 == 0) store.insert_copy(store.segment_list, piece_of(s, s.x1, s.y1, s.x1 + 9.0, s.y1 - 4.0), settings.tolerance);
    }
    // Which segment a few points see nearest, by its place in the list.
    std::vector<double> out;
    for (int k = 0; k < 8; ++k) {
      const double px = uniform(-400.0, 400.0), py = uniform(-400.0, 400.0);
      const Segment* seen = nearest_visible_segment(store.segment_list, px, py, 1e6, full_scans);
      int place = -1, i = 0;
      for (const Segment* s = store.segment_list; s != nullptr; s = s->next, ++i)
        if (s == seen) place = i;
      out.push_back(place);
    }
    out.push_back(build_offset_band(store.segment_list, settings, input, store));
    for (const Segment* s = store.segment_list; s != nullptr; s = s->next) out.insert(out.end(), {s->x1, s->y1, s->x2, s->y2});
    return out;
  };
  for (unsigned seed = 1; seed <= 60; ++seed) {
    const std::vector<double> plain = band(seed, true), indexed = band(seed, false);
    ASSERT_EQ(plain.size(), indexed.size()) << "seed " << seed;
    for (std::size_t i = 0; i < plain.size(); ++i)
      ASSERT_TRUE(plain[i] == indexed[i] || (plain[i] != plain[i] && indexed[i] != indexed[i])) << "seed " << seed;
  }
}

}  // namespace
}  // namespace hatch
