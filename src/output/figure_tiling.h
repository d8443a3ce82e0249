// Figure hatch: copies of the figure placed over the regions in the hatch frame.
#pragma once

#include <cstdint>

#include "base/records.h"
#include "output/output_context.h"

namespace hatch {

// Called by the hatch phase after to_hatch_frame(angles[0]) and hatch_bounds.
// /s5 tiles clipped copies edge to edge, /s6 places whole copies on the /p x /w
// grid, /r scatters random_count copies over the bounding rectangle.
void tile_figure(OutputContext& ctx);

// One copy at (ox, oy), cut element by element at the region boundaries.
void place_figure_clipped(OutputContext& ctx, double ox, double oy);
// One copy at (ox, oy), whole, when that point is area to fill; else nothing.
void place_figure_whole(OutputContext& ctx, double ox, double oy);

// The point of an arc piece halfway along its range, on the ellipse.
XY arc_middle_point(const Arc& piece);

// The scatter generator: the same drawing always gives the same points.
struct FigureRandom {
  std::uint32_t state = 0;
  // The low 32 bits of `v` truncated toward zero; 0 when v is not a number.
  static std::uint32_t seed_from(double v);
  // A value in 0 ... 32767.
  int draw() {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 32767u);
  }
};

}  // namespace hatch
