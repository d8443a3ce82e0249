#include "figure/figure_reader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

#include "base/failure.h"
#include "base/messages.h"
#include "geometry/primitives.h"
#include "input/exchange_reader.h"

namespace hatch {
namespace {

constexpr std::size_t kBlockSize = 200;
constexpr std::size_t kLineRecordSize = 22;
constexpr std::size_t kArcRecordSize = 32;
constexpr std::size_t kPointRecordSize = 12;
constexpr char kMagic[] = "plodix(c)sym";
constexpr int kConstructionLine = 9;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::uint32_t read_u32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t read_u16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

float read_f32(const unsigned char* p) {
  std::uint32_t bits = read_u32(p);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// The host's figure values are single precision; they are used as the 7 significant
// digits that "%e" keeps of them.
double to_seven_digits(float f) {
  char text[64];
  std::snprintf(text, sizeof text, "%e", static_cast<double>(f));
  return std::strtod(text, nullptr);
}

// A 16.16 fixed-point angle in degrees, kept to 4 decimals.
float fixed_angle(const unsigned char* p) {
  auto raw = static_cast<std::int32_t>(read_u32(p));
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", static_cast<double>(raw) / 65536.0);
  return std::strtof(text, nullptr);
}

// A value that is no finite number (a damaged record, or one that the scale or
// the turn carries out of range) would reach the host as "nan" or "inf": its
// element is left out, as the arc parser leaves out such an arc line.
bool finite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

bool read_record(std::FILE* f, unsigned char* buf, std::size_t size) {
  return std::fread(buf, 1, size, f) == size;
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// One "%d" conversion: leading blanks, an optional sign, at least one digit.
bool scan_int(const char*& p, int& out) {
  const char* q = p;
  while (is_space(*q)) ++q;
  bool negative = false;
  if (*q == '+' || *q == '-') {
    negative = *q == '-';
    ++q;
  }
  if (!is_digit(*q)) return false;
  long long v = 0;
  for (; is_digit(*q); ++q) {
    v = v * 10 + (*q - '0');
    if (v > INT_MAX) v = INT_MAX;
  }
  out = static_cast<int>(negative ? -v : v);
  p = q;
  return true;
}

}  // namespace

FigureCounts parse_figure_counts(const char* text) {
  int values[3] = {0, 0, 0};
  const char* p = text;
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (i == 1) {
        while (is_space(*p)) ++p;  // the "\t" of the pattern: any run of blanks
      }
      if (*p != ',') break;
      ++p;
    }
    if (!scan_int(p, values[i])) break;
  }
  FigureCounts counts;
  counts.lines = values[0] > 0 ? values[0] : 0;
  counts.arcs = values[1] > 0 ? values[1] : 0;
  counts.points = values[2] > 0 ? values[2] : 0;
  return counts;
}

void read_figure_file(const Settings& settings, InputState& input, EntityStore& store, FigureData& figure,
                      double turn_angle) {
  const std::string name = settings.figure_file_name + ".plk";
  errno = 0;
  File file(std::fopen(name.c_str(), "rb"));
  if (!file) fail(figure_open_failed_message(name, std::strerror(errno)));
  std::FILE* f = file.get();

  Box box{100000.0, 100000.0, -100000.0, -100000.0};

  unsigned char block[kBlockSize] = {};
  std::size_t got = std::fread(block, 1, kBlockSize, f);
  if (got < sizeof kMagic - 1 || std::memcmp(block, kMagic, sizeof kMagic - 1) != 0) fail(msg::figure_bad_magic);

  if (!read_record(f, block, kBlockSize)) fail(msg::figure_bad_counts);
  char count_text[kBlockSize + 1];
  std::memcpy(count_text, block, kBlockSize);
  count_text[kBlockSize] = '\0';
  const FigureCounts counts = parse_figure_counts(count_text);

  const bool turn = settings.figure_variant == FigureVariant::whole && turn_angle != 0.0;
  const Transform turning = Transform::rotation(-turn_angle);
  const double scale = settings.figure_scale;
  unsigned char rec[kArcRecordSize];

  for (int i = 0; i < counts.lines; ++i) {
    if (!read_record(f, rec, kLineRecordSize)) fail(msg::figure_line_read);
    double x1 = to_seven_digits(read_f32(rec)) * scale;
    double y1 = to_seven_digits(read_f32(rec + 4)) * scale;
    double x2 = to_seven_digits(read_f32(rec + 8)) * scale;
    double y2 = to_seven_digits(read_f32(rec + 12)) * scale;
    input.current_line_type = rec[16];
    input.current_color = rec[17];
    input.current_layer = rec[18];
    if (turn) {
      turning.apply(x1, y1);
      turning.apply(x2, y2);
    }
    if (!finite({x1, y1, x2, y2})) continue;
    box.widen(x1, y1);
    box.widen(x2, y2);
    if (rec[16] == kConstructionLine) continue;
    FigureLine* line = store.figure_lines_pool.make();
    line->attr = attr_word(rec[18], rec[16], rec[17]);
    line->x1 = x1;
    line->y1 = y1;
    line->x2 = x2;
    line->y2 = y2;
    line->next = figure.lines;
    figure.lines = line;
  }

  for (int i = 0; i < counts.arcs; ++i) {
    if (!read_record(f, rec, kArcRecordSize)) fail(msg::figure_arc_read);
    input.current_line_type = rec[26];
    input.current_color = rec[27];
    input.current_layer = rec[28];
    if (rec[26] == kConstructionLine) continue;
    const float flatness = static_cast<float>(read_u16(rec + 12)) / 10000.0f;
    char line[256];
    std::snprintf(line, sizeof line, "ci %e %e %e %e %e %e %e\n", static_cast<double>(read_f32(rec)),
                  static_cast<double>(read_f32(rec + 4)), static_cast<double>(read_f32(rec + 8)),
                  static_cast<double>(fixed_angle(rec + 14)), static_cast<double>(fixed_angle(rec + 18)),
                  static_cast<double>(flatness), static_cast<double>(fixed_angle(rec + 22)));
    // Figure arcs are in figure units, not in a layer group's: no group factor.
    InputState arc_input = input;
    arc_input.current_group = arc_input.initial_group;
    Arc* arc = insert_arc_line(line, settings, arc_input, store, figure.arcs);
    if (arc == nullptr) continue;
    arc->cx *= scale;
    arc->cy *= scale;
    arc->r *= scale;
    if (turn) turning.apply(arc->cx, arc->cy);
    if (!finite({arc->cx, arc->cy, arc->r})) {
      figure.arcs = arc->next;
      store.arcs.release(arc);
    }
  }

  for (int i = 0; i < counts.points; ++i) {
    if (!read_record(f, rec, kPointRecordSize)) fail(msg::figure_line_read);
    double x = to_seven_digits(read_f32(rec)) * scale;
    double y = to_seven_digits(read_f32(rec + 4)) * scale;
    input.current_layer = rec[8];
    input.current_pen = rec[9];
    if (turn) turning.apply(x, y);
    if (!finite({x, y})) continue;
    Point* point = store.points.make();
    point->attr = attr_word(rec[8], rec[9], 0);
    point->x = x;
    point->y = y;
    point->next = figure.points;
    figure.points = point;
  }

  figure.width = box.max_x - box.min_x;
  figure.height = box.max_y - box.min_y;
}

void read_figure_file(const Settings& settings, InputState& input, EntityStore& store, FigureData& figure) {
  read_figure_file(settings, input, store, figure, settings.angles[0]);
}

}  // namespace hatch
