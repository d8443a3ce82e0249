#include "output/output_phase.h"

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
  if (ctx.settings.outline_on != 0) {
    for (const Region* r = ctx.results.region_list; r != nullptr; r = r->next) {
      write_outline(ctx, r->index, r->outline);
      for (const LoopNode* n = r->islands; n != nullptr; n = n->next) write_outline(ctx, r->index, n->loop);
    }
  }
  write_hatch(ctx);
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

void write_break_report(OutputContext& ctx) {
  ctx.state.color = -1;
  ctx.state.line_type = -1;
  ctx.state.layer = -1;
  ctx.state.pen = ctx.input.current_pen;
  select_hatch_attr(ctx, 0);
  const double radius = 2.0 * group_scale_of(ctx.input, ctx.input.current_group);
  if (ctx.results.break_marker_list != nullptr) {
    if (ctx.settings.break_marks != 0) ring_bell();
    std::fputs(msg::breaks_found, ctx.out);
  } else {
    std::fputs(msg::no_breaks, ctx.out);
  }
  for (const Point* p = ctx.results.break_marker_list; p != nullptr; p = p->next)
    write_circle_line(ctx.out, p->x, p->y, radius);
}

}  // namespace hatch
