#include "driver/options.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/messages.h"
#include "geometry/primitives.h"

namespace hatch {

namespace {

constexpr std::size_t kMaxFigureName = 79;
constexpr std::size_t kMaxExtraName = 255;
constexpr int kMaxCommandWords = 20;

// Up to `max` comma-separated numbers as "%lf,%lf,..." reads them; a value that
// is not a finite number ends the list, so nonsense never reaches the geometry.
int read_numbers(const char* text, double* out, int max) {
  double v[4] = {0.0, 0.0, 0.0, 0.0};
  int n = std::sscanf(text, "%lf,%lf,%lf,%lf", &v[0], &v[1], &v[2], &v[3]);
  if (n < 0) n = 0;
  if (n > max) n = max;
  int kept = 0;
  while (kept < n && std::isfinite(v[kept])) {
    out[kept] = v[kept];
    ++kept;
  }
  return kept;
}

bool read_int(const char* text, int& out) {
  int v;
  if (std::sscanf(text, "%d", &v) != 1) return false;
  out = v;
  return true;
}

void read_attr_triple(const char* value, std::size_t len, std::size_t at, int& a, int& b, int& c) {
  auto ch = [&](std::size_t i) { return i < len ? value[i] : '\0'; };
  a = attribute_digit(ch(at));
  b = attribute_digit(ch(at + 1));
  c = attribute_digit(ch(at + 2));
}

void apply_command_file(Settings& settings, const char* name);

void set_style(Settings& s, const char* value) {
  switch (value[0]) {
    case '1':
    case '2':
    case '3':
      s.hatch_style = HatchStyle::lines;
      read_int(value, s.line_count);
      break;
    case '4':
      s.hatch_style = HatchStyle::brick;
      break;
    case '5':
      s.hatch_style = HatchStyle::figure;
      s.figure_variant = FigureVariant::tiled;
      break;
    case '6':
      s.hatch_style = HatchStyle::figure;
      s.figure_variant = FigureVariant::whole;
      break;
    case '7':
      s.hatch_style = HatchStyle::fan;
      break;
    case '8':
      s.hatch_style = HatchStyle::slant;
      break;
    default:
      break;
  }
}

// Reads up to two numbers into a and b; those that cannot be read keep their value.
void read_pair(const char* value, double& a, double& b) {
  double v[2];
  const int n = read_numbers(value, v, 2);
  if (n >= 1) a = v[0];
  if (n >= 2) b = v[1];
}

void read_one(const char* value, double& a) {
  double v;
  if (read_numbers(value, &v, 1) == 1) a = v;
}

// Handles one option word; returns false when its letter is no option.
bool apply_option(Settings& s, const char* word) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(word[1])));
  const char* value = word[1] == '\0' ? word + 1 : word + 2;
  const std::size_t len = std::strlen(value);
  switch (letter) {
    case 'f':
      if (len > kMaxFigureName) return false;
      s.figure_file_name = value;
      return true;
    case 'm':
      if (len > kMaxExtraName) return false;
      s.extra_input_name = value;
      return true;
    case 's':
      set_style(s, value);
      return true;
    case 't':
      read_pair(value, s.tile_x, s.tile_y);
      return true;
    case 'j': {
      s.outline_on = true;
      unsigned g;
      if (std::sscanf(value, "%x", &g) == 1 && g <= 0xF) s.outline_group = static_cast<int>(g);
      return true;
    }
    case 'e':
      s.break_check = true;
      if (value[0] == '0') s.break_marks = false;
      return true;
    case 'b':
      s.paper_units = true;
      return true;
    case 'g':
      read_int(value, s.figure_count);
      read_one(value, s.figure_scale);
      return true;
    case 'o':
      read_one(value, s.offset_distance);
      s.offset_mode = true;
      return true;
    case 'r':
      s.random_on = true;
      read_int(value, s.random_count);
      return true;
    case 'h':
      s.hatch_attr_given = true;
      read_attr_triple(value, len, 0, s.hatch_attr[0].layer, s.hatch_attr[0].line_type, s.hatch_attr[0].color);
      if (len > 3 && value[3] == ',')
        read_attr_triple(value, len, 4, s.hatch_attr[1].layer, s.hatch_attr[1].line_type,
                         s.hatch_attr[1].color);
      else
        s.hatch_attr[1] = s.hatch_attr[0];
      return true;
    case 'l':
      read_attr_triple(value, len, 0, s.filter_layer, s.filter_line_type, s.filter_color);
      // Recomputed rather than accumulated, so a second /l cannot leave bits no line can match.
      s.filter_mask = (s.filter_layer != -1 ? 4 : 0) | (s.filter_line_type != -1 ? 2 : 0) |
                      (s.filter_color != -1 ? 1 : 0);
      return true;
    case 'a': {
      const int n = read_numbers(value, s.angles_deg, 4);
      s.angle_count = n > 0 ? n : 1;
      return true;
    }
    case 'k':
      read_pair(value, s.hp2_offset_x, s.hp2_offset_y);
      return true;
    case 'p':
    case 'v': {
      const int n = read_numbers(value, s.pitches, 4);
      s.pitch_count = n > 0 ? n : 1;
      s.pitch_along_axis = letter == 'v';
      return true;
    }
    case 'z':
      read_int(value, s.z_flag);
      return true;
    case 'w':
      read_one(value, s.line_spacing);
      return true;
    case 'i':
      return true;
    default:
      return false;
  }
}

