#include "viewer/exchange_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>

#include "base/messages.h"
#include "support/scratch.h"

namespace hatch::view {
namespace {

constexpr double kNear = 1e-9;

void expect_at(const XY& p, double x, double y) {
  EXPECT_NEAR(p.x, x, kNear);
  EXPECT_NEAR(p.y, y, kNear);
}

InputState state_with_scales() {
  InputState in;
  for (double& s : in.group_scale) s = 100.0;
  in.group_scale[1] = 50.0;
  in.initial_color = 1;
  in.current_color = 1;
  return in;
}

TEST(ViewerOutput, ColourCommandRestrokesWhatFollows) {
  Picture p;
  OutputReplay replay(state_with_scales());
  replay.text(" 0 0 10 0\nlc2\n 0 0 0 10\nci 0 0 5\n", p);
  ASSERT_EQ(p.output.size(), 3u);
  EXPECT_EQ(p.output[0].stroke, palette_colour(1));  // the colour in force at input
  EXPECT_EQ(p.output[1].stroke, palette_colour(2));
  EXPECT_EQ(p.output[2].stroke, palette_colour(2));
  EXPECT_NE(palette_colour(1), palette_colour(2));
  std::string svg = render_svg(p);
  EXPECT_NE(svg.find("x1=\"0\" y1=\"0\" x2=\"0\" y2=\"10\" stroke=\"" + palette_colour(2) + "\""),
            std::string::npos);
  EXPECT_EQ(replay.tally().segments, 2);
  EXPECT_EQ(replay.tally().circles, 1);
}

TEST(ViewerOutput, PaletteRepeatsForAnyColourNumber) {
  EXPECT_EQ(palette_colour(18), palette_colour(2));
  EXPECT_EQ(palette_colour(-1), palette_colour(15));
}

TEST(ViewerOutput, SegmentLineNeedsItsLeadingBlankAndFourNumbers) {
  Picture p;
  OutputReplay replay(state_with_scales());
  replay.text(" 1.5 -2 3e2 4\r\n 1 2 3\n1 2 3 4\nz1\nzzz\n", p);
  ASSERT_EQ(p.output.size(), 1u);
  EXPECT_EQ(p.output[0].kind, ShapeKind::line);
  expect_at(p.output[0].points[0], 1.5, -2);
  expect_at(p.output[0].points[1], 300, 4);
}

TEST(ViewerOutput, QuarterArcRunsFromItsStartToItsEnd) {
  Picture p;
  OutputReplay replay(state_with_scales());
  replay.line("ci 10 20 5 0 90 1 0", p);
  ASSERT_EQ(p.output.size(), 1u);
  const Shape& a = p.output[0];
  EXPECT_EQ(a.kind, ShapeKind::polyline);
  expect_at(a.points.front(), 15, 20);
  expect_at(a.points.back(), 10, 25);
  EXPECT_GE(a.points.size(), 31u);  // chords of at most 3 degrees
  for (const XY& q : a.points) EXPECT_NEAR(std::hypot(q.x - 10, q.y - 20), 5, kNear);
}

TEST(ViewerOutput, ArcWithStartAboveEndRunsThroughZero) {
  Picture p;
  OutputReplay replay(state_with_scales());
  replay.line("ci 0 0 5 270 90 1 0", p);
  const Shape& a = p.output.at(0);
  expect_at(a.points.front(), 0, -5);
  expect_at(a.points.back(), 0, 5);
  expect_at(a.points[a.points.size() / 2], 5, 0);  // the right half, not the left
}

TEST(ViewerOutput, EllipticArcIsFlattenedThenTilted) {
  // Radius 10 along the tilt of 90 degrees, the other semi-axis 5.
  Picture p;
  OutputReplay replay(state_with_scales());
  replay.line("ci 0 0 10 0 90 0.5 90", p);
  const Shape& a = p.output.at(0);
  expect_at(a.points.front(), 0, 10);
  expect_at(a.points.back(), -5, 0);
}

TEST(ViewerOutput, EqualAnglesOrNoAnglesDrawTheWholeCurve) {
  Picture p;
  OutputReplay replay(state_with_scales());
  replay.text("ci 1 2 3\nci 1 2 3 40 40 1 0\nci 0 0 4 0 0 0.5 30\n", p);
  ASSERT_EQ(p.output.size(), 3u);
  EXPECT_EQ(p.output[0].kind, ShapeKind::circle);
  EXPECT_EQ(p.output[0].radius, 3);
  EXPECT_EQ(p.output[1].kind, ShapeKind::circle);
  const Shape& e = p.output[2];
  ASSERT_EQ(e.kind, ShapeKind::polyline);
  expect_at(e.points.front(), e.points.back().x, e.points.back().y);  // closed
  expect_at(e.points.front(), 4 * std::cos(std::numbers::pi / 6), 4 * std::sin(std::numbers::pi / 6));
}

TEST(ViewerOutput, TinyArcStaysTiny) {
  // The reader widens a near-zero range to a full turn; a written piece must not be.
  Picture p;
  OutputReplay replay(state_with_scales());
  replay.line("ci 0 0 100 10 10.2 1 0", p);
  const Shape& a = p.output.at(0);
  ASSERT_EQ(a.kind, ShapeKind::polyline);
  expect_at(a.points.back(), 100 * std::cos(10.2 * std::numbers::pi / 180),
            100 * std::sin(10.2 * std::numbers::pi / 180));
}

TEST(ViewerOutput, LayerGroupConvertsCoordinatesToTheInputUnits) {
  // Group 0 (in force at input) has scale 100, group 1 has 50: group-1 units are worth 2.
  Picture p;
  OutputReplay replay(state_with_scales());
  replay.text("lg1\n 10 10 20 10\nci 5 5 1\npt 1 1\nlg0\n 10 10 20 10\n", p);
  ASSERT_EQ(p.output.size(), 4u);
  expect_at(p.output[0].points[0], 20, 20);
  expect_at(p.output[0].points[1], 40, 20);
  expect_at(p.output[1].points[0], 10, 10);
  EXPECT_EQ(p.output[1].radius, 2);
  EXPECT_EQ(p.output[2].kind, ShapeKind::dot);
  expect_at(p.output[2].points[0], 2, 2);
  expect_at(p.output[3].points[1], 20, 10);
}

TEST(ViewerOutput, MessagesBecomeReadableCaptions) {
  Picture p;
  OutputReplay replay(state_with_scales());
  replay.text(std::string(msg::no_breaks) + msg::interrupted, p);
  ASSERT_EQ(p.captions.size(), 2u);
  EXPECT_NE(p.captions[0].find("断線箇所"), std::string::npos) << p.captions[0];
  EXPECT_EQ(p.captions[0].find("h#"), std::string::npos);
  EXPECT_NE(p.captions[1].find("中断"), std::string::npos);
  EXPECT_EQ(replay.tally().messages, 2);
}

TEST(ViewerOutput, BytesThatAreNotShiftJisAreShownEscaped) {
  EXPECT_EQ(sjis_to_utf8("ab\x82"), "ab\\x82");  // a lead byte without its trail byte
  EXPECT_EQ(sjis_to_utf8("\xb1"), "ｱ");          // half-width katakana
  EXPECT_EQ(sjis_to_utf8(""), "");
}

// Writes `text` to a temporary stream and reads it with the program's reader.
struct ReadBack {
  Settings settings;
  InputState input;
  EntityStore store;
  InputExtras extras;
  Picture picture;
  Tally tally;

