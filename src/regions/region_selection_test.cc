#include "regions/region_selection.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "geometry/primitives.h"
#include "geometry/box.h"
#include "support/builders.h"

namespace hatch {
namespace {

using test::add_edge;
using test::add_square;
using test::Edge;
using test::edges_of;
using test::length_of;

struct Search {
  EntityStore store;
  Settings settings;
  SearchResults results;

  explicit Search(int fill_mode) { settings.fill_mode = static_cast<FillMode>(fill_mode); }
  Segment*& list() { return store.segment_list; }
  void run() { search_regions(store, settings, results); }
  std::vector<Region*> regions() const {
    std::vector<Region*> v;
    for (Region* r = results.region_list; r != nullptr; r = r->next) v.push_back(r);
    return v;
  }
};

Box loop_box(const Segment* loop) {
  Box b{1e9, 1e9, -1e9, -1e9};
  for (const Segment* s = loop; s != nullptr; s = s->next) {
    b.widen(s->x1, s->y1);
    b.widen(s->x2, s->y2);
  }
  return b;
}

bool contains_edge(const Segment* loop, double x1, double y1, double x2, double y2) {
  Segment q;
  q.x1 = x1, q.y1 = y1, q.x2 = x2, q.y2 = y2;
  for (const Segment* s = loop; s != nullptr; s = s->next)
    if (same_segment(*s, q, 0.5)) return true;
  return false;
}

TEST(RegionsPrepareStart, StartMovesToTheLastCrossingBeforeThePoint) {
  EntityStore store;
  Segment* list = nullptr;
  add_edge(store, list, 200, -50, 200, 50);
  add_edge(store, list, 100, -50, 100, 50);
  Segment* edge = add_edge(store, list, 0, 0, 300, 0, 4);
  TraceContext ctx;
  SearchList walked(list, store, 0.5);
  ASSERT_EQ(prepare_start(walked, edge, 150, 0, ctx), 1);
  EXPECT_DOUBLE_EQ(ctx.trace_start.x, 100.0);
  EXPECT_DOUBLE_EQ(ctx.trace_start.y, 0.0);
  EXPECT_EQ((Edge{edge->x1, edge->y1, edge->x2, edge->y2}), (Edge{100, 0, 300, 0}));
  EXPECT_EQ((Edge{list->x1, list->y1, list->x2, list->y2}), (Edge{0, 0, 100, 0}));
  EXPECT_EQ(list->id, 4);
}

TEST(RegionsPrepareStart, PointBeforeEveryCrossingKeepsTheEdge) {
  EntityStore store;
  Segment* list = nullptr;
  add_edge(store, list, 200, -50, 200, 50);
  add_edge(store, list, 100, -50, 100, 50);
  Segment* edge = add_edge(store, list, 0, 0, 300, 0);
  TraceContext ctx;
  SearchList walked(list, store, 0.5);
  ASSERT_EQ(prepare_start(walked, edge, 50, 0, ctx), 1);
  EXPECT_DOUBLE_EQ(ctx.trace_start.x, 0.0);
  EXPECT_EQ(length_of(list), 3);
}

TEST(RegionsPrepareStart, EdgeMeetingOneOtherCannotStart) {
  EntityStore store;
  Segment* list = nullptr;
  add_edge(store, list, 100, -50, 100, 50);
  Segment* edge = add_edge(store, list, 0, 0, 300, 0);
  TraceContext ctx;
  SearchList walked(list, store, 0.5);
  EXPECT_EQ(prepare_start(walked, edge, 150, 0, ctx), 0);
  EXPECT_EQ((Edge{edge->x1, edge->y1, edge->x2, edge->y2}), (Edge{0, 0, 300, 0}));
}

TEST(RegionsByPoints, SquareAroundAPointIsOneCounterClockwiseRegion) {
  Search s(1);
  add_square(s.store, s.list(), 0, 0, 100);
  s.store.add_pick_point(50, 50);
  s.run();
  auto regions = s.regions();
  ASSERT_EQ(regions.size(), 1u);
  EXPECT_EQ(regions[0]->index, 0);
  // The ray meets the right edge first; the loop starts at its lower end.
  std::vector<Edge> want{{100, 0, 100, 100}, {100, 100, 0, 100}, {0, 100, 0, 0}, {0, 0, 100, 0}};
  EXPECT_EQ(edges_of(regions[0]->outline), want);
  EXPECT_EQ(regions[0]->islands, nullptr);
  // Outline pieces are marked as taken, nothing else is left over.
  for (Segment* e = s.list(); e != nullptr; e = e->next) {
    EXPECT_EQ(e->region_state(), 1);
    EXPECT_EQ(e->trace_mark(), 1);
  }
}

TEST(RegionsByPoints, SharedEdgeBelongsToBothRegions) {
  Search s(1);
  add_square(s.store, s.list(), 0, 0, 100);
  Segment* right_a = s.list()->next->next;
  s.store.remove_segment(s.list(), right_a);
  add_square(s.store, s.list(), 100, 0, 100);
  s.store.add_pick_point(50, 50);
  s.store.add_pick_point(150, 50);  // list head: searched first
  s.run();
  auto regions = s.regions();
  ASSERT_EQ(regions.size(), 2u);
  Region* first = regions[1];
  Region* second = regions[0];
  EXPECT_EQ(first->index, 0);
  EXPECT_EQ(second->index, 1);
  EXPECT_DOUBLE_EQ(loop_box(first->outline).min_x, 100.0);
  EXPECT_DOUBLE_EQ(loop_box(second->outline).max_x, 100.0);
  for (Region* r : regions) {
    EXPECT_EQ(length_of(r->outline), 4);
    EXPECT_GT(test::twice_area(r->outline), 0.0);
    EXPECT_TRUE(contains_edge(r->outline, 100, 0, 100, 100));
  }
}

TEST(RegionsByPoints, SecondPointInTheSameRegionAddsNothing) {
  Search s(1);
  add_square(s.store, s.list(), 0, 0, 100);
  s.store.add_pick_point(30, 30);
  s.store.add_pick_point(70, 70);
  s.run();
  EXPECT_EQ(s.regions().size(), 1u);
}

TEST(RegionsByPoints, PointOutsideEveryLoopGivesNone) {
  Search s(1);
  add_square(s.store, s.list(), 0, 0, 100);
  s.store.add_pick_point(-50, 50);
  s.run();
  EXPECT_TRUE(s.regions().empty());
}

TEST(RegionsByPoints, InnerSquareLeftOfThePointBecomesAnIsland) {
  Search s(1);
  add_square(s.store, s.list(), 0, 0, 100);
  add_square(s.store, s.list(), 40, 40, 20);
  s.store.add_pick_point(20, 50);
  s.run();
  auto regions = s.regions();
  ASSERT_EQ(regions.size(), 1u);
  Box outer = loop_box(regions[0]->outline);
  EXPECT_DOUBLE_EQ(outer.min_x, 0.0);
  EXPECT_DOUBLE_EQ(outer.max_x, 100.0);
  EXPECT_EQ(length_of(regions[0]->outline), 4);
  ASSERT_NE(regions[0]->islands, nullptr);
  EXPECT_EQ(regions[0]->islands->next, nullptr);
  const Segment* island = regions[0]->islands->loop;
  EXPECT_EQ(length_of(island), 4);
  Box inner = loop_box(island);
  EXPECT_DOUBLE_EQ(inner.min_x, 40.0);
  EXPECT_DOUBLE_EQ(inner.max_y, 60.0);
  EXPECT_TRUE(test::is_closed_chain(island, 0.5));
  EXPECT_GT(test::twice_area(island), 0.0);
}

TEST(RegionsByPoints, TwoFreeSegmentsInsideSeekNoIsland) {
  Search s(1);
  add_square(s.store, s.list(), 0, 0, 100);
  add_edge(s.store, s.list(), 60, 40, 80, 40);
  add_edge(s.store, s.list(), 80, 40, 80, 60);
  s.store.add_pick_point(20, 50);
  s.run();
  auto regions = s.regions();
  ASSERT_EQ(regions.size(), 1u);
  EXPECT_EQ(regions[0]->islands, nullptr);
}

TEST(RegionsOuter, NestedSquaresGiveTheOuterContourOnly) {
  Search s(2);
  add_square(s.store, s.list(), 0, 0, 100);
  add_square(s.store, s.list(), 40, 40, 20);
  s.store.add_pick_point(20, 50);  // not used in this mode
  s.run();
  auto regions = s.regions();
  ASSERT_EQ(regions.size(), 1u);
  EXPECT_EQ(regions[0]->islands, nullptr);
  EXPECT_EQ(length_of(regions[0]->outline), 4);
  EXPECT_DOUBLE_EQ(loop_box(regions[0]->outline).min_x, 0.0);
  EXPECT_GT(test::twice_area(regions[0]->outline), 0.0);
  // The inner square is gone; the start edge of the pass was given up too.
  EXPECT_EQ(length_of(s.list()), 3);
  auto corner = [](double x, double y) { return (x == 0.0 || x == 100.0) && (y == 0.0 || y == 100.0); };
  for (Segment* e = s.list(); e != nullptr; e = e->next) {
    EXPECT_TRUE(corner(e->x1, e->y1) && corner(e->x2, e->y2)) << e->x1 << "," << e->y1;
    EXPECT_EQ(e->region_state(), 1);
  }
}

TEST(RegionsOuter, SeparateSquaresAreIndexedInTheOrderReached) {
  Search s(2);
  add_square(s.store, s.list(), 0, 0, 100);
  add_square(s.store, s.list(), 200, 0, 100);
  s.run();
  auto regions = s.regions();
  ASSERT_EQ(regions.size(), 2u);
  // The second square's edges head the list and its top is the first edge
  // with a free side, so it is found first.
  EXPECT_EQ(regions[1]->index, 0);
  EXPECT_DOUBLE_EQ(loop_box(regions[1]->outline).min_x, 200.0);
  EXPECT_EQ(regions[0]->index, 1);
  EXPECT_DOUBLE_EQ(loop_box(regions[0]->outline).max_x, 100.0);
  EXPECT_EQ(regions[1]->outline->y1, 100.0);
}

TEST(RegionsOuter, OuterEdgeFacesOutward) {
  EntityStore store;
  Segment* list = nullptr;
  add_square(store, list, 0, 0, 100);
  // The head is the left edge running south: its right side faces outward.
  SearchList walked(list, store, 0.5);
  Segment* q = pick_outer_edge(walked);
  ASSERT_EQ(q, list);
  EXPECT_EQ((Edge{q->x1, q->y1, q->x2, q->y2}), (Edge{0, 100, 0, 0}));
  // Reversed, its right side faces the square; it is turned back.
  reverse_segment(*q);
  q = pick_outer_edge(walked);
  EXPECT_EQ((Edge{q->x1, q->y1, q->x2, q->y2}), (Edge{0, 100, 0, 0}));
}

TEST(RegionsOuter, EdgeInsideAFigureIsNotOuter) {
  EntityStore store;
  Segment* list = nullptr;
  add_square(store, list, 0, 0, 100);
  add_edge(store, list, 40, 40, 60, 40);
  // Only the inner edge is free; the taken-for-tracing sides still block its probes.
  for (Segment* e = list->next; e != nullptr; e = e->next) e->set_trace_mark(1);
  SearchList walked(list, store, 0.5);
  EXPECT_EQ(pick_outer_edge(walked), nullptr);
}

TEST(RegionsOuter, DropEnclosedKeepsTakenAndOutsideSegments) {
  EntityStore store;
  Segment* loop = nullptr;
  add_square(store, loop, 0, 0, 100);
  Segment* list = nullptr;
  add_edge(store, list, 10, 10, 20, 10);  // inside, free: dropped
  Segment* taken = add_edge(store, list, 30, 30, 40, 30);
  taken->set_region_state(1);
  add_edge(store, list, 200, 10, 220, 10);  // outside
  add_edge(store, list, 50, 50, 60, 50);    // inside, the head: dropped
  {
    SearchList walked(list, store, 0.5);
    drop_enclosed(loop, walked);
  }
  std::vector<Edge> want{{200, 10, 220, 10}, {30, 30, 40, 30}};
  EXPECT_EQ(edges_of(list), want);
}

TEST(RegionsModes, BreakCheckSearchesOnlyWithOffsetMode) {
  for (int offset : {0, 1}) {
    Search s(1);
    s.settings.break_check = 1;
    s.settings.offset_mode = offset;
    add_square(s.store, s.list(), 0, 0, 100);
    s.store.add_pick_point(50, 50);
    s.run();
    EXPECT_EQ(s.regions().size(), offset == 1 ? 1u : 0u);
  }
}

TEST(RegionsTextBoxes, EachTextBecomesOneFourEdgeLoop) {
  EntityStore store;
  SearchResults results;
  Segment*& texts = store.text_edge_list;
  // Appended in reading order: text 7, text 8, then text 9 that lost two edges.
  auto box = [&](int id, double x) {
    store.append_segment_copy(texts, Segment{id, 0, x, 0, x + 10, 0, nullptr, nullptr}, 0.5);
    store.append_segment_copy(texts, Segment{id, 0, x + 10, 0, x + 10, 5, nullptr, nullptr}, 0.5);
    store.append_segment_copy(texts, Segment{id, 0, x + 10, 5, x, 5, nullptr, nullptr}, 0.5);
    store.append_segment_copy(texts, Segment{id, 0, x, 5, x, 0, nullptr, nullptr}, 0.5);
  };
  box(7, 0);
  box(8, 100);
  store.append_segment_copy(texts, Segment{9, 0, 200, 0, 210, 0, nullptr, nullptr}, 0.5);
  store.append_segment_copy(texts, Segment{9, 0, 210, 0, 200, 0, nullptr, nullptr}, 0.5);
  std::size_t before = store.segments.live();
  group_text_boxes(store, results);
  EXPECT_EQ(store.text_edge_list, nullptr);
  EXPECT_EQ(store.segments.live(), before - 2);
  ASSERT_NE(results.text_box_loops, nullptr);
  const LoopNode* last = results.text_box_loops;
  ASSERT_NE(last->next, nullptr);
  EXPECT_EQ(last->next->next, nullptr);
  for (const LoopNode* n = last; n != nullptr; n = n->next) {
    EXPECT_EQ(length_of(n->loop), 4);
    EXPECT_TRUE(test::is_closed_chain(n->loop, 0.5));
  }
  EXPECT_EQ(last->loop->id, 8);
  EXPECT_EQ(last->next->loop->id, 7);
  EXPECT_EQ((Edge{last->loop->x1, last->loop->y1, last->loop->x2, last->loop->y2}), (Edge{100, 0, 110, 0}));
}

}  // namespace
}  // namespace hatch
