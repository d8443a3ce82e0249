// The hatch strokes of the line, brick, fan and slant styles, clipped to the
// regions, their islands and the text boxes, and the clipping machinery that
// figure tiling shares. Strokes live in the hatch frame: the drawing frame
// moved by minus the hatch origin and turned by minus the hatch angle.
#pragma once

#include <optional>

#include "base/records.h"
#include "output/output_context.h"

namespace hatch {

// The hatch phase of write_results: by hatch_style 0 lines, 1 brick, 2 figure, 3 fan, 4 slant.
void write_hatch(OutputContext& ctx);

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
// Horizontal rows from `row` upwards while below max_y; rows that reach a loop
// alternate the attribute sets 0 and 1.
void hatch_rows(OutputContext& ctx, Segment row, double step);

void line_hatch(OutputContext& ctx);
void brick_pattern(OutputContext& ctx);
void fan_pattern(OutputContext& ctx);
void slant_pattern(OutputContext& ctx);

}  // namespace hatch
