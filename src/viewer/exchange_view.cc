#include "viewer/exchange_view.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "geometry/arcs.h"
#include "geometry/primitives.h"
#include "input/exchange_reader.h"
#include "viewer/cp932.h"

namespace hatch::view {

namespace {

constexpr const char* kInputStroke = "#505050";
constexpr const char* kTextBoxStroke = "#8c8c8c";
constexpr const char* kPickStroke = "#e06000";
constexpr const char* kHp1Stroke = "#b000b0";
constexpr const char* kHp2Stroke = "#008c8c";

constexpr double kMaxChordDeg = 3.0;
constexpr int kMaxChords = 240;  // a full turn at the largest chord

bool starts_with(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::string escape_bytes(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      out += c;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      out += buf;
    }
  }
  return out;
}

std::string_view without_line_end(std::string_view s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

Shape line_shape(double x1, double y1, double x2, double y2, const char* stroke, const char* css) {
  Shape s;
  s.kind = ShapeKind::line;
  s.points = {{x1, y1}, {x2, y2}};
  s.stroke = stroke;
  s.css_class = css;
  return s;
}

bool is_full_circle(const Arc& a) { return a.flatness == 1.0 && a.end - a.start >= 2.0 * pi - 1e-12; }

Shape arc_shape(const Arc& a, const std::string& stroke) {
  Shape s;
  s.stroke = stroke;
  if (is_full_circle(a)) {
    s.kind = ShapeKind::circle;
    s.points = {{a.cx, a.cy}};
    s.radius = a.r;
    s.css_class = "circle";
  } else {
    s.kind = ShapeKind::polyline;
    s.points = sample_arc(a);
    s.css_class = "arc";
  }
  return s;
}

void count_arc(Tally& t, const Arc& a) {
  if (is_full_circle(a)) {
    ++t.circles;
  } else {
    ++t.arcs;
  }
}

bool starts_with_nocase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

// The text of a text line as a label: without its line end and closing quote.
std::string_view label_of(const char* line) {
  std::string_view t = without_line_end(text_of(line));
  if (!t.empty() && t.back() == '"') t.remove_suffix(1);
  return t;
}

// Scans the raw lines for what the reader does not keep, then rewinds.
void scan_extras(std::FILE* in, InputExtras& extras) {
  char line[256];
  while (std::fgets(line, 250, in) != nullptr) {
    std::string_view s(line);
    if (starts_with(s, "h#") || starts_with(s, "hq")) {
      extras.messages.push_back(sjis_to_utf8(without_line_end(s.substr(2))));
    }
    if (is_text_line(line)) {
      std::string_view t = label_of(line);
      if (!starts_with_nocase(t, "/e") && !starts_with_nocase(t, "/j"))
        extras.texts.push_back(sjis_to_utf8(t));
    }
  }
  std::rewind(in);
}

// The advance of a label in ems, as fonts commonly set it: about 0.6 for a narrow
// character, 1 for a wide one (CJK, full-width forms; half-width kana are narrow).
double label_ems(std::string_view text) {
  double ems = 0.0;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t cp = n == 1 ? lead : lead & (0x3F >> (n - 1));
    for (std::size_t k = 1; k < n && i + k < text.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    ems += cp >= 0x1100 && !(cp >= 0xFF61 && cp <= 0xFF9F) ? 1.0 : 0.6;
    i += n;
  }
  return ems;
}

// Each box's four edges share an id and stand in the list last edge first, so
// the last of them is the baseline and the one before it the height.
void label_text_boxes(const EntityStore& store, const InputExtras& extras, Picture& picture) {
  std::vector<std::vector<const Segment*>> boxes;
  for (const Segment* s = store.text_edge_list; s != nullptr; s = s->next) {
    if (s->id < 0 || static_cast<std::size_t>(s->id) >= extras.texts.size()) return;
    std::size_t id = static_cast<std::size_t>(s->id);
    if (boxes.size() <= id) boxes.resize(id + 1);
    boxes[id].push_back(s);
  }
  if (boxes.size() != extras.texts.size()) return;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const std::vector<const Segment*>& edges = boxes[i];
    if (edges.size() != 4 || extras.texts[i].empty()) continue;
    const Segment& base = *edges[3];
    const Segment& side = *edges[2];
    double h = distance(side.x1, side.y1, side.x2, side.y2);
    double len = distance(base.x1, base.y1, base.x2, base.y2);
    if (!(h > 0.0) || !(len > 0.0)) continue;
    double ux = (base.x2 - base.x1) / len, uy = (base.y2 - base.y1) / len;
    Shape t;
    t.kind = ShapeKind::text;
    // The glyphs stay inside the box whatever its shape: as large as its height or
    // its width allows, whichever is smaller, margins by its shorter side, and the
    // line in the middle of the height (at full size the baseline lies at 0.2 h).
    const double pad = 0.1 * std::min(h, len);
    const double width = len - 2.0 * pad;
    const double size = std::min(0.75 * h, width / label_ems(extras.texts[i]));
    const double up = 0.5 * (h - size / 0.75) + size * (0.2 / 0.75);
    t.points = {{base.x1 + pad * ux - up * uy, base.y1 + pad * uy + up * ux}};
    t.angle_deg = std::atan2(uy, ux) * 180.0 / pi;
    t.size = size;
    t.fit_width = width;
    t.label = extras.texts[i];
    t.stroke = kTextBoxStroke;
    t.css_class = "text";
    picture.input.push_back(t);
  }
}

}  // namespace

