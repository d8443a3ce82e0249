#include "output/exchange_writer.h"
#include "output/output_phase.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <string>

#include "base/messages.h"
#include "geometry/primitives.h"
#include "support/output_fixture.h"

namespace hatch {
namespace {

using test::OutputFixture;

TEST(WriterAttributes, HatchSetWritesOnlyWhatDiffers) {
  OutputFixture f;
  f.settings.hatch_attr[0] = {10, 2, 3};
  f.settings.hatch_attr[1] = {10, 5, 3};
  select_hatch_attr(f.ctx, 0);
  select_hatch_attr(f.ctx, 0);
  select_hatch_attr(f.ctx, 1);
  EXPECT_EQ(f.text(), "lya\nlt2\nlc3\nlt5\n");
}

TEST(WriterAttributes, FirstFigureElementWritesPenAfterTheOthers) {
  OutputFixture f;
  f.ctx.wanted = {3, 2, 11, 0};
  emit_wanted_attributes(f.ctx);
  emit_wanted_attributes(f.ctx);  // same element attributes again: nothing
  f.ctx.wanted.color = 4;
  emit_wanted_attributes(f.ctx);
  EXPECT_EQ(f.text(), "lc3\nlt2\nlyb\npn0\nlc4\n");
}

TEST(WriterAttributes, RestoreWritesTheInitialAttributesInOrder) {
  OutputFixture f;
  f.input.initial_group = 1;
  f.input.initial_layer = 10;
  f.input.initial_color = 4;
  f.input.initial_line_type = 5;
  f.input.initial_pen = 7;
  restore_initial_attributes(f.out, f.input);
  EXPECT_EQ(f.text(), "lg1\nlya\nlc4\nlt5\n");
}

TEST(WriterAttributes, NormalizeDegreesFoldsIntoOneTurn) {
  EXPECT_EQ(normalize_degrees(-30.0), 330.0);
  EXPECT_EQ(normalize_degrees(360.0), 0.0);
  EXPECT_EQ(normalize_degrees(400.0), 40.0);
  EXPECT_EQ(normalize_degrees(0.0), 0.0);
  EXPECT_EQ(normalize_degrees(-400.0), -40.0);
}

TEST(WriterOutline, NoRegionGivesOnlyTheRestoreLines) {
  OutputFixture f;
  f.settings.outline_on = 1;
  write_results(f.ctx);
  restore_initial_attributes(f.out, f.input);
  EXPECT_EQ(f.text(), "lg0\nly0\nlc0\nlt0\n");
}

TEST(WriterOutline, RegionIndexIsTheLayerInHexAndCoordinatesTakeTheGroupScale) {
  OutputFixture f;
  f.settings.outline_group = 2;
  f.input.group_scale[2] = 200.0;  // twice the initial group's scale
  f.input.initial_group = 0;
  write_outline(f.ctx, 16, f.loop({{0, 0}, {10, 0}, {0, 5}}));
  EXPECT_EQ(f.text(),
            "lg2\nlt2\nlc3\nly10\n"
            " 0 0 20 0\n 20 0 0 10\n 0 10 0 0\n"
            "lg0\n");
  EXPECT_EQ(f.ctx.state.layer, -1);
  EXPECT_EQ(f.ctx.state.line_type, -1);
  EXPECT_EQ(f.ctx.state.color, -1);
  EXPECT_EQ(f.ctx.state.pen, -1);
}

TEST(WriterOutline, ArcOverSeveralEdgesIsWrittenOnceAndATrailingArcIsNotLost) {
  OutputFixture f;
  Arc a;
  a.cx = 5, a.cy = 5, a.r = 5, a.start_deg = -30, a.end_deg = 90, a.flatness = 0.5, a.tilt_deg = 15;
  Arc b;
  b.cx = 1, b.cy = 2, b.r = 3, b.start_deg = 180, b.end_deg = 360, b.flatness = 1, b.tilt_deg = 0;
  Segment* s1 = f.chain({f.edge(0, 0, 10, 0), f.edge(10, 0, 10, 5, &a), f.edge(10, 5, 10, 10, &a),
                          f.edge(10, 10, 0, 10), f.edge(0, 10, 0, 0, &b)});
  write_outline(f.ctx, 1, s1);
  EXPECT_EQ(f.text(),
            "lg0\nlt2\nlc3\nly1\n"
            " 0 0 10 0\n"
            "ci 5 5 5 330 90 0.5 15\n"
            " 10 10 0 10\n"
            "ci 1 2 3 180 0 1 0\n"
            "lg0\n");
}

TEST(WriterOutline, AdjacentArcsAreWrittenEachInTurn) {
  OutputFixture f;
  Arc a, b;
  a.r = 1, b.r = 2;
  Segment* ca = f.chain({f.edge(0, 0, 1, 0, &a), f.edge(1, 0, 0, 0, &b)});
  write_outline(f.ctx, 0, ca);
  EXPECT_EQ(f.text(), "lg0\nlt2\nlc3\nly0\nci 0 0 1 0 0 1 0\nci 0 0 2 0 0 1 0\nlg0\n");
}

TEST(WriterOutline, OutlinesPrecedeTheHatchWhichSelectsItsAttributesAfresh) {
  OutputFixture f;
  f.settings.outline_on = 1;
  f.settings.z_flag = 1;
  f.settings.pitches[0] = 100.0;
  Region* r = f.add_region(f.rectangle(0, 0, 100, 100), 1);
  f.add_island(r, f.rectangle(40, 40, 60, 60));
  write_results(f.ctx);
  // Rows at -200, -100 and 0 (along the bottom edge): crossings but nothing inside.
  EXPECT_EQ(f.text(),
            "lg0\nlt2\nlc3\nly1\n 0 0 100 0\n 100 0 100 100\n 100 100 0 100\n 0 100 0 0\nlg0\n"
            "lg0\nlt2\nlc3\nly1\n 40 40 60 40\n 60 40 60 60\n 60 60 40 60\n 40 60 40 40\nlg0\n"
            "ly1\nlt2\nlc3\n");
}

TEST(WriterBreakReport, EmptyMarkerListWritesTheNoBreakLineWithoutBell) {
  OutputFixture f;
  f.settings.break_check = 1;
  testing::internal::CaptureStdout();
  write_break_report(f.ctx);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(f.text(), std::string("ly1\nlt2\nlc3\n") + msg::no_breaks);
}

TEST(WriterBreakReport, MarkersRingTheBellAndBecomeCirclesInListOrder) {
  OutputFixture f;
  f.input.current_group = 3;
  f.input.group_scale[3] = 50.0;
  f.input.current_pen = 4;
  Point p1, p2;
  p1.x = 10, p1.y = 20;
  p2.x = -1.5, p2.y = 0.25;
  p1.next = &p2;
  f.results.break_marker_list = &p1;
  testing::internal::CaptureStdout();
  write_break_report(f.ctx);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\a");
  EXPECT_EQ(f.text(), std::string("ly1\nlt2\nlc3\n") + msg::breaks_found + "ci 10 20 100\nci -1.5 0.25 100\n");
  EXPECT_EQ(f.ctx.state.pen, 4);
}

TEST(WriterBreakReport, SilentModeWritesTheMessageWithoutBell) {
  OutputFixture f;
  f.settings.break_marks = 0;
  Point p;
  f.results.break_marker_list = &p;
  testing::internal::CaptureStdout();
  write_break_report(f.ctx);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(f.text(), std::string("ly1\nlt2\nlc3\n") + msg::breaks_found + "ci 0 0 200\n");
}

TEST(WriterElements, HatchSegmentTurnsByTheAngleBeingHatchedAndMovesToTheOrigin) {
  OutputFixture f;
  f.input.hp2_x = 5;
  f.input.hp2_y = 5;
  f.settings.angles[1] = pi / 2;
  f.ctx.angle_index = 1;
  write_hatch_segment(f.ctx, 10, 0, 20, 0);
  f.settings.hatch_style = HatchStyle::brick;  // other styles use the first angle only
  write_hatch_segment(f.ctx, 10, 0, 20, 0);
  auto s = f.segments();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_NEAR(s[0][0], 5, 1e-9);
  EXPECT_NEAR(s[0][1], 15, 1e-9);
  EXPECT_NEAR(s[0][2], 5, 1e-9);
  EXPECT_NEAR(s[0][3], 25, 1e-9);
  EXPECT_EQ(s[1], (std::vector<double>{15, 5, 25, 5}));
}

TEST(WriterElements, FigureArcTiltFollowsTheHatchAngleOnlyForTiledCopies) {
  OutputFixture f;
  f.input.hp2_x = 1;
  f.settings.angles[0] = pi;  // half a turn
  Arc a;
  a.r = 2, a.start_deg = -90, a.end_deg = 360, a.flatness = 0.5, a.tilt_deg = 10;
  write_figure_arc(f.ctx, 3, 0, a);
  f.settings.figure_variant = FigureVariant::whole;
  write_figure_arc(f.ctx, 3, 0, a);
  auto v = f.numbers("ci ");
  ASSERT_EQ(v.size(), 2u);
  for (auto& r : v) {
    ASSERT_EQ(r.size(), 7u);
    EXPECT_NEAR(r[0], -2, 1e-9);
    EXPECT_NEAR(r[1], 0, 1e-9);
    EXPECT_EQ(r[2], 2);
    EXPECT_EQ(r[3], 270);
    EXPECT_EQ(r[4], 0);
    EXPECT_EQ(r[5], 0.5);
  }
  EXPECT_NEAR(v[0][6], 190, 1e-9);
  EXPECT_EQ(v[1][6], 10);
}

TEST(WriterElements, FigurePointAndZMarker) {
  OutputFixture f;
  f.input.hp2_x = 2;
  f.input.hp2_y = -3;
  write_z_marker(f.ctx);
  write_figure_point(f.ctx, 1, 1);
  f.settings.z_flag = 1;
  write_z_marker(f.ctx);
  EXPECT_EQ(f.text(), "pt 3 -2\nz1\n");
}

}  // namespace
}  // namespace hatch

