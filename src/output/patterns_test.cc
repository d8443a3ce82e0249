#include "output/patterns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/interrupt.h"
#include "geometry/primitives.h"
#include "output/clipping.h"
#include "output/exchange_writer.h"
#include "output/output_phase.h"
#include "support/output_fixture.h"

namespace hatch {
namespace {

using test::expect_segments_near;
using test::OutputFixture;

TEST(HatchLine, SquareRowsAlternateAttributeSetsAndSkipTheBoundaryRow) {
  OutputFixture f;
  f.settings.pitches[0] = 25;
  f.settings.hatch_attr[1] = {4, 5, 6};
  f.add_region(f.rectangle(0, 0, 100, 100));
  write_results(f.ctx);
  EXPECT_EQ(f.text(),
            "ly1\nlt2\nlc3\n"
            "ly4\nlt5\nlc6\n 0 25 100 25\n"
            "ly1\nlt2\nlc3\n 0 50 100 50\n"
            "ly4\nlt5\nlc6\n 0 75 100 75\n");
}

TEST(HatchLine, ZMarkerPrecedesEverySegment) {
  OutputFixture f;
  f.settings.pitches[0] = 25;
  f.settings.z_flag = 1;
  f.add_region(f.rectangle(0, 0, 100, 100));
  write_results(f.ctx);
  EXPECT_EQ(f.text(), "ly1\nlt2\nlc3\nz1\n 0 25 100 25\nz1\n 0 50 100 50\nz1\n 0 75 100 75\n");
}

TEST(HatchLine, GridFollowsTheHatchOriginAndLoopsReturnToTheDrawing) {
  OutputFixture f;
  f.settings.pitches[0] = 25;
  f.input.hp2_x = 10;
  f.input.hp2_y = 10;
  Segment* outline = f.rectangle(0, 0, 100, 100);
  f.add_region(outline);
  write_results(f.ctx);
  // In the hatch frame the square is (-10,-10)-(90,90); rows at 0, 25, 50, 75 there.
  EXPECT_EQ(f.text(), "ly1\nlt2\nlc3\n 0 10 100 10\n 0 35 100 35\n 0 60 100 60\n 0 85 100 85\n");
  EXPECT_EQ(outline->x1, 0);
  EXPECT_EQ(outline->x2, 100);
  EXPECT_EQ(outline->y2, 0);
}

TEST(HatchLine, DoubleLinesSitHalfTheSpacingEitherSideOfTheGrid) {
  OutputFixture f;
  f.settings.line_count = 2;
  f.settings.line_spacing = 10;
  f.settings.pitches[0] = 100;
  f.add_region(f.rectangle(0, 0, 200, 200));
  write_results(f.ctx);
  // Grid rows at -200, -100, 0, 100: first every row + 5, then every row - 5.
  EXPECT_EQ(f.text(), "ly1\nlt2\nlc3\n 0 5 200 5\n 0 105 200 105\n 0 95 200 95\n 0 195 200 195\n");
}

TEST(HatchLine, TripleLinesWriteTheGridThenAboveThenBelow) {
  OutputFixture f;
  f.settings.line_count = 3;
  f.settings.line_spacing = 10;
  f.settings.pitches[0] = 100;
  f.add_region(f.rectangle(0, 0, 200, 200));
  write_results(f.ctx);
  EXPECT_EQ(f.text(),
            "ly1\nlt2\nlc3\n 0 100 200 100\n 0 10 200 10\n 0 110 200 110\n 0 90 200 90\n 0 190 200 190\n");
}

TEST(HatchLine, AnglesAreWrittenOneAfterAnotherEachWithItsPitch) {
  OutputFixture f;
  f.settings.angle_count = 3;
  f.settings.angles[0] = 0;
  f.settings.angles[1] = pi / 2;
  f.settings.angles[2] = pi;
  f.settings.pitches[0] = 50;
  f.settings.pitches[1] = 25;
  f.settings.pitches[2] = 50;
  Segment* outline = f.rectangle(0, 0, 100, 100);
  f.add_region(outline);
  write_results(f.ctx);
  expect_segments_near(f.segments(), {{0, 50, 100, 50},
                                      {75, 0, 75, 100},
                                      {50, 0, 50, 100},
                                      {25, 0, 25, 100},
                                      {100, 50, 0, 50}});
  EXPECT_NEAR(outline->next->x2, 100, 1e-9);
  EXPECT_NEAR(outline->next->y2, 100, 1e-9);
}

TEST(HatchLine, TextBoxInsideTheRegionIsLeftOpen) {
  OutputFixture f;
  f.settings.pitches[0] = 25;
  f.add_region(f.rectangle(0, 0, 100, 100));
  f.add_text_box(f.rectangle(40, 40, 60, 60));
  write_results(f.ctx);
  EXPECT_EQ(f.text(), "ly1\nlt2\nlc3\n 0 25 100 25\n 0 50 40 50\n 60 50 100 50\n 0 75 100 75\n");
}

TEST(HatchLine, TextBoxOutsideEveryRegionIsFilledOnlyInFillMode2) {
  for (int mode : {1, 2}) {
    OutputFixture f;
    f.settings.fill_mode = static_cast<FillMode>(mode);
    f.settings.pitches[0] = 25;
    f.add_region(f.rectangle(0, 0, 100, 100));
    f.add_text_box(f.rectangle(200, 40, 260, 60));
    write_results(f.ctx);
    std::string box_row = mode == 2 ? " 200 50 260 50\n" : "";
    EXPECT_EQ(f.text(), "ly1\nlt2\nlc3\n 0 25 100 25\n 0 50 100 50\n" + box_row + " 0 75 100 75\n")
        << "fill_mode " << mode;
  }
}

// Rectangle (0,0)-(80,60), tiles 40 x 20: bed joints at 0 (boundary), 20 and 40;
// head joints every 40 in the courses from 0 and 40, shifted by 20 in the course from 20.
TEST(HatchBrick, BedJointsAlternateSetsAndHeadJointsKeepTheLast) {
  OutputFixture f;
  f.settings.hatch_style = HatchStyle::brick;
  f.settings.tile_x = 40;
  f.settings.tile_y = 20;
  f.settings.hatch_attr[1] = {4, 5, 6};
  f.add_region(f.rectangle(0, 0, 80, 60));
  write_results(f.ctx);
  EXPECT_EQ(f.text(),
            "ly1\nlt2\nlc3\n"
            "ly4\nlt5\nlc6\n 0 20 80 20\n"
            "ly1\nlt2\nlc3\n 0 40 80 40\n"
            " 40 0 40 20\n 40 40 40 60\n"
            " 20 20 20 40\n 60 20 60 40\n");
}

// Rectangle (0,0)-(300,100) with one stroke per band: bands start 100 apart;
// the first stroke only touches the corner, then the strokes zigzag across.
TEST(HatchFan, OneStrokePerBandAlternatingDirection) {
  OutputFixture f;
  f.settings.hatch_style = HatchStyle::fan;
  f.settings.figure_count = 1;
  f.add_region(f.rectangle(0, 0, 300, 100));
  write_results(f.ctx);
  EXPECT_EQ(f.text(), "ly1\nlt2\nlc3\n 0 0 100 100\n 100 100 200 0\n 200 0 300 100\n");
}

TEST(HatchFan, TwoStrokesPerBandStartOnTheEdgeAndFanOut) {
  OutputFixture f;
  f.settings.hatch_style = HatchStyle::fan;
  f.settings.figure_count = 2;
  f.add_region(f.rectangle(0, 0, 100, 100));
  write_results(f.ctx);
  // Band 1: (-100,100)-(0,0) touches the corner only; (0,100)-(50,50) lies inside.
  // Band 2 from (0,0): (0,0)-(100,100), then (100,0)-(150,50) lies outside.
  EXPECT_EQ(f.text(), "ly1\nlt2\nlc3\n 0 100 50 50\n 0 0 100 100\n");
}

// Bands that start before any loop they could reach are stepped over in pairs;
// the strokes written must be those of visiting every band, also far out where
// the band starts round to a coarse spacing, and where the steps stall.
TEST(HatchFan, SteppingOverBandsWritesWhatVisitingEveryBandWrites) {
  std::mt19937_64 rng(7);
  const double offsets[] = {0.0, -3e5, 1e9, 4e15, -2.2e16, 5.6e16, 1.5e17, 1e18};
  for (int round = 0; round < 64; ++round) {
    const double x0 = offsets[round % 8];
    const double h = std::uniform_real_distribution<double>(20.0, 150.0)(rng);
    const int n = 1 + static_cast<int>(rng() % 4);
    const int squares = 1 + static_cast<int>(rng() % 3);
    std::vector<double> at;
    for (int i = 0; i < squares; ++i) at.push_back(x0 + std::uniform_real_distribution<double>(0.0, 3e4 * h)(rng));
    auto scene = [&](OutputFixture& f) {
      f.settings.figure_count = n;
      f.store.reach = 1e19;  // as a drawing this far out sets it
      for (double x : at) f.add_region(f.rectangle(x, 0.0, x + 1.5 * h, h));
      // A wide text box stretches the bounds far beyond the squares.
      f.add_text_box(f.rectangle(x0 - 1e4 * h, 0.0, x0 + 4e4 * h, 0.5 * h));
      hatch_bounds(f.ctx);
    };
    OutputFixture stepped, visited;
    scene(stepped);
    scene(visited);
    fan_pattern(stepped.ctx);
    fan_pattern(visited.ctx, Spans{});
    ASSERT_EQ(stepped.text(), visited.text()) << "round " << round << " at " << x0 << " h " << h << " n " << n;
  }
}

TEST(HatchSlant, ThreePassesOfStrokesAcrossARectangle) {
  OutputFixture f;
  f.settings.hatch_style = HatchStyle::slant;
  f.add_region(f.rectangle(0, 0, 100, 100));
  write_results(f.ctx);
  // h = 100: strokes step 70, lean d = 100 tan 20 degrees, and start at x = -70.
  const double d = 100 * std::tan(pi / 9);
  expect_segments_near(f.segments(), {{0, 0, d, 100},
                                      {70, 0, 100, 3000 / d},
                                      {0.75 * d, 75, 0.5 * d, 100},
                                      {70 + 0.75 * d, 75, 70 + 0.5 * d, 100},
                                      {0.25 * d, 25, 0.5 * d, 0},
                                      {70 + 0.25 * d, 25, 70 + 0.5 * d, 0}});
}

TEST(HatchGuards, UnusableStepsAndCountsWriteNothingAndEnd) {
  struct Case {
    const char* name;
    void (*set)(Settings&);
  };
  const Case cases[] = {
      {"pitch 0", [](Settings& s) { s.pitches[0] = 0; }},
      {"negative pitch", [](Settings& s) { s.pitches[0] = -25; }},
      {"no angle", [](Settings& s) { s.angle_count = 0; }},
      {"negative angle count", [](Settings& s) { s.angle_count = -1; }},
      {"brick tile_x 0", [](Settings& s) { s.hatch_style = HatchStyle::brick, s.tile_x = 0; }},
      {"brick negative tile_y", [](Settings& s) { s.hatch_style = HatchStyle::brick, s.tile_y = -20; }},
      {"fan count 0", [](Settings& s) { s.hatch_style = HatchStyle::fan, s.figure_count = 0; }},
      {"fan negative count", [](Settings& s) { s.hatch_style = HatchStyle::fan, s.figure_count = -3; }},
      {"figure style", [](Settings& s) { s.hatch_style = HatchStyle::figure; }},
  };
  for (const Case& c : cases) {
    OutputFixture f;
    c.set(f.settings);
    f.add_region(f.rectangle(0, 0, 100, 100));
    write_results(f.ctx);
    std::string t = f.text();
    EXPECT_EQ(t.find(' '), std::string::npos) << c.name << ": " << t;
  }
}

TEST(HatchGuards, FlatBoundsGiveNoFanOrSlantStroke) {
  for (int style : {3, 4}) {
    OutputFixture f;
    f.settings.hatch_style = static_cast<HatchStyle>(style);
    f.add_region(f.loop({{0, 0}, {100, 0}}));
    write_results(f.ctx);
    EXPECT_EQ(f.text(), "ly1\nlt2\nlc3\n") << "style " << style;
  }
}

TEST(HatchGuards, AngleCountAboveFourHatchesFourAngles) {
  OutputFixture f;
  f.settings.angle_count = 7;
  f.settings.pitches[0] = f.settings.pitches[1] = f.settings.pitches[2] = f.settings.pitches[3] = 50;
  f.add_region(f.rectangle(0, 0, 100, 100));
  write_results(f.ctx);
  EXPECT_EQ(f.segments().size(), 4u);  // the row at 50, once per angle
}

TEST(HatchGuards, StepLostInRoundingEndsTheRows) {
  OutputFixture f;
  f.add_region(f.rectangle(0, 1e6, 100, 2e6));
  hatch_bounds(f.ctx);
  Segment row;
  row.x1 = -10, row.x2 = 110;
  row.y1 = row.y2 = 1.5e6;
  hatch_rows(f.ctx, row, 1e-12);
  EXPECT_EQ(f.text(), "");
}

TEST(HatchGuards, RowLoopNoticesAnInterrupt) {
  OutputFixture f;
  f.settings.pitches[0] = 25;
  f.add_region(f.rectangle(0, 0, 100, 100));
  interrupt_requested = 1;
  EXPECT_THROW(write_results(f.ctx), Interrupted);
  EXPECT_EQ(interrupt_requested, 0);
}

}  // namespace
}  // namespace hatch
