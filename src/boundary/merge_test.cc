#include "boundary/merge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "geometry/primitives.h"
#include "support/builders.h"

namespace hatch {
namespace {

constexpr auto seg = make_segment;

class BoundaryMerge : public ::testing::Test {
 protected:
  // Segments are linked in the order they are added.
  Segment* add(double x1, double y1, double x2, double y2) {
    return test::append_edge(store, store.segment_list, x1, y1, x2, y2, tol);
  }
  void merge() { merge_collinear_segments(store.segment_list, store, tol); }
  void expect_list(const std::vector<Segment>& want) const {
    std::vector<const Segment*> got;
    for (const Segment* s = store.segment_list; s != nullptr; s = s->next) got.push_back(s);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
      EXPECT_DOUBLE_EQ(got[i]->x1, want[i].x1) << "segment " << i;
      EXPECT_DOUBLE_EQ(got[i]->y1, want[i].y1) << "segment " << i;
      EXPECT_DOUBLE_EQ(got[i]->x2, want[i].x2) << "segment " << i;
      EXPECT_DOUBLE_EQ(got[i]->y2, want[i].y2) << "segment " << i;
    }
  }

  EntityStore store;
  double tol = 0.005;
};

TEST_F(BoundaryMerge, OverlappingSegmentsBecomeOne) {
  add(0, 0, 10, 0);
  add(5, 0, 20, 0);
  merge();
  expect_list({seg(0, 0, 20, 0)});
  EXPECT_EQ(store.segments.live(), 1u);
}

TEST_F(BoundaryMerge, TouchingSegmentsBecomeOne) {
  add(0, 0, 10, 0);
  add(10, 0, 20, 0);
  merge();
  expect_list({seg(0, 0, 20, 0)});
}

TEST_F(BoundaryMerge, GapOfOneUnitIsKept) {
  add(0, 0, 10, 0);
  add(11, 0, 20, 0);
  merge();
  expect_list({seg(0, 0, 10, 0), seg(11, 0, 20, 0)});
}

TEST_F(BoundaryMerge, ParallelSegmentsOneApartAreKept) {
  tol = 0.5;  // even with a coarse tolerance no end lies on the other segment
  add(0, 0, 10, 0);
  add(2, 1, 12, 1);
  merge();
  expect_list({seg(0, 0, 10, 0), seg(2, 1, 12, 1)});
}

TEST_F(BoundaryMerge, DuplicatesAreRemovedEitherWayRound) {
  tol = 0.5;
  add(0, 0, 10, 0);
  add(10, 0.3, 0, -0.3);
  add(0.2, 0, 10, 0.2);
  merge();
  expect_list({seg(0, 0, 10, 0)});
  EXPECT_EQ(store.segments.live(), 1u);
}

TEST_F(BoundaryMerge, DownwardVerticalIsTurnedBeforeMerging) {
  add(0, 0, 0, 10);
  add(0, 15, 0, 5);
  merge();
  expect_list({seg(0, 0, 0, 15)});
}

TEST_F(BoundaryMerge, MergedSegmentMeetsEarlierOnesWhenTheyComeUp) {
  Segment* first = add(0, 0, 10, 0);
  Segment* second = add(20, 0, 30, 0);
  add(10, 0, 20, 0);
  merge();
  // The first takes in the third; the second, coming up next, takes in the first.
  ASSERT_EQ(store.segment_list, second);
  expect_list({seg(0, 0, 30, 0)});
  (void)first;
}

TEST_F(BoundaryMerge, SortKeyStaysXUpToAnAngleOfAbout52Degrees) {
  // Slope -1.2 (50.2 degrees): the sine 0.768 is at most pi/4, so the merged
  // segment runs from the smallest x.
  add(0, 0, 10, -12);
  add(5, -6, 20, -24);
  merge();
  expect_list({seg(0, 0, 20, -24)});
}

TEST_F(BoundaryMerge, SortKeyIsYForSteeperSegments) {
  // Slope -1.5 (56.3 degrees): the key is y, so it runs from the lowest point.
  add(0, 0, 10, -15);
  add(6, -9, 20, -30);
  merge();
  expect_list({seg(20, -30, 0, 0)});
}

TEST_F(BoundaryMerge, SegmentWithoutADirectionMergesWithNothing) {
  // Both components of the short one snap to zero: it must not swallow the long one.
  add(0, 0, 0.05, 0.05);
  add(0.05, -10, 0.05, 10);
  merge();
  expect_list({seg(0, 0, 0.05, 0.05), seg(0.05, -10, 0.05, 10)});
}

TEST_F(BoundaryMerge, ExtentsOnTheDominantAxis) {
  Segment diagonal = seg(0, 0, 10, 10);
  Segment beside = seg(20, 5, 30, 8);
  EXPECT_EQ(ranges_overlap(diagonal, beside, pi * 0.25), 0);  // 45 degrees still uses x
  EXPECT_EQ(ranges_overlap(diagonal, beside, 0.8), 1);
  EXPECT_EQ(ranges_overlap(seg(0, 0, 10, 0), seg(12, 0, -2, 0), 0.0), 1);  // one inside the other
  EXPECT_EQ(ranges_overlap(seg(12, 0, -2, 0), seg(0, 0, 10, 0), 0.0), 1);
}

TEST_F(BoundaryMerge, PairTurnsSteepDownwardSegmentsEvenWithoutMerging) {
  Segment a = seg(0, 10, 0, 0);
  Segment b = seg(5, 0, 6, 0);
  XY start, end;
  EXPECT_EQ(merge_pair(a, b, start, end, tol), 0);
  EXPECT_EQ(a.y1, 0.0);
  EXPECT_EQ(a.y2, 10.0);
}

}  // namespace
}  // namespace hatch

