#include "input/exchange_reader.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "geometry/primitives.h"

namespace hatch {

namespace {

constexpr int kLineLimit = 250;  // at most 249 characters and the terminating zero

struct ReadPass {
  Settings& settings;
  InputState& input;
  EntityStore& store;
  int header_done = 0;
  bool ref_line_armed = false;
};

bool starts_with(const char* line, const char* prefix) {
  return std::strncmp(line, prefix, std::strlen(prefix)) == 0;
}

// What follows the first word of the line, as "%s" would leave it.
const char* after_keyword(const char* line) {
  const char* p = line;
  while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) ++p;
  while (*p != '\0' && !std::isspace(static_cast<unsigned char>(*p))) ++p;
  return p;
}

bool all_finite(const double* v, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}

}  // namespace

bool read_attribute_line(const char* line, InputState& in, bool header_done) {
  auto set = [header_done](int& initial, int& current, int value) {
    if (!header_done) initial = value;
    current = value;
  };
  char c1, c2;
  int d;
  unsigned x;
  if (starts_with(line, "lc")) {
    if (std::sscanf(line, "%c%c%d", &c1, &c2, &d) == 3) set(in.initial_color, in.current_color, d);
  } else if (starts_with(line, "lt")) {
    if (std::sscanf(line, "%c%c%d", &c1, &c2, &d) == 3) set(in.initial_line_type, in.current_line_type, d);
  } else if (starts_with(line, "ly")) {
    if (std::sscanf(line, "%c%c%x", &c1, &c2, &x) == 3)
      set(in.initial_layer, in.current_layer, static_cast<int>(x & 0x7FFFFFFFu));
  } else if (starts_with(line, "lg")) {
    // A group outside 0-F has no scale entry: the line is ignored.
    if (std::sscanf(line, "%c%c%x", &c1, &c2, &x) == 3 && x <= 0xF)
      set(in.initial_group, in.current_group, static_cast<int>(x));
  } else if (starts_with(line, "pn")) {
    if (std::sscanf(line, "%c%c%d", &c1, &c2, &d) == 3) set(in.initial_pen, in.current_pen, d);
  } else if (starts_with(line, "cn")) {
    if (std::sscanf(line, "%c%c%d", &c1, &c2, &d) == 3 && d >= 0 && d <= 10)
      set(in.initial_text_type, in.current_text_type, d);
  } else {
    return false;
  }
  return true;
}

const char* text_of(const char* line) {
  const char* q = std::strchr(line, '"');
  return q != nullptr ? q + 1 : "";
}

bool is_text_line(const char* line) {
  static const char* const keys[] = {"ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"};
  for (const char* k : keys)
    if (starts_with(line, k)) return true;
  return false;
}

