// The clipping machinery every style shares: the loops moved into the hatch
// frame, their bounds and grid, the inside test, and strokes cut at their
// crossings with the regions, their islands and the text boxes.
#pragma once

#include <cstdint>
#include <optional>

#include "base/records.h"
#include "output/output_context.h"
#include "output/walk.h"

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

enum class Axis { x, y };
// Where along `axis` something must lie to be written: within each loop's
// extent widened by how far the crossing and inside tests reach. For
// `rows`, the horizontal rows of line hatch, only crossings count: they reach
// 0.1 beyond an edge whatever its length. For any other stroke or point the
// inside test's reach counts too, and short edges promise nothing. `all` when
// some loop promises nothing. `stroke_magnitude`: the largest absolute
// coordinate a stroke of the walk may have, which sets the tests' rounding
// slack; or, for strokes no bigger than `stroke_size` (when not negative), each
// loop's own size and theirs.
Spans loop_spans(const OutputContext& ctx, Axis axis, bool rows, double stroke_magnitude, double stroke_size = -1.0);
// Within loop_spans widened by `below` and `above`, where a stroke may write or
// end the run: near a loop that is filled, or where enough loops lie for a
// 50th crossing. Beyond every outline a stroke writes nothing (unless text
// boxes are filled, fill_mode 2). Rows there still select their attribute set:
// skipping them keeps the bytes only when both sets are one and already
// selected. `midpoint_reach`, when not negative, is how far along `axis` the
// midpoint of a piece a stroke writes may lie beyond the stroke: then a filled
// loop is near only where its inside test can say yes, whatever rounding the
// crossing tests must allow for far out. Otherwise it is near within the reach
// of both tests (and with fill_mode 2 this is loop_spans).
Spans writing_spans(const OutputContext& ctx, Axis axis, bool rows, double stroke_magnitude, double below,
                    double above, double stroke_size = -1.0, double midpoint_reach = -1.0);

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
