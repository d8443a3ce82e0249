#include "driver/settings_log.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "driver/options.h"

namespace hatch {

std::string format_one_decimal(double v) {
  if (!std::isfinite(v) || std::fabs(v) >= 1e300) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%1.1lf", v);
    return buf;
  }
  // The exact decimal expansion decides; the second decimal digit alone says
  // whether the magnitude rounds up, which makes halves go away from zero.
  std::vector<char> buf(1500);
  std::snprintf(buf.data(), buf.size(), "%.1100f", std::fabs(v));
  std::string digits(buf.data());
  std::size_t dot = digits.find('.');
  std::string head = digits.substr(0, dot) + digits.substr(dot + 1, 1);  // tenths as an integer
  bool up = digits[dot + 2] >= '5';
  if (up) {
    int i = static_cast<int>(head.size()) - 1;
    while (i >= 0 && head[static_cast<std::size_t>(i)] == '9') head[static_cast<std::size_t>(i--)] = '0';
    if (i < 0)
      head.insert(head.begin(), '1');
    else
      ++head[static_cast<std::size_t>(i)];
  }
  std::string out = head.substr(0, head.size() - 1) + "." + head.substr(head.size() - 1);
  if (std::signbit(v)) out.insert(out.begin(), '-');
  return out;
}

namespace {

// The inverse of the option digit rule, so that /i reads back what was written.
char attribute_char(int v) {
  if (v >= 0 && v <= 9) return static_cast<char>('0' + v);
  if (v >= 10 && v <= 19) return static_cast<char>('a' + (v - 10));
  return 'x';
}

int clamp_count(int n) { return n < 1 ? 1 : (n > 4 ? 4 : n); }

// One line: the option word's head, then the values with one decimal, comma-separated.
void write_list(std::FILE* out, const char* head, const double* values, int n) {
  std::string line = head;
  for (int i = 0; i < n; ++i) {
    if (i > 0) line += ',';
    line.append(format_one_decimal(values[i]));
  }
  std::fprintf(out, "%s\n", line.c_str());
}

}  // namespace

void write_settings_log(std::FILE* out, const Settings& s) {
  switch (s.hatch_style) {
    case HatchStyle::lines:
      std::fprintf(out, "/s%d\n", s.line_count);
      break;
    case HatchStyle::brick:
      std::fprintf(out, "/s4\n/t%s,%s\n", format_one_decimal(s.tile_x).c_str(),
                   format_one_decimal(s.tile_y).c_str());
      break;
    case HatchStyle::figure:
      std::fprintf(out, s.figure_variant == FigureVariant::whole ? "/s6\n" : "/s5\n");
      std::fprintf(out, "/g%s\n", format_one_decimal(s.figure_scale).c_str());
      std::fprintf(out, "/f%s\n", s.figure_file_name.c_str());
      break;
    case HatchStyle::fan:
      std::fprintf(out, "/s7\n/g%d\n", s.figure_count);
      break;
    case HatchStyle::slant:
      break;
  }
  if (s.random_on) std::fprintf(out, "/r%d\n", s.random_count);
  std::fprintf(out, "/z%d\n", s.z_flag);
  if (s.outline_on) std::fprintf(out, "/j%x\n", static_cast<unsigned>(s.outline_group));
  write_list(out, "/a", s.angles_deg, clamp_count(s.angle_count));
  write_list(out, s.pitch_along_axis ? "/v" : "/p", s.pitches, clamp_count(s.pitch_count));
  std::fprintf(out, "/w%s\n", format_one_decimal(s.line_spacing).c_str());
  if (s.hatch_attr_given) {
    const AttrSet& a = s.hatch_attr[0];
    const AttrSet& b = s.hatch_attr[1];
    std::fprintf(out, "/h%c%c%c,%c%c%c\n", attribute_char(a.layer), attribute_char(a.line_type),
                 attribute_char(a.color), attribute_char(b.layer), attribute_char(b.line_type),
                 attribute_char(b.color));
  }
}

bool wants_settings_log(int count, const char* const* words) {
  for (int i = 1; i < count; ++i) {
    const char* w = words[i];
    if (w != nullptr && w[0] == '/' && (w[1] == 'i' || w[1] == 'I')) return true;
  }
  return false;
}

void read_settings_log(Settings& settings, FileSlot& slot, int count, const char* const* words) {
  if (!wants_settings_log(count, words)) return;
  if (!slot.open_for_reading(kSettingsLog)) {
    slot.close();
    return;
  }
  constexpr int kMaxLines = 11;
  std::vector<std::string> lines;
  char buf[256];
  while (static_cast<int>(lines.size()) < kMaxLines && std::fgets(buf, 250, slot.stream) != nullptr) {
    std::string w(buf);
    std::size_t nl = w.rfind('\n');
    if (nl != std::string::npos) w.erase(nl);
    if (w.size() >= 2 && (w[1] == 'n' || w[1] == 'N' || w[1] == 'm' || w[1] == 'M')) w.pop_back();
    lines.push_back(w);
  }
  slot.close();
  std::vector<const char*> argv{"hatchlog.txt"};
  for (const std::string& w : lines) argv.push_back(w.c_str());
  apply_options(settings, static_cast<int>(argv.size()), argv.data());
}

}  // namespace hatch