  explicit ReadBack(const char* text) {
    test::TextStream f(text);
    read_input_stream(f.get(), settings, input, store, extras);
    tally = draw_input(store, input, extras, picture);
  }

  const Shape* find(const char* css, std::size_t nth = 0) const {
    for (const Shape& s : picture.input) {
      if (s.css_class == css && nth-- == 0) return &s;
    }
    return nullptr;
  }
};

constexpr const char* kHeader =
    "hs 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10\n"
    "cn0 3 3 0 1\n"
    "lg0\nly1\nlc1\nlt0\n#\n";

TEST(ViewerInput, EntitiesAreDrawnWhereTheReaderPutsThem) {
  ReadBack r((std::string(kHeader) + " 0 0 100 0\n"
                                     "ci 10 20 5 0 90 1 0\n"
                                     "ci 50 50 8\n"
                                     "hp3 30 40\n")
                 .c_str());
  EXPECT_EQ(r.tally.segments, 1);
  EXPECT_EQ(r.tally.arcs, 1);
  EXPECT_EQ(r.tally.circles, 1);
  EXPECT_EQ(r.tally.picks, 1);

  const Shape* seg = r.find("segment");
  ASSERT_NE(seg, nullptr);
  expect_at(seg->points[0], 0, 0);
  expect_at(seg->points[1], 100, 0);

  const Shape* arc = r.find("arc");
  ASSERT_NE(arc, nullptr);
  expect_at(arc->points.front(), 15, 20);
  expect_at(arc->points.back(), 10, 25);

  const Shape* circle = r.find("circle");
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->radius, 8);

