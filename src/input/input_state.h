// What the reader learns besides the entities: the attributes in force, the
// layer-group scales, the text tables and the special points.
#pragma once

namespace hatch {

struct Box {
  double min_x = 100000.0, min_y = 100000.0;
  double max_x = 0.0, max_y = 0.0;
  void widen(double x, double y) {
    if (x < min_x) min_x = x;
    if (x > max_x) max_x = x;
    if (y < min_y) min_y = y;
    if (y > max_y) max_y = y;
  }
};

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
  Box bounds;

  // group_scale[initial] / group_scale[current]; 1 when either scale is 0.
  double group_factor() const {
    double a = group_scale[initial_group & 0xF];
    double b = group_scale[current_group & 0xF];
    if (a == 0.0 || b == 0.0) return 1.0;
    return a / b;
  }
};

}  // namespace hatch