namespace hatch {
namespace {

// Collinear runs at every slope (steep ones turn on every call), duplicates
// either way round, near misses and clutter: the indexed walk leaves exactly
// the list the walk over the whole list leaves.
TEST(BoundaryMergeIndex, SameListAsTheWalkOverEveryPair) {
  std::mt19937 rng(7);
  auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
  for (int round = 0; round < 40; ++round) {
    std::vector<Segment> soup;
    const int lines = 3 + round % 5;
    for (int l = 0; l < lines; ++l) {
      const double angle = l == 0 ? -std::numbers::pi / 2 : uni(-std::numbers::pi, std::numbers::pi);
      const double ox = uni(0, 200), oy = uni(0, 200), ux = std::cos(angle), uy = std::sin(angle);
      for (int k = 0; k < 12; ++k) {
        const double a = uni(0, 100), b = a + uni(0.2, 30);
        Segment s = make_segment(ox + a * ux, oy + a * uy, ox + b * ux, oy + b * uy);
        if (k % 3 == 0) std::swap(s.x1, s.x2), std::swap(s.y1, s.y2);
        soup.push_back(s);
        if (k % 4 == 0) soup.push_back(make_segment(s.x2, s.y2 + 0.002, s.x1, s.y1));  // a duplicate
      }
    }
    for (int k = 0; k < 30; ++k) {
      const double x = uni(0, 300), y = uni(0, 300);
      soup.push_back(make_segment(x, y, x + uni(-40, 40), y + uni(-40, 40)));
    }
    std::shuffle(soup.begin(), soup.end(), rng);
    auto merged = [&](bool full) {
      EntityStore store;
      store.full_scans = full;
      for (const Segment& s : soup) test::append_edge(store, store.segment_list, s.x1, s.y1, s.x2, s.y2, 0.25);
      merge_collinear_segments(store.segment_list, store, 0.25);
      std::vector<std::array<double, 4>> out;
      for (const Segment* s = store.segment_list; s; s = s->next) out.push_back({s->x1, s->y1, s->x2, s->y2});
      return out;
    };
    EXPECT_EQ(merged(false), merged(true)) << "round " << round;
  }
}

}  // namespace
}  // namespace hatch

namespace hatch {
namespace {

// Boundaries along curves crowd a thin band of the extent, where the walk asks
// an index sized from the segments: chords of circles in drawing order,
// collinear chains that grow into long segments, steep and vertical ones,
// duplicates and coordinates that are not finite leave, bit for bit, the list
// the walk over the whole list leaves.
TEST(BoundaryMergeIndex, CurvesMergeAsTheWalkOverEveryPair) {
  std::mt19937 rng(11);
  auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  for (int round = 0; round < 8; ++round) {
    std::vector<Segment> soup;
    for (int c = 0; c < 3; ++c) {
      const double cx = uni(-500, 500), cy = uni(-500, 500), r = uni(20, 300);
      const int n = 400 + 200 * (round % 4);
      const double from = uni(0, 6.3), span = c == 0 ? 2.0 * std::numbers::pi : uni(1, 6);
      for (int k = 0; k < n; ++k) {
        const double a = from + span * k / n, b = from + span * (k + 1) / n;
        soup.push_back(
            make_segment(cx + r * std::cos(a), cy + r * std::sin(a), cx + r * std::cos(b), cy + r * std::sin(b)));
        if (k % 97 == 0) soup.push_back(make_segment(soup.back().x2, soup.back().y2, soup.back().x1, soup.back().y1));
      }
    }
    for (int l = 0; l < 6; ++l) {  // chains of pieces, the first two vertical, some pointing down
      const double angle = l < 2 ? std::numbers::pi / 2 : uni(-std::numbers::pi, std::numbers::pi);
      const double ox = uni(-400, 400), oy = uni(-400, 400), ux = l < 2 ? 0.0 : std::cos(angle), uy = std::sin(angle);
      for (int k = 0; k < 150; ++k) {
        const double a = k * 0.4 + uni(-0.05, 0.05), b = a + 0.4;
        Segment s = make_segment(ox + a * ux, oy + a * uy, ox + b * ux, oy + b * uy);
        if (k % 3 == l % 3) std::swap(s.x1, s.x2), std::swap(s.y1, s.y2);
        soup.push_back(s);
      }
    }
    soup.push_back(make_segment(nan, 0, 10, 10));
    soup.push_back(make_segment(0, 0, inf, 5));
    soup.push_back(make_segment(-inf, 1, 3, nan));
    // Drawing order, blocks of it swapped, or no order at all.
    if (round % 3 == 1)
      std::rotate(soup.begin(), soup.begin() + static_cast<std::ptrdiff_t>(soup.size() / 3), soup.end());
    if (round % 3 == 2) std::shuffle(soup.begin(), soup.end(), rng);
    auto merged = [&](bool full) {
      EntityStore store;
      store.full_scans = full;
      for (const Segment& s : soup) test::append_edge(store, store.segment_list, s.x1, s.y1, s.x2, s.y2, 0.005);
      merge_collinear_segments(store.segment_list, store, 0.005);
      std::vector<std::array<std::uint64_t, 4>> out;
      for (const Segment* s = store.segment_list; s; s = s->next)
        out.push_back({std::bit_cast<std::uint64_t>(s->x1), std::bit_cast<std::uint64_t>(s->y1),
                       std::bit_cast<std::uint64_t>(s->x2), std::bit_cast<std::uint64_t>(s->y2)});
      return out;
    };
    EXPECT_EQ(merged(false), merged(true)) << "round " << round;
  }
}

}  // namespace
}  // namespace hatch
