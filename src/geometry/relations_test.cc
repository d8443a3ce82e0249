#include "geometry/relations.h"

#include <gtest/gtest.h>

#include "geometry/primitives.h"

#include <utility>

namespace hatch {
namespace {

constexpr auto seg = make_segment;

TEST(RelationsClassify, EndsMeetingGiveTheirCodes) {
  Segment a = seg(0, 0, 10, 0);
  EXPECT_EQ(classify_segments(a, seg(0, 0, 0, 10)), 6);
  EXPECT_EQ(classify_segments(a, seg(10, 0, 10, 10)), 7);
  EXPECT_EQ(classify_segments(a, seg(0, 10, 0, 0)), 8);
  EXPECT_EQ(classify_segments(a, seg(10, 10, 10, 0)), 9);
}

TEST(RelationsClassify, EndStoppingShortOfAnInteriorTouchesWithinATenth) {
  Segment bar = seg(0, 0, 10, 0);
  Segment stem = seg(5, 5, 5, 0.05);
  EXPECT_EQ(classify_segments(stem, bar), 3);
  EXPECT_EQ(classify_segments(bar, stem), 5);
  Segment reversed = seg(5, 0.05, 5, 5);
  EXPECT_EQ(classify_segments(reversed, bar), 2);
  EXPECT_EQ(classify_segments(bar, reversed), 4);
  EXPECT_EQ(classify_segments(seg(5, 5, 5, 0.2), bar), 0);
}

TEST(RelationsClassify, OvershootCountsLikeAGap) {
  // The stem runs 0.05 past the bar: still its end touching the bar.
  EXPECT_EQ(classify_segments(seg(5, 5, 5, -0.05), seg(0, 0, 10, 0)), 3);
}

TEST(RelationsClassify, ProperCrossingWritesTheCrossingPoint) {
  XY at{-1, -1};
  EXPECT_EQ(classify_segments(seg(0, 0, 10, 10), seg(0, 10, 10, 0), &at), 1);
  EXPECT_DOUBLE_EQ(at.x, 5.0);
  EXPECT_DOUBLE_EQ(at.y, 5.0);
}

TEST(RelationsClassify, ParallelAndTinySegmentsNeverRelate) {
  XY at{-1, -1};
  EXPECT_EQ(classify_segments(seg(0, 0, 10, 0), seg(10, 0, 20, 0), &at), 0);
  EXPECT_EQ(at.x, -1.0);  // parallel: the crossing is left alone
  // Cross product 1e-4 of two 0.01 segments at a right angle lies below 0.001.
  EXPECT_EQ(classify_segments(seg(0, 0, 0.01, 0), seg(0, 0, 0, 0.01)), 0);
}

TEST(RelationsClassify, LinesCrossingOutsideBothSegmentsGiveNothing) {
  EXPECT_EQ(classify_segments(seg(0, 0, 1, 0), seg(5, 1, 5, 5)), 0);
}

TEST(RelationsBox, InsideCrossingAndOutside) {
  EXPECT_EQ(segment_meets_box(seg(2, 2, 8, 8), 0, 0, 10, 10), 1);
  EXPECT_EQ(segment_meets_box(seg(-5, 5, 15, 5), 0, 0, 10, 10), 1);
  EXPECT_EQ(segment_meets_box(seg(5, 5, 5, 20), 0, 0, 10, 10), 1);
  EXPECT_EQ(segment_meets_box(seg(20, 20, 30, 25), 0, 0, 10, 10), 0);
}

TEST(RelationsBox, SegmentOnTheLeftEdgeLineAwayFromTheCornersIsNotInside) {
  EXPECT_EQ(segment_meets_box(seg(0, 3, 0, 7), 0, 0, 10, 10), 0);
  // Reaching within 0.1 of the bottom corner it meets the bottom edge.
  EXPECT_EQ(segment_meets_box(seg(0, 0.05, 0, 7), 0, 0, 10, 10), 1);
}

TEST(RelationsPointOnSegment, SquaredDistanceIsComparedWithTheTolerance) {
  Segment s = seg(0, 0, 10, 0);
  EXPECT_EQ(point_on_segment(s, 5, 0.05, 0.005), 1);  // 0.0025 < 0.005
  EXPECT_EQ(point_on_segment(s, 5, 0.1, 0.005), 0);   // 0.01
  EXPECT_EQ(point_on_segment(s, 10.05, 0, 0.005), 1);  // the box reaches 0.1 past the ends
  EXPECT_EQ(point_on_segment(s, 10.2, 0, 0.005), 0);
}

TEST(RelationsPointOnSegment, SlantedSegment) {
  Segment s = seg(0, 0, 10, 10);
  EXPECT_EQ(point_on_segment(s, 3, 3, 0.005), 1);
  EXPECT_EQ(point_on_segment(s, 3, 3.2, 0.005), 0);  // 0.14 off the line
}

Segment* square(Segment (&edges)[4], bool mixed) {
  edges[0] = seg(0, 0, 1, 0);
  edges[1] = seg(1, 0, 1, 1);
  edges[2] = seg(1, 1, 0, 1);
  edges[3] = seg(0, 1, 0, 0);
  if (mixed) {  // list order differs from path order
    std::swap(edges[0], edges[2]);
    std::swap(edges[1], edges[3]);
  }
  for (int i = 0; i < 3; ++i) edges[i].next = &edges[i + 1];
  edges[3].next = nullptr;
  return &edges[0];
}

TEST(RelationsWinding, InsideOutsideAndOnTheBoundary) {
  Segment edges[4];
  Segment* loop = square(edges, false);
  EXPECT_EQ(winding_test(loop, 0.5, 0.5, 0.005), 1);
  EXPECT_EQ(winding_test(loop, 2.0, 0.5, 0.005), -1);
  EXPECT_EQ(winding_test(loop, 1.0, 0.5, 0.005), 0);
}

TEST(RelationsWinding, ListOrderDoesNotMatter) {
  Segment edges[4];
  Segment* loop = square(edges, true);
  EXPECT_EQ(winding_test(loop, 0.5, 0.5, 0.005), 1);
  EXPECT_EQ(winding_test(loop, -1.0, -1.0, 0.005), -1);
}

TEST(RelationsLocate, FirstDecidedRegionWins) {
  Segment far_edges[4], near_edges[4];
  Segment* far_loop = square(far_edges, false);
  for (Segment* s = far_loop; s != nullptr; s = s->next) {
    s->x1 += 5;
    s->x2 += 5;
  }
  Region far_region, near_region;
  far_region.outline = far_loop;
  near_region.outline = square(near_edges, false);
  far_region.next = &near_region;
  EXPECT_EQ(locate_in_regions(&far_region, 0.5, 0.5, 0.005), 1);
  EXPECT_EQ(locate_in_regions(&far_region, 3.0, 0.5, 0.005), -1);
  EXPECT_EQ(locate_in_regions(nullptr, 0.5, 0.5, 0.005), -1);
}

}  // namespace
}  // namespace hatch
