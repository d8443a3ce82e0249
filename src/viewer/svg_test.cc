#include "viewer/svg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace hatch::view {
namespace {

Shape line(double x1, double y1, double x2, double y2) {
  Shape s;
  s.kind = ShapeKind::line;
  s.points = {{x1, y1}, {x2, y2}};
  s.stroke = "#123456";
  s.css_class = "segment";
  return s;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ViewerSvg, SegmentKeepsDrawingCoordinatesInsideTheFlippedGroup) {
  Picture p;
  p.output.push_back(line(10, 20, 30, 40.5));
  std::string svg = render_svg(p);
  EXPECT_TRUE(
      has(svg, "<line class=\"segment\" x1=\"10\" y1=\"20\" x2=\"30\" y2=\"40.5\" stroke=\"#123456\"/>"));
  std::size_t flip = svg.find("<g class=\"drawing\" transform=\"scale(1,-1)\"");
  ASSERT_NE(flip, std::string::npos);
  EXPECT_LT(flip, svg.find("<line"));
  EXPECT_LT(svg.find("<g class=\"input\""), svg.find("<g class=\"output\""));  // output drawn on top
}

TEST(ViewerSvg, ViewBoxFitsTheExtentWithAMarginAndYUpwards) {
  // Extent 100 x 50, margin 4% of 100 on every side: x from -4 to 104, y from -4 to 54;
  // flipped, the top edge of the view is -54.
  Picture p;
  p.input.push_back(line(0, 0, 100, 50));
  std::string svg = render_svg(p);
  EXPECT_TRUE(has(svg, "viewBox=\"-4 -54 108 58\"")) << svg;
  EXPECT_TRUE(has(svg, "width=\"1200\""));  // width limits: 1200 / 108 px per unit
  EXPECT_TRUE(has(svg, "height=\"644\""));  // 58 * 1200 / 108 = 644.4
}

TEST(ViewerSvg, CircleWidensTheExtentByItsRadius) {
  Picture p;
  Shape c;
  c.kind = ShapeKind::circle;
  c.points = {{0, 0}};
  c.radius = 10;
  p.output.push_back(c);
  Extent e = picture_extent(p);
  EXPECT_EQ(e.min_x, -10);
  EXPECT_EQ(e.max_y, 10);
  EXPECT_TRUE(has(render_svg(p), "<circle cx=\"0\" cy=\"0\" r=\"10\""));
}

TEST(ViewerSvg, NonFiniteShapesAreLeftOutAndDoNotStretchTheView) {
  Picture p;
  p.input.push_back(line(0, 0, 100, 50));
  p.input.push_back(line(0, 0, std::numeric_limits<double>::infinity(), 5));
  p.input.push_back(line(std::nan(""), 0, 1, 1));
  std::string svg = render_svg(p);
  EXPECT_TRUE(has(svg, "viewBox=\"-4 -54 108 58\""));
  EXPECT_FALSE(has(svg, "inf"));
  EXPECT_FALSE(has(svg, "nan"));
}

TEST(ViewerSvg, EmptyPictureIsStillAValidDocument) {
  std::string svg = render_svg(Picture{});
  EXPECT_TRUE(has(svg, "<svg xmlns=\"http://www.w3.org/2000/svg\""));
  EXPECT_TRUE(has(svg, "</svg>"));
  EXPECT_FALSE(has(svg, "nan"));
}

TEST(ViewerSvg, PickCrossIsCentredOnThePoint) {
  Picture p;
  Shape c;
  c.kind = ShapeKind::cross;
  c.points = {{3, 4}};
  c.css_class = "pick";
  p.input.push_back(c);
  p.input.push_back(line(0, 0, 100, 0));
  std::string svg = render_svg(p);
  std::size_t at = svg.find("<path class=\"pick\" transform=\"translate(3,4)\" d=\"M -");
  ASSERT_NE(at, std::string::npos) << svg;
  // The two strokes run through the local origin: horizontal, then vertical.
  std::string el = svg.substr(at, svg.find("/>", at) - at);
  EXPECT_TRUE(has(el, " 0 H ")) << el;
  EXPECT_TRUE(has(el, "M 0 -")) << el;
}

TEST(ViewerSvg, CaptionStandsOutsideTheFlipAndIsEscaped) {
  Picture p;
  p.input.push_back(line(0, 0, 100, 50));
  p.captions = {"a<b & \"c\""};
  std::string svg = render_svg(p);
  std::size_t caption = svg.find("<text class=\"caption\"");
  ASSERT_NE(caption, std::string::npos);
  EXPECT_GT(caption, svg.rfind("</g>"));
  EXPECT_TRUE(has(svg, ">a&lt;b &amp; &quot;c&quot;</text>"));
  // The band for the caption is added above the drawing: the view starts higher than -54.
  EXPECT_FALSE(has(svg, "viewBox=\"-4 -54 "));
}

TEST(ViewerSvg, TextIsTurnedAboutItsBaselineAndFlippedUpright) {
  Picture p;
  Shape t;
  t.kind = ShapeKind::text;
  t.points = {{5, 6}};
  t.angle_deg = 90;
  t.size = 7;
  t.label = "A-A";
  p.input.push_back(t);
  EXPECT_TRUE(has(render_svg(p), "transform=\"translate(5,6) rotate(90) scale(1,-1)\" font-size=\"7\""));
}

TEST(ViewerSvg, NumbersArePlainAndPrecise) {
  EXPECT_EQ(format_number(-0.0), "0");
  EXPECT_EQ(format_number(2.5), "2.5");
  EXPECT_EQ(format_number(-1234567.125), "-1234567.125");
  EXPECT_EQ(format_number(1.0 / 3.0), "0.333333333333");
  EXPECT_EQ(xml_escape("x\x01y"), "x y");  // control bytes are not allowed in XML text
}

}  // namespace
}  // namespace hatch::view
