#include "regions/region_selection.h"

#include <new>

#include "base/interrupt.h"
#include "geometry/loop_bounds.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"
#include "regions/crossings.h"

namespace hatch {

namespace {

constexpr double kFar = 100000.0;

bool is_free(const Segment& s) { return (s.marks & 0xFFu) == 0; }

void reset_trace(TraceContext& ctx) {
  ctx.trace_depth = 0;
  ctx.trace_steps = 0;
}

Segment probe_right_of(const Segment& s) {
  double len = segment_length(s);
  XY m = midpoint(s);
  return make_segment(m.x, m.y, m.x + kFar * (s.y2 - s.y1) / len, m.y - kFar * (s.x2 - s.x1) / len);
}

// Outlines already taken by the outermost rule do not block.
bool probe_blocked(const Segment* list, const Segment* s, const Segment& probe) {
  for (const Segment* o = list; o != nullptr; o = o->next) {
    if (o == s || o->region_state() != 0) continue;
    if (classify_segments(*o, probe) != kNoRelation) return true;
  }
  return false;
}

}  // namespace

int prepare_start(Segment*& list, Segment* edge, double px, double py, TraceContext& ctx, EntityStore& store,
                  double tol) {
  CrossingTable table;
  int n = collect_crossings(table, list, *edge, 0);
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
  store.insert_copy(list, piece_of(*edge, edge->x1, edge->y1, c.x, c.y), tol);
  edge->x1 = c.x;
  edge->y1 = c.y;
  return 1;
}

Segment* nearest_edge_right_of(Segment* list, double px, double py, XY& hit) {
  const Segment ray = make_segment(px, py, kFar, py);
  double best = kFar;
  Segment* found = nullptr;
  for (Segment* s = list; s != nullptr; s = s->next) {
    if (!is_free(*s)) continue;
    XY at;
    if (classify_for_trace(ray, *s, &at) == 0) continue;
    double d = distance(px, py, at.x, at.y);
    if (d < best) {
      best = d;
      found = s;
      hit = at;
    }
  }
  if (found != nullptr &&
      (found->x2 - found->x1) * (py - found->y1) - (found->y2 - found->y1) * (px - found->x1) < 0.0)
    reverse_segment(*found);
  return found;
}

void find_regions_by_points(EntityStore& store, const Settings& settings, SearchResults& results) {
  const double tol = settings.tolerance;
  int index = 0;
  for (const PickPoint* p = store.pick_point_list; p != nullptr; p = p->next) {
    for (Segment* s = store.segment_list; s != nullptr; s = s->next) s->set_trace_mark(0);
    for (;;) {
      rearm_interrupt();
      XY hit;
      Segment* e = nearest_edge_right_of(store.segment_list, p->x, p->y, hit);
      if (e == nullptr) break;
      TraceContext ctx;
      Segment* out = nullptr;
      int found = 0;
      if (prepare_start(store.segment_list, e, hit.x, hit.y, ctx, store, tol) == 1) {
        reset_trace(ctx);
        found = trace_loop(store.segment_list, e, innermost, out, ctx, store, tol);
      }
      if (found == 1 && winding_test(out, p->x, p->y, tol) == 1 &&
          locate_in_regions(results.region_list, p->x, p->y, tol) == -1) {
        add_region(results.region_list, out, index, store);
        ++index;
        break;
      }
      store.free_chain(out);
      // Each rejected edge leaves the ray's reach, so the search moves outwards.
      e->set_trace_mark(1);
    }
  }
}

void mark_region_edges(EntityStore& store, const Settings& settings, const SearchResults& results) {
  const double tol = settings.tolerance;
  for (Segment* s = store.segment_list; s != nullptr; s = s->next) {
    s->clear_marks();
    bool on_outline = false;
    for (const Region* r = results.region_list; r != nullptr && !on_outline; r = r->next) {
      for (const Segment* q = r->outline; q != nullptr; q = q->next) {
        if (same_segment(*s, *q, tol)) {
          on_outline = true;
          break;
        }
      }
    }
    if (on_outline) {
      s->set_region_state(1);
      s->set_trace_mark(1);
    }
  }
}

void find_islands(Region& region, EntityStore& store, const Settings& settings) {
  const double tol = settings.tolerance;
  Segment* inner = nullptr;
  int count = 0;
  const LoopBounds bounds = loop_bounds(region.outline);
  for (const Segment* p = store.segment_list; p != nullptr; p = p->next) {
    if (p->region_state() != 0) continue;
    XY m = midpoint(*p);
    if (!surely_outside(bounds, m.x, m.y) && winding_test(region.outline, m.x, m.y, tol) == 1) {
      store.insert_copy(inner, *p, tol);
      ++count;
    }
  }
  if (count >= 3) {
    for (;;) {
      Segment* q = pick_outer_edge(inner, store, tol);
      if (q == nullptr) break;
      rearm_interrupt();
      Segment* island = nullptr;
      TraceContext ctx;
      XY m = midpoint(*q);
      if (prepare_start(inner, q, m.x, m.y, ctx, store, tol) == 1) {
        reset_trace(ctx);
        if (trace_loop(inner, q, outermost, island, ctx, store, tol) == 1) {
          drop_enclosed(island, inner, store, tol);
          LoopNode* node = store.loop_nodes.make();
          node->loop = island;
          node->next = region.islands;
          region.islands = node;
        }
      }
      store.remove_segment(inner, q);
    }
  }
  store.free_chain(inner);
}

void find_outer_regions(EntityStore& store, const Settings& settings, SearchResults& results) {
  const double tol = settings.tolerance;
  int index = 0;
  for (;;) {
    Segment* q = pick_outer_edge(store.segment_list, store, tol);
    if (q == nullptr) break;
    rearm_interrupt();
    Segment* out = nullptr;
    TraceContext ctx;
    XY m = midpoint(*q);
    if (prepare_start(store.segment_list, q, m.x, m.y, ctx, store, tol) == 1) {
      reset_trace(ctx);
      if (trace_loop(store.segment_list, q, outermost, out, ctx, store, tol) == 1) {
        drop_enclosed(out, store.segment_list, store, tol);
        add_region(results.region_list, out, index, store);
        ++index;
      }
    }
    // Every pass gives up its start edge, so the passes come to an end.
    store.remove_segment(store.segment_list, q);
  }
}

Segment* pick_outer_edge(Segment*& list, EntityStore& store, double tol) {
  for (Segment* s = list; s != nullptr; s = s->next) {
    rearm_interrupt();
    if (!is_free(*s)) continue;
    try {
      cut_at_nearest_crossing(list, s, store, tol);
    } catch (const std::bad_alloc&) {
      // Uncut, s still has a side to test; the trace cuts it where it walks.
    }
    if (!probe_blocked(list, s, probe_right_of(*s))) return s;
    reverse_segment(*s);
    if (!probe_blocked(list, s, probe_right_of(*s))) return s;
  }
  return nullptr;
}

void drop_enclosed(const Segment* loop, Segment*& list, EntityStore& store, double tol) {
  const LoopBounds bounds = loop_bounds(loop);
  Segment* s = list;
  while (s != nullptr) {
    XY m = midpoint(*s);
    if (s->region_state() == 0 && !surely_outside(bounds, m.x, m.y) && winding_test(loop, m.x, m.y, tol) == 1)
      s = store.remove_segment(list, s);
    else
      s = s->next;
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
  if (!settings.break_check && settings.fill_mode == FillMode::by_points && !settings.offset_mode) {
    find_regions_by_points(store, settings, results);
    mark_region_edges(store, settings, results);
    for (Region* r = results.region_list; r != nullptr; r = r->next) find_islands(*r, store, settings);
  } else if ((!settings.break_check && settings.fill_mode == FillMode::all_outer) || settings.offset_mode) {
    find_outer_regions(store, settings, results);
  }
}

}  // namespace hatch
