#include "output/hatch_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/interrupt.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"
#include "output/exchange_writer.h"
#include "output/figure_tiling.h"

namespace hatch {

namespace {

// Every loop the strokes are clipped against, in the order the crossings are collected.
template <class F>
void for_each_loop(const SearchResults& results, F visit) {
  for (Region* r = results.region_list; r != nullptr; r = r->next) {
    visit(r->outline);
    for (LoopNode* n = r->islands; n != nullptr; n = n->next) visit(n->loop);
  }
  for (LoopNode* n = results.text_box_loops; n != nullptr; n = n->next) visit(n->loop);
}

enum class LoopKind { outline, island, text_box };

template <class F>
void for_each_loop_kind(const SearchResults& results, F visit) {
  for (Region* r = results.region_list; r != nullptr; r = r->next) {
    visit(r->outline, LoopKind::outline);
    for (LoopNode* n = r->islands; n != nullptr; n = n->next) visit(n->loop, LoopKind::island);
  }
  for (LoopNode* n = results.text_box_loops; n != nullptr; n = n->next) visit(n->loop, LoopKind::text_box);
}

template <class F>
void for_each_edge(const SearchResults& results, F visit) {
  for_each_loop(results, [&](Segment* loop) {
    for (Segment* e = loop; e != nullptr; e = e->next) visit(*e);
  });
}

// An upper bound on the iterations of `v += step` from `from` until `to`, with
// slack for rounding; 0 when the step cannot move v forward.
std::int64_t step_budget(double from, double to, double step) {
  if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(from) || from + step == from) return 0;
  const double n = (to - from) / step;
  if (!(n >= 0.0)) return 1;
  if (n >= 9.0e18) return INT64_MAX;
  return static_cast<std::int64_t>(n) + 2;
}

// v += step; false when rounding swallows the step, so the loop would stand still.
bool advance(double& v, double step) {
  const double next = v + step;
  if (next == v) return false;
  v = next;
  return true;
}

// Truncation toward zero into 64 bits; false for NaN and values beyond the range.
bool truncate_to_int64(double v, std::int64_t& out) {
  if (!(std::fabs(v) < 9223372036854775808.0)) return false;
  out = static_cast<std::int64_t>(v);
  return true;
}

bool contains_point(const Segment* loop, double x, double y, double tol) {
  return winding_test(loop, x, y, tol) == 1;
}

// Both ends beyond the same side of the bounding rectangle: no loop can be crossed.
bool beyond_one_side(const Segment& s, const Box& b) {
  return (s.x1 < b.min_x && s.x2 < b.min_x) || (s.x1 > b.max_x && s.x2 > b.max_x) ||
         (s.y1 < b.min_y && s.y2 < b.min_y) || (s.y1 > b.max_y && s.y2 > b.max_y);
}

void shift_row(Segment& row, double dy) {
  row.y1 += dy;
  row.y2 += dy;
}

}  // namespace

void to_hatch_frame(OutputContext& ctx, double theta) {
  ctx.loop_bounds.clear();
  const Transform turn = Transform::rotation(-theta);
  const double ox = ctx.input.hp2_x, oy = ctx.input.hp2_y;
  auto move = [&](double& x, double& y) {
    x -= ox;
    y -= oy;
    turn.apply(x, y);
  };
  for_each_edge(ctx.results, [&](Segment& e) {
    move(e.x1, e.y1);
    move(e.x2, e.y2);
  });
  for (Arc* a = ctx.store.arc_list; a != nullptr; a = a->next) {
    move(a->cx, a->cy);
    a->tilt -= theta;
  }
}

void from_hatch_frame(OutputContext& ctx, double theta) {
  ctx.loop_bounds.clear();
  const Transform turn = Transform::rotation(theta);
  const double ox = ctx.input.hp2_x, oy = ctx.input.hp2_y;
  auto move = [&](double& x, double& y) {
    turn.apply(x, y);
    x += ox;
    y += oy;
  };
  for_each_edge(ctx.results, [&](Segment& e) {
    move(e.x1, e.y1);
    move(e.x2, e.y2);
  });
  for (Arc* a = ctx.store.arc_list; a != nullptr; a = a->next) {
    move(a->cx, a->cy);
    a->tilt += theta;
  }
}

