#include "geometry/arcs.h"

#include <gtest/gtest.h>

#include "geometry/primitives.h"
#include "support/builders.h"

namespace hatch {
namespace {

constexpr double kTol = 0.005;

constexpr auto seg = make_segment;
using test::make_arc;

TEST(ArcsIntersect, DiameterThroughTheStartCountsOnlyTheFarCrossing) {
  double angles[2] = {-1, -1};
  EXPECT_EQ(intersect_segment_arc(angles, seg(-2, 0, 2, 0), make_arc(0, 0, 1, 0, 2 * pi), kTol), 2);
  EXPECT_NEAR(angles[0], 0.0, 1e-12);
  EXPECT_NEAR(angles[1], pi, 1e-12);
}

TEST(ArcsIntersect, OnlyCrossingAtAnEndGivesNothing) {
  double angles[2] = {-1, -1};
  EXPECT_EQ(intersect_segment_arc(angles, seg(0, 0, 2, 0), make_arc(0, 0, 1, 0, 2 * pi), kTol), 0);
}

TEST(ArcsIntersect, CrossingBelowZeroFoldsAndIsOrderedFromTheStart) {
  double angles[2] = {-1, -1};
  EXPECT_EQ(intersect_segment_arc(angles, seg(0.5, -1, 0.5, 1), make_arc(0, 0, 1, 0, pi / 2), kTol), 3);
  EXPECT_NEAR(angles[0], pi / 3, 1e-12);
  EXPECT_NEAR(angles[1], 5 * pi / 3, 1e-12);
}

TEST(ArcsIntersect, SegmentEndingOnTheArcGivesOneCrossing) {
  double angles[2] = {-1, -1};
  EXPECT_EQ(intersect_segment_arc(angles, seg(0, 0, 0, 1), make_arc(0, 0, 1, 0, 2 * pi), kTol), 1);
  EXPECT_NEAR(angles[0], pi / 2, 1e-12);
}

TEST(ArcsIntersect, FarSegmentLeavesTheAnglesAlone) {
  double angles[2] = {-1, -1};
  EXPECT_EQ(intersect_segment_arc(angles, seg(10, 10, 20, 10), make_arc(0, 0, 1, 0, 2 * pi), kTol), 0);
  EXPECT_EQ(angles[0], -1.0);
}

TEST(ArcsIntersect, EllipseAnglesAreParametric) {
  // Semi-axes 2 and 1: the vertical through the centre meets it at (0, +-1).
  double angles[2] = {-1, -1};
  EXPECT_EQ(intersect_segment_arc(angles, seg(0, -3, 0, 3), make_arc(0, 0, 2, 0, 2 * pi, 0.5), kTol), 3);
  EXPECT_NEAR(angles[0], pi / 2, 1e-12);
  EXPECT_NEAR(angles[1], 3 * pi / 2, 1e-12);
}

TEST(ArcsIntersect, TiltedEllipse) {
  // Major axis along world y: the horizontal through the centre (1, 1) meets the
  // minor axis ends, parametric pi/2 at (0, 1) and 3pi/2 at (2, 1).
  Arc e = make_arc(1, 1, 2, 0, 2 * pi, 0.5, pi / 2);
  double angles[2] = {-1, -1};
  EXPECT_EQ(intersect_segment_arc(angles, seg(-3, 1, 5, 1), e, kTol), 3);
  EXPECT_NEAR(angles[0], pi / 2, 1e-9);
  EXPECT_NEAR(angles[1], 3 * pi / 2, 1e-9);
  XY p = arc_point(e, pi / 2);
  EXPECT_NEAR(p.x, 0.0, 1e-12);
  EXPECT_NEAR(p.y, 1.0, 1e-12);
  XY top = arc_point(e, 0.0);
  EXPECT_NEAR(top.x, 1.0, 1e-12);
  EXPECT_NEAR(top.y, 3.0, 1e-12);
}

TEST(ArcsOnArc, RangeThroughZero) {
  Arc a = make_arc(0, 0, 1, -0.5, 0.5);
  EXPECT_EQ(angle_on_arc(a, 6.0), 1);  // -0.283 folded
  EXPECT_EQ(angle_on_arc(a, 1.0), 0);
  EXPECT_EQ(angle_on_arc(a, 0.0), 1);
}

TEST(ArcsOnArc, RangeRunningThroughTwoPiAfterACut) {
  Arc a = make_arc(0, 0, 1, 5.0, 1.0);
  EXPECT_EQ(angle_on_arc(a, 0.5), 1);
  EXPECT_EQ(angle_on_arc(a, 5.5), 1);
  EXPECT_EQ(angle_on_arc(a, 3.0), 0);
}

TEST(ArcsOnArc, EndsAreInclusiveAndTheFullCircleIsWhole) {
  Arc a = make_arc(0, 0, 1, 1.0, 2.0);
  EXPECT_EQ(angle_on_arc(a, 1.0), 1);
  EXPECT_EQ(angle_on_arc(a, 2.0), 1);
  EXPECT_EQ(angle_on_arc(a, 2.01), 0);
  Arc full = make_arc(0, 0, 1, 0.0, 2 * pi);
  EXPECT_EQ(angle_on_arc(full, 3.0), 1);
  EXPECT_EQ(angle_on_arc(full, 2 * pi), 1);
}

TEST(ArcsNormalise, CanonicalPairs) {
  double s = -0.5, e = 0.5;
  normalise_arc_angles(s, e);
  EXPECT_EQ(s, -0.5);
  EXPECT_EQ(e, 0.5);
  s = -1.0, e = -0.5;
  normalise_arc_angles(s, e);
  EXPECT_NEAR(s, 2 * pi - 1.0, 1e-12);
  EXPECT_NEAR(e, 2 * pi - 0.5, 1e-12);
  s = 1.0, e = -1.0;
  normalise_arc_angles(s, e);
  EXPECT_EQ(s, 1.0);
  EXPECT_NEAR(e, 2 * pi - 1.0, 1e-12);
  s = -0.5, e = 6.0;  // both fold without crossing zero
  normalise_arc_angles(s, e);
  EXPECT_NEAR(s, 2 * pi - 0.5, 1e-12);
  EXPECT_NEAR(e, 6.0, 1e-12);
  s = 0.0, e = 2 * pi;
  normalise_arc_angles(s, e);
  EXPECT_EQ(s, 0.0);
  EXPECT_EQ(e, 2 * pi);
}

TEST(ArcsNear, NoWrapAroundAtZero) {
  EXPECT_EQ(angles_near(0.01, 0.05, 0.1), 1);
  EXPECT_EQ(angles_near(0.01, 2 * pi - 0.01, 0.1), 0);
  EXPECT_EQ(angles_near(-0.01, 2 * pi - 0.02, 0.1), 1);
  EXPECT_EQ(angles_near(2 * pi, 0.0, 0.1), 1);
}

TEST(ArcsFrame, TranslateThenTurnAndBack) {
  Arc a = make_arc(1, 2, 2, 0, 2 * pi, 0.5, pi / 2);
  Segment s = seg(1, 4, 3, 2);
  to_arc_frame(s, a);
  EXPECT_NEAR(s.x1, 2.0, 1e-12);
  EXPECT_NEAR(s.y1, 0.0, 1e-12);
  EXPECT_NEAR(s.x2, 0.0, 1e-12);
  EXPECT_NEAR(s.y2, -2.0, 1e-12);
  from_arc_frame(s, a);
  EXPECT_NEAR(s.x1, 1.0, 1e-12);
  EXPECT_NEAR(s.y1, 4.0, 1e-12);
  EXPECT_NEAR(s.x2, 3.0, 1e-12);
  EXPECT_NEAR(s.y2, 2.0, 1e-12);
}

}  // namespace
}  // namespace hatch
