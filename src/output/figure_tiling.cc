#include "output/figure_tiling.h"

namespace hatch {

void tile_figure(OutputContext&) {}

}  // namespace hatch
