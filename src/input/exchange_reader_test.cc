#include "input/exchange_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "geometry/primitives.h"
#include "support/scratch.h"

namespace hatch {
namespace {

const char* const kScales = "hs 100 100 50 100 100 100 100 100 100 100 100 100 100 100 100 100\n";

struct Read {
  Settings settings;
  InputState input;
  EntityStore store;

  explicit Read(const std::string& text, bool prescan = false, Settings given = Settings{}) : settings(given) {
    test::TextStream f(text);
    if (prescan) prescan_text_type0(f.get(), input);
    read_exchange_file(f.get(), settings, input, store);
  }
  int segments() const {
    int n = 0;
    for (const Segment* s = store.segment_list; s; s = s->next) ++n;
    return n;
  }
};

TEST(Reader, AttributesBeforeAndAfterTheHeader) {
  Read r(std::string(kScales) + "lg0\nly1a\nlc3\nlt2\npn4\ncn5\n#\nlg2\nly2\nlc9\ncn7\nlg10\ncn11\n");
  EXPECT_EQ(r.input.initial_layer, 0x1a);
  EXPECT_EQ(r.input.initial_color, 3);
  EXPECT_EQ(r.input.initial_line_type, 2);
  EXPECT_EQ(r.input.initial_pen, 4);
  EXPECT_EQ(r.input.initial_text_type, 5);
  EXPECT_EQ(r.input.initial_group, 0);
  EXPECT_EQ(r.input.current_group, 2);  // lg10 names no group and is ignored
  EXPECT_EQ(r.input.current_layer, 2);
  EXPECT_EQ(r.input.current_color, 9);
  EXPECT_EQ(r.input.current_text_type, 7);  // cn11 is outside the text tables
}

TEST(Reader, SegmentsScaledByTheirGroupAndShortOnesDropped) {
  Read r(std::string(kScales) + "lg0\n#\n 0 0 10 0\nlg2\n 0 0 10 0\n 0 0 0.2 0.1\nlg0\n 1 1 1.4 1\n");
  ASSERT_EQ(r.segments(), 2);
  const Segment* s = r.store.segment_list;  // newest first
  EXPECT_DOUBLE_EQ(s->x2, 20.0);             // group 2 draws at scale 50: twice as long
  EXPECT_EQ(s->id, 1);
  EXPECT_DOUBLE_EQ(s->next->x2, 10.0);
  EXPECT_EQ(s->next->id, 0);
  EXPECT_DOUBLE_EQ(r.input.bounds.min_x, 0.0);
  EXPECT_DOUBLE_EQ(r.input.bounds.max_x, 20.0);
  EXPECT_DOUBLE_EQ(r.input.bounds.max_y, 0.0);
}

TEST(Reader, EntitiesBeforeAnyScaleKeepTheirSize) {
  Read r(" 0 0 10 0\nci 0 0 5\n");
  ASSERT_EQ(r.segments(), 1);
  EXPECT_DOUBLE_EQ(r.store.segment_list->x2, 10.0);
  EXPECT_DOUBLE_EQ(r.store.arc_list->r, 5.0);
}

TEST(Reader, ArcNormalisation) {
  auto arc = [](const char* line) {
    Read r(std::string(kScales) + "#\n" + line + "\n");
    return *r.store.arc_list;
  };
  Arc full = arc("ci 10 20 5");
  EXPECT_DOUBLE_EQ(full.start, 0.0);
  EXPECT_DOUBLE_EQ(full.end, 2.0 * pi);
  Arc same = arc("ci 0 0 5 30 30 1 0");
  EXPECT_DOUBLE_EQ(same.start_deg, 0.0);
  EXPECT_DOUBLE_EQ(same.end_deg, 360.0);
  Arc through_zero = arc("ci 0 0 5 350 10 1 0");
  EXPECT_DOUBLE_EQ(through_zero.start_deg, 350.0);
  EXPECT_DOUBLE_EQ(through_zero.end_deg, 10.0);
  EXPECT_NEAR(through_zero.start, -10.0 * pi / 180.0, 1e-12);
  Arc tilted_circle = arc("ci 0 0 5 0 90 1 30");
  EXPECT_DOUBLE_EQ(tilted_circle.start_deg, 30.0);
  EXPECT_DOUBLE_EQ(tilted_circle.end_deg, 120.0);
  EXPECT_DOUBLE_EQ(tilted_circle.tilt, 0.0);
  Arc ellipse = arc("ci 0 0 5 0 90 0.5 30");
  EXPECT_DOUBLE_EQ(ellipse.start_deg, 0.0);
  EXPECT_DOUBLE_EQ(ellipse.end_deg, 90.0);
  EXPECT_DOUBLE_EQ(ellipse.tilt_deg, 30.0);
  EXPECT_NEAR(ellipse.tilt, pi / 6.0, 1e-12);
  Arc ends_at_zero = arc("ci 0 0 5 270 0");
  EXPECT_DOUBLE_EQ(ends_at_zero.end_deg, 360.0);
}

TEST(Reader, ArcAttributesAndIdsShareTheSegmentSerial) {
  Read r(std::string(kScales) + "#\nly13\nlt4\nlc25\n 0 0 10 0\nci 0 0 5\n");
  const Arc* a = r.store.arc_list;
  EXPECT_EQ(a->attr, 0x3u + 16u * 4u + 256u * (25u & 0xFu));
  EXPECT_EQ(a->id, 1);
}

TEST(Reader, PickPointsAndSpecialPoints) {
  Settings s;
  s.hp2_offset_x = 1.0;
  Read r(std::string(kScales) + "#\nhp5 1 2\nhp100 1 2\nhp2x 1 2\nhp1 7 8\nhp2 3 4\nhp99 -1 -2\n");
  EXPECT_EQ(r.store.pick_point_count, 2);
  EXPECT_EQ(r.settings.fill_mode, FillMode::by_points);
  EXPECT_DOUBLE_EQ(r.store.pick_point_list->x, -1.0);  // newest first
  EXPECT_DOUBLE_EQ(r.store.pick_point_list->next->y, 2.0);
  EXPECT_DOUBLE_EQ(r.input.hp1_x, 7.0);
  EXPECT_DOUBLE_EQ(r.input.hp2_y, 4.0);
  Read none(std::string(kScales) + "#\nhp2x 1 2\n");
  EXPECT_EQ(none.settings.fill_mode, FillMode::all_outer);
}

TEST(Reader, ReferenceLineIsTheNextStoredSegment) {
  Read r(std::string(kScales) + "#\nhhp1ln\n 0 0 0.1 0\n 0 0 0 -10\n 0 0 10 0\n");
  EXPECT_EQ(r.settings.ref_line_given, 1);
  EXPECT_NEAR(r.settings.ref_line_angle, 1.5 * pi, 1e-12);
}

TEST(Reader, FilterAcceptsExactlyTheMaskedAttributes) {
  Settings layer1;
  layer1.filter_layer = 1;
  layer1.filter_mask = 4;
  Read r(std::string(kScales) + "#\nly1\n 0 0 10 0\nly2\n 0 0 20 0\nci 0 0 5\n", false, layer1);
  ASSERT_EQ(r.segments(), 1);
  EXPECT_DOUBLE_EQ(r.store.segment_list->x2, 10.0);
  EXPECT_NE(r.store.arc_list, nullptr);  // arcs are never filtered
}

TEST(Reader, TextOptionsAndBoxes) {
  Read opts(std::string(kScales) + "#\nch 0 0 10 0 \"/E0\"\nch 0 0 10 0 \"/jA\"\n");
  EXPECT_EQ(opts.settings.break_check, 1);
  EXPECT_EQ(opts.settings.break_marks, 0);
  EXPECT_EQ(opts.settings.outline_on, 1);
  EXPECT_EQ(opts.settings.outline_group, 10);
  EXPECT_EQ(opts.store.text_edge_list, nullptr);

  // Height 2 at scale 100 gives a box 200 high; the box turns with the text.
  Read box(std::string(kScales) + "hch 2 0 0 0 0 0 0 0 0 0\ncn1\n#\nch 10 20 0 30 \"AB\"\n");
  int n = 0;
  for (const Segment* e = box.store.text_edge_list; e; e = e->next) ++n;
  ASSERT_EQ(n, 4);
  const Segment* last = box.store.text_edge_list;  // the fourth edge: back down to the start
  EXPECT_NEAR(last->x2, 10.0, 1e-9);
  EXPECT_NEAR(last->y2, 20.0, 1e-9);
  EXPECT_NEAR(last->x1, -190.0, 1e-9);
  EXPECT_NEAR(last->y1, 20.0, 1e-9);
  const Segment* first = last->next->next->next;
  EXPECT_NEAR(first->x2, 10.0, 1e-9);
  EXPECT_NEAR(first->y2, 50.0, 1e-9);
  EXPECT_EQ(first->id, last->id);

  Read hidden(std::string(kScales) + "hcc 9 0 0 0 0 0 0 0 0 0\ncn1\n#\nch 0 0 10 0 \"A\"\n");
  EXPECT_EQ(hidden.store.text_edge_list, nullptr);
  Read unquoted(std::string(kScales) + "hch 2 0 0 0 0 0 0 0 0 0\ncn1\n#\nch 0 0 10 0 A\n");
  EXPECT_NE(unquoted.store.text_edge_list, nullptr);
}

TEST(Reader, TextTypeZeroLearnedBeforeTheHeader) {
  std::string text = std::string(kScales) + "cn0\n#\nch 0 0 10 0 \"A\"\ncn0 1 3 5 2\n";
  Read without(text);
  int edges = 0;
  for (const Segment* e = without.store.text_edge_list; e; e = e->next) ++edges;
  EXPECT_EQ(edges, 2);  // height 0 at the header: only the two long edges are kept
  Read with(text, true);
  EXPECT_DOUBLE_EQ(with.input.text_box_height[0], 300.0);
  EXPECT_EQ(with.input.text_color[0], 2);
}

TEST(Reader, LongLinesArriveInPieces) {
  std::string line(" 0 0 100 0");
  line += std::string(239, ' ');  // 249 characters: the first piece
  line += "ci 5 5 5\n";
  Read r(std::string(kScales) + "#\n" + line);
  EXPECT_EQ(r.segments(), 1);
  ASSERT_NE(r.store.arc_list, nullptr);
  EXPECT_DOUBLE_EQ(r.store.arc_list->r, 5.0);
}

}  // namespace
}  // namespace hatch