std::string palette_colour(int colour) {
  static const char* const palette[16] = {"#202020", "#1f5fd0", "#d02020", "#b000b0", "#109010", "#008c8c",
                                          "#c08a00", "#505050", "#8a8a8a", "#e06000", "#6a3db0", "#0a7ad0",
                                          "#a05020", "#d04080", "#5a8a00", "#004080"};
  int i = colour % 16;
  if (i < 0) i += 16;
  return palette[i];
}

std::string sjis_to_utf8(std::string_view bytes) {
  std::string out;
  if (!cp932_to_utf8(bytes, out)) return escape_bytes(bytes);
  return out;
}

std::vector<XY> sample_arc(const Arc& arc) {
  double span = arc.end - arc.start;
  if (!std::isfinite(span)) return {};
  if (span < 0.0) span += 2.0 * pi;
  if (span > 2.0 * pi) span = 2.0 * pi;
  int chords = static_cast<int>(std::ceil(span / (kMaxChordDeg * pi / 180.0)));
  if (chords < 2) chords = 2;
  if (chords > kMaxChords) chords = kMaxChords;
  std::vector<XY> pts;
  pts.reserve(static_cast<std::size_t>(chords) + 1);
  for (int i = 0; i <= chords; ++i) {
    double t = i == chords ? arc.start + span : arc.start + span * i / chords;
    pts.push_back(arc_point(arc, t));
  }
  return pts;
}

void read_input_stream(std::FILE* in, Settings& settings, InputState& input, EntityStore& store,
                       InputExtras& extras) {
  scan_extras(in, extras);
  prescan_text_type0(in, input);
  read_exchange_file(in, settings, input, store);
}

bool read_input_file(const char* path, Settings& settings, InputState& input, EntityStore& store,
                     InputExtras& extras) {
  std::FILE* in = std::fopen(path, "r");
  if (in == nullptr) return false;
  try {
    read_input_stream(in, settings, input, store, extras);
  } catch (...) {
    std::fclose(in);
    throw;
  }
  std::fclose(in);
  return true;
}

Tally draw_input(const EntityStore& store, const InputState& input, const InputExtras& extras,
                 Picture& picture) {
  Tally t;
  for (const Segment* s = store.segment_list; s != nullptr; s = s->next) {
    picture.input.push_back(line_shape(s->x1, s->y1, s->x2, s->y2, kInputStroke, "segment"));
    ++t.segments;
  }
  for (const Arc* a = store.arc_list; a != nullptr; a = a->next) {
    picture.input.push_back(arc_shape(*a, kInputStroke));
    count_arc(t, *a);
  }
  for (const Segment* s = store.text_edge_list; s != nullptr; s = s->next) {
    Shape e = line_shape(s->x1, s->y1, s->x2, s->y2, kTextBoxStroke, "text-box");
    e.dashed = true;
    picture.input.push_back(e);
    ++t.text_edges;
  }
  label_text_boxes(store, extras, picture);
  for (const PickPoint* p = store.pick_point_list; p != nullptr; p = p->next) {
    Shape c;
    c.kind = ShapeKind::cross;
    c.points = {{p->x, p->y}};
    c.stroke = kPickStroke;
    c.css_class = "pick";
    picture.input.push_back(c);
    ++t.picks;
  }
  auto marker = [&](double x, double y, const char* stroke, const char* name) {
    Shape m;
    m.kind = ShapeKind::marker;
    m.points = {{x, y}};
    m.stroke = stroke;
    m.css_class = name;
    m.label = name;
    picture.input.push_back(m);
  };
  if (input.hp1_given) marker(input.hp1_x, input.hp1_y, kHp1Stroke, "hp1");
  if (input.hp2_given) marker(input.hp2_x, input.hp2_y, kHp2Stroke, "hp2");
  return t;
}