void hatch_bounds(OutputContext& ctx) {
  Box& b = ctx.bounds;
  b.min_x = b.min_y = 100000.0;
  b.max_x = b.max_y = -100000.0;
  for_each_edge(ctx.results, [&](const Segment& e) {
    b.widen(e.x1, e.y1);
    b.widen(e.x2, e.y2);
  });
  ctx.loop_bounds.clear();
  for_each_loop(ctx.results, [&](const Segment* loop) { ctx.loop_bounds.emplace_back(loop, loop_bounds(loop)); });
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
  Segment row;
  row.x1 = static_cast<double>(ix) * tile_x;
  row.y1 = row.y2 = static_cast<double>(iy) * row_pitch;
  row.x2 = b.max_x + tile_x;
  return row;
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
  LoopWalk walk(ctx);
  auto inside = [&](const Segment* loop) {
    const LoopBounds* b = walk.next(loop);
    if (b != nullptr && surely_outside(*b, x, y)) return false;
    return contains_point(loop, x, y, tol);
  };
  bool in_outline = false, in_island = false, in_box = false;
  for_each_loop_kind(ctx.results, [&](const Segment* loop, LoopKind kind) {
    bool& flag = kind == LoopKind::outline ? in_outline : kind == LoopKind::island ? in_island : in_box;
    if (flag) {
      walk.next(loop);
      return;
    }
    flag = inside(loop);
  });
  if (in_island) return 0;
  if (in_outline) return in_box ? 0 : 1;
  return in_box && ctx.settings.fill_mode == 2 ? 1 : 0;
}

int collect_all_crossings(OutputContext& ctx, const Segment& s) {
  int n = 0;
  LoopWalk walk(ctx);
  for_each_loop(ctx.results, [&](const Segment* loop) {
    const LoopBounds* b = walk.next(loop);
    // A loop that adds no crossing leaves the table untouched: skipping it changes nothing.
    if (b != nullptr && surely_no_crossing(*b, s)) return;
    n += collect_crossings(ctx.table, loop, s, n);
  });
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
  if (ctx.settings.fill_mode != 2 || !beyond_one_side(s, ctx.bounds)) n = collect_all_crossings(ctx, s);
  if (n >= 1)
    clip_and_write(ctx, n, s);
  else
    write_if_inside(ctx, s);
}

void hatch_rows(OutputContext& ctx, Segment row, double step) {
  const Box& b = ctx.bounds;
  int set = 0;
  for (std::int64_t budget = step_budget(row.y1, b.max_y, step); budget > 0 && row.y1 < b.max_y; --budget) {
    rearm_interrupt();
    int n = 0;
    if (ctx.settings.fill_mode != 2 || segment_meets_box(row, b.min_x, b.min_y, b.max_x, b.max_y))
      n = collect_all_crossings(ctx, row);
    if (n >= 1) {
      select_hatch_attr(ctx, set);
      set ^= 1;
      clip_and_write(ctx, n, row);
    }
    if (!advance(row.y1, step)) break;
    row.y2 += step;
  }
}

void line_hatch(OutputContext& ctx) {
  const Settings& st = ctx.settings;
  const int count = std::clamp(st.angle_count, 0, 4);
  for (int k = 0; k < count; ++k) {
    rearm_interrupt();
    to_hatch_frame(ctx, st.angles[k]);
    hatch_bounds(ctx);
    ctx.angle_index = k;
    const double pitch = st.pitches[k];
    if (const std::optional<Segment> grid = hatch_grid(ctx, pitch, pitch)) {
      Segment row = *grid;
      if (st.line_count == 1) {
        hatch_rows(ctx, row, pitch);
      } else if (st.line_count == 2) {
        shift_row(row, st.line_spacing / 2.0);
        hatch_rows(ctx, row, pitch);
        row = *grid;
        shift_row(row, -st.line_spacing / 2.0);
        hatch_rows(ctx, row, pitch);
      } else if (st.line_count == 3) {
        hatch_rows(ctx, row, pitch);
        shift_row(row, st.line_spacing);
        hatch_rows(ctx, row, pitch);
        row = *grid;
        shift_row(row, -st.line_spacing);
        hatch_rows(ctx, row, pitch);
      }
    }
    from_hatch_frame(ctx, st.angles[k]);
  }
}

