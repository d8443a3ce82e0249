#include "output/figure_tiling.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "boundary/split_arcs.h"
#include "base/failure.h"
#include "base/interrupt.h"
#include "base/messages.h"
#include "geometry/arcs.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"
#include "output/exchange_writer.h"
#include "output/clipping.h"

namespace hatch {

namespace {

void want_line_attributes(OutputContext& ctx, std::uint32_t attr) {
  ctx.wanted.layer = attr_layer(attr);
  ctx.wanted.line_type = attr_line_type(attr);
  ctx.wanted.color = attr_colour(attr);
}

void want_point_attributes(OutputContext& ctx, std::uint32_t attr) {
  ctx.wanted.layer = attr_layer(attr);
  ctx.wanted.pen = attr_pen(attr);
}

enum class Placement { clipped, whole };

void place(OutputContext& ctx, Placement how, double x, double y) {
  if (how == Placement::whole)
    place_figure_whole(ctx, x, y);
  else
    place_figure_clipped(ctx, x, y);
}

// Positive but smaller than the tolerance along either side.
bool tile_below_tolerance(double w, double h, double tol) {
  return (w > 0.0 && w < tol) || (h > 0.0 && h < tol);
}

// Where a copy placed at (ox, oy) reaches, relative to (ox, oy); not finite when unknown.
Box figure_reach(const FigureData& fig) {
  Box r{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (const FigureLine* l = fig.lines; l != nullptr; l = l->next) {
    r.widen(l->x1, l->y1);
    r.widen(l->x2, l->y2);
  }
  for (const Arc* a = fig.arcs; a != nullptr; a = a->next) {
    const double reach = std::fabs(a->r) * std::max(1.0, std::fabs(a->flatness));
    r.widen(a->cx - reach, a->cy - reach);
    r.widen(a->cx + reach, a->cy + reach);
  }
  for (const Point* p = fig.points; p != nullptr; p = p->next) r.widen(p->x, p->y);
  return r;
}

// A clipped copy that writes nothing still names its lines' attributes, line
// by line: when they are all one set, a run of such copies names it at most
// once, and that is all a skipped run must write.
bool lines_share_attributes(const FigureData& fig) {
  for (const FigureLine* l = fig.lines; l != nullptr; l = l->next) {
    if (l->attr != fig.lines->attr) return false;
    if (!long_enough_to_bound(make_segment(l->x1, l->y1, l->x2, l->y2))) return false;
  }
  return true;
}

// Rows bottom to top, each row left to right, from the grid origin of hatch_grid.
// Rows and copies that cannot reach a loop are stepped over.
void grid_walk(OutputContext& ctx, double tile_x, double tile_y, Placement how) {
  const std::optional<Segment> start = hatch_grid(ctx, tile_x, tile_y);
  if (!start) return;
  const Box b = ctx.bounds;
  // A step rounding swallows anywhere on the walk would stand the walk still there.
  const double far_x = std::max(std::fabs(start->x1), std::fabs(b.max_x + tile_x));
  const double far_y = std::max(std::fabs(start->y1), std::fabs(b.max_y + tile_y));
  if (far_x + tile_x == far_x || far_y + tile_y == far_y) fail(msg::figure_bad_counts);

  Spans rows, columns;
  const FigureData& fig = *ctx.figure;
  const double far = std::max(far_x, far_y);
  if (how == Placement::whole) {
    const double tile = std::max(tile_x, tile_y);
    // A whole copy is written when its own origin passes the inside test.
    rows = writing_spans(ctx, Axis::y, false, far, 0.0, 0.0, tile, 0.0);
    columns = writing_spans(ctx, Axis::x, false, far, 0.0, 0.0, tile, 0.0);
  } else if (const Box r = figure_reach(fig); r.finite() && lines_share_attributes(fig)) {
    const double reach = far + r.magnitude();
    const double copy = r.magnitude() + std::max(tile_x, tile_y);
    // Every line is long enough for its crossings to lie within 0.1 of its
    // ends (stretched at most 1%), and arcs and points are tested on themselves.
    rows = writing_spans(ctx, Axis::y, false, reach, r.max_y, -r.min_y, copy, 0.11);
    columns = writing_spans(ctx, Axis::x, false, reach, r.max_x, -r.min_x, copy, 0.11);
  }
  auto skipped = [&](std::int64_t) {
    if (how == Placement::whole || fig.lines == nullptr) return;
    want_line_attributes(ctx, fig.lines->attr);
    emit_wanted_attributes(ctx);
  };
  walk(
      start->y1, b.max_y + tile_y, tile_y, rows,
      [&](double y) {
        walk(start->x1, b.max_x + tile_x, tile_x, columns, [&](double x) { place(ctx, how, x, y); }, skipped);
      },
      skipped);
}

void random_walk(OutputContext& ctx, Placement how) {
  const Box b = ctx.bounds;
  const double w = b.max_x - b.min_x, h = b.max_y - b.min_y;
  FigureRandom rng;
  rng.state = FigureRandom::seed_from(b.max_x + b.max_y);
  for (int i = 0; i < ctx.settings.random_count; ++i) {
    const int u = rng.draw();
    const int v = rng.draw();
    place(ctx, how, u / 32767.0 * w + b.min_x, v / 32767.0 * h + b.min_y);
  }
}

void place_arc_clipped(OutputContext& ctx, const Arc& arc, double ox, double oy) {
  Arc* pieces = nullptr;
  if (new_arc_piece(pieces, arc, arc.start, arc.end, ctx.store) == nullptr) return;
  pieces->cx = arc.cx + ox;
  pieces->cy = arc.cy + oy;
  const double tol = ctx.settings.tolerance;
  if (ctx.clip_index.built()) {
    // Only edges near the arc's box can cut it; they come loop by loop in clipping order.
    const double margin = pieces->r + 5.0;
    const Box near{pieces->cx - margin, pieces->cy - margin, pieces->cx + margin, pieces->cy + margin};
    ctx.clip_index.edges_near_box(near, kRelationReach, [&](std::size_t, const std::vector<Segment*>& edges) {
      split_arcs_by_segments(pieces, edges, ctx.store, tol);
    });
  } else {
    for_each_loop(ctx.results, [&](const Segment* loop, LoopKind) {
      split_arcs_by_segments(pieces, loop, ctx.store, tol);
    });
  }
  for (Arc* p = pieces; p != nullptr;) {
    Arc* next = p->next;
    const XY m = arc_middle_point(*p);
    if (inside_fill(ctx, m.x, m.y) == 1) {
      want_line_attributes(ctx, arc.attr);
      emit_wanted_attributes(ctx);
      write_z_marker(ctx);
      write_figure_arc(ctx, arc.cx + ox, arc.cy + oy, *p);
    }
    ctx.store.arcs.release(p);
    p = next;
  }
}

}  // namespace

std::uint32_t FigureRandom::seed_from(double v) {
  if (!std::isfinite(v)) return 0;
  // Every double beyond 2^53 is an integer and fmod is exact, so this is the
  // low word of the truncated value at any magnitude, without an overflowing cast.
  constexpr double word = 4294967296.0;
  double low = std::fmod(std::trunc(v), word);
  if (low < 0.0) low += word;
  return static_cast<std::uint32_t>(low);
}

XY arc_middle_point(const Arc& piece) {
  const double full = 2.0 * pi;
  double s = std::fmod(piece.start + full, full);
  double e = std::fmod(piece.end + full, full);
  if (piece.start == 0.0 && piece.end == full) {
    s = 0.0;
    e = full;
  }
  return arc_point(piece, s < e ? (s + e) / 2.0 : (s - full + e) / 2.0);
}

void place_figure_clipped(OutputContext& ctx, double ox, double oy) {
  rearm_interrupt();
  const FigureData& fig = *ctx.figure;
  for (const FigureLine* l = fig.lines; l != nullptr; l = l->next) {
    want_line_attributes(ctx, l->attr);
    emit_wanted_attributes(ctx);
    write_clipped(ctx, make_segment(l->x1 + ox, l->y1 + oy, l->x2 + ox, l->y2 + oy));
  }
  for (const Arc* a = fig.arcs; a != nullptr; a = a->next) place_arc_clipped(ctx, *a, ox, oy);
  for (const Point* p = fig.points; p != nullptr; p = p->next) {
    const double x = p->x + ox, y = p->y + oy;
    if (inside_fill(ctx, x, y) != 1) continue;
    want_point_attributes(ctx, p->attr);
    emit_wanted_attributes(ctx);
    write_z_marker(ctx);
    write_figure_point(ctx, x, y);
  }
}

void place_figure_whole(OutputContext& ctx, double ox, double oy) {
  rearm_interrupt();
  if (inside_fill(ctx, ox, oy) == 0) return;
  const FigureData& fig = *ctx.figure;
  for (const FigureLine* l = fig.lines; l != nullptr; l = l->next) {
    want_line_attributes(ctx, l->attr);
    emit_wanted_attributes(ctx);
    write_z_marker(ctx);
    write_hatch_segment(ctx, l->x1 + ox, l->y1 + oy, l->x2 + ox, l->y2 + oy);
  }
  for (const Arc* a = fig.arcs; a != nullptr; a = a->next) {
    want_line_attributes(ctx, a->attr);
    emit_wanted_attributes(ctx);
    write_z_marker(ctx);
    write_figure_arc(ctx, a->cx + ox, a->cy + oy, *a);
  }
  for (const Point* p = fig.points; p != nullptr; p = p->next) {
    want_point_attributes(ctx, p->attr);
    emit_wanted_attributes(ctx);
    write_z_marker(ctx);
    write_figure_point(ctx, p->x + ox, p->y + oy);
  }
}

void tile_figure(OutputContext& ctx) {
  if (ctx.figure == nullptr) return;
  const Settings& s = ctx.settings;
  const Placement how = s.figure_variant == FigureVariant::whole ? Placement::whole : Placement::clipped;
  if (s.random_on) {
    random_walk(ctx, how);
  } else if (s.figure_variant == FigureVariant::whole) {
    // A tile below the tolerance is no tile a drawing can show: refused like a figure without extent.
    if (tile_below_tolerance(s.line_spacing, s.pitches[0], s.tolerance)) fail(msg::figure_bad_counts);
    grid_walk(ctx, s.line_spacing, s.pitches[0], Placement::whole);
  } else {
    // The line extent is the tile: without one the copies would never move on.
    const double w = ctx.figure->width, h = ctx.figure->height;
    if (!(w > 0.0) || !(h > 0.0) || !std::isfinite(w) || !std::isfinite(h)) fail(msg::figure_bad_counts);
    if (tile_below_tolerance(w, h, s.tolerance)) fail(msg::figure_bad_counts);
    grid_walk(ctx, w, h, Placement::clipped);
  }
}

}  // namespace hatch
