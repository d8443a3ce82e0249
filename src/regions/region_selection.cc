#include "regions/region_selection.h"

#include <algorithm>
#include <new>
#include <vector>

#include "base/interrupt.h"
#include "geometry/box_grid.h"
#include "geometry/loop_bounds.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"
#include "regions/crossings.h"

namespace hatch {

namespace {

bool is_free(const Segment& s) { return (s.marks & 0xFFu) == 0; }

void reset_trace(TraceContext& ctx) {
  ctx.trace_depth = 0;
  ctx.trace_steps = 0;
}

Segment probe_right_of(const Segment& s, double reach) {
  double len = segment_length(s);
  XY m = midpoint(s);
  return make_segment(m.x, m.y, m.x + reach * (s.y2 - s.y1) / len, m.y - reach * (s.x2 - s.x1) / len);
}

// Outlines already taken by the outermost rule do not block. Which segment
// blocks does not matter, so the walk from the probe's start stops at the first.
bool probe_blocked(SearchList& list, const Segment* s, const Segment& probe) {
  bool blocked = false;
  list.along(
      probe,
      [&](const Segment* o) {
        if (blocked || o == s || o->region_state() != 0) return;
        if (classify_segments(*o, probe) != kNoRelation) blocked = true;
      },
      [&](double) { return !blocked; });
  return blocked;
}

// The segments whose midpoint may lie inside a loop: within its box, widened
// as far as surely_outside looks.
void midpoints_maybe_inside(SearchList& list, const LoopBounds& b, std::vector<Segment*>& out) {
  list.near_box(b.box, 2.0 * b.gaps + 0.2, out);
}

// The regions found so far with the bounds of their outlines, newest first, so
// that a point asks only the outlines that may contain it.
class RegionIndex {
 public:
  RegionIndex(const Region* existing, bool full_scans, const Box& extent, std::size_t expected)
      : full_(full_scans) {
    grid_.reset(extent, std::max<std::size_t>(expected, 1));
    std::vector<const Region*> old;
    for (const Region* r = existing; r != nullptr; r = r->next) old.push_back(r);
    for (auto it = old.rbegin(); it != old.rend(); ++it) add(*it);
  }

  void add(const Region* r) {
    const auto id = static_cast<BoxGrid::Id>(regions_.size());
    regions_.push_back(r);
    const LoopBounds b = loop_bounds(r->outline);
    if (!b.finite) {
      grid_.insert_everywhere(id);
    } else {
      const double m = 2.0 * b.gaps + 0.2;
      grid_.insert(id, {b.box.min_x - m, b.box.min_y - m, b.box.max_x + m, b.box.max_y + m});
    }
  }

  // locate_in_regions over the regions that may hold the point.
  int locate(const Region* list, double px, double py, double tol) {
    if (full_) return locate_in_regions(list, px, py, tol);
    std::vector<BoxGrid::Id> ids;
    grid_.visit_near({px, py, px, py}, 0.0, [&](BoxGrid::Id id) { ids.push_back(id); });
    std::sort(ids.rbegin(), ids.rend());  // newest first, as the list runs
    for (BoxGrid::Id id : ids) {
      const int w = winding_test(regions_[id]->outline, px, py, tol);
      if (w != -1) return w;
    }
    return -1;
  }