namespace {

bool filter_accepts(const Settings& s, const InputState& in) {
  int m = (s.filter_layer == in.current_layer ? 4 : 0) + (s.filter_line_type == in.current_line_type ? 2 : 0) +
          (s.filter_color == in.current_color ? 1 : 0);
  return m == s.filter_mask;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads n blank-separated numbers as " %le" reads each, when every one of them
// is a plain decimal ([sign] digits [. digits] [e [sign] digits]) ending at a
// blank or the end: for those strtod and scanf agree to the last bit. False,
// with nothing written, for anything else, which then goes to sscanf itself.
bool read_plain_numbers(const char* p, double* v, int n) {
  double got[8];
  for (int i = 0; i < n; ++i) {
    while (is_blank(*p)) ++p;
    const char* q = p;
    if (*q == '+' || *q == '-') ++q;
    int digits = 0;
    while (is_digit(*q)) ++q, ++digits;
    if (*q == '.') {
      ++q;
      while (is_digit(*q)) ++q, ++digits;
    }
    if (digits == 0) return false;
    if (*q == 'e' || *q == 'E') {
      ++q;
      if (*q == '+' || *q == '-') ++q;
      if (!is_digit(*q)) return false;
      while (is_digit(*q)) ++q;
    }
    if (*q != '\0' && !is_blank(*q)) return false;
    got[i] = std::strtod(p, nullptr);
    p = q;
  }
  for (int i = 0; i < n; ++i) v[i] = got[i];
  return true;
}

void segment_line(ReadPass& p, const char* line) {
  if (!filter_accepts(p.settings, p.input)) return;
  double v[4] = {0.0, 0.0, 0.0, 0.0};
  if (!read_plain_numbers(line, v, 4)) std::sscanf(line, " %le %le %le %le", &v[0], &v[1], &v[2], &v[3]);
  if (!all_finite(v, 4)) return;
  const double f = p.input.group_factor();
  double x1 = v[0] * f, y1 = v[1] * f, x2 = v[2] * f, y2 = v[3] * f;
  if (nearly_equal(distance(x1, y1, x2, y2), 0.0, p.settings.tolerance)) return;
  p.input.bounds.widen(x1, y1);
  p.input.bounds.widen(x2, y2);
  Segment* s = p.store.new_segment();
  *s = make_segment(x1, y1, x2, y2);
  if (p.ref_line_armed) {
    p.settings.ref_line_angle = vector_angle(x2 - x1, y2 - y1);
    p.ref_line_armed = false;
  }
  s->id = p.store.next_entity_id++;
  s->next = p.store.segment_list;
  p.store.segment_list = s;
}

bool starts_with_nocase(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++prefix, ++text) {
    if (std::tolower(static_cast<unsigned char>(*text)) != std::tolower(static_cast<unsigned char>(*prefix)))
      return false;
  }
  return true;
}

void text_line(ReadPass& p, const char* line) {
  const char* text = text_of(line);
  Settings& s = p.settings;
  InputState& in = p.input;
  if (starts_with_nocase(text, "/e")) {
    s.break_check = true;
    s.break_marks = !starts_with_nocase(text, "/e0");
    return;
  }
  if (starts_with_nocase(text, "/j")) {
    s.outline_on = true;
    unsigned g;
    if (std::sscanf(text + 2, "%x", &g) == 1 && g <= 0xF) s.outline_group = static_cast<int>(g);
    return;
  }
  const int type = in.current_text_type;
  if (in.text_color[type] == 9) return;
  double v[4] = {0.0, 0.0, 0.0, 0.0};
  std::sscanf(after_keyword(line), " %le %le %le %le", &v[0], &v[1], &v[2], &v[3]);
  if (!all_finite(v, 4)) return;
  double theta = vector_angle(v[2], v[3]);
  double len = distance(0.0, 0.0, v[2], v[3]);
  const double f = in.group_factor();
  double x = v[0] * f, y = v[1] * f;
  len *= f;
  double h = in.text_box_height[type];
  const double corners[5][2] = {{x, y}, {x + len, y}, {x + len, y + h}, {x, y + h}, {x, y}};
  const Transform to_origin = Transform::translation(-x, -y);
  const Transform turn = Transform::rotation(theta);
  const Transform back = Transform::translation(x, y);
  // The edges of one box share a serial, so that they can be told apart from
  // those of a neighbouring text when some edges were too short to keep.
  const std::int32_t box = p.store.next_text_box_id++;
  for (int i = 0; i < 4; ++i) {
    Segment e = make_segment(corners[i][0], corners[i][1], corners[i + 1][0], corners[i + 1][1]);
    e.id = box;
    to_origin.apply(e);
    turn.apply(e);
    back.apply(e);
    p.store.insert_copy(p.store.text_edge_list, e, s.tolerance);
  }
}

void read_points(const char* line, double& x, double& y) {
  double v[2] = {x, y};
  int n = std::sscanf(after_keyword(line), " %le %le", &v[0], &v[1]);
  if (n >= 1 && std::isfinite(v[0])) x = v[0];
  if (n >= 2 && std::isfinite(v[1])) y = v[1];
}

void pick_point_line(ReadPass& p, const char* line) {
  int n;
  if (std::sscanf(line + 2, "%d", &n) != 1 || n < 3 || n > 99) return;
  double x = 0.0, y = 0.0;
  read_points(line, x, y);
  p.store.add_pick_point(x, y);
  ++p.store.pick_point_count;
  p.settings.fill_mode = FillMode::by_points;
}

void read_table(const char* line, double* table, int first, int count) {
  double v[16];
  int n = std::sscanf(after_keyword(line), " %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf",
                      &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11],
                      &v[12], &v[13], &v[14], &v[15]);
  for (int i = 0; i < n && i < count; ++i) {
    if (!std::isfinite(v[i])) break;
    table[first + i] = v[i];
  }
}

void text_colour_table(const char* line, int* table) {
  int v[10];
  int n = std::sscanf(after_keyword(line), " %d %d %d %d %d %d %d %d %d %d", &v[0], &v[1], &v[2], &v[3], &v[4],
                      &v[5], &v[6], &v[7], &v[8], &v[9]);
  for (int i = 0; i < n && i < 10; ++i) table[1 + i] = v[i];
}