OutputReplay::OutputReplay(const InputState& input) : host_(input) {
  host_.current_group = input.initial_group;
  host_.current_layer = input.initial_layer;
  host_.current_color = input.initial_color;
  host_.current_line_type = input.initial_line_type;
  host_.current_pen = input.initial_pen;
  arc_rule_.tolerance = 0.0;
}

void OutputReplay::line(std::string_view raw, Picture& picture) {
  std::string_view body = without_line_end(raw);
  std::string text(body);  // zero-terminated for sscanf
  const char* l = text.c_str();
  if (starts_with(body, "h#") || starts_with(body, "hq")) {
    picture.captions.push_back(sjis_to_utf8(body.substr(2)));
    ++tally_.messages;
  } else if (read_attribute_line(l, host_, true)) {
    // The host reads attribute commands as the reader does once the header is done.
    ++tally_.attributes;
  } else if (starts_with(body, " ")) {
    double v[4];
    if (std::sscanf(l, " %le %le %le %le", &v[0], &v[1], &v[2], &v[3]) == 4) {
      double f = factor();
      picture.output.push_back(line_shape(v[0] * f, v[1] * f, v[2] * f, v[3] * f,
                                          palette_colour(host_.current_color).c_str(), "segment"));
      ++tally_.segments;
    }
  } else if (starts_with(body, "ci")) {
    double v[3];
    if (std::sscanf(l + 2, " %le %le %le", &v[0], &v[1], &v[2]) == 3) {
      Arc* list = nullptr;
      Arc* a = insert_arc_line(l, arc_rule_, host_, scratch_, list);
      if (a != nullptr) {
        picture.output.push_back(arc_shape(*a, palette_colour(host_.current_color)));
        count_arc(tally_, *a);
        scratch_.arcs.release(a);
      }
    }
  } else if (starts_with(body, "pt")) {
    double v[2];
    if (std::sscanf(l + 2, " %le %le", &v[0], &v[1]) == 2) {
      Shape p;
      p.kind = ShapeKind::dot;
      double f = factor();
      p.points = {{v[0] * f, v[1] * f}};
      p.stroke = palette_colour(host_.current_color);
      p.css_class = "point";
      picture.output.push_back(p);
      ++tally_.points;
    }
  }
}

void OutputReplay::text(std::string_view all, Picture& picture) {
  while (!all.empty()) {
    std::size_t end = all.find('\n');
    std::string_view one = all.substr(0, end);
    line(one, picture);
    if (end == std::string_view::npos) break;
    all.remove_prefix(end + 1);
  }
}

bool read_whole_file(const char* path, std::string& out) {
  std::FILE* in = std::fopen(path, "rb");
  if (in == nullptr) return false;
  out.clear();
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) out.append(buf, n);
  std::fclose(in);
  return true;
}

std::string tally_text(const char* side, const Tally& t) {
  std::string s = side;
  auto part = [&](int n, const char* one, const char* many) {
    if (n == 0) return;
    s.append(" ").append(std::to_string(n)).append(" ").append(n == 1 ? one : many).append(",");
  };
  s += ":";
  part(t.segments, "segment", "segments");
  part(t.arcs, "arc", "arcs");
  part(t.circles, "circle", "circles");
  part(t.points, "point", "points");
  part(t.text_edges, "text-box edge", "text-box edges");
  part(t.picks, "pick point", "pick points");
  part(t.attributes, "attribute line", "attribute lines");
  part(t.messages, "message", "messages");
  if (s.back() == ',') {
    s.pop_back();
  } else {
    s += " nothing";
  }
  return s;
}

}  // namespace hatch::view
