#include "output/clipping.h"

#include <algorithm>
#include <cmath>

#include "geometry/primitives.h"
#include "geometry/relations.h"
#include "output/exchange_writer.h"

namespace hatch {

namespace {

// Truncation toward zero into 64 bits; false for NaN and values beyond the range.
bool truncate_to_int64(double v, std::int64_t& out) {
  if (!(std::fabs(v) < 9223372036854775808.0)) return false;
  out = static_cast<std::int64_t>(v);
  return true;
}

// Both ends beyond the same side of the bounding rectangle: no loop can be crossed.
bool beyond_one_side(const Segment& s, const Box& b) {
  return (s.x1 < b.min_x && s.x2 < b.min_x) || (s.x1 > b.max_x && s.x2 > b.max_x) ||
         (s.y1 < b.min_y && s.y2 < b.min_y) || (s.y1 > b.max_y && s.y2 > b.max_y);
}

template <class F>
void for_each_edge(const SearchResults& results, F visit) {
  for_each_loop(results, [&](Segment* loop, LoopKind) {
    for (Segment* e = loop; e != nullptr; e = e->next) visit(*e);
  });
}

// Moves every loop edge and arc through `move`, turning the arcs' tilt by `turn`.
template <class F>
void move_geometry(OutputContext& ctx, double turn, F move) {
  ctx.loop_bounds.clear();
  ctx.clip_index.clear();
  for_each_edge(ctx.results, [&](Segment& e) {
    move(e.x1, e.y1);
    move(e.x2, e.y2);
  });
  for (Arc* a = ctx.store.arc_list; a != nullptr; a = a->next) {
    move(a->cx, a->cy);
    a->tilt += turn;
  }
}

}  // namespace

void to_hatch_frame(OutputContext& ctx, double theta) {
  const HatchFrame& frame = ctx.frame_for(theta);
  move_geometry(ctx, -theta, [&](double& x, double& y) { frame.to_hatch(x, y); });
}

void from_hatch_frame(OutputContext& ctx, double theta) {
  const HatchFrame& frame = ctx.frame_for(theta);
  move_geometry(ctx, theta, [&](double& x, double& y) { frame.to_drawing(x, y); });
}

void hatch_bounds(OutputContext& ctx) {
  Box& b = ctx.bounds;
  b.min_x = b.min_y = ctx.store.reach;
  b.max_x = b.max_y = -ctx.store.reach;
  for_each_edge(ctx.results, [&](const Segment& e) {
    b.widen(e.x1, e.y1);
    b.widen(e.x2, e.y2);
  });
  ctx.loop_bounds.clear();
  for_each_loop(ctx.results,
                [&](const Segment* loop, LoopKind) { ctx.loop_bounds.emplace_back(loop, loop_bounds(loop)); });
  ctx.clip_index.clear();
  if (!ctx.store.full_scans) {
    std::vector<ClipIndex::Loop> loops;
    std::vector<LoopBounds> bounds;
    for_each_loop(ctx.results, [&](const Segment* loop, LoopKind kind) { loops.push_back({loop, kind}); });
    for (const auto& lb : ctx.loop_bounds) bounds.push_back(lb.second);
    ctx.clip_index.build(loops, bounds);
  }
}

namespace {

// The box tests grant 1e-9 of the coordinates' size; a few times that covers
// their rounding. A stroke no bigger than `stroke_size` that comes near a loop
// has the loop's size and its own, however far others of the walk reach.
double rounding_slack(const OutputContext& ctx, const Box& loop, double stroke_magnitude, double stroke_size) {
  if (stroke_size >= 0.0) return 4e-9 * (1.0 + loop.magnitude() + stroke_size);
  return 4e-9 * (1.0 + std::max(ctx.bounds.magnitude(), std::fabs(stroke_magnitude)));
}

// The inside test grants no slack of its own: a midpoint it finds inside lies
// within the margin of surely_outside, up to the rounding of the midpoint and
// of the box's edges, a few units in the last place of the coordinates.
double point_slack(const OutputContext& ctx, const LoopBounds& loop, double stroke_magnitude, double stroke_size) {
  const double near = loop.box.magnitude() + 2.0 * loop.gaps + 1.0;
  if (stroke_size >= 0.0) return 1e-14 * (1.0 + near + stroke_size);
  return 1e-14 * (1.0 + std::max({near, ctx.bounds.magnitude(), std::fabs(stroke_magnitude)}));
}

// Beyond this a midpoint's sum may overflow, and nothing is promised.
constexpr double kPointSlackLimit = 1e-14 * 1e300;

// A loop whose inside may be area to fill: an outline, or a text box when text boxes are filled.
bool fills(const OutputContext& ctx, LoopKind kind) {
  return kind == LoopKind::outline || (ctx.settings.fill_mode == FillMode::all_outer && kind == LoopKind::text_box);
}

}  // namespace

Spans loop_spans(const OutputContext& ctx, Axis axis, bool rows, double stroke_magnitude, double stroke_size) {
  if (!ctx.step_over) return Spans{};
  if (ctx.loop_bounds.empty()) {
    bool any = false;
    for_each_loop(ctx.results, [&](const Segment*, LoopKind) { any = true; });
    if (!any) return Spans{false, {}};  // nothing to meet: no stroke can write or pick attributes
  }
  Spans spans;
  for (const auto& [loop, b] : ctx.loop_bounds) {
    if (!b.finite || !(rows || b.long_edges)) return Spans{};
    const double slack = rounding_slack(ctx, b.box, stroke_magnitude, stroke_size);
    if (!std::isfinite(slack)) return Spans{};
    const double pad = (rows ? kRelationReach : std::max(kRelationReach, 2.0 * b.gaps + 0.2)) + slack;
    if (axis == Axis::y)
      spans.add(b.box.min_y - pad, b.box.max_y + pad);
    else
      spans.add(b.box.min_x - pad, b.box.max_x + pad);
  }
  if (!std::isfinite(rounding_slack(ctx, ctx.bounds, stroke_magnitude, stroke_size))) return Spans{};
  spans.close();
  return spans;
}

Spans writing_spans(const OutputContext& ctx, Axis axis, bool rows, double stroke_magnitude, double below,
                    double above, double stroke_size, double midpoint_reach) {
  const Spans near = loop_spans(ctx, axis, rows, stroke_magnitude, stroke_size).widened(below, above);
  if (!ctx.step_over) return near;
  const bool boxes_filled = ctx.settings.fill_mode == FillMode::all_outer;
  const bool midpoints_known = midpoint_reach >= 0.0;
  if (boxes_filled && !midpoints_known) return near;
  if (!std::isfinite(rounding_slack(ctx, ctx.bounds, stroke_magnitude, stroke_size))) return near;
  auto lo_of = [&](const Box& b) { return (axis == Axis::y ? b.min_y : b.min_x) - below; };
  auto hi_of = [&](const Box& b) { return (axis == Axis::y ? b.max_y : b.max_x) + above; };
  Spans live;
  // Where holes and text boxes lying beyond every outline could together put a
  // 50th crossing on one stroke: those strokes end the run, so they are walked.
  // One whose box bounds nothing (too short an edge, a coordinate out of
  // range) may cross a stroke anywhere. Where the strokes' midpoints are known,
  // the loops that are filled count here too: their own spans then cover only
  // where the inside test can answer yes.
  std::vector<std::pair<double, int>> edges_from;
  long long anywhere = 0;
  std::size_t i = 0;
  bool in_step = true, bounded = true;
  for_each_loop(ctx.results, [&](const Segment* loop, LoopKind kind) {
    if (i >= ctx.loop_bounds.size() || ctx.loop_bounds[i].first != loop) in_step = false;
    if (!in_step || !bounded) return;
    const LoopBounds& b = ctx.loop_bounds[i++].second;
    const bool boxed = b.finite && (rows || b.long_edges);
    const double slack = rounding_slack(ctx, b.box, stroke_magnitude, stroke_size);
    const bool filled = fills(ctx, kind);
    if (filled && !midpoints_known) {
      if (!boxed) bounded = false;
      const double pad = std::max(kRelationReach, 2.0 * b.gaps + 0.2) + slack;
      live.add(lo_of(b.box) - pad, hi_of(b.box) + pad);
      return;
    }
    if (filled) {
      // A piece is written when its midpoint, at most midpoint_reach beyond
      // the stroke, passes the inside test: within 2 gaps + 0.2 of the box.
      const double fine = point_slack(ctx, b, stroke_magnitude, stroke_size);
      if (!b.finite || !(fine < kPointSlackLimit)) {
        bounded = false;
        return;
      }
      const double pad = 2.0 * b.gaps + 0.2 + midpoint_reach + fine;
      live.add(lo_of(b.box) - pad, hi_of(b.box) + pad);
    }
    int edges = 0;
    for (const Segment* e = loop; e != nullptr; e = e->next) ++edges;
    if (!boxed) {
      anywhere += edges;
      return;
    }
    const double pad = kRelationReach + slack;
    edges_from.emplace_back(lo_of(b.box) - pad, edges);
    edges_from.emplace_back(hi_of(b.box) + pad, -edges);
  });
  if (!in_step || !bounded || anywhere >= CrossingTable::kSlots - 1) return near;
  std::sort(edges_from.begin(), edges_from.end(),
            [](const auto& a, const auto& b) { return a.first < b.first || (a.first == b.first && a.second > b.second); });
  long long crossing = anywhere;
  double from = 0.0;
  for (const auto& [at, edges] : edges_from) {
    const bool was_over = crossing >= CrossingTable::kSlots - 1;
    crossing += edges;
    const bool over = crossing >= CrossingTable::kSlots - 1;
    if (!was_over && over) from = at;
    if (was_over && !over) live.add(from, at);
  }
  if (live.spans.empty()) return Spans{false, {}};
  live.close();
  return live;
}

std::optional<Segment> hatch_grid(const OutputContext& ctx, double tile_x, double tile_y) {
  const double row_pitch = 2.0 * tile_y;
  if (!(tile_x > 0.0) || !(tile_y > 0.0) || !std::isfinite(tile_x) || !std::isfinite(row_pitch)) return {};
  const Box& b = ctx.bounds;
  std::int64_t inner_x, inner_y, ix, iy;
  if (!truncate_to_int64(b.min_x - tile_x, inner_x) ||
      !truncate_to_int64(static_cast<double>(inner_x) / tile_x, ix) ||
      !truncate_to_int64(b.min_y - row_pitch, inner_y) ||
      !truncate_to_int64(static_cast<double>(inner_y) / row_pitch, iy))
    return {};
  const double y = static_cast<double>(iy) * row_pitch;
  return make_segment(static_cast<double>(ix) * tile_x, y, b.max_x + tile_x, y);
}

namespace {

// Walks the loops in clipping order with their bounds, when hatch_bounds made them for these loops.
class LoopWalk {
 public:
  explicit LoopWalk(const OutputContext& ctx) : bounds_(ctx.loop_bounds) {}
  const LoopBounds* next(const Segment* loop) {
    if (i_ < bounds_.size() && bounds_[i_].first == loop) return &bounds_[i_++].second;
    i_ = bounds_.size();  // out of step: answer every question the long way
    return nullptr;
  }