  const Shape* pick = r.find("pick");
  ASSERT_NE(pick, nullptr);
  EXPECT_EQ(pick->kind, ShapeKind::cross);
  expect_at(pick->points[0], 30, 40);
  EXPECT_NE(render_svg(r.picture).find("<path class=\"pick\" transform=\"translate(30,40)\""),
            std::string::npos);
}

TEST(ViewerInput, CircleTiltIsFoldedIntoItsAngles) {
  // Start 0 and end 90 measured from a tilt of 90: the arc runs from the top to the left.
  ReadBack r((std::string(kHeader) + "ci 0 0 10 0 90 1 90\n").c_str());
  const Shape* arc = r.find("arc");
  ASSERT_NE(arc, nullptr);
  expect_at(arc->points.front(), 0, 10);
  expect_at(arc->points.back(), -10, 0);
}

TEST(ViewerInput, HatchOriginAndReferencePointAreMarkedOnlyWhenGiven) {
  ReadBack none((std::string(kHeader) + " 0 0 100 0\n").c_str());
  EXPECT_EQ(none.find("hp1"), nullptr);
  EXPECT_EQ(none.find("hp2"), nullptr);

  ReadBack both((std::string(kHeader) + " 0 0 100 0\nhp2 5 6\nhp1 7 8\n").c_str());
  const Shape* hp2 = both.find("hp2");
  const Shape* hp1 = both.find("hp1");
  ASSERT_NE(hp2, nullptr);
  ASSERT_NE(hp1, nullptr);
  expect_at(hp2->points[0], 5, 6);
  expect_at(hp1->points[0], 7, 8);
  EXPECT_EQ(hp2->label, "hp2");
  EXPECT_NE(render_svg(both.picture).find("<g class=\"hp2\" transform=\"translate(5,6)\""),
            std::string::npos);
}

TEST(ViewerInput, TextBoxIsDrawnDashedAndLabelled) {
  // Text type 0 is 3 high, times the group scale 10: a box 40 long and 30 high.
  ReadBack r((std::string(kHeader) + "ch 0 0 40 0 \"AB\"\n").c_str());
  EXPECT_EQ(r.tally.text_edges, 4);
  const Shape* edge = r.find("text-box");
  ASSERT_NE(edge, nullptr);
  EXPECT_TRUE(edge->dashed);
  const Shape* label = r.find("text");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->label, "AB");
  EXPECT_NEAR(label->angle_deg, 0, kNear);
  EXPECT_NEAR(label->size, 22.5, kNear);
  expect_at(label->points[0], 3, 6);  // in from the corner by a tenth and a fifth of the height
}

TEST(ViewerInput, TextStaysInsideBoxesOfEveryShape) {
  // Boxes 30 high (text type 0, 3 times the group scale 10), from a sliver to a long strip.
  for (const char* len : {"2", "6", "40", "400"}) {
    for (const char* text : {"B", "B^1", "ABCDEFGHIJ"}) {
      ReadBack r((std::string(kHeader) + "ch 0 0 " + len + " 0 \"" + text + "\"\n").c_str());
      const Shape* label = r.find("text");
      ASSERT_NE(label, nullptr);
      const double box = std::stod(len), chars = static_cast<double>(std::strlen(text));
      SCOPED_TRACE(std::string(len) + " " + text);
      // The glyphs are set to fit_width; a font's em holds them from a quarter below the baseline to its top.
      EXPECT_GE(label->points[0].x, 0.0);
      EXPECT_LE(label->points[0].x + label->fit_width, box + kNear);
      EXPECT_GT(label->fit_width, 0.0);
      EXPECT_GE(label->points[0].y - 0.25 * label->size, 0.0);
      EXPECT_LE(label->points[0].y + label->size, 30.0 + kNear);
      // Not squeezed into slivers: at this size the glyphs would need about the width they get.
      EXPECT_LE(0.5 * chars * label->size, label->fit_width + kNear);
    }
  }
}

TEST(ViewerInput, TurnedTextFollowsItsBaseline) {
  ReadBack r((std::string(kHeader) + "ch 10 0 0 40 \"UP\"\n").c_str());
  const Shape* label = r.find("text");
  ASSERT_NE(label, nullptr);
  EXPECT_NEAR(label->angle_deg, 90, kNear);
  expect_at(label->points[0], 10 - 6, 3);
}

TEST(ViewerInput, OptionTextsMakeNoLabel) {
  ReadBack r((std::string(kHeader) + "ch 0 0 40 0 \"/e0\"\nch 0 100 40 0 \"CD\"\n").c_str());
  EXPECT_EQ(r.extras.texts.size(), 1u);
  const Shape* label = r.find("text");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->label, "CD");
  EXPECT_EQ(r.find("text", 1), nullptr);
}

TEST(ViewerInput, MessagesOfALoneFileAreKept) {
  ReadBack r((std::string(msg::breaks_found) + "ci 0 0 5\n").c_str());
  ASSERT_EQ(r.extras.messages.size(), 1u);
  EXPECT_NE(r.extras.messages[0].find("断線箇所"), std::string::npos);
}

}  // namespace
}  // namespace hatch::view
