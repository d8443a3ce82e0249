#include "regions/tracer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "base/messages.h"
#include "geometry/primitives.h"
#include "support/builders.h"

namespace hatch {
namespace {

using test::add_edge;
using test::Edge;
using test::edges_of;

constexpr double kTol = 0.5;

struct TraceRun {
  EntityStore store;
  Segment* list = nullptr;
  Segment* out = nullptr;
  TraceContext ctx;

  int trace(Segment* start, int rule) {
    ctx.trace_start = {start->x1, start->y1};
    SearchList walked(list, store, kTol);
    return trace_loop(walked, start, rule, out, ctx);
  }
};

TEST(TracerClassify, CodesFollowWhichEndTouches) {
  Segment a, b;
  // a ends 0.05 short of b's interior.
  a.x1 = 0, a.y1 = 0, a.x2 = 99.95, a.y2 = 0;
  b.x1 = 100, b.y1 = -50, b.x2 = 100, b.y2 = 50;
  XY at;
  EXPECT_EQ(classify_for_trace(a, b, &at), 3);
  EXPECT_DOUBLE_EQ(at.x, 100.0);
  EXPECT_EQ(classify_for_trace(b, a, &at), 2);
  // Ends meeting are no relation for the tracer.
  Segment c;
  c.x1 = 99.95, c.y1 = 0, c.x2 = 99.95, c.y2 = 80;
  EXPECT_EQ(classify_for_trace(a, c, &at), 0);
  // A proper crossing.
  Segment d;
  d.x1 = 50, d.y1 = -10, d.x2 = 50, d.y2 = 10;
  EXPECT_EQ(classify_for_trace(a, d, &at), 4);
  EXPECT_DOUBLE_EQ(at.x, 50.0);
  // Parallel: nothing, and `at` untouched.
  Segment e;
  e.x1 = 0, e.y1 = 5, e.x2 = 100, e.y2 = 5;
  at = {-1, -1};
  EXPECT_EQ(classify_for_trace(a, e, &at), 0);
  EXPECT_EQ(at.x, -1.0);
}

TEST(TracerChooseNext, InnermostTurnsLeftOutermostRight) {
  Segment edge;  // arriving at (100, 0) from the west
  edge.x1 = 0, edge.y1 = 0, edge.x2 = 100, edge.y2 = 0;
  Segment up, ahead, down;
  up.x1 = 100, up.y1 = 0, up.x2 = 100, up.y2 = 50;
  ahead.x1 = 100, ahead.y1 = 0, ahead.x2 = 150, ahead.y2 = 0;
  down.x1 = 100, down.y1 = 0, down.x2 = 100, down.y2 = -50;
  std::vector<Segment*> c{&ahead, &up, &down};
  EXPECT_EQ(choose_next(c, &edge, innermost), 1);
  EXPECT_EQ(choose_next(c, &edge, outermost), 2);
  EXPECT_EQ(choose_next({}, &edge, innermost), -1);
}

TEST(TracerChooseNext, UTurnOnlyWhenAlone) {
  Segment edge;
  edge.x1 = 0, edge.y1 = 0, edge.x2 = 100, edge.y2 = 0;
  Segment back, back_left, back_right, up, slight;
  back.x1 = 100, back.y1 = 0, back.x2 = 50, back.y2 = 0;
  back_left.x1 = 100, back_left.y1 = 0, back_left.x2 = 50, back_left.y2 = 0.4;     // 0.008 rad off
  back_right.x1 = 100, back_right.y1 = 0, back_right.x2 = 50, back_right.y2 = -0.4;
  up.x1 = 100, up.y1 = 0, up.x2 = 100, up.y2 = 50;
  slight.x1 = 100, slight.y1 = 0, slight.x2 = 50, slight.y2 = 1.0;  // 0.02 rad off: a real turn
  for (int rule : {innermost, outermost}) {
    EXPECT_EQ(choose_next({&back, &up}, &edge, rule), 1);
    EXPECT_EQ(choose_next({&back_left, &up}, &edge, rule), 1);
    EXPECT_EQ(choose_next({&back_right, &up}, &edge, rule), 1);
    EXPECT_EQ(choose_next({&back}, &edge, rule), 0);
    EXPECT_EQ(choose_next({&back, &back_left}, &edge, rule), -1);
  }
  EXPECT_EQ(choose_next({&up, &slight}, &edge, innermost), 1);
}

TEST(TracerChooseNext, TiesKeepTheEarlierCandidate) {
  Segment edge;
  edge.x1 = 0, edge.y1 = 0, edge.x2 = 100, edge.y2 = 0;
  Segment a, b;
  a.x1 = b.x1 = 100, a.y1 = b.y1 = 0;
  a.x2 = 100, a.y2 = 30;
  b.x2 = 100, b.y2 = 60;
  EXPECT_EQ(choose_next({&a, &b}, &edge, innermost), 0);
  EXPECT_EQ(choose_next({&b, &a}, &edge, outermost), 0);
}

TEST(TracerCut, StopsAtNearestCrossingAndSplitsBothSides) {
  EntityStore store;
  Segment* list = nullptr;
  Segment* far = add_edge(store, list, 70, -10, 70, 10, 2);
  Segment* near = add_edge(store, list, 30, -10, 30, 10, 1);
  Segment* edge = add_edge(store, list, 0, 0, 100, 0, 5);
  SearchList walked(list, store, kTol);
  XY stop = cut_at_nearest_crossing(walked, edge);
  EXPECT_DOUBLE_EQ(stop.x, 30.0);
  EXPECT_DOUBLE_EQ(stop.y, 0.0);
  EXPECT_EQ((Edge{edge->x1, edge->y1, edge->x2, edge->y2}), (Edge{0, 0, 30, 0}));
  EXPECT_EQ((Edge{near->x1, near->y1, near->x2, near->y2}), (Edge{30, -10, 30, 0}));
  EXPECT_EQ((Edge{far->x1, far->y1, far->x2, far->y2}), (Edge{70, -10, 70, 10}));
  // The edge's piece went in last, so it is the head; then the crossing segment's piece.
  ASSERT_EQ(test::length_of(list), 5);
  EXPECT_EQ((Edge{list->x1, list->y1, list->x2, list->y2}), (Edge{30, 0, 100, 0}));
  EXPECT_EQ(list->id, 5);
  EXPECT_EQ((Edge{list->next->x1, list->next->y1, list->next->x2, list->next->y2}), (Edge{30, 0, 30, 10}));
  EXPECT_EQ(list->next->id, 1);
}

TEST(TracerCut, SegmentsThroughTheStopAreSplitNewestRecordFirst) {
  EntityStore store;
  Segment* list = nullptr;
  add_edge(store, list, 50, -10, 50, 10, 1);
  add_edge(store, list, 40, -10, 60, 10, 2);
  Segment* edge = add_edge(store, list, 0, 0, 100, 0, 3);
  SearchList walked(list, store, kTol);
  XY stop = cut_at_nearest_crossing(walked, edge);
  EXPECT_DOUBLE_EQ(stop.x, 50.0);
  ASSERT_EQ(test::length_of(list), 6);
  // Scanned 2 then 1, split 1 then 2, each piece pushed at the head, the edge's last.
  std::vector<int> ids;
  for (Segment* s = list; s != nullptr; s = s->next) ids.push_back(s->id);
  EXPECT_EQ(ids, (std::vector<int>{3, 2, 1, 3, 2, 1}));
  EXPECT_EQ((Edge{list->next->x1, list->next->y1, list->next->x2, list->next->y2}), (Edge{50, 0, 60, 10}));
}

TEST(TracerCut, MarkedSegmentsAndTouchesAtTheStartAreIgnored) {
  EntityStore store;
  Segment* list = nullptr;
  Segment* marked = add_edge(store, list, 30, -10, 30, 10);
  marked->set_trace_mark(1);
  add_edge(store, list, 0, -10, 0, 10);  // passes through the edge's start
  Segment* edge = add_edge(store, list, 0, 0, 100, 0);
  SearchList walked(list, store, kTol);
  XY stop = cut_at_nearest_crossing(walked, edge);
  EXPECT_DOUBLE_EQ(stop.x, 100.0);
  EXPECT_EQ(test::length_of(list), 3);
}

// A group scale near zero leaves a tolerance below the rounding of the
// coordinates. A segment through the edge's start then crosses it a few ulps
// off: cutting there gave the edge back as a piece, and the search for outer
// regions cut that piece again for ever.
TEST(TracerCut, TouchesAtTheStartAreIgnoredUnderATinyTolerance) {
  const double ax = 246.72595891805122, ay = 290.62483037020002;
  for (int k = 1; k < 60; ++k) {
    EntityStore store;
    Segment* list = nullptr;
    const double a = 0.05 * k;
    add_edge(store, list, ax - 50 * std::cos(a), ay - 50 * std::sin(a), ax + 50 * std::cos(a), ay + 50 * std::sin(a));
    Segment* edge = add_edge(store, list, ax, ay, 245, 291.33974596215563);
    SearchList walked(list, store, 5e-321);
    cut_at_nearest_crossing(walked, edge);
    EXPECT_EQ(edge->x2, 245.0) << "direction " << a;
    EXPECT_EQ(test::length_of(list), 2) << "direction " << a;
  }
}

// Walking an edge through clusters of crossings closer than the tolerance,
// the walk that stops early cuts exactly where the walk over the whole list
// does, splitting the same segments in the same order.
TEST(TracerCut, EarlyStopCutsAsTheWholeListDoes) {
  auto walk = [](unsigned seed, bool full_scans) {
    std::srand(seed);
    auto uniform = [](double lo, double hi) { return lo + (hi - lo) * std::rand() / RAND_MAX; };
    EntityStore store;
    store.full_scans = full_scans;
    Segment* list = nullptr;
    const double a = uniform(0.0, 6.3), ux = std::cos(a), uy = std::sin(a);
    const int clusters = 1 + std::rand() % 4;
    for (int i = 0; i < 60; ++i) {
      const double along = 40.0 * (1 + std::rand() % (2 * clusters)) + uniform(-0.7, 0.7);
      const double b = a + uniform(0.3, 2.8), lo = std::rand() % 3 == 0 ? uniform(-0.15, 0.15) : uniform(-9.0, -1.0);
      const double cx = along * ux, cy = along * uy;
      Segment* s = add_edge(store, list, cx + lo * std::cos(b), cy + lo * std::sin(b), cx + 8.0 * std::cos(b),
                            cy + 8.0 * std::sin(b), i + 1);
      if (std::rand() % 9 == 0) s->set_trace_mark(1);
    }
    // A ladder of crossings each within the tolerance of the one before it in
    // list order: the stop moves up the whole ladder.
    const int rungs = std::rand() % 2 == 0 ? 300 : 0;
    for (int i = rungs; i-- > 0;) {
      const double along = 20.0 + 0.45 * i, b = a + 1.5;
      add_edge(store, list, along * ux - std::cos(b), along * uy - std::sin(b), along * ux + std::cos(b),
               along * uy + std::sin(b), 200 + i);
    }
    Segment* edge = add_edge(store, list, 0.0, 0.0, 1000.0 * ux, 1000.0 * uy, 100);
    SearchList walked(list, store, kTol);
    std::vector<XY> stops;
    for (int step = 0; step < 12 && edge != nullptr; ++step) {
      stops.push_back(cut_at_nearest_crossing(walked, edge));
      edge = walked.head()->id == 100 ? walked.head() : nullptr;  // the rest of the edge, when it was cut
    }
    std::vector<std::pair<int, Edge>> state;
    for (Segment* s = walked.head(); s != nullptr; s = s->next) state.push_back({s->id, {s->x1, s->y1, s->x2, s->y2}});
    for (XY p : stops) state.push_back({-1, {p.x, p.y, 0.0, 0.0}});
    return state;
  };
  for (unsigned seed = 1; seed <= 150; ++seed) ASSERT_EQ(walk(seed, false), walk(seed, true)) << "seed " << seed;
}

TEST(TracerLoop, SquareInnermostIsCounterClockwiseFromTheStartEdge) {
  TraceRun r;
  // Listed with mixed orientations; the tracer reverses what it needs.
  add_edge(r.store, r.list, 100, 100, 100, 0);
  add_edge(r.store, r.list, 0, 100, 100, 100);
  add_edge(r.store, r.list, 0, 100, 0, 0);
  Segment* bottom = add_edge(r.store, r.list, 0, 0, 100, 0);
  ASSERT_EQ(r.trace(bottom, innermost), 1);
  std::vector<Edge> want{{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 100}, {0, 100, 0, 0}};
  EXPECT_EQ(edges_of(r.out), want);
  EXPECT_EQ(r.ctx.trace_depth, 0);
  EXPECT_EQ(r.ctx.trace_steps, 4);
  for (Segment* s = r.list; s != nullptr; s = s->next) EXPECT_EQ(s->marks, 0u);
}

TEST(TracerLoop, DeadEndBeyondACornerIsLeftByBothRules) {
  for (int rule : {innermost, outermost}) {
    TraceRun r;
    Segment* extra = add_edge(r.store, r.list, 100, 0, 150, 0);
    test::add_square(r.store, r.list, 0, 0, 100);
    Segment* bottom = r.list->next->next->next;
    ASSERT_EQ((Edge{bottom->x1, bottom->y1, bottom->x2, bottom->y2}), (Edge{0, 0, 100, 0}));
    ASSERT_EQ(r.trace(bottom, rule), 1) << rule;
    std::vector<Edge> want{{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 100}, {0, 100, 0, 0}};
    EXPECT_EQ(edges_of(r.out), want) << rule;
    EXPECT_EQ(r.ctx.trace_depth, 0) << rule;
    EXPECT_EQ(extra->marks, 0u);
    if (rule == outermost) {
      // The dead end was tried first and cost one attempt.
      EXPECT_EQ(r.ctx.trace_steps, 5);
      int taken = 0;
      for (Segment* s = r.list; s != nullptr; s = s->next)
        if (s->region_state() == 1 && s->trace_mark() == 1) ++taken;
      EXPECT_EQ(taken, 3);  // the path behind the start edge; the closing step frees its edge
    } else {
      EXPECT_EQ(r.ctx.trace_steps, 4);
    }
  }
}

TEST(TracerLoop, EqualDirectionsGoToTheOlderSegment) {
  TraceRun r;
  add_edge(r.store, r.list, 0, 100, 0, 0);
  add_edge(r.store, r.list, 100, 100, 0, 100);
  add_edge(r.store, r.list, 100, 0, 100, 100, 1);
  add_edge(r.store, r.list, 100, 0, 100, 100, 2);  // the same edge again, newer
  Segment* bottom = add_edge(r.store, r.list, 0, 0, 100, 0);
  ASSERT_EQ(r.trace(bottom, innermost), 1);
  EXPECT_EQ(r.out->next->id, 1);
}

TEST(TracerLoop, SharedEdgeClosesTheSquareOnItsLeft) {
  for (bool north : {true, false}) {
    TraceRun r;
    test::add_square(r.store, r.list, 0, 0, 100);
    test::add_square(r.store, r.list, 100, 0, 100);
    // The second square's left edge runs south along x = 100 and is the list head.
    Segment* shared = r.list;
    // Drop the first square's right edge: the two squares share one segment.
    Segment* dup = r.list->next->next->next->next->next->next;
    ASSERT_EQ((Edge{dup->x1, dup->y1, dup->x2, dup->y2}), (Edge{100, 0, 100, 100}));
    r.store.remove_segment(r.list, dup);
    if (north) reverse_segment(*shared);
    ASSERT_EQ(r.trace(shared, innermost), 1);
    ASSERT_EQ(test::length_of(r.out), 4);
    double min_x = 1e9;
    for (Segment* s = r.out; s != nullptr; s = s->next) min_x = std::min({min_x, s->x1, s->x2});
    EXPECT_DOUBLE_EQ(min_x, north ? 0.0 : 100.0);
    EXPECT_GT(test::twice_area(r.out), 0.0);
  }
}

// A side that ends 0.05 short of a long vertical still reaches it: the
// vertical is split where the lines meet and the walk goes on along it.
TEST(TracerLoop, ShortEndContinuesThroughTheSplitWithinTouchLimit) {
  TraceRun r;
  add_edge(r.store, r.list, 0, 100, 0, 0);
  add_edge(r.store, r.list, 100, 100, 0, 100);
  Segment* vertical = add_edge(r.store, r.list, 100, -50, 100, 150);
  Segment* bottom = add_edge(r.store, r.list, 0, 0, 99.95, 0);
  ASSERT_EQ(r.trace(bottom, innermost), 1);
  std::vector<Edge> want{{0, 0, 99.95, 0}, {100, 0, 100, 100}, {100, 100, 0, 100}, {0, 100, 0, 0}};
  EXPECT_EQ(edges_of(r.out), want);
  // The lower stub of the vertical was offered reversed and stays so.
  EXPECT_EQ((Edge{vertical->x1, vertical->y1, vertical->x2, vertical->y2}), (Edge{100, 0, 100, -50}));
  EXPECT_EQ(test::length_of(r.list), 6);
}

TEST(TracerLoop, EndBeyondTouchLimitFindsNoContinuation) {
  TraceRun r;
  add_edge(r.store, r.list, 0, 100, 0, 0);
  add_edge(r.store, r.list, 100, 100, 0, 100);
  add_edge(r.store, r.list, 100, -50, 100, 150);
  Segment* bottom = add_edge(r.store, r.list, 0, 0, 99.8, 0);
  EXPECT_EQ(r.trace(bottom, innermost), 0);
  EXPECT_EQ(r.out, nullptr);
  EXPECT_EQ(test::length_of(r.list), 4);
  // The failed level is left open for the caller to account for.
  EXPECT_EQ(r.ctx.trace_depth, 1);
}

TEST(TracerLoop, CutsNearAnEndLeaveNoZeroLengthPieces) {
  TraceRun r;
  add_edge(r.store, r.list, 0, 100, 0, 0);
  add_edge(r.store, r.list, 100, 100, 0, 100);
  // Starts 0.3 below the corner: its crossing with the bottom is within the
  // tolerance of its start, yet beyond the touch limit.
  add_edge(r.store, r.list, 100, -0.3, 100, 100);
  // Overshoots the corner by 0.3.
  Segment* bottom = add_edge(r.store, r.list, 0, 0, 100.3, 0);
  ASSERT_EQ(r.trace(bottom, innermost), 1);
  EXPECT_EQ(test::length_of(r.out), 4);
  EXPECT_EQ(test::length_of(r.list), 4);
  for (const Segment* list : {r.out, r.list})
    for (const Segment* s = list; s != nullptr; s = s->next)
      EXPECT_FALSE(same_point(s->start(), s->end(), kTol)) << s->x1 << "," << s->y1;
  EXPECT_EQ((Edge{r.out->x1, r.out->y1, r.out->x2, r.out->y2}), (Edge{0, 0, 100, 0}));
}

TEST(TracerLoop, AttemptLimitFailsQuietly) {
  {
    TraceRun r;
    test::add_square(r.store, r.list, 0, 0, 100);
    r.ctx.trace_steps = kTraceStepLimit - 5;  // room for the four attempts the square needs
    EXPECT_EQ(r.trace(r.list->next->next->next, innermost), 1);
  }
  {
    TraceRun r;
    test::add_square(r.store, r.list, 0, 0, 100);
    r.ctx.trace_steps = kTraceStepLimit - 4;
    EXPECT_EQ(r.trace(r.list->next->next->next, innermost), 0);
    EXPECT_EQ(r.out, nullptr);
    for (Segment* s = r.list; s != nullptr; s = s->next) EXPECT_EQ(s->marks, 0u);
  }
}

TEST(TracerLoop, PathLongerThanTheLimitEndsTheRun) {
  TraceRun r;
  // A box whose top is a zigzag of 2000 edges: 2003 edges in all.
  constexpr int n = 2000;
  auto top_y = [](int i) { return 100.0 + 10.0 * (i % 2); };
  add_edge(r.store, r.list, 0, 100, 0, 0);
  for (int i = 0; i < n; ++i) add_edge(r.store, r.list, 10.0 * (i + 1), top_y(i + 1), 10.0 * i, top_y(i));
  add_edge(r.store, r.list, 10.0 * n, 0, 10.0 * n, top_y(n));
  Segment* bottom = add_edge(r.store, r.list, 0, 0, 10.0 * n, 0);
  try {
    r.trace(bottom, innermost);
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_EQ(f.message, trace_limit_message(2000));
    EXPECT_EQ(r.ctx.trace_depth, 2001);
  }
}

TEST(TracerLoop, PathJustWithinTheLimitCloses) {
  TraceRun r;
  constexpr int n = 1997;  // 2000 edges in all
  auto top_y = [](int i) { return 100.0 + 10.0 * (i % 2); };
  add_edge(r.store, r.list, 0, 100, 0, 0);
  for (int i = 0; i < n; ++i) add_edge(r.store, r.list, 10.0 * (i + 1), top_y(i + 1), 10.0 * i, top_y(i));
  add_edge(r.store, r.list, 10.0 * n, 0, 10.0 * n, top_y(n));
  Segment* bottom = add_edge(r.store, r.list, 0, 0, 10.0 * n, 0);
  ASSERT_EQ(r.trace(bottom, innermost), 1);
  EXPECT_EQ(test::length_of(r.out), 2000);
  EXPECT_TRUE(test::is_closed_chain(r.out, kTol));
  EXPECT_EQ(r.ctx.trace_depth, 0);
}

TEST(TracerRegion, AddRegionPushesAtTheHead) {
  EntityStore store;
  Region* list = nullptr;
  Segment loop;
  Region* a = add_region(list, &loop, 0, store);
  Region* b = add_region(list, nullptr, 1, store);
  EXPECT_EQ(list, b);
  EXPECT_EQ(b->next, a);
  EXPECT_EQ(a->outline, &loop);
  EXPECT_EQ(a->islands, nullptr);
  EXPECT_EQ(b->index, 1);
}

}  // namespace
}  // namespace hatch