void text_type0_line(InputState& in, const char* line) {
  double skip1, height, skip2;
  int colour;
  int n = std::sscanf(after_keyword(line), " %lg %lg %lg %d", &skip1, &height, &skip2, &colour);
  if (n >= 2 && std::isfinite(height)) in.text_height[0] = height;
  if (n >= 4) in.text_color[0] = colour;
}

void entity_line(ReadPass& p, const char* line) {
  InputState& in = p.input;
  if (line[0] == ' ') {
    segment_line(p, line);
  } else if (starts_with(line, "ci")) {
    insert_arc_line(line, p.settings, in, p.store, p.store.arc_list);
  } else if (is_text_line(line)) {
    text_line(p, line);
  } else if (starts_with(line, "hp2 ")) {
    read_points(line, in.hp2_x, in.hp2_y);
    in.hp2_given = true;
    in.hp2_x += p.settings.hp2_offset_x;
    in.hp2_y += p.settings.hp2_offset_y;
  } else if (starts_with(line, "hp1 ")) {
    read_points(line, in.hp1_x, in.hp1_y);
    in.hp1_given = true;
  } else if (starts_with(line, "hp")) {
    pick_point_line(p, line);
  } else if (starts_with(line, "hhp1ln") || starts_with(line, "hhp2ln")) {
    p.settings.ref_line_given = true;
    p.ref_line_armed = true;
  } else if (starts_with(line, "hs")) {
    read_table(line, in.group_scale, 0, 16);
  } else if (starts_with(line, "hch")) {
    read_table(line, in.text_height, 1, 10);
  } else if (starts_with(line, "hcc")) {
    text_colour_table(line, in.text_color);
  } else if (starts_with(line, "cn0")) {
    text_type0_line(in, line);
  } else if (line[0] == '#') {
    for (int i = 0; i <= 10; ++i) in.text_box_height[i] = in.text_height[i] * in.group_scale[in.initial_group];
    p.header_done = 1;
  }
}

}  // namespace

Arc* insert_arc_line(const char* line, const Settings& settings, const InputState& input, EntityStore& store,
                     Arc*& list) {
  double v[7] = {0.0, 0.0, 0.0, 0.0, 360.0, 1.0, 0.0};
  std::sscanf(after_keyword(line), " %le %le %le %le %le %le %le", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5],
              &v[6]);
  if (!all_finite(v, 7)) return nullptr;
  double cx = v[0], cy = v[1], r = v[2], start = v[3], end = v[4], flatness = v[5], tilt = v[6];
  const bool full = start == end;
  if (full) {
    start = 0.0;
    end = 360.0;
  }
  const double f = input.group_factor();
  cx *= f;
  cy *= f;
  r *= f;
  if (flatness == 1.0) {
    if (!full) {
      start = std::fmod(start + tilt, 360.0);
      end = std::fmod(end + tilt, 360.0);
    }
    tilt = 0.0;
  }
  if (end <= 0.0 || nearly_equal(start, end, settings.tolerance)) end += 360.0;
  Arc* a = store.new_arc();
  a->cx = cx;
  a->cy = cy;
  a->r = r;
  a->flatness = flatness;
  a->start_deg = start;
  a->end_deg = end;
  a->tilt_deg = tilt;
  a->start = start * pi / 180.0;
  a->end = end * pi / 180.0;
  a->tilt = tilt * pi / 180.0;
  if (a->start > a->end) a->start -= 2.0 * pi;
  a->attr = attr_word(input.current_layer, input.current_line_type, input.current_color);
  a->id = store.next_entity_id++;
  a->next = list;
  list = a;
  return a;
}

void read_exchange_file(std::FILE* in, Settings& settings, InputState& input, EntityStore& store) {
  ReadPass pass{settings, input, store};
  store.pick_point_count = 0;
  char line[256];
  while (std::fgets(line, kLineLimit, in) != nullptr) {
    read_attribute_line(line, input, pass.header_done != 0);
    entity_line(pass, line);
  }
}

void prescan_text_type0(std::FILE* in, InputState& input) {
  char line[256];
  while (std::fgets(line, kLineLimit, in) != nullptr) {
    if (starts_with(line, "cn0")) text_type0_line(input, line);
  }
  std::rewind(in);
}

}  // namespace hatch
