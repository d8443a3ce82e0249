// The strokes of the line, brick, fan and slant styles in the hatch frame,
// each written clipped to the regions.
#pragma once

#include "base/records.h"
#include "output/output_context.h"
#include "output/walk.h"

namespace hatch {

// Horizontal rows from `row` upwards while below max_y; rows that reach a loop
// alternate the attribute sets 0 and 1.
void hatch_rows(OutputContext& ctx, Segment row, double step);

void line_hatch(OutputContext& ctx);
void brick_pattern(OutputContext& ctx);
void fan_pattern(OutputContext& ctx);
// The fan with bands visited only where their start lies in `starts` (Spans{}:
// every band); the rest are stepped over. fan_pattern(ctx) passes the starts
// of the bands that can reach a loop.
void fan_pattern(OutputContext& ctx, const Spans& starts);
void slant_pattern(OutputContext& ctx);

}  // namespace hatch
