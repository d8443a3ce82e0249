// Figure hatch: copies of the figure placed over the regions in the hatch frame.
#pragma once

#include "output/output_context.h"

namespace hatch {

// Called by the hatch phase after to_hatch_frame(angles[0]) and hatch_bounds.
void tile_figure(OutputContext& ctx);

}  // namespace hatch