namespace hatch {
namespace {

// Every number the writers put in a line is spelled as "%1.15g" spells it: random
// bit patterns (subnormals, infinities and not-a-numbers of either sign among
// them), decimals of every size, and the neighbours of powers of ten and of
// halfway cases, where rounding to 15 digits is decided.
TEST(WriterNumbers, SpelledAsPrintfSpellsThem) {
  std::mt19937_64 rng(11);
  std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.5, 1e-5, 1e-4, 123456789012345.0, 1234567890123456.0,
                                std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max()};
  for (int i = 0; i < 20000; ++i) values.push_back(std::bit_cast<double>(rng()));
  for (int e = -320; e <= 308; ++e) {
    const double p = std::pow(10.0, e);
    for (double m : {1.0, 5.0, 9.999999999999995, 1.000000000000005, 2.5, 0.1234567890123455}) {
      const double v = m * p;
      values.insert(values.end(), {v, std::nextafter(v, 0.0), std::nextafter(v, INFINITY), -v});
    }
  }
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int i = 0; i < 20000; ++i) values.push_back(unit(rng) * std::pow(10.0, static_cast<int>(rng() % 40) - 20));
  for (double v : values) {
    char want[64], got[kNumberRoom + 1];
    std::snprintf(want, sizeof want, "%1.15g", v);
    *put_number(got, v) = '\0';
    ASSERT_STREQ(got, want) << "bits " << std::bit_cast<std::uint64_t>(v);
  }
}

}  // namespace
}  // namespace hatch
