#include "driver/run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "base/interrupt.h"
#include "base/messages.h"
#include "geometry/primitives.h"
#include "support/builders.h"
#include "support/scratch.h"

namespace hatch {
namespace {

constexpr auto count = test::length_of<Segment>;

// At the head of arc_list, as the reader puts it; angles in degrees.
Arc* add_arc(EntityStore& store, double cx, double cy, double r, double start_deg, double end_deg) {
  Arc* a = store.new_arc();
  *a = test::make_arc(cx, cy, r, start_deg * pi / 180.0, end_deg * pi / 180.0);
  a->next = store.arc_list;
  store.arc_list = a;
  return a;
}

TEST(Flattening, FullCircleGivesTwentyFourChordsOnTheCircle) {
  EntityStore store;
  Arc* a = add_arc(store, 10.0, 20.0, 50.0, 0.0, 360.0);
  flatten_arcs(store, 0.5);
  ASSERT_EQ(count(store.segment_list), 24);
  const Segment* last = store.segment_list;  // the chord ending at 360 degrees
  EXPECT_EQ(last->arc, a);
  EXPECT_NEAR(last->x2, 60.0, 1e-9);
  EXPECT_NEAR(last->y2, 20.0, 1e-9);
  for (const Segment* s = store.segment_list; s; s = s->next)
    EXPECT_NEAR(std::hypot(s->x1 - 10.0, s->y1 - 20.0), 50.0, 1e-9);
}

TEST(Flattening, ShortTailChordAndEllipse) {
  EntityStore store;
  add_arc(store, 0.0, 0.0, 100.0, 0.0, 20.0);
  flatten_arcs(store, 0.5);
  ASSERT_EQ(count(store.segment_list), 2);
  EXPECT_NEAR(store.segment_list->x1, 100.0 * std::cos(15.0 * pi / 180.0), 1e-9);

  EntityStore e;
  Arc* a = add_arc(e, 0.0, 0.0, 10.0, 0.0, 90.0);
  a->flatness = 0.5;
  a->tilt = pi / 2.0;
  flatten_arcs(e, 0.5);
  const Segment* last = e.segment_list;  // ends at the minor axis, turned by 90 degrees
  EXPECT_NEAR(last->x2, -5.0, 1e-9);
  EXPECT_NEAR(last->y2, 0.0, 1e-9);
}

TEST(Flattening, TooShortChordsStretchOnlyTheirOwnArc) {
  EntityStore store;
  Segment* line = store.new_segment();
  line->x1 = 0, line->y1 = 0, line->x2 = 5, line->y2 = 0;
  store.segment_list = line;
  // Radius 1 at tolerance 0.5: every 15-degree chord (0.26 long) is too short.
  add_arc(store, 100.0, 0.0, 1.0, 0.0, 30.0);
  flatten_arcs(store, 0.5);
  EXPECT_EQ(count(store.segment_list), 1);
  EXPECT_DOUBLE_EQ(line->x2, 5.0);  // the input line at the head is never moved
}

TEST(Flattening, HugeAnglesEndInOneTurn) {
  EntityStore store;
  Arc* a = add_arc(store, 0.0, 0.0, 100.0, 0.0, 0.0);
  a->end = 1e30;
  flatten_arcs(store, 0.5);
  EXPECT_LE(count(store.segment_list), 25);
}

TEST(SingleSegmentFrame, RectangleOnThePickPointSide) {
  EntityStore store;
  InputState in;
  Segment* s = store.new_segment();
  s->x1 = 100, s->y1 = 0, s->x2 = 0, s->y2 = 0;  // the point lies on its right: it is turned round
  store.segment_list = s;
  store.add_pick_point(30.0, 40.0);
  build_single_segment_frame(store, in, 0.5);
  ASSERT_EQ(count(store.segment_list), 4);
  EXPECT_DOUBLE_EQ(s->x1, 0.0);
  EXPECT_DOUBLE_EQ(s->x2, 100.0);
  const Segment* e = store.segment_list;  // newest first: B -> (x2, y2), B -> A, (x1, y1) -> A
  EXPECT_NEAR(e->x1, 100.0, 1e-9);
  EXPECT_NEAR(e->y1, 40.0, 1e-9);
  EXPECT_NEAR(e->next->x2, 0.0, 1e-9);
  EXPECT_NEAR(e->next->y2, 40.0, 1e-9);
  EXPECT_NEAR(store.pick_point_list->x, 50.0, 1e-9);
  EXPECT_NEAR(store.pick_point_list->y, 20.0, 1e-9);
}

class RunInDirectory : public ::testing::Test {
 protected:
  void TearDown() override { interrupt_requested = 0; }
  static std::string slurp(const char* name) { return test::slurp_text(name); }
  test::ScratchDir dir_{true};
};

const char* const kSquare =
    "hs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100\nlg0\nly1\nlc2\nlt0\n#\n"
    " 0 0 100 0\n 100 0 100 100\n 100 100 0 100\n 0 100 0 0\nhp3 50 50\n";

TEST_F(RunInDirectory, InterruptLeavesOnlyTheInterruptionLine) {
  std::ofstream("plc_temp.txt") << kSquare;
  interrupt_requested = 1;  // noticed at the first re-arm point of boundary preparation
  char name[] = "hatch";
  char* argv[] = {name, nullptr};
  testing::internal::CaptureStdout();
  EXPECT_EQ(run(1, argv), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), msg::interrupted);
  EXPECT_EQ(slurp("plc_temp.txt"), msg::interrupted);
}

TEST_F(RunInDirectory, TypicalRunEndsWithTheRestoreLines) {
  std::ofstream("plc_temp.txt") << kSquare;
  char a0[] = "hatch", a1[] = "/s1", a2[] = "/a0", a3[] = "/p25";
  char* argv[] = {a0, a1, a2, a3, nullptr};
  EXPECT_EQ(run(4, argv), 0);
  EXPECT_EQ(slurp("plc_temp.txt"),
            "ly1\nlt0\nlc2\n 0 25 100 25\n 0 50 100 50\n 0 75 100 75\nlg0\nly1\nlc2\nlt0\n");
  EXPECT_EQ(slurp("hatchlog.txt"), "/s1\n/z0\n/a0.0\n/p25.0\n/w50.0\n");
}

// Eight segments whose crossings close loops, under the tolerance of a group
// scale of 1e-318: every trace falls apart at some rounding, and each pass of
// the search cut back the pieces the pass before had given up, for ever.
// Whatever it finds, the run ends as every run does.
TEST_F(RunInDirectory, SearchEndsWhenRoundingKeepsMakingTheSamePieces) {
  std::ofstream("plc_temp.txt")
      << "hs 1e-318 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100\nlg0\nly1\nlc2\nlt0\n#\n"
         " 103.14285714285714 220.14285714285714 78 195.33333333333334\n"
         " 95.6 212.7 184.66666666666666 132.1\n"
         " 94.76190476190476 211.87301587301587 221.14285714285714 265.6666666666667\n"
         " 281.3333333333333 18.1 108.32380952380952 201.18571428571428\n"
         " 112.14285714285714 273.14285714285717 98.14285714285714 6.142857142857143\n"
         " 76.1 250.14285714285714 152 113.33333333333333\n"
         " 86.38095238095238 203.6031746031746 156.66666666666666 198\n"
         " 125.28888888888888 185.83333333333331 120 31.666666666666668\n";
  char a0[] = "hatch", a1[] = "/s1", a2[] = "/a0", a3[] = "/p25";
  char* argv[] = {a0, a1, a2, a3, nullptr};
  EXPECT_EQ(run(4, argv), 0);
  const std::string out = slurp("plc_temp.txt");
  const std::string restore = "lg0\nly1\nlc2\nlt0\n";
  ASSERT_GE(out.size(), restore.size());
  EXPECT_EQ(out.substr(out.size() - restore.size()), restore);
}

TEST_F(RunInDirectory, FailureDuringOutputFollowsWhatWasWritten) {
  std::ofstream("plc_temp.txt") << kSquare;
  char a0[] = "hatch", a1[] = "/s5", a2[] = "/fmissing";
  char* argv[] = {a0, a1, a2, nullptr};
  testing::internal::CaptureStdout();
  EXPECT_EQ(run(3, argv), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\a");
  std::string out = slurp("plc_temp.txt");
  EXPECT_EQ(out.rfind("h#", 0), 0u) << "nothing is written before the figure is read";
  EXPECT_NE(out.find("missing.plk"), std::string::npos);
}

}  // namespace
}  // namespace hatch
