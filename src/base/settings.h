// The choices of one run: defaults, then the settings log, the command line and
// a few input lines set them; the run driver derives the rest at fixed steps.
#pragma once

#include <string>

namespace hatch {

enum class HatchStyle : int { lines = 0, brick = 1, figure = 2, fan = 3, slant = 4 };
enum class FigureVariant : int { tiled = 0, whole = 1 };  // /s5 clipped copies, /s6 whole copies
enum class FillMode : int { by_points = 1, all_outer = 2 };

struct AttrSet {
  int layer = -1;
  int line_type = -1;
  int color = -1;
};

struct Settings {
  // Set by options.
  HatchStyle hatch_style = HatchStyle::lines;
  int line_count = 1;
  FigureVariant figure_variant = FigureVariant::tiled;
  std::string figure_file_name;  // up to 79 bytes
  std::string extra_input_name;  // up to 255 bytes
  double tile_x = 200.0, tile_y = 100.0;
  bool outline_on = false;
  int outline_group = 0;
  bool break_check = false;
  bool break_marks = true;
  bool paper_units = false;
  int figure_count = 5;
  double figure_scale = 1.0;
  double offset_distance = 100.0;
  bool offset_mode = false;
  bool random_on = false;
  int random_count = 50;
  bool hatch_attr_given = false;
  AttrSet hatch_attr[2];
  int filter_layer = -1, filter_line_type = -1, filter_color = -1;
  int filter_mask = 0;
  double angles_deg[4] = {0.0, 0.0, 0.0, 0.0};  // as given
  double angles[4] = {0.0, 0.0, 0.0, 0.0};      // radians, from convert_angles on
  int angle_count = 1;
  double pitches[4] = {100.0, 100.0, 100.0, 100.0};
  int pitch_count = 1;
  bool pitch_along_axis = false;  // /v: the pitch was given along an axis
  double hp2_offset_x = 0.0, hp2_offset_y = 0.0;
  int z_flag = 0;
  double line_spacing = 50.0;

  // Set by the run itself.
  FillMode fill_mode = FillMode::all_outer;
  double tolerance = 0.5;
  bool ref_line_given = false;
  double ref_line_angle = 0.0;
  bool command_file_seen = false;
  std::string command_file_name;
};

}  // namespace hatch
