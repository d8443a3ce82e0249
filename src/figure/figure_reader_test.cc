#include "figure/figure_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/messages.h"
#include "geometry/primitives.h"
#include "support/scratch.h"

namespace hatch {
namespace {

namespace fs = std::filesystem;

struct LineRec {
  float x1, y1, x2, y2;
  int line_type = 1, color = 1, layer = 1;
};

struct ArcRec {
  float cx, cy, r;
  int flatness = 10000;
  std::int32_t start = 0, end = 0, tilt = 0;  // 16.16 fixed-point degrees
  int line_type = 1, color = 1, layer = 1;
};

struct PointRec {
  float x, y;
  int layer = 1, pen = 1;
};

// Writes the binary figure layout byte by byte, little-endian.
class FigureBytes {
 public:
  explicit FigureBytes(const std::string& magic = "plodix(c)sym") {
    bytes_.assign(200, 0);
    std::memcpy(bytes_.data(), magic.data(), std::min<std::size_t>(magic.size(), 200));
  }
  FigureBytes& counts(const std::string& text) {
    std::vector<std::uint8_t> block(200, 0);
    std::memcpy(block.data(), text.data(), text.size());
    bytes_.insert(bytes_.end(), block.begin(), block.end());
    return *this;
  }
  FigureBytes& line(const LineRec& l) {
    for (float v : {l.x1, l.y1, l.x2, l.y2}) f32(v);
    for (int v : {l.line_type, l.color, l.layer, 0, 0, 0}) u8(v);
    return *this;
  }
  FigureBytes& arc(const ArcRec& a) {
    for (float v : {a.cx, a.cy, a.r}) f32(v);
    u8(a.flatness & 0xFF);
    u8((a.flatness >> 8) & 0xFF);
    for (std::int32_t v : {a.start, a.end, a.tilt}) u32(static_cast<std::uint32_t>(v));
    for (int v : {a.line_type, a.color, a.layer, 0, 0, 0}) u8(v);
    return *this;
  }
  FigureBytes& point(const PointRec& p) {
    for (float v : {p.x, p.y}) f32(v);
    for (int v : {p.layer, p.pen, 0, 0}) u8(v);
    return *this;
  }
  FigureBytes& truncate(std::size_t n) {
    bytes_.resize(bytes_.size() - n);
    return *this;
  }
  void write(const fs::path& path) const {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  }

 private:
  void u8(int v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void f32(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    u32(bits);
  }

  std::vector<std::uint8_t> bytes_;
};

class FigureReader : public ::testing::Test {
 protected:
  void SetUp() override { settings_.figure_file_name = (dir_ / "tile").string(); }

  void read(double turn = 0.0) { read_figure_file(settings_, input_, store_, figure_, turn); }
  std::string failure_of_read() {
    try {
      read();
    } catch (const Failure& f) {
      return f.message;
    }
    return "(no failure)";
  }