bool is_ascii_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

void apply_command_file(Settings& settings, const char* name) {
  if (settings.command_file_seen) fail(msg::second_command_file);
  settings.command_file_seen = true;
  settings.command_file_name = name;
  std::FILE* f = std::fopen(name, "r");
  if (f == nullptr) fail(msg::command_file_open_failed);
  char line[256];
  if (std::fgets(line, 250, f) == nullptr) {
    std::fclose(f);
    fail(msg::command_file_empty);
  }
  std::fclose(f);
  std::size_t n = std::strlen(line);
  if (n > 0 && line[n - 1] == '\n') line[--n] = '\0';
  if (n > 0 && line[n - 1] == '\r') line[--n] = '\0';
  std::vector<std::string> words;
  const char* p = line;
  while (*p != '\0' && static_cast<int>(words.size()) < kMaxCommandWords) {
    while (*p == ' ') ++p;
    if (*p == '\0') break;
    const char* start = p;
    while (*p != '\0' && *p != ' ') ++p;
    words.emplace_back(start, p);
  }
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  apply_options(settings, static_cast<int>(argv.size()), argv.data());
}

}  // namespace

int attribute_digit(char c) {
  if (c == 'x' || c == 'X') return -1;
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'j') return 10 + (c - 'a');
  if (c >= 'A' && c <= 'J') return 10 + (c - 'A');
  return -1;
}

void apply_options(Settings& settings, int count, const char* const* words) {
  std::string so_far;
  for (int i = 1; i < count; ++i) {
    const char* word = words[i];
    if (word == nullptr) continue;
    so_far += word;
    so_far += ' ';
    if (word[0] == '/') {
      if (!apply_option(settings, word)) fail(so_far + msg::bad_parameter);
    } else if (is_ascii_letter(word[0])) {
      if (std::strlen(word) > kMaxFigureName) fail(so_far + msg::bad_parameter);
      apply_command_file(settings, word);
    } else if (static_cast<unsigned char>(word[0]) == 0x81 && static_cast<unsigned char>(word[1]) == 0x40) {
      fail(msg::full_width_space);
    }
  }
  if (settings.pitch_count == 1) {
    settings.pitches[1] = settings.pitches[2] = settings.pitches[3] = settings.pitches[0];
  }
}

void check_lengths(const Settings& s) {
  // Zero, negative and non-finite steps would never end the row loops.
  auto bad = [&](double v) { return nearly_equal(v, 0.0, s.tolerance) || v < 0.0 || !std::isfinite(v); };
  for (int i = 0; i < s.angle_count && i < 4; ++i) {
    if (bad(s.pitches[i])) fail(msg::bad_parameter);
  }
  if (bad(s.line_spacing) || bad(s.tile_x) || bad(s.tile_y)) fail(msg::bad_parameter);
}

void convert_angles(Settings& s) {
  for (int i = 0; i < s.angle_count && i < 4; ++i) {
    s.angles[i] = s.angles_deg[i] * pi / 180.0;
    if (s.pitch_along_axis) {
      // Decide by the line's inclination, whatever quadrant the angle was given in.
      double b = std::fmod(s.angles[i], pi);
      if (b >= pi / 2.0)
        b -= pi;
      else if (b < -pi / 2.0)
        b += pi;
      if (std::fabs(b) < pi / 4.0)
        s.pitches[i] = std::fabs(std::cos(b) * s.pitches[i]);
      else
        s.pitches[i] = std::fabs(std::sin(b) * s.pitches[i]);
    }
  }
}

void scale_to_paper(Settings& s, const InputState& input) {
  double f = input.group_scale[input.initial_group & 0xF];
  if (f == 0.0) return;
  for (double& p : s.pitches) p *= f;
  s.line_spacing *= f;
  s.offset_distance *= f;
  s.tile_y *= f;
  s.tile_x *= f;
}

void complete_hatch_attr(Settings& s, const InputState& input) {
  for (AttrSet& a : s.hatch_attr) {
    if (a.layer == -1) a.layer = input.initial_layer;
    if (a.line_type == -1) a.line_type = input.initial_line_type;
    if (a.color == -1) a.color = input.initial_color;
  }
}

void turn_angles_to_reference(Settings& s) {
  for (double& angle : s.angles) {
    double a = angle + s.ref_line_angle;
    if (pi / 2.0 < a && a <= pi) a -= pi;
    if (pi < a && a <= 3.0 * pi / 2.0) a -= pi;
    if (-pi <= a && a < -pi / 2.0) a += pi;
    if (-3.0 * pi / 2.0 <= a && a < -pi) a += pi;
    angle = a;
  }
}

}  // namespace hatch
