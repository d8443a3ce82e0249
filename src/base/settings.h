// The choices of one run: defaults, then the settings log, the command line and
// a few input lines set them; the run driver derives the rest at fixed steps.
#pragma once

#include <string>

namespace hatch {

struct AttrSet {
  int layer = -1;
  int line_type = -1;
  int color = -1;
};

struct Settings {
  // Set by options.
  int hatch_style = 0;  // 0 lines, 1 brick, 2 figure, 3 fan, 4 slant
  int line_count = 1;
  int figure_variant = 0;  // 0 tiled and clipped (/s5), 1 whole copies (/s6)
  std::string figure_file_name;  // up to 79 bytes
  std::string extra_input_name;  // up to 255 bytes
  double tile_x = 200.0, tile_y = 100.0;
  int outline_on = 0;
  int outline_group = 0;
  int break_check = 0;
  int break_marks = 1;
  int paper_units = 0;
  int figure_count = 5;
  double figure_scale = 1.0;
  double offset_distance = 100.0;
  int offset_mode = 0;
  int random_on = 0;
  int random_count = 50;
  int hatch_attr_given = 0;
  AttrSet hatch_attr[2];
  int filter_layer = -1, filter_line_type = -1, filter_color = -1;
  int filter_mask = 0;
  double angles[4] = {0.0, 0.0, 0.0, 0.0};  // degrees until converted, then radians
  int angle_count = 1;
  double pitches[4] = {100.0, 100.0, 100.0, 100.0};
  int pitch_count = 1;
  int pitch_along_axis = 0;
  double hp2_offset_x = 0.0, hp2_offset_y = 0.0;
  int z_flag = 0;
  double line_spacing = 50.0;

  // Set by the run itself.
  int fill_mode = 2;  // 1 by pick points, 2 all outer regions
  double tolerance = 0.5;
  int ref_line_given = 0;
  double ref_line_angle = 0.0;
  int command_file_seen = 0;
  std::string command_file_name;
};

}  // namespace hatch
