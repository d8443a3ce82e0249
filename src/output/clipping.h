// The clipping machinery every style shares: the loops moved into the hatch
// frame, their bounds and grid, the inside test, and strokes cut at their
// crossings with the regions, their islands and the text boxes.
#pragma once

#include <cstdint>
#include <optional>

#include "base/records.h"
#include "output/output_context.h"

namespace hatch {

// Every loop strokes are clipped against, in the order the crossings are
// collected: each outline, then its islands, region by region, then the text boxes.
template <class F>
void for_each_loop(const SearchResults& results, F visit) {
  for (Region* r = results.region_list; r != nullptr; r = r->next) {
    visit(r->outline, LoopKind::outline);
    for (LoopNode* n = r->islands; n != nullptr; n = n->next) visit(n->loop, LoopKind::island);
  }
  for (LoopNode* n = results.text_box_loops; n != nullptr; n = n->next) visit(n->loop, LoopKind::text_box);
}

// An upper bound on the steps of `v += step` from `from` until `to`, with slack
// for rounding; 0 when the step cannot move v forward.
std::int64_t step_budget(double from, double to, double step);
// v += step; false when rounding swallows the step, so a walk would stand still.
bool advance(double& v, double step);
// Visits v = from, from + step, ... while v < to; a step that is not positive,
// or that rounding swallows, ends the walk.
template <class F>
void walk(double from, double to, double step, F visit) {
  double v = from;
  for (std::int64_t budget = step_budget(from, to, step); budget > 0 && v < to; --budget) {
    visit(v);
    if (!advance(v, step)) return;
  }
}

// Moves every loop (outlines, islands, text boxes) and every arc of arc_list
// into the hatch frame of angle theta (radians); from_hatch_frame undoes it.
void to_hatch_frame(OutputContext& ctx, double theta);
void from_hatch_frame(OutputContext& ctx, double theta);
// ctx.bounds from the end points of every loop edge; min above max when there is none.
void hatch_bounds(OutputContext& ctx);
// The first row of a grid aligned to the hatch origin, a little below and left
// of ctx.bounds: from (ix * tile_x, iy * 2 tile_y) to (max_x + tile_x, same y).
// Empty when a tile is not positive or the coordinates are too large to count in.
std::optional<Segment> hatch_grid(const OutputContext& ctx, double tile_x, double tile_y);

// 1 when (x, y) is area to fill: inside an outline, in no island and no text
// box; or, with fill_mode 2, inside a text box outside every region.
int inside_fill(const OutputContext& ctx, double x, double y);
// Fills ctx.table with the crossings of s with every loop; returns their number.
int collect_all_crossings(OutputContext& ctx, const Segment& s);
// Writes the inside pieces of s between its n crossings in ctx.table.
void clip_and_write(OutputContext& ctx, int n, const Segment& s);
// Writes s whole when its midpoint is area to fill.
void write_if_inside(OutputContext& ctx, const Segment& s);
// clip_and_write when s has crossings, else write_if_inside.
void write_clipped(OutputContext& ctx, const Segment& s);

}  // namespace hatch
