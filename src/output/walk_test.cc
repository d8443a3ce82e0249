#include "output/walk.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>

namespace hatch {
namespace {

// One addition at a time, as a walk without skipping makes them.
RepeatedSum one_by_one(double& v, double step, std::int64_t limit, double below) {
  RepeatedSum r;
  while (r.steps < limit && v < below) {
    if (v + step == v) {
      r.stuck = true;
      break;
    }
    v += step;
    ++r.steps;
  }
  return r;
}

// Steps with ties at the spacing, steps a little above and below it, starts
// that cross zero and binades, targets on and off the sums: the bulk sums land
// on the same value after the same number of additions.
TEST(RepeatAdd, LandsWhereOneAdditionAtATimeLands) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 4000; ++i) {
    const int e = static_cast<int>(unit(rng) * 40.0) - 10;
    const double u = std::ldexp(1.0, e - 52);
    double step;
    switch (i % 4) {
      case 0: step = u * (std::floor(unit(rng) * 8.0) + 0.5); break;  // ties
      case 1: step = u * (1.0 + unit(rng) * 3.0); break;
      case 2: step = std::ldexp(unit(rng) + 0.5, e - 48); break;
      default: step = std::ldexp(1.0 + unit(rng), e - 45) / 3.0; break;
    }
    const double from = (unit(rng) - 0.7) * std::ldexp(1.0, e + 1);
    const double below = from + step * (unit(rng) * 3e5);
    const std::int64_t limit = i % 7 == 0 ? 1000 : 1000000;
    double a = from, b = from;
    const RepeatedSum ra = repeat_add(a, step, limit, below);
    const RepeatedSum rb = one_by_one(b, step, limit, below);
    ASSERT_EQ(a, b) << i << " from " << from << " step " << step;
    ASSERT_EQ(ra.steps, rb.steps) << i;
    ASSERT_EQ(ra.stuck, rb.stuck) << i;
  }
  double v = -DBL_MIN * 3.0, w = v;
  repeat_add(v, DBL_MIN / 7.0, 100, INFINITY);
  one_by_one(w, DBL_MIN / 7.0, 100, INFINITY);
  EXPECT_EQ(v, w);  // through the subnormals and across zero
}

// Two sums of one step, apart by up to the step itself, from negative starts
// across zero and many binades: their difference stays within the bound.
TEST(TwinSumDrift, BoundsHowFarTwoSumsOfOneStepPart) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 300; ++i) {
    const int e = static_cast<int>(unit(rng) * 60.0) - 20;
    const double step = std::ldexp(unit(rng) + 0.5, e) / 3.0;
    double a = -step * (unit(rng) * 2e4), b = a + step * unit(rng);
    const double apart = b - a;
    double largest = 0.0, worst = 0.0;
    for (int k = 0; k < 60000; ++k) {
      a += step;
      b += step;
      largest = std::max({largest, std::fabs(a), std::fabs(b)});
      worst = std::max(worst, std::fabs((b - a) - apart));
    }
    ASSERT_LE(worst, twin_sum_drift(largest)) << i << " step " << step;
  }
}

TEST(WalkSpans, VisitsOnlyInsideTheSpansAndKeepsCoupledSumsInStep) {
  Spans spans;
  spans.add(3e7, 3e7 + 100);
  spans.add(-50, 50);
  spans.close();
  std::vector<double> seen, coupled;
  double top = 0.3;
  walk(
      -1e6, 6e7, 0.7, spans,
      [&](double y) {
        seen.push_back(y);
        coupled.push_back(top);
        top += 0.7;
      },
      [&](std::int64_t k) { top = after_additions(top, 0.7, k); });
  std::vector<double> want, want_coupled;
  double y = -1e6, t = 0.3;
  while (y < 6e7 && y <= 3e7 + 100) {
    if ((y >= -50 && y <= 50) || y >= 3e7) {
      want.push_back(y);
      want_coupled.push_back(t);
    }
    y += 0.7;
    t += 0.7;
  }
  EXPECT_EQ(seen, want);
  EXPECT_EQ(coupled, want_coupled);
}

}  // namespace
}  // namespace hatch
