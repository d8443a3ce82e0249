#include "output/output_phase.h"

#include <cmath>
#include <cstdio>

#include "base/bell.h"
#include "base/messages.h"
#include "output/clipping.h"
#include "output/exchange_writer.h"
#include "output/figure_tiling.h"
#include "output/patterns.h"

namespace hatch {

void write_results(OutputContext& ctx) {
  ctx.state = AttributeState{};
  if (ctx.settings.outline_on) {
    for (const Region* r = ctx.results.region_list; r != nullptr; r = r->next) {
      write_outline(ctx, r->index, r->outline);
      for (const LoopNode* n = r->islands; n != nullptr; n = n->next) write_outline(ctx, r->index, n->loop);
    }
  }
  write_hatch(ctx);
}

void write_hatch(OutputContext& ctx) {
  const HatchStyle style = ctx.settings.hatch_style;
  // Line hatch turns the loops angle by angle; every other style uses the first angle.
  if (style != HatchStyle::lines) to_hatch_frame(ctx, ctx.settings.angles[0]);
  hatch_bounds(ctx);
  switch (style) {
    case HatchStyle::lines:
      line_hatch(ctx);
      break;
    case HatchStyle::brick:
      select_hatch_attr(ctx, 0);
      brick_pattern(ctx);
      break;
    case HatchStyle::figure:
      tile_figure(ctx);  // every figure element carries its own attributes
      break;
    case HatchStyle::fan:
      select_hatch_attr(ctx, 0);
      fan_pattern(ctx);
      break;
    case HatchStyle::slant:
      select_hatch_attr(ctx, 0);
      slant_pattern(ctx);
      break;
  }
}

void write_break_report(OutputContext& ctx) {
  ctx.state.color = -1;
  ctx.state.line_type = -1;
  ctx.state.layer = -1;
  ctx.state.pen = ctx.input.current_pen;
  select_hatch_attr(ctx, 0);
  const double radius = 2.0 * group_scale_of(ctx.input, ctx.input.current_group);
  if (ctx.results.break_marker_list != nullptr) {
    if (ctx.settings.break_marks) ring_bell();
    std::fputs(msg::breaks_found, ctx.out);
  } else {
    std::fputs(msg::no_breaks, ctx.out);
  }
  // An end beyond the range of numbers (an arc flattened past it) is a break
  // with no place to mark: the host cannot read "inf" or "nan".
  if (!std::isfinite(radius)) return;
  for (const Point* p = ctx.results.break_marker_list; p != nullptr; p = p->next)
    if (std::isfinite(p->x) && std::isfinite(p->y)) write_circle_line(ctx.out, p->x, p->y, radius);
}

}  // namespace hatch