 private:
  bool full_;
  BoxGrid grid_;
  std::vector<const Region*> regions_;
};

Box extent_of(const Segment* list) {
  Box extent{0.0, 0.0, -1.0, -1.0};
  bool any = false;
  for (const Segment* s = list; s != nullptr; s = s->next) {
    const Box b = box_of(*s);
    if (!b.finite()) continue;
    if (!any) extent = b;
    extent.widen(b.min_x, b.min_y);
    extent.widen(b.max_x, b.max_y);
    any = true;
  }
  return extent;
}

}  // namespace

int prepare_start(SearchList& list, Segment* edge, double px, double py, TraceContext& ctx) {
  const double tol = list.tol();
  CrossingTable table;
  SearchList::Scratch scratch(list);
  std::vector<Segment*>& near = *scratch;
  list.related(*edge, near);
  int n = collect_crossings(table, near, *edge, 0);
  if (n < 2) return 0;
  double d = distance(edge->x1, edge->y1, px, py);
  int i = 0;
  while (i < n && table.entries[i].distance < d) ++i;
  --i;
  if (i < 0) {
    ctx.trace_start = {edge->x1, edge->y1};
    return 1;
  }
  const Crossing& c = table.entries[i];
  if (same_point({c.x, c.y}, edge->start(), tol) || same_point({c.x, c.y}, edge->end(), tol)) {
    ctx.trace_start = {edge->x1, edge->y1};
    return 1;
  }
  ctx.trace_start = {c.x, c.y};
  list.push_copy(piece_of(*edge, edge->x1, edge->y1, c.x, c.y));
  edge->x1 = c.x;
  edge->y1 = c.y;
  list.shortened(edge);
  return 1;
}

Segment* nearest_edge_right_of(SearchList& list, double px, double py, XY& hit) {
  const double reach = list.store().reach;
  const Segment ray = make_segment(px, py, reach, py);
  // The first in list order among the nearest: the smallest distance, then the smallest rank.
  double best = reach;
  Segment* found = nullptr;
  list.along(
      ray,
      [&](Segment* s) {
        if (!is_free(*s)) return;
        XY at;
        if (classify_for_trace(ray, *s, &at) == 0) return;
        double d = distance(px, py, at.x, at.y);
        if (d < best || (d == best && found != nullptr && list.rank(s) < list.rank(found))) {
          best = d;
          found = s;
          hit = at;
        }
      },
      [&](double nearest) { return nearest <= best; });
  if (found != nullptr &&
      (found->x2 - found->x1) * (py - found->y1) - (found->y2 - found->y1) * (px - found->x1) < 0.0)
    reverse_segment(*found);
  return found;
}

void find_regions_by_points(SearchList& list, const Settings& settings, SearchResults& results) {
  EntityStore& store = list.store();
  const double tol = settings.tolerance;
  int points = 0;
  for (const PickPoint* p = store.pick_point_list; p != nullptr; p = p->next) ++points;
  RegionIndex regions(results.region_list, store.full_scans, extent_of(list.head()),
                      static_cast<std::size_t>(points));
  int index = 0;
  for (const PickPoint* p = store.pick_point_list; p != nullptr; p = p->next) {
    list.clear_trace_marks();
    for (;;) {
      rearm_interrupt();
      XY hit;
      Segment* e = nearest_edge_right_of(list, p->x, p->y, hit);
      if (e == nullptr) break;
      TraceContext ctx;
      Segment* out = nullptr;
      int found = 0;
      if (prepare_start(list, e, hit.x, hit.y, ctx) == 1) {
        reset_trace(ctx);
        found = trace_loop(list, e, innermost, out, ctx);
      }
      if (found == 1 && winding_test(out, p->x, p->y, tol) == 1 &&
          regions.locate(results.region_list, p->x, p->y, tol) == -1) {
        regions.add(add_region(results.region_list, out, index, store));
        ++index;
        break;
      }
      store.free_chain(out);
      // Each rejected edge leaves the ray's reach, so the search moves outwards.
      e->set_trace_mark(1);
      list.marked(e);
    }
  }
}

void mark_region_edges(SearchList& list, const Settings& settings, const SearchResults& results) {
  const double tol = settings.tolerance;
  // The outline edges by their ends: an edge that is the same segment as one of
  // them has an end within the tolerance of the other's start.
  std::vector<const Segment*> edges;
  for (const Region* r = results.region_list; r != nullptr; r = r->next)
    for (const Segment* q = r->outline; q != nullptr; q = q->next) edges.push_back(q);
  const bool full = list.store().full_scans;
  BoxGrid grid;
  if (!full) {
    Box extent{0.0, 0.0, -1.0, -1.0};
    bool any = false;
    for (const Segment* q : edges) {
      if (!std::isfinite(q->x1) || !std::isfinite(q->y1)) continue;
      if (!any) extent = {q->x1, q->y1, q->x1, q->y1};
      extent.widen(q->x1, q->y1);
      any = true;
    }
    grid.reset(extent, edges.size());
    for (std::size_t i = 0; i < edges.size(); ++i)
      grid.insert(static_cast<BoxGrid::Id>(i), {edges[i]->x1, edges[i]->y1, edges[i]->x1, edges[i]->y1});
  }
  for (Segment* s = list.head(); s != nullptr; s = s->next) {
    s->clear_marks();
    bool on_outline = false;
    if (full) {
      for (const Region* r = results.region_list; r != nullptr && !on_outline; r = r->next) {
        for (const Segment* q = r->outline; q != nullptr; q = q->next) {
          if (same_segment(*s, *q, tol)) {
            on_outline = true;
            break;
          }
        }
      }
    } else {
      auto look = [&](XY p) {
        grid.visit_near({p.x, p.y, p.x, p.y}, tol + 1e-9 * (1.0 + std::fabs(p.x) + std::fabs(p.y)),
                        [&](BoxGrid::Id id) {
                          if (!on_outline && same_segment(*s, *edges[id], tol)) on_outline = true;
                        });
      };
      look(s->start());
      if (!on_outline) look(s->end());
    }
    if (on_outline) {
      s->set_region_state(1);
      s->set_trace_mark(1);
    }
  }
}

namespace {

// Each pass of a search gives up its start edge, but its cuts push pieces. The
// crossings of n segments leave at most n * n pieces and starts; past that,
// rounding is making the same pieces again, and the search ends with what it
// found rather than for ever.
std::size_t pass_limit(const SearchList& list) {
  const std::size_t n = list.size();
  return n * n + 64;
}

}  // namespace

void find_islands(Region& region, SearchList& list, const Settings& settings) {
  EntityStore& store = list.store();
  const double tol = settings.tolerance;
  Segment* inner = nullptr;
  int count = 0;
  const LoopBounds bounds = loop_bounds(region.outline);
  std::vector<Segment*> near;
  midpoints_maybe_inside(list, bounds, near);
  for (const Segment* p : near) {
    if (p->region_state() != 0) continue;
    XY m = midpoint(*p);
    if (!surely_outside(bounds, m.x, m.y) && winding_test(region.outline, m.x, m.y, tol) == 1) {
      store.insert_copy(inner, *p, tol);
      ++count;
    }
  }
  if (count >= 3) {
    SearchList island_list(inner, store, tol);
    for (std::size_t passes = pass_limit(island_list); passes > 0; --passes) {
      Segment* q = pick_outer_edge(island_list);
      if (q == nullptr) break;
      rearm_interrupt();
      Segment* island = nullptr;
      TraceContext ctx;
      XY m = midpoint(*q);
      if (prepare_start(island_list, q, m.x, m.y, ctx) == 1) {
        reset_trace(ctx);
        if (trace_loop(island_list, q, outermost, island, ctx) == 1) {
          drop_enclosed(island, island_list);
          LoopNode* node = store.loop_nodes.make();
          node->loop = island;
          node->next = region.islands;
          region.islands = node;
        }
      }
      island_list.remove(q);
    }
  }
  store.free_chain(inner);
}

void find_outer_regions(SearchList& list, const Settings& settings, SearchResults& results) {
  (void)settings;
  int index = 0;
  for (std::size_t passes = pass_limit(list); passes > 0; --passes) {
    Segment* q = pick_outer_edge(list);
    if (q == nullptr) break;
    rearm_interrupt();
    Segment* out = nullptr;
    TraceContext ctx;
    XY m = midpoint(*q);
    if (prepare_start(list, q, m.x, m.y, ctx) == 1) {
      reset_trace(ctx);
      if (trace_loop(list, q, outermost, out, ctx) == 1) {
        drop_enclosed(out, list);
        add_region(results.region_list, out, index, list.store());
        ++index;
      }
    }
    // Every pass gives up its start edge; what its cuts push is bounded by pass_limit.
    list.remove(q);
  }
}

Segment* pick_outer_edge(SearchList& list) {
  return list.first_free([&](Segment* s) {
    try {
      cut_at_nearest_crossing(list, s);
    } catch (const std::bad_alloc&) {
      // Uncut, s still has a side to test; the trace cuts it where it walks.
    }
    const double reach = list.store().reach;
    if (!probe_blocked(list, s, probe_right_of(*s, reach))) return true;
    reverse_segment(*s);
    return !probe_blocked(list, s, probe_right_of(*s, reach));
  });
}

void drop_enclosed(const Segment* loop, SearchList& list) {
  const double tol = list.tol();
  const LoopBounds bounds = loop_bounds(loop);
  // Whether one segment goes does not change whether another does.
  SearchList::Scratch scratch(list);
  std::vector<Segment*>& near = *scratch;
  midpoints_maybe_inside(list, bounds, near);
  for (Segment* s : near) {
    XY m = midpoint(*s);
    if (s->region_state() == 0 && !surely_outside(bounds, m.x, m.y) && winding_test(loop, m.x, m.y, tol) == 1)
      list.remove(s);
  }
}

void group_text_boxes(EntityStore& store, SearchResults& results) {
  Segment* s = store.text_edge_list;
  store.text_edge_list = nullptr;
  while (s != nullptr) {
    // One text's edges share an id; a box that lost edges cannot close.
    Segment* first = s;
    Segment* last = s;
    int count = 1;
    while (last->next != nullptr && last->next->id == first->id) {
      last = last->next;
      ++count;
    }
    s = last->next;
    last->next = nullptr;
    if (count == 4) {
      LoopNode* node = store.loop_nodes.make();
      node->loop = first;
      node->next = results.text_box_loops;
      results.text_box_loops = node;
    } else {
      store.free_chain(first);
    }
  }
}

void search_regions(EntityStore& store, const Settings& settings, SearchResults& results) {
  const bool by_points = !settings.break_check && settings.fill_mode == FillMode::by_points && !settings.offset_mode;
  const bool outer = (!settings.break_check && settings.fill_mode == FillMode::all_outer) || settings.offset_mode;
  if (!by_points && !outer) return;
  SearchList list(store.segment_list, store, settings.tolerance);
  if (by_points) {
    find_regions_by_points(list, settings, results);
    mark_region_edges(list, settings, results);
    for (Region* r = results.region_list; r != nullptr; r = r->next) find_islands(*r, list, settings);
  } else {
    find_outer_regions(list, settings, results);
  }
}

}  // namespace hatch
