#include "geometry/primitives.h"

#include <gtest/gtest.h>

namespace hatch {
namespace {

TEST(Primitives, ToleranceComparisonsDifferAtTheLimit) {
  EXPECT_EQ(nearly_equal(1.0, 1.5, 0.5), 0);
  EXPECT_EQ(same_point({0.0, 0.0}, {0.5, 0.5}, 0.5), 1);
}

}  // namespace
}  // namespace hatch

namespace hatch {
namespace {


TEST(Primitives, DistanceSnapsToTheAxes) {
  EXPECT_EQ(distance(0, 0, 0.0005, 10), 10.0);
  EXPECT_EQ(distance(0, 0, 10, -0.0005), 10.0);
  EXPECT_DOUBLE_EQ(distance(0, 0, 3, 4), 5.0);
}

TEST(Primitives, AnglesOfVectorsAndSlopes) {
  EXPECT_DOUBLE_EQ(vector_angle(0, -1), 1.5 * pi);
  EXPECT_EQ(vector_angle(1, 0), 0.0);
  EXPECT_EQ(slope_angle(-2, 0.0), -pi * 0.5);
  EXPECT_EQ(slope_angle(-2, -0.0), -pi * 0.5);
  EXPECT_EQ(slope_angle(2, -0.0), pi * 0.5);
  EXPECT_DOUBLE_EQ(slope_angle(1, -1), -pi * 0.25);  // atan, not atan2
  EXPECT_TRUE(std::isnan(slope_angle(0.0, 0.0)));
}

TEST(Primitives, LineEquationGivesTheDistance) {
  double a, b, k;
  line_equation(make_segment(0, 1, 10, 1), a, b, k);
  EXPECT_DOUBLE_EQ(a * 5 + b * 4 + k, 3.0);
  double ux, uy;
  unit_direction(make_segment(1, 1, 4, 5), ux, uy);
  EXPECT_DOUBLE_EQ(ux, 0.6);
  EXPECT_DOUBLE_EQ(uy, 0.8);
}

TEST(Primitives, SameSegmentEitherWayRound) {
  Segment s = make_segment(0, 0, 10, 0);
  EXPECT_EQ(same_segment(s, make_segment(10, 0.1, 0, -0.1), 0.5), 1);
  EXPECT_EQ(same_segment(s, make_segment(0, 0, 10, 1), 0.5), 0);
}

TEST(Primitives, CopyKeepsTheHigherMarkBits) {
  Segment src = make_segment(1, 2, 3, 4);
  src.marks = 0x1234;
  Segment dst;
  dst.marks = 0xAB00;
  copy_segment(src, dst);
  EXPECT_EQ(dst.marks, 0xAB34u);
  EXPECT_EQ(dst.y2, 4.0);
}

TEST(Primitives, SortValues) {
  double v[4] = {3, 1, 2, 1};
  sort_values(v, 4);
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(v[1], 1.0);
  EXPECT_EQ(v[2], 2.0);
  EXPECT_EQ(v[3], 3.0);
  double one[1] = {7};
  sort_values(one, 1);
  EXPECT_EQ(one[0], 7.0);
}

TEST(Primitives, RotationIsCounterClockwiseAndTranslationAdds) {
  double x = 1, y = 0;
  Transform::rotation(pi / 2).apply(x, y);
  EXPECT_NEAR(x, 0.0, 1e-15);
  EXPECT_NEAR(y, 1.0, 1e-15);
  Transform::translation(2, -3).apply(x, y);
  EXPECT_NEAR(x, 2.0, 1e-15);
  EXPECT_NEAR(y, -2.0, 1e-15);
}

}  // namespace
}  // namespace hatch