  test::ScratchDir dir_;
  Settings settings_;
  InputState input_;
  EntityStore store_;
  FigureData figure_;
};

int count(const FigureLine* l) {
  int n = 0;
  for (; l != nullptr; l = l->next) ++n;
  return n;
}

TEST_F(FigureReader, NameGetsTheExtensionAppended) {
  FigureBytes().counts("1,0,0,0").line({0, 0, 10, 0}).write(dir_ / "tile.plk");
  FigureBytes().counts("2,0,0,0").line({0, 0, 10, 0}).line({0, 0, 20, 0}).write(dir_ / "tile.plk.plk");
  read();
  EXPECT_EQ(count(figure_.lines), 1);

  FigureData second;
  settings_.figure_file_name = (dir_ / "tile.plk").string();
  read_figure_file(settings_, input_, store_, second, 0.0);
  EXPECT_EQ(count(second.lines), 2);
}

TEST_F(FigureReader, FailuresCarryTheirMessages) {
  const std::string missing = (dir_ / "tile.plk").string();
  EXPECT_EQ(failure_of_read(), figure_open_failed_message(missing, std::strerror(ENOENT)));

  FigureBytes("plodix(c)syn").counts("0,0,0,0").write(dir_ / "tile.plk");
  EXPECT_EQ(failure_of_read(), msg::figure_bad_magic);

  {
    std::ofstream(dir_ / "tile.plk", std::ios::binary) << "plodix";
  }
  EXPECT_EQ(failure_of_read(), msg::figure_bad_magic);

  FigureBytes().counts("0,0,0,0").truncate(1).write(dir_ / "tile.plk");
  EXPECT_EQ(failure_of_read(), msg::figure_bad_counts);

  FigureBytes().counts("2,0,0,0").line({0, 0, 1, 1}).line({0, 0, 1, 1}).truncate(1).write(dir_ / "tile.plk");
  EXPECT_EQ(failure_of_read(), msg::figure_line_read);

  FigureBytes().counts("0,1,0,0").arc({0, 0, 1}).truncate(1).write(dir_ / "tile.plk");
  EXPECT_EQ(failure_of_read(), msg::figure_arc_read);

  FigureBytes().counts("0,0,1,0").point({0, 0}).truncate(1).write(dir_ / "tile.plk");
  EXPECT_EQ(failure_of_read(), msg::figure_line_read);
}

TEST_F(FigureReader, HugeCountsFailOnTheFirstMissingRecord) {
  FigureBytes().counts("2147483647,0,0,0").line({0, 0, 1, 1}).write(dir_ / "tile.plk");
  EXPECT_EQ(failure_of_read(), msg::figure_line_read);
  EXPECT_EQ(count(figure_.lines), 1);
}

TEST_F(FigureReader, ZeroCountsGiveEmptyListsAndTheNegativeStartExtent) {
  FigureBytes().counts("0\t,0,0,0").write(dir_ / "tile.plk");
  read();
  EXPECT_EQ(figure_.lines, nullptr);
  EXPECT_EQ(figure_.arcs, nullptr);
  EXPECT_EQ(figure_.points, nullptr);
  EXPECT_EQ(figure_.width, -200000.0);
  EXPECT_EQ(figure_.height, -200000.0);
}

TEST_F(FigureReader, CountBlockFollowsTheCountPattern) {
  FigureCounts c = parse_figure_counts(" 3 \t ,2,1,7");
  EXPECT_EQ(c.lines, 3);
  EXPECT_EQ(c.arcs, 2);
  EXPECT_EQ(c.points, 1);

  c = parse_figure_counts("4,5");
  EXPECT_EQ(c.lines, 4);
  EXPECT_EQ(c.arcs, 5);
  EXPECT_EQ(c.points, 0);

  c = parse_figure_counts("4, 5 ,6");  // no blank may stand before the second comma
  EXPECT_EQ(c.arcs, 5);
  EXPECT_EQ(c.points, 0);

  c = parse_figure_counts("lines");
  EXPECT_EQ(c.lines, 0);
  EXPECT_EQ(c.arcs, 0);

  c = parse_figure_counts("-5,+2,-1");
  EXPECT_EQ(c.lines, 0);
  EXPECT_EQ(c.arcs, 2);
  EXPECT_EQ(c.points, 0);

  EXPECT_EQ(parse_figure_counts("99999999999999999999,0").lines, 2147483647);
}

TEST_F(FigureReader, LinesAreScaledKeptToSevenDigitsAndListedInReverse) {
  settings_.figure_scale = 2.0;
  FigureBytes()
      .counts("3,0,0,0")
      .line({0.1f, 0, 10, 0, 2, 0x25, 0x13})
      .line({0, 0, 0, 30})
      .line({-50, -5, 50, 5, 9, 1, 1})  // construction frame: extent only
      .write(dir_ / "tile.plk");
  read();
  ASSERT_EQ(count(figure_.lines), 2);
  const FigureLine* second = figure_.lines;
  const FigureLine* first = second->next;
  EXPECT_EQ(second->y2, 60.0);
  // 0.1f is 0.100000001490116...; seven digits make it the double nearest 0.1.
  EXPECT_EQ(first->x1, 0.2);
  EXPECT_EQ(first->x2, 20.0);
  EXPECT_EQ(first->attr, 0x523u);
  EXPECT_EQ(figure_.width, 200.0);
  EXPECT_EQ(figure_.height, 60.0 - -10.0);
  // The last record read leaves its attributes current.
  EXPECT_EQ(input_.current_line_type, 9);
}

TEST_F(FigureReader, ArcsGoThroughTheArcGrammarWithoutGroupFactor) {
  input_.group_scale[0] = 100.0;
  input_.group_scale[1] = 50.0;
  input_.current_group = 1;  // would double exchange-file arcs
  settings_.figure_scale = 3.0;
  FigureBytes()
      .counts("0,3,0,0")
      .arc({10, 20, 5, 10000, 30 * 65536, 30 * 65536, 0, 2, 3, 0x14})  // start = end: full circle
      .arc({0, 0, 1, 10000, 0, 0, 0, 9, 1, 1})                          // construction: dropped
      .arc({1, 2, 4, 5000, -90 * 65536, 90 * 65536, 1, 1, 1, 1})
      .write(dir_ / "tile.plk");
  read();
  ASSERT_NE(figure_.arcs, nullptr);
  const Arc* ellipse = figure_.arcs;
  ASSERT_NE(ellipse->next, nullptr);
  const Arc* circle = ellipse->next;
  EXPECT_EQ(circle->next, nullptr);

  EXPECT_EQ(circle->cx, 30.0);
  EXPECT_EQ(circle->cy, 60.0);
  EXPECT_EQ(circle->r, 15.0);
  EXPECT_EQ(circle->start_deg, 0.0);
  EXPECT_EQ(circle->end_deg, 360.0);
  EXPECT_NEAR(circle->end - circle->start, 2 * pi, 1e-12);
  EXPECT_EQ(circle->attr, 0x324u);

  EXPECT_EQ(ellipse->flatness, 0.5);
  EXPECT_EQ(ellipse->start_deg, -90.0);
  EXPECT_EQ(ellipse->end_deg, 90.0);
  EXPECT_EQ(ellipse->tilt_deg, 0.0);  // 1/65536 of a degree is 0.0000
  EXPECT_EQ(ellipse->r, 12.0);
  // Arcs do not widen the extent.
  EXPECT_EQ(figure_.width, -200000.0);
}

TEST_F(FigureReader, ElementsThatTheScaleCarriesBeyondRangeAreLeftOut) {
  // 1e300 times 1e10 is beyond every double; 1e300 times 1 is not.
  settings_.figure_scale = 1e300;
  FigureBytes()
      .counts("2,2,2,0")
      .line({0, 0, 1e10f, 0})
      .line({0, 0, 1, 1})
      .arc({0, 0, 1e10f})
      .arc({1, 0, 1})
      .point({1e10f, 0})
      .point({0, 1})
      .write(dir_ / "tile.plk");
  read();
  ASSERT_EQ(count(figure_.lines), 1);
  EXPECT_EQ(figure_.lines->x2, 1e300);
  EXPECT_EQ(figure_.width, 1e300);  // the line left out does not widen the extent either
  ASSERT_NE(figure_.arcs, nullptr);
  EXPECT_EQ(figure_.arcs->cx, 1e300);
  EXPECT_EQ(figure_.arcs->next, nullptr);
  EXPECT_EQ(store_.arcs.live(), 1u);
  ASSERT_NE(figure_.points, nullptr);
  EXPECT_EQ(figure_.points->y, 1e300);
  EXPECT_EQ(figure_.points->next, nullptr);
}

TEST_F(FigureReader, PointsCarryLayerAndPenInReverseOrder) {
  FigureBytes().counts("0,0,2,0").point({1, 2, 0x12, 0x34}).point({3, 4, 5, 6}).write(dir_ / "tile.plk");
  read();
  ASSERT_NE(figure_.points, nullptr);
  EXPECT_EQ(figure_.points->x, 3.0);
  EXPECT_EQ(figure_.points->attr, 0x65u);
  ASSERT_NE(figure_.points->next, nullptr);
  EXPECT_EQ(figure_.points->next->y, 2.0);
  EXPECT_EQ(figure_.points->next->attr, 0x42u);
  EXPECT_EQ(input_.current_pen, 6);
  EXPECT_EQ(input_.current_layer, 5);
}

TEST_F(FigureReader, WholeCopyFigureTurnsByMinusTheAngle) {
  FigureBytes()
      .counts("1,1,1,0")
      .line({10, 0, 20, 0})
      .arc({10, 0, 1, 5000, 0, 90 * 65536, 0})
      .point({0, 5})
      .write(dir_ / "tile.plk");
  settings_.figure_variant = FigureVariant::tiled;
  read(pi / 2);
  EXPECT_EQ(figure_.lines->y1, 0.0);  // tiled figures are not turned

  FigureData turned;
  settings_.figure_variant = FigureVariant::whole;
  read_figure_file(settings_, input_, store_, turned, pi / 2);
  EXPECT_NEAR(turned.lines->x1, 0.0, 1e-12);
  EXPECT_NEAR(turned.lines->y1, -10.0, 1e-12);
  EXPECT_NEAR(turned.lines->y2, -20.0, 1e-12);
  EXPECT_NEAR(turned.width, 0.0, 1e-12);
  EXPECT_NEAR(turned.height, 10.0, 1e-12);
  EXPECT_NEAR(turned.arcs->cx, 0.0, 1e-12);
  EXPECT_NEAR(turned.arcs->cy, -10.0, 1e-12);
  EXPECT_EQ(turned.arcs->tilt_deg, 0.0);
  EXPECT_NEAR(turned.points->x, 5.0, 1e-12);
  EXPECT_NEAR(turned.points->y, 0.0, 1e-12);
}

}  // namespace
}  // namespace hatch

