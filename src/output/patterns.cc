#include "output/patterns.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "base/interrupt.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"
#include "output/clipping.h"
#include "output/exchange_writer.h"

namespace hatch {

namespace {

Segment shifted(Segment row, double dy) {
  row.y1 += dy;
  row.y2 += dy;
  return row;
}

}  // namespace

void hatch_rows(OutputContext& ctx, Segment row, double step) {
  const Box& b = ctx.bounds;
  const double magnitude = std::max(std::fabs(row.x1), std::fabs(row.x2));
  const Spans near = loop_spans(ctx, Axis::y, true, magnitude);
  // A row beyond every outline writes nothing, but it still selects the next
  // attribute set: such rows are stepped over only while both sets are one and
  // already selected, when selecting writes nothing either.
  const AttrSet& a0 = ctx.settings.hatch_attr[0];
  const AttrSet& a1 = ctx.settings.hatch_attr[1];
  const bool one_set = a0.layer == a1.layer && a0.line_type == a1.line_type && a0.color == a1.color;
  // A row's crossings keep its y, so its pieces' midpoints lie on it.
  const Spans live = one_set ? writing_spans(ctx, Axis::y, true, magnitude, 0.0, 0.0, -1.0, 0.0) : near;
  SpanCursor near_cursor(near), live_cursor(live);
  auto needed = [&](double y) {
    const bool selected =
        ctx.state.layer == a0.layer && ctx.state.line_type == a0.line_type && ctx.state.color == a0.color;
    const double n = near_cursor.next_needed(y, b.max_y);
    return one_set && selected ? std::max(n, live_cursor.next_needed(y, b.max_y)) : n;
  };
  int set = 0;
  walk_where(
      row.y1, b.max_y, step, needed,
      [&](double y) {
        rearm_interrupt();
        row.y1 = row.y2 = y;
        int n = 0;
        if (ctx.settings.fill_mode != FillMode::all_outer ||
            segment_meets_box(row, b.min_x, b.min_y, b.max_x, b.max_y))
          n = collect_all_crossings(ctx, row);
        if (n >= 1) {
          select_hatch_attr(ctx, set);
          set ^= 1;
          clip_and_write(ctx, n, row);
        }
      },
      [](std::int64_t) {});
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
      const Segment row = *grid;
      if (st.line_count == 1) {
        hatch_rows(ctx, row, pitch);
      } else if (st.line_count == 2) {
        hatch_rows(ctx, shifted(row, st.line_spacing / 2.0), pitch);
        hatch_rows(ctx, shifted(row, -st.line_spacing / 2.0), pitch);
      } else if (st.line_count == 3) {
        hatch_rows(ctx, row, pitch);
        hatch_rows(ctx, shifted(row, st.line_spacing), pitch);
        hatch_rows(ctx, shifted(row, -st.line_spacing), pitch);
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
  // A course's top is summed on its own, so it may stray from y + ty by what
  // rounding gathers over the walk: the courses kept widen by that much.
  const double far = std::max({std::fabs(grid->x1), std::fabs(grid->y1), b.magnitude()}) + 2.0 * (tx + ty);
  const double joint = 2.0 * (tx + ty);
  // A joint is upright, so its crossings keep its x and lie at most 0.1 beyond its ends.
  const Spans course_spans = writing_spans(ctx, Axis::y, false, far, ty + twin_sum_drift(far), 0.0, joint, 0.1);
  const Spans column_spans = writing_spans(ctx, Axis::x, false, far, 0.0, 0.0, joint, 0.0);
  for (int k = 0; k < 2; ++k) {
    const double y_start = grid->y1 + k * ty;
    double y_top = y_start + ty;
    walk(
        y_start, b.max_y + ty, 2.0 * ty, course_spans,
        [&](double y) {
          rearm_interrupt();
          walk(
              grid->x1 + k * tx * 0.5, b.max_x + tx, tx, column_spans,
              [&](double x) {
                rearm_interrupt();
                write_clipped(ctx, make_segment(x, y, x, y_top));
              },
              [](std::int64_t) {});
          y_top += 2.0 * ty;
        },
        [&](std::int64_t skipped) { y_top = after_additions(y_top, 2.0 * ty, skipped); });
  }
}

void fan_pattern(OutputContext& ctx) {
  const Box& b = ctx.bounds;
  const int n = ctx.settings.figure_count;
  const double h = b.max_y - b.min_y;
  if (n <= 0 || !(h > 0.0)) return;
  // A band whose next band starts at most 2h on has its strokes within 3h of
  // its start, at most 2h by h each; summed from the band's start up to a
  // million times over, they stray less than the rounding slack of a loop
  // they come near.
  const double far = std::max(std::fabs(b.min_x - h), b.magnitude()) + 4.0 * h;
  fan_pattern(ctx, n > 1000000 ? Spans{} : writing_spans(ctx, Axis::x, false, far, 3.0 * h, 0.0, 3.0 * h));
}

void fan_pattern(OutputContext& ctx, const Spans& starts) {
  const Box& b = ctx.bounds;
  const int n = ctx.settings.figure_count;
  const double h = b.max_y - b.min_y;
  if (n <= 0 || !(h > 0.0)) return;
  const double s = h / n;
  Segment stroke = make_segment(b.min_x - h, b.max_y, b.min_x, b.min_y);
  Segment copy = stroke;
  double sign = 1.0;
  SpanCursor cursor(starts);
  for (std::int64_t bands = step_budget(stroke.x1, b.max_x, h); bands > 0 && stroke.x1 < b.max_x; --bands) {
    rearm_interrupt();
    // A band's first stroke runs from its start to the next band's, and each
    // start is the one two bands back plus 2h: pairs of bands that start before
    // the next start that may write are stepped over with both sums.
    const double needed = cursor.next_needed(stroke.x1, b.max_x);
    const double step = 2.0 * h;
    const bool writes = !(stroke.x1 < needed && stroke.x2 - stroke.x1 <= step);
    if (!writes && bands > 2 && (stroke.x1 + step) - stroke.x2 <= step) {
      const std::int64_t pairs = repeat_add_pair(stroke.x1, stroke.x2, step, (bands - 1) / 2, needed);
      if (pairs > 0) {
        copy = stroke;
        bands -= 2 * pairs - 1;  // the loop's own step takes off the last
        continue;
      }
    }
    const double band_start = stroke.x1;
    for (int i = 0; writes && i < n; ++i) {
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
  const Segment passes[3] = {
      make_segment(x0, b.min_y, x0 + d, b.max_y),
      make_segment(x0 + 0.75 * d, b.max_y - h / 4.0, x0 + 0.5 * d, b.max_y),
      make_segment(x0 + 0.25 * d, b.min_y + h / 4.0, x0 + 0.5 * d, b.min_y),
  };
  // A stroke's top end is summed on its own; the strokes kept widen by what it may stray.
  const double far = std::max(std::fabs(x0), b.magnitude()) + 2.0 * (a + d);
  const double drift = twin_sum_drift(far);
  const Spans spans = writing_spans(ctx, Axis::x, false, far, d + drift, d + drift);
  for (Segment stroke : passes) {
    walk(
        stroke.x1, b.max_x, a, spans,
        [&](double x) {
          rearm_interrupt();
          stroke.x1 = x;
          write_clipped(ctx, stroke);
          stroke.x2 += a;
        },
        [&](std::int64_t skipped) { stroke.x2 = after_additions(stroke.x2, a, skipped); });
  }
}

}  // namespace hatch
