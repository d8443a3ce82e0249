// The output phase of a run: the region outlines and the hatch of the chosen
// style, or in break-check mode the break report.
#pragma once

#include "output/output_context.h"

namespace hatch {

// The normal output phase: outlines (with /j), then the hatch of the chosen style.
void write_results(OutputContext& ctx);
// The hatch of write_results in the chosen style.
void write_hatch(OutputContext& ctx);
// Break-check mode: the message line and one circle per break marker.
void write_break_report(OutputContext& ctx);

}  // namespace hatch