 private:
  const std::vector<std::pair<const Segment*, LoopBounds>>& bounds_;
  std::size_t i_ = 0;
};

}  // namespace

int inside_fill(const OutputContext& ctx, double x, double y) {
  const double tol = ctx.settings.tolerance;
  bool in_outline = false, in_island = false, in_box = false;
  auto flag_of = [&](LoopKind kind) -> bool& {
    return kind == LoopKind::outline ? in_outline : kind == LoopKind::island ? in_island : in_box;
  };
  if (ctx.clip_index.built()) {
    // Each flag says whether some loop of its kind holds the point: which loop asks first does not matter.
    const ClipIndex& index = ctx.clip_index;
    index.loops_at(x, y, [&](std::size_t l) {
      const ClipIndex::Loop& loop = index.loops()[l];
      bool& flag = flag_of(loop.kind);
      if (flag) return;
      const LoopBounds& b = ctx.loop_bounds[l].second;
      if (surely_outside(b, x, y)) return;
      flag = winding_test(loop.first, x, y, tol) == 1;
    });
  } else {
    LoopWalk walk(ctx);
    for_each_loop(ctx.results, [&](const Segment* loop, LoopKind kind) {
      bool& flag = flag_of(kind);
      const LoopBounds* b = walk.next(loop);
      if (flag) return;
      if (b != nullptr && surely_outside(*b, x, y)) return;
      flag = winding_test(loop, x, y, tol) == 1;
    });
  }
  if (in_island) return 0;
  if (in_outline) return in_box ? 0 : 1;
  return in_box && ctx.settings.fill_mode == FillMode::all_outer ? 1 : 0;
}

int collect_all_crossings(OutputContext& ctx, const Segment& s) {
  int n = 0;
  bool meets_fill = false;
  auto note = [&](LoopKind kind, int added) {
    if (added > 0 && fills(ctx, kind)) meets_fill = true;
  };
  if (ctx.clip_index.built()) {
    // Only the edges near the stroke can add crossings; they come loop by loop in
    // clipping order, each loop's in chain order, as the walk over all edges meets them.
    ctx.clip_index.edges_near(s, [&](std::size_t l, const std::vector<Segment*>& edges) {
      const int added = collect_crossings(ctx.table, edges, s, n);
      note(ctx.clip_index.loops()[l].kind, added);
      n += added;
    });
  } else {
    LoopWalk walk(ctx);
    for_each_loop(ctx.results, [&](const Segment* loop, LoopKind kind) {
      const LoopBounds* b = walk.next(loop);
      // A loop that adds no crossing leaves the table untouched: skipping it changes nothing.
      if (b != nullptr && surely_no_crossing(*b, s)) return;
      const int added = collect_crossings(ctx.table, loop, s, n);
      note(kind, added);
      n += added;
    });
  }
  if (meets_fill && ctx.tally != nullptr) ++ctx.tally->strokes_meeting_fill;
  return n;
}

void clip_and_write(OutputContext& ctx, int n, const Segment& s) {
  const Crossing* c = ctx.table.entries;
  for (int i = 0; i <= n; ++i) {
    const bool first = i == 0, last = i == n;
    const double ax = first ? s.x1 : c[i - 1].x, ay = first ? s.y1 : c[i - 1].y;
    const double bx = last ? s.x2 : c[i].x, by = last ? s.y2 : c[i].y;
    if (inside_fill(ctx, (ax + bx) * 0.5, (ay + by) * 0.5) != 1) continue;
    write_z_marker(ctx);
    write_hatch_segment(ctx, first ? s.x1 : c[i - 1].x_used, first ? s.y1 : c[i - 1].y_used,
                        last ? s.x2 : c[i].x_used, last ? s.y2 : c[i].y_used);
  }
}

void write_if_inside(OutputContext& ctx, const Segment& s) {
  const XY m = midpoint(s);
  if (inside_fill(ctx, m.x, m.y) != 1) return;
  write_z_marker(ctx);
  write_hatch_segment(ctx, s.x1, s.y1, s.x2, s.y2);
}

void write_clipped(OutputContext& ctx, const Segment& s) {
  int n = 0;
  if (ctx.settings.fill_mode != FillMode::all_outer || !beyond_one_side(s, ctx.bounds))
    n = collect_all_crossings(ctx, s);
  if (n >= 1)
    clip_and_write(ctx, n, s);
  else
    write_if_inside(ctx, s);
}

}  // namespace hatch
