#include "geometry/primitives.h"

#include <gtest/gtest.h>

namespace hatch {
namespace {

TEST(Primitives, ToleranceComparisonsDifferAtTheLimit) {
  EXPECT_EQ(nearly_equal(1.0, 1.5, 0.5), 0);
  EXPECT_EQ(same_point(0.0, 0.5, 0.0, 0.5, 0.5), 1);
}

}  // namespace
}  // namespace hatch
