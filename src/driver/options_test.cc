#include "driver/options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/messages.h"
#include "geometry/primitives.h"
#include "support/scratch.h"

namespace hatch {
namespace {

Settings parse(std::vector<const char*> words) {
  Settings s;
  words.insert(words.begin(), "hatch");
  apply_options(s, static_cast<int>(words.size()), words.data());
  return s;
}

std::string failure_of(std::vector<const char*> words) {
  try {
    parse(std::move(words));
  } catch (const Failure& f) {
    return f.message;
  }
  return "(no failure)";
}

TEST(Options, StyleWordsInEitherCase) {
  EXPECT_EQ(parse({"/S4"}).hatch_style, HatchStyle::brick);
  EXPECT_EQ(parse({"/s4"}).hatch_style, HatchStyle::brick);
  Settings two = parse({"/s2"});
  EXPECT_EQ(two.hatch_style, HatchStyle::lines);
  EXPECT_EQ(two.line_count, 2);
  Settings six = parse({"/s6"});
  EXPECT_EQ(six.hatch_style, HatchStyle::figure);
  EXPECT_EQ(six.figure_variant, FigureVariant::whole);
  Settings nine = parse({"/s8", "/s9"});  // an unknown style digit changes nothing
  EXPECT_EQ(nine.hatch_style, HatchStyle::slant);
}

TEST(Options, AnglesAndPitchesCountWhatWasRead) {
  Settings s = parse({"/a30,60", "/p5"});
  EXPECT_EQ(s.angle_count, 2);
  EXPECT_DOUBLE_EQ(s.angles_deg[1], 60.0);
  for (double p : s.pitches) EXPECT_DOUBLE_EQ(p, 5.0);
  Settings t = parse({"/p5,10"});
  EXPECT_EQ(t.pitch_count, 2);
  EXPECT_DOUBLE_EQ(t.pitches[0], 5.0);
  EXPECT_DOUBLE_EQ(t.pitches[1], 10.0);
  EXPECT_DOUBLE_EQ(t.pitches[2], 100.0);
  EXPECT_DOUBLE_EQ(t.pitches[3], 100.0);
  // Nothing readable: the count is 1 and the values stay.
  Settings u = parse({"/a30,60", "/a"});
  EXPECT_EQ(u.angle_count, 1);
  EXPECT_DOUBLE_EQ(u.angles_deg[0], 30.0);
  Settings v = parse({"/v7"});
  EXPECT_EQ(v.pitch_along_axis, 1);
  EXPECT_EQ(parse({"/v7", "/p7"}).pitch_along_axis, 0);
}

TEST(Options, NumbersThatAreNotFiniteAreNotRead) {
  Settings s = parse({"/pnan", "/winf", "/a1,inf,3"});
  EXPECT_DOUBLE_EQ(s.pitches[0], 100.0);
  EXPECT_DOUBLE_EQ(s.line_spacing, 50.0);
  EXPECT_EQ(s.angle_count, 1);
}

TEST(Options, ValuedOptions) {
  Settings s = parse({"/t30,15", "/j1f", "/g2.5", "/o40", "/r7", "/k3,-4", "/z1", "/w12", "/b", "/e0",
                      "/ffig", "/mextra.txt"});
  EXPECT_DOUBLE_EQ(s.tile_x, 30.0);
  EXPECT_DOUBLE_EQ(s.tile_y, 15.0);
  EXPECT_EQ(s.outline_on, 1);
  EXPECT_EQ(s.outline_group, 0);  // 0x1f names no layer group
  EXPECT_EQ(s.figure_count, 2);
  EXPECT_DOUBLE_EQ(s.figure_scale, 2.5);
  EXPECT_DOUBLE_EQ(s.offset_distance, 40.0);
  EXPECT_EQ(s.offset_mode, 1);
  EXPECT_EQ(s.random_on, 1);
  EXPECT_EQ(s.random_count, 7);
  EXPECT_DOUBLE_EQ(s.hp2_offset_x, 3.0);
  EXPECT_DOUBLE_EQ(s.hp2_offset_y, -4.0);
  EXPECT_EQ(s.z_flag, 1);
  EXPECT_DOUBLE_EQ(s.line_spacing, 12.0);
  EXPECT_EQ(s.paper_units, 1);
  EXPECT_EQ(s.break_check, 1);
  EXPECT_EQ(s.break_marks, 0);
  EXPECT_EQ(s.figure_file_name, "fig");
  EXPECT_EQ(s.extra_input_name, "extra.txt");
  EXPECT_EQ(parse({"/jb"}).outline_group, 11);
}

TEST(Options, AttributeDigitsAndFilter) {
  Settings s = parse({"/h1xx,2xx"});
  EXPECT_EQ(s.hatch_attr_given, 1);
  EXPECT_EQ(s.hatch_attr[0].layer, 1);
  EXPECT_EQ(s.hatch_attr[0].line_type, -1);
  EXPECT_EQ(s.hatch_attr[1].layer, 2);
  Settings one = parse({"/hA35"});
  EXPECT_EQ(one.hatch_attr[0].layer, 10);
  EXPECT_EQ(one.hatch_attr[1].color, 5);
  Settings shortword = parse({"/h1"});  // missing characters read as not given
  EXPECT_EQ(shortword.hatch_attr[0].line_type, -1);
  EXPECT_EQ(shortword.hatch_attr[0].color, -1);
  Settings f = parse({"/lxx5"});
  EXPECT_EQ(f.filter_color, 5);
  EXPECT_EQ(f.filter_mask, 1);
  EXPECT_EQ(parse({"/l1x5", "/lxx5"}).filter_mask, 1);
  EXPECT_EQ(attribute_digit('0'), 0);
  EXPECT_EQ(attribute_digit('j'), 19);
  EXPECT_EQ(attribute_digit('k'), -1);
}

TEST(Options, RefusedWordsCarryTheWordsSoFar) {
  EXPECT_EQ(failure_of({"/s1", "/q5", "/a45"}), std::string("/s1 /q5 ") + msg::bad_parameter);
  EXPECT_EQ(failure_of({"/"}), std::string("/ ") + msg::bad_parameter);
  std::string long_name = "/f" + std::string(80, 'a');
  EXPECT_EQ(failure_of({long_name.c_str()}), long_name + " " + msg::bad_parameter);
  EXPECT_EQ(failure_of({"\x81\x40/a45"}), msg::full_width_space);
  // A word starting with a digit is ignored.
  EXPECT_EQ(parse({"12"}).hatch_style, HatchStyle::lines);
}

TEST(Options, CommandFileWordsAfterTheLeadingWord) {
  test::ScratchDir dir(true);  // a command file is named by a word starting with a letter
  test::write_file("cmds", "x  /s4   /a45\r\n/s1\n");
  const char* file = "cmds";
  Settings s = parse({file});
  EXPECT_EQ(s.hatch_style, HatchStyle::brick);
  EXPECT_DOUBLE_EQ(s.angles_deg[0], 45.0);
  EXPECT_EQ(s.command_file_seen, 1);
  EXPECT_EQ(failure_of({file, file}), msg::second_command_file);
}

TEST(Options, LengthsRefusedWhenZeroNegativeOrTooSmall) {
  EXPECT_EQ(failure_of({}), "(no failure)");
  auto check = [](std::vector<const char*> words) {
    Settings s = parse(std::move(words));
    try {
      check_lengths(s);
    } catch (const Failure& f) {
      return f.message;
    }
    return std::string("ok");
  };
  EXPECT_EQ(check({"/p0.3"}), msg::bad_parameter);
  EXPECT_EQ(check({"/w0"}), msg::bad_parameter);
  EXPECT_EQ(check({"/p-5"}), msg::bad_parameter);
  EXPECT_EQ(check({"/t0,10"}), msg::bad_parameter);
  EXPECT_EQ(check({"/p5,0"}), "ok");  // the second pitch belongs to no angle
  EXPECT_EQ(check({"/a0,10", "/p5,0"}), msg::bad_parameter);
}

TEST(Options, AxisPitchesFollowTheLineInclination) {
  auto pitch = [](const char* angle) {
    Settings s = parse({angle, "/v10"});
    convert_angles(s);
    return s.pitches[0];
  };
  EXPECT_DOUBLE_EQ(pitch("/a0"), 10.0);
  EXPECT_NEAR(pitch("/a60"), 8.660254, 1e-6);
  // 170 degrees leans like -10 degrees, 180 like 0: both measured along y.
  EXPECT_NEAR(pitch("/a170"), 10.0 * std::cos(10.0 * pi / 180.0), 1e-9);
  EXPECT_NEAR(pitch("/a180"), 10.0, 1e-9);
  EXPECT_NEAR(pitch("/a-120"), 10.0 * std::sin(60.0 * pi / 180.0), 1e-9);
  EXPECT_NEAR(pitch("/a1e20"), pitch("/a1e20"), 0.0);  // no endless folding
}

TEST(Options, DerivedSettings) {
  Settings s = parse({"/p5", "/w10", "/o20", "/t4,2", "/g3"});
  InputState in;
  in.initial_group = 2;
  in.group_scale[2] = 50.0;
  scale_to_paper(s, in);
  EXPECT_DOUBLE_EQ(s.pitches[3], 250.0);
  EXPECT_DOUBLE_EQ(s.line_spacing, 500.0);
  EXPECT_DOUBLE_EQ(s.offset_distance, 1000.0);
  EXPECT_DOUBLE_EQ(s.tile_x, 200.0);
  EXPECT_DOUBLE_EQ(s.figure_scale, 3.0);

  Settings h = parse({"/h1xx,2xx"});
  in.initial_line_type = 4;
  in.initial_color = 7;
  complete_hatch_attr(h, in);
  EXPECT_EQ(h.hatch_attr[0].line_type, 4);
  EXPECT_EQ(h.hatch_attr[1].color, 7);
  EXPECT_EQ(h.hatch_attr[1].layer, 2);

  Settings r;
  r.ref_line_angle = 3.0 * pi / 4.0;
  turn_angles_to_reference(r);
  EXPECT_NEAR(r.angles[0], -pi / 4.0, 1e-12);
}

}  // namespace
}  // namespace hatch
