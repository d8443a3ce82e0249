#include "boundary/split_arcs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "geometry/primitives.h"
#include "support/builders.h"

namespace hatch {
namespace {

struct Range {
  double start, end;
};

class BoundarySplit : public ::testing::Test {
 protected:
  // Arcs and segments are linked in the order they are added.
  Arc* add_arc(double cx, double cy, double r, double start, double end) {
    return test::append_arc(store, arcs, test::make_arc(cx, cy, r, start, end));
  }
  void add_segment(double x1, double y1, double x2, double y2) { test::append_edge(store, segments, x1, y1, x2, y2); }
  std::vector<Range> ranges() const {
    std::vector<Range> out;
    for (const Arc* a = arcs; a != nullptr; a = a->next) out.push_back({a->start, a->end});
    return out;
  }
  void expect_ranges(const std::vector<Range>& want) const {
    std::vector<Range> got = ranges();
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
      EXPECT_NEAR(got[i].start, want[i].start, 1e-9) << "arc " << i;
      EXPECT_NEAR(got[i].end, want[i].end, 1e-9) << "arc " << i;
    }
  }

  EntityStore store;
  Arc* arcs = nullptr;
  Segment* segments = nullptr;
};

TEST_F(BoundarySplit, VerticalDiameterCutsTheCircleTwice) {
  Arc* circle = add_arc(0, 0, 1, 0, 2 * pi);
  circle->id = 7;
  circle->attr = 0xF321;
  add_segment(0, -2, 0, 2);
  split_arcs_by_segments(arcs, segments, store, 0.005);
  // The record keeps the last quarter; the pieces follow it, newest first.
  expect_ranges({{1.5 * pi, 2 * pi}, {0.5 * pi, 1.5 * pi}, {0, 0.5 * pi}});
  EXPECT_DOUBLE_EQ(circle->start_deg, 270.0);
  const Arc* piece = circle->next;
  EXPECT_EQ(piece->id, 7);
  EXPECT_EQ(piece->attr, 0x321u);
  EXPECT_DOUBLE_EQ(piece->start_deg, 90.0);
  EXPECT_DOUBLE_EQ(piece->end_deg, 270.0);
  EXPECT_EQ(piece->r, 1.0);
}

TEST_F(BoundarySplit, HorizontalDiameterCutsOnlyAtTheFarCrossing) {
  add_arc(0, 0, 1, 0, 2 * pi);
  add_segment(-2, 0, 2, 0);
  split_arcs_by_segments(arcs, segments, store, 0.005);
  expect_ranges({{pi, 2 * pi}, {0, pi}});
}

TEST_F(BoundarySplit, PiecesAppendedAreCutAgainByLaterSegments) {
  add_arc(0, 0, 1, 0, 2 * pi);
  add_segment(0, -2, 0, 2);
  add_segment(-2, 0, 2, 0);
  split_arcs_by_segments(arcs, segments, store, 0.005);
  // The half [pi/2, 3pi/2] made by the first segment meets the second when the
  // outer loop reaches it, and gives up its first quarter.
  expect_ranges({{1.5 * pi, 2 * pi}, {pi, 1.5 * pi}, {0, 0.5 * pi}, {0.5 * pi, pi}});
}

TEST_F(BoundarySplit, CrossingWithinTheArcToleranceOfAnEndDoesNotCut) {
  // r = 10: the arc tolerance is atan2(0.1, 10), just under 0.01.
  add_arc(0, 0, 10, 0, pi / 2);
  add_segment(0, 10 * std::sin(0.005), 20, 10 * std::sin(0.005));
  split_arcs_by_segments(arcs, segments, store, 0.005);
  expect_ranges({{0, pi / 2}});
}

TEST_F(BoundarySplit, CrossingBeyondTheArcToleranceCuts) {
  add_arc(0, 0, 10, 0, pi / 2);
  add_segment(0, 10 * std::sin(0.02), 20, 10 * std::sin(0.02));
  split_arcs_by_segments(arcs, segments, store, 0.005);
  expect_ranges({{0.02, pi / 2}, {0, 0.02}});
}

TEST_F(BoundarySplit, SegmentEndingOnTheArcCutsIt) {
  add_arc(0, 0, 1, 0, pi);
  add_segment(0, 0, 0, 1);
  add_segment(0.5, 0, 0.5, 0.5);  // stops short: no crossing on the segment
  split_arcs_by_segments(arcs, segments, store, 0.005);
  expect_ranges({{pi / 2, pi}, {0, pi / 2}});
}

TEST_F(BoundarySplit, SegmentsOutsideTheBoxAreSkipped) {
  add_arc(0, 0, 1, 0, 2 * pi);
  add_segment(10, -20, 10, 20);
  split_arcs_by_segments(arcs, segments, store, 0.005);
  expect_ranges({{0, 2 * pi}});
}

TEST_F(BoundarySplit, ArcsThatAreNotNumbersAreLeftAlone) {
  // Every angle would count as interior: without a guard the pieces would be cut
  // into copies of each other for ever.
  add_arc(0, 0, 1, std::numeric_limits<double>::quiet_NaN(), 2 * pi);
  add_arc(5, 0, std::numeric_limits<double>::infinity(), 0, 2 * pi);
  add_segment(0, -2, 0, 2);
  add_segment(-2, 0.5, 2, 0.5);
  split_arcs_by_segments(arcs, segments, store, 0.005);
  split_arcs_at_arc_ends(arcs, store, 0.005);
  EXPECT_EQ(ranges().size(), 2u);
}

TEST_F(BoundarySplit, ArcEndOnAnotherArcCutsIt) {
  Arc* upper = add_arc(0, 0, 10, 0, pi);
  Arc* other = add_arc(10, 10, 10, pi, 1.5 * pi);  // starts at (0, 10), ends at (10, 0)
  split_arcs_at_arc_ends(arcs, store, 0.5);
  expect_ranges({{pi / 2, pi}, {pi, 1.5 * pi}, {0, pi / 2}});
  EXPECT_EQ(arcs, upper);
  EXPECT_EQ(upper->next, other);
}

TEST_F(BoundarySplit, ArcEndJustOutsideTheCircleCuts) {
  add_arc(0, 0, 10, 0, pi);
  add_arc(10, 10.3, 10, pi, 1.25 * pi);  // starts 0.3 outside, at (0, 10.3)
  split_arcs_at_arc_ends(arcs, store, 0.5);
  // The new end (0, 10) of the first arc lies within the tolerance of the second
  // circle in turn and cuts it where the probe towards its centre crosses it.
  const double back = pi + std::atan(0.03);
  expect_ranges({{pi / 2, pi}, {back, 1.25 * pi}, {0, pi / 2}, {pi, back}});
}

TEST_F(BoundarySplit, ArcEndFartherOffTheCircleDoesNotCut) {
  add_arc(0, 0, 10, 0, pi);
  add_arc(10, 10.6, 10, pi, 1.25 * pi);  // 0.6 outside: beyond the tolerance
  split_arcs_at_arc_ends(arcs, store, 0.5);
  expect_ranges({{0, pi}, {pi, 1.25 * pi}});
}

TEST_F(BoundarySplit, ArcEndInsideTheCircleDoesNotCut) {
  add_arc(0, 0, 10, 0, pi);
  add_arc(10, 9.8, 10, pi, 1.25 * pi);  // 0.2 inside: the crossing lies behind the probe
  split_arcs_at_arc_ends(arcs, store, 0.5);
  expect_ranges({{0, pi}, {pi, 1.25 * pi}});
}

TEST_F(BoundarySplit, EllipseEndPointsComeFromTheCircleFormula) {
  // The ellipse really ends at (0, 5); the circle formula puts its end at (0, 10),
  // on the lower half of the circle around (0, 20).
  Arc* ellipse = add_arc(0, 0, 10, 0, pi / 2);
  ellipse->flatness = 0.5;
  add_arc(0, 20, 10, pi, 2 * pi);
  split_arcs_at_arc_ends(arcs, store, 0.5);
  expect_ranges({{0, pi / 2}, {1.5 * pi, 2 * pi}, {pi, 1.5 * pi}});
}

TEST_F(BoundarySplit, NewPieceIsNormalisedAndPushedAtTheHead) {
  Arc source;
  source.id = 3;
  source.attr = 0xABCD;
  source.r = 2;
  source.tilt = 0.5;
  source.tilt_deg = 28.6;
  Arc* pieces = nullptr;
  EXPECT_EQ(new_arc_piece(pieces, source, 1.0, 1.0, store), nullptr);
  EXPECT_EQ(pieces, nullptr);
  Arc* first = new_arc_piece(pieces, source, 0.5, 1.0, store);
  Arc* second = new_arc_piece(pieces, source, -1.0, -0.5, store);
  EXPECT_EQ(pieces, second);
  EXPECT_EQ(second->next, first);
  EXPECT_NEAR(second->start, 2 * pi - 1.0, 1e-12);
  EXPECT_NEAR(second->end, 2 * pi - 0.5, 1e-12);
  EXPECT_NEAR(second->end_deg, 360.0 - 0.5 / pi * 180.0, 1e-9);
  EXPECT_EQ(second->attr, 0xBCDu);
  EXPECT_EQ(second->id, 3);
  EXPECT_EQ(second->tilt, 0.5);
  EXPECT_EQ(second->tilt_deg, 28.6);
}

TEST_F(BoundarySplit, ChoiceOfTheCut) {
  // Half circle of radius 1: angles within atan2(0.1, 1) ~ 0.0997 of an end are not interior.
  Arc* half = add_arc(0, 0, 1, 0, pi);
  const double near_start = 0.05, near_end = pi - 0.05;
  EXPECT_EQ(choose_cut(0, *half, 1.0, 2.0), 0);
  EXPECT_EQ(choose_cut(1, *half, 1.0, 2.0), 1);
  EXPECT_EQ(choose_cut(1, *half, near_start, 2.0), 0);
  EXPECT_EQ(choose_cut(2, *half, 1.0, 2.0), 2);
  EXPECT_EQ(choose_cut(2, *half, 1.0, near_end), 0);
  EXPECT_EQ(choose_cut(3, *half, 1.0, 2.0), 3);
  EXPECT_EQ(choose_cut(3, *half, 1.0, near_start), 1);
  EXPECT_EQ(choose_cut(3, *half, 1.0, near_end), 1);
  EXPECT_EQ(choose_cut(3, *half, near_end, 2.0), 2);
  EXPECT_EQ(choose_cut(3, *half, near_start, 2.0), 2);
  EXPECT_EQ(choose_cut(3, *half, near_start, near_end), 0);
  EXPECT_EQ(choose_cut(1, *half, std::numeric_limits<double>::quiet_NaN(), 2.0), 0);
}

TEST_F(BoundarySplit, CutAtBothAnglesOrAtTheOneOnTheArc) {
  Arc* quarter = add_arc(0, 0, 1, 0, pi / 2);
  Arc* pieces = nullptr;
  cut_arc(pieces, 3, *quarter, pi / 3, 5 * pi / 3, store);  // 5pi/3 lies off the arc
  ASSERT_NE(pieces, nullptr);
  EXPECT_EQ(pieces->next, nullptr);
  EXPECT_NEAR(pieces->end, pi / 3, 1e-12);
  EXPECT_NEAR(quarter->start, pi / 3, 1e-12);

  Arc* full = add_arc(0, 0, 1, 0, 2 * pi);
  pieces = nullptr;
  cut_arc(pieces, 3, *full, 1.0, 2.0, store);
  ASSERT_NE(pieces, nullptr);
  ASSERT_NE(pieces->next, nullptr);
  EXPECT_EQ(pieces->start, 1.0);  // [a1, a2] was made last
  EXPECT_EQ(pieces->next->end, 1.0);
  EXPECT_EQ(full->start, 2.0);

  pieces = nullptr;
  cut_arc(pieces, 1, *full, 0.5, 0.0, store);  // 0.5 now lies off [2, 2pi]
  EXPECT_EQ(pieces, nullptr);
  EXPECT_EQ(full->start, 2.0);
}

// Every field of every arc, in list order; %a keeps each bit.
std::vector<std::string> fields(const Arc* a) {
  std::vector<std::string> out;
  char buf[512];
  for (; a != nullptr; a = a->next) {
    std::snprintf(buf, sizeof buf, "%d %x %a %a %a %a %a %a %a %a %a %a", a->id, a->attr, a->cx, a->cy, a->r,
                  a->start, a->end, a->flatness, a->tilt, a->start_deg, a->end_deg, a->tilt_deg);
    out.emplace_back(buf);
  }
  return out;
}

// The index only spares work: arcs on one circle or nearly, circles and
// ellipses, spans across 0, ends on ends of others, are cut as the plain scan
// cuts them, into the same pieces in the same order.
TEST(ArcEndCuts, IndexedCutsAsThePlainScan) {
  std::mt19937 rng(20240611);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto chance = [&](double p) { return uniform(0.0, 1.0) < p; };
  std::size_t pieces = 0;
  for (int round = 0; round < 32; ++round) {
    const double tol = round % 3 == 0 ? 0.5 : round % 3 == 1 ? 0.05 : 0.005;
    const double r = uniform(0.5, 5.0);
    std::vector<Arc> drawn;
    const int count = 3 + static_cast<int>(rng() % 8);
    for (int i = 0; i < count; ++i) {
      Arc a = test::make_arc(10.0, -5.0, r, uniform(0.0, 2 * pi), 0.0);
      a.id = i;
      a.attr = static_cast<std::uint32_t>(rng() & 0xFFFF);
      if (chance(0.3)) {  // off the circle by about the tolerance
        a.cx += uniform(-tol, tol);
        a.r += uniform(-tol, tol);
      }
      if (chance(0.3)) {
        a.flatness = chance(0.7) ? uniform(0.3, 1.6) : uniform(-1.5, -0.3);
        a.tilt = uniform(-pi, 2 * pi);
      }
      if (!drawn.empty() && chance(0.4)) {  // starting where another ends
        const Arc& b = drawn[rng() % drawn.size()];
        a.start = chance(0.5) ? b.end : b.start;
        a.cx = b.cx, a.cy = b.cy, a.r = b.r;
      }
      a.end = a.start + (chance(0.1) ? 2 * pi : uniform(0.05, 2 * pi));
      if (a.end > 2 * pi && chance(0.5)) {  // as read: a span across 0 starts below it
        a.start -= 2 * pi;
        a.end -= 2 * pi;
      }
      if (chance(0.02)) a.start = std::numeric_limits<double>::quiet_NaN();
      a.start_deg = a.start / pi * 180.0;
      a.end_deg = a.end / pi * 180.0;
      drawn.push_back(a);
    }
    EntityStore plain, indexed;
    plain.full_scans = true;
    Arc* plain_arcs = nullptr;
    Arc* indexed_arcs = nullptr;
    for (const Arc& a : drawn) {
      test::append_arc(plain, plain_arcs, a);
      test::append_arc(indexed, indexed_arcs, a);
    }
    split_arcs_at_arc_ends(plain_arcs, plain, tol);
    split_arcs_at_arc_ends(indexed_arcs, indexed, tol);
    const std::vector<std::string> want = fields(plain_arcs);
    ASSERT_EQ(fields(indexed_arcs), want) << "round " << round;
    pieces += want.size();
  }
  // Enough cutting happened for the grid to be laid out anew and pieces cut again.
  EXPECT_GT(pieces, 1000u);
}

}  // namespace
}  // namespace hatch
