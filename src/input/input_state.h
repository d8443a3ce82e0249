// What the reader learns besides the entities: the attributes in force, the
// layer-group scales, the text tables and the special points.
#pragma once

#include "geometry/box.h"

namespace hatch {

struct InputState {
  int current_group = 0, current_layer = 0, current_color = 0;
  int current_line_type = 0, current_pen = 0, current_text_type = 0;
  int initial_group = 0, initial_layer = 0, initial_color = 0;
  int initial_line_type = 0, initial_pen = 0, initial_text_type = 0;

  double group_scale[16] = {};
  double text_height[11] = {};
  double text_box_height[11] = {};
  int text_color[11] = {};

  double hp1_x = 0.0, hp1_y = 0.0;
  double hp2_x = 0.0, hp2_y = 0.0;  // the hatch origin
  bool hp1_given = false, hp2_given = false;
  // Starts at 100000 and 0, not at an empty box: the start values are part of
  // the box, so coordinates below 0 never lower its maximum under 0.
  Box bounds{100000.0, 100000.0, 0.0, 0.0};

  // group_scale[initial] / group_scale[current]; 1 when either scale is 0.
  double group_factor() const {
    double a = group_scale[initial_group & 0xF];
    double b = group_scale[current_group & 0xF];
    if (a == 0.0 || b == 0.0) return 1.0;
    return a / b;
  }
};

}  // namespace hatch
