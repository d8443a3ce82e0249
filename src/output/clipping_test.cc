#include "output/clipping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/interrupt.h"
#include "geometry/primitives.h"
#include "output/exchange_writer.h"
#include "output/output_phase.h"
#include "support/output_fixture.h"

namespace hatch {
namespace {

using test::expect_segments_near;
using test::OutputFixture;

TEST(HatchGrid, StartsOnMultiplesOfTheTileBelowAndLeftOfTheBounds) {
  OutputFixture f;
  f.ctx.bounds = {0, 0, 100, 100};
  auto row = hatch_grid(f.ctx, 25, 25);
  ASSERT_TRUE(row);
  // ix = trunc(-25 / 25) = -1, iy = trunc(-50 / 50) = -1.
  EXPECT_EQ(row->x1, -25);
  EXPECT_EQ(row->y1, -50);
  EXPECT_EQ(row->x2, 125);
  EXPECT_EQ(row->y2, -50);

  f.ctx.bounds = {-30, 130, 10, 200};
  row = hatch_grid(f.ctx, 25, 25);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->x1, -50);  // trunc(trunc(-55) / 25) = trunc(-2.2) = -2
  EXPECT_EQ(row->y1, 50);   // trunc(80 / 50) = 1
}

TEST(HatchGrid, CountsBeyondThirtyTwoBitsAndRefusesWhatCannotBeCounted) {
  OutputFixture f;
  f.ctx.bounds = {1e12, -1e12, 2e12, 0};
  auto row = hatch_grid(f.ctx, 1, 1);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->x1, 1e12 - 1);
  EXPECT_EQ(row->y1, -1e12 - 2);

  EXPECT_FALSE(hatch_grid(f.ctx, 0, 1));
  EXPECT_FALSE(hatch_grid(f.ctx, 1, -5));
  f.ctx.bounds = {1e300, 0, 1e300, 1};
  EXPECT_FALSE(hatch_grid(f.ctx, 1, 1));
  f.ctx.bounds = {std::nan(""), 0, 0, 1};
  EXPECT_FALSE(hatch_grid(f.ctx, 1, 1));
}

TEST(HatchBounds, NoLoopLeavesMinAboveMaxAndHatchesNothing) {
  OutputFixture f;
  hatch_bounds(f.ctx);
  EXPECT_EQ(f.ctx.bounds.min_x, 100000.0);
  EXPECT_EQ(f.ctx.bounds.max_y, -100000.0);
  for (HatchStyle style : {HatchStyle::lines, HatchStyle::brick, HatchStyle::fan, HatchStyle::slant}) {
    f.settings.hatch_style = style;
    write_hatch(f.ctx);
  }
  // Only the attribute sets the patterns select before their strokes.
  EXPECT_EQ(f.text(), "ly1\nlt2\nlc3\n");
}

TEST(HatchFrame, TurnsLoopsAndArcsAboutTheOriginAndBack) {
  OutputFixture f;
  f.input.hp2_x = 10;
  f.input.hp2_y = 0;
  Segment* outline = f.rectangle(10, 0, 20, 10);
  f.add_region(outline);
  Arc* a = f.store.new_arc();
  a->cx = 10, a->cy = 5, a->tilt = 0.25;
  f.store.arc_list = a;
  to_hatch_frame(f.ctx, pi / 2);
  // (20, 0) - origin = (10, 0), turned by -90 degrees: (0, -10).
  EXPECT_NEAR(outline->x2, 0, 1e-12);
  EXPECT_NEAR(outline->y2, -10, 1e-12);
  EXPECT_NEAR(a->cx, 5, 1e-12);
  EXPECT_NEAR(a->cy, 0, 1e-12);
  EXPECT_NEAR(a->tilt, 0.25 - pi / 2, 1e-12);
  from_hatch_frame(f.ctx, pi / 2);
  EXPECT_NEAR(outline->x2, 20, 1e-12);
  EXPECT_NEAR(outline->y2, 0, 1e-12);
  EXPECT_NEAR(a->cx, 10, 1e-12);
  EXPECT_NEAR(a->tilt, 0.25, 1e-12);
}

TEST(HatchInside, IslandsAndTextBoxesAreNotFilledUnlessABoxLiesOutsideInFillMode2) {
  OutputFixture f;
  Region* r = f.add_region(f.rectangle(0, 0, 100, 100));
  f.add_island(r, f.rectangle(10, 10, 30, 30));
  f.add_text_box(f.rectangle(60, 60, 80, 80));
  f.add_text_box(f.rectangle(200, 0, 220, 20));
  EXPECT_EQ(inside_fill(f.ctx, 50, 50), 1);
  EXPECT_EQ(inside_fill(f.ctx, 20, 20), 0);    // island
  EXPECT_EQ(inside_fill(f.ctx, 70, 70), 0);    // text box within the region
  EXPECT_EQ(inside_fill(f.ctx, 0, 50), 0);     // on the boundary
  EXPECT_EQ(inside_fill(f.ctx, 150, 50), 0);
  EXPECT_EQ(inside_fill(f.ctx, 210, 10), 0);   // text box outside, fill_mode 1
  f.settings.fill_mode = FillMode::all_outer;
  EXPECT_EQ(inside_fill(f.ctx, 210, 10), 1);
  EXPECT_EQ(inside_fill(f.ctx, 70, 70), 0);
}

TEST(HatchClip, WholeStrokeInsideIsWrittenWholeAndOutsideNotAtAll) {
  OutputFixture f;
  f.add_region(f.rectangle(0, 0, 100, 100));
  hatch_bounds(f.ctx);
  Segment in, out, across;
  in.x1 = 10, in.y1 = 10, in.x2 = 20, in.y2 = 30;
  out.x1 = 110, out.y1 = 10, out.x2 = 120, out.y2 = 30;
  across.x1 = 50, across.y1 = 50, across.x2 = 150, across.y2 = 50;
  write_clipped(f.ctx, in);
  write_clipped(f.ctx, out);
  write_clipped(f.ctx, across);
  EXPECT_EQ(f.text(), " 10 10 20 30\n 50 50 100 50\n");
}

TEST(HatchClip, PiecesEndOnTheTrueArcNotOnItsChords) {
  OutputFixture f;
  Arc* a = f.store.new_arc();
  a->r = 50, a->start = 0, a->end = 2 * pi;
  f.store.arc_list = a;
  Segment* first = nullptr;
  for (int k = 23; k >= 0; --k) {  // 15-degree chords, linked in angle order
    double t0 = k * pi / 12, t1 = (k + 1) * pi / 12;
    Segment* e = f.edge(50 * std::cos(t0), 50 * std::sin(t0), 50 * std::cos(t1), 50 * std::sin(t1), a);
    e->next = first;
    first = e;
  }
  f.add_region(first);
  hatch_bounds(f.ctx);
  Segment s;
  s.x1 = -100, s.y1 = 10, s.x2 = 100, s.y2 = 10;
  write_clipped(f.ctx, s);
  const double x = std::sqrt(50.0 * 50.0 - 10.0 * 10.0);
  expect_segments_near(f.segments(), {{-x, 10, x, 10}});
}

// The square (0,0)-(100,100) at pitch 25: rows from -50 up to 75. The row at 0
// runs along the bottom edge: it meets the two side edges at their ends, and
// the piece between lies on the boundary, so it selects attributes but writes nothing.
}  // namespace
}  // namespace hatch