void brick_pattern(OutputContext& ctx) {
  const double tx = ctx.settings.tile_x, ty = ctx.settings.tile_y;
  const std::optional<Segment> grid = hatch_grid(ctx, tx, ty);
  if (!grid) return;
  const Box& b = ctx.bounds;
  hatch_rows(ctx, *grid, ty);  // bed joints

  // Head joints: every second course shifted by half a tile, in the last bed joint's attributes.
  for (int k = 0; k < 2; ++k) {
    Segment s;
    s.y1 = grid->y1 + k * ty;
    s.y2 = s.y1 + ty;
    const double y_end = b.max_y + ty, x_end = b.max_x + tx;
    for (std::int64_t rows = step_budget(s.y1, y_end, 2.0 * ty); rows > 0 && s.y1 < y_end; --rows) {
      rearm_interrupt();
      double x = grid->x1 + k * tx * 0.5;
      for (std::int64_t cols = step_budget(x, x_end, tx); cols > 0 && x < x_end; --cols) {
        rearm_interrupt();
        Segment joint;
        joint.x1 = joint.x2 = x;
        joint.y1 = s.y1;
        joint.y2 = s.y2;
        write_clipped(ctx, joint);
        if (!advance(x, tx)) break;
      }
      if (!advance(s.y1, 2.0 * ty)) break;
      s.y2 += 2.0 * ty;
    }
  }
}

void fan_pattern(OutputContext& ctx) {
  const Box& b = ctx.bounds;
  const int n = ctx.settings.figure_count;
  const double h = b.max_y - b.min_y;
  if (n <= 0 || !(h > 0.0)) return;
  const double s = h / n;
  Segment stroke;
  stroke.x1 = b.min_x - h;
  stroke.y1 = b.max_y;
  stroke.x2 = b.min_x;
  stroke.y2 = b.min_y;
  Segment copy = stroke;
  double sign = 1.0;
  for (std::int64_t bands = step_budget(stroke.x1, b.max_x, h); bands > 0 && stroke.x1 < b.max_x; --bands) {
    rearm_interrupt();
    const double band_start = stroke.x1;
    for (int i = 0; i < n; ++i) {
      rearm_interrupt();
      write_clipped(ctx, stroke);
      stroke.x1 += 2.0 * s;
      stroke.x2 += s;
      stroke.y2 += sign * s;
    }
    // The next band mirrors this one, starting where this band's first stroke ended.
    reverse_segment(copy);
    stroke = copy;
    stroke.x2 += 2.0 * h;
    copy = stroke;
    sign = -sign;
    if (!(stroke.x1 > band_start)) break;
  }
}

void slant_pattern(OutputContext& ctx) {
  const Box& b = ctx.bounds;
  const double h = b.max_y - b.min_y;
  if (!(h > 0.0)) return;
  const double a = 0.7 * h;
  const double d = h / std::tan(7.0 * pi / 18.0);
  const double x0 = b.min_x - a;
  const double passes[3][4] = {
      {x0, b.min_y, x0 + d, b.max_y},
      {x0 + 0.75 * d, b.max_y - h / 4.0, x0 + 0.5 * d, b.max_y},
      {x0 + 0.25 * d, b.min_y + h / 4.0, x0 + 0.5 * d, b.min_y},
  };
  for (const auto& p : passes) {
    Segment stroke;
    stroke.x1 = p[0];
    stroke.y1 = p[1];
    stroke.x2 = p[2];
    stroke.y2 = p[3];
    for (std::int64_t budget = step_budget(stroke.x1, b.max_x, a); budget > 0 && stroke.x1 < b.max_x; --budget) {
      rearm_interrupt();
      write_clipped(ctx, stroke);
      if (!advance(stroke.x1, a)) break;
      stroke.x2 += a;
    }
  }
}

void write_hatch(OutputContext& ctx) {
  const int style = ctx.settings.hatch_style;
  if (style >= 1 && style <= 4) to_hatch_frame(ctx, ctx.settings.angles[0]);
  hatch_bounds(ctx);
  switch (style) {
    case 0:
      line_hatch(ctx);
      break;
    case 1:
      select_hatch_attr(ctx, 0);
      brick_pattern(ctx);
      break;
    case 2:
      tile_figure(ctx);  // every figure element carries its own attributes
      break;
    case 3:
      select_hatch_attr(ctx, 0);
      fan_pattern(ctx);
      break;
    case 4:
      select_hatch_attr(ctx, 0);
      slant_pattern(ctx);
      break;
    default:
      break;
  }
}

}  // namespace hatch
