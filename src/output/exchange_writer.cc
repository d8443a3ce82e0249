#include "output/exchange_writer.h"

#include <charconv>
#include <cmath>
#include <initializer_list>

#include "geometry/primitives.h"

namespace hatch {

double group_scale_of(const InputState& input, int group) { return input.group_scale[group & 0xF]; }

char* put_number(char* at, double v) {
  // The shortest way to the digits "%1.15g" prints; the spellings of infinity
  // and not-a-number are left to printf itself.
  if (!std::isfinite(v)) return at + std::snprintf(at, kNumberRoom, "%1.15g", v);
  return std::to_chars(at, at + kNumberRoom, v, std::chars_format::general, 15).ptr;
}

namespace {

// One line: the head, then the numbers each after a blank, then the line end.
void write_numbers(std::FILE* out, const char* head, std::initializer_list<double> values) {
  // The host cannot read inf or nan: an element scaled or placed beyond the
  // range of numbers is left out rather than written as a line it rejects.
  for (double v : values)
    if (!std::isfinite(v)) return;
  char line[16 + 8 * kNumberRoom];
  char* p = line;
  for (const char* h = head; *h != '\0'; ++h) *p++ = *h;
  for (double v : values) {
    *p++ = ' ';
    p = put_number(p, v);
  }
  *p++ = '\n';
  std::fwrite(line, 1, static_cast<std::size_t>(p - line), out);
}

}  // namespace

void write_circle_line(std::FILE* out, double cx, double cy, double r) { write_numbers(out, "ci", {cx, cy, r}); }

namespace {

void write_segment_line(std::FILE* out, double x1, double y1, double x2, double y2) {
  write_numbers(out, "", {x1, y1, x2, y2});
}

void write_arc_line(std::FILE* out, double cx, double cy, double r, double start, double end,
                    double flatness, double tilt) {
  write_numbers(out, "ci", {cx, cy, r, start, end, flatness, tilt});
}

void write_layer(OutputContext& ctx, int layer) {
  std::fprintf(ctx.out, "ly%x\n", static_cast<unsigned>(layer));
  ctx.state.layer = layer;
}

void write_line_type(OutputContext& ctx, int line_type) {
  std::fprintf(ctx.out, "lt%d\n", line_type);
  ctx.state.line_type = line_type;
}

void write_color(OutputContext& ctx, int color) {
  std::fprintf(ctx.out, "lc%d\n", color);
  ctx.state.color = color;
}

void write_outline_arc(OutputContext& ctx, const Arc& a, double f) {
  write_arc_line(ctx.out, a.cx * f, a.cy * f, a.r * f, normalize_degrees(a.start_deg), normalize_degrees(a.end_deg),
                 a.flatness, a.tilt_deg);
}

}  // namespace

double normalize_degrees(double a) { return std::fmod(a + 360.0, 360.0); }

void restore_initial_attributes(std::FILE* out, const InputState& input) {
  std::fprintf(out, "lg%x\n", static_cast<unsigned>(input.initial_group));
  std::fprintf(out, "ly%x\n", static_cast<unsigned>(input.initial_layer));
  std::fprintf(out, "%s%d\n", "lc", input.initial_color);
  std::fprintf(out, "%s%d\n", "lt", input.initial_line_type);
}

void write_outline(OutputContext& ctx, int layer, const Segment* loop) {
  const int group = ctx.settings.outline_group;
  const double initial_scale = group_scale_of(ctx.input, ctx.input.initial_group);
  // Without a known scale for the initial group the outline keeps its units.
  const double f = initial_scale != 0.0 ? group_scale_of(ctx.input, group) / initial_scale : 1.0;
  const AttrSet& attr = ctx.settings.hatch_attr[0];

  ctx.state.layer = -1;
  std::fprintf(ctx.out, "lg%x\n", static_cast<unsigned>(group));
  std::fprintf(ctx.out, "lt%d\n", attr.line_type);
  std::fprintf(ctx.out, "lc%d\n", attr.color);

  const Arc* pending = nullptr;
  for (const Segment* e = loop; e != nullptr; e = e->next) {
    if (ctx.state.layer != layer) write_layer(ctx, layer);
    if (pending != nullptr && e->arc != pending) {
      write_outline_arc(ctx, *pending, f);
      pending = nullptr;
    }
    if (e->arc == nullptr)
      write_segment_line(ctx.out, e->x1 * f, e->y1 * f, e->x2 * f, e->y2 * f);
    else
      pending = e->arc;  // consecutive chords of one arc are written once
  }
  if (pending != nullptr) write_outline_arc(ctx, *pending, f);

  std::fprintf(ctx.out, "lg%x\n", static_cast<unsigned>(ctx.input.initial_group));
  ctx.state = AttributeState{};
}

void select_hatch_attr(OutputContext& ctx, int k) {
  const AttrSet& a = ctx.settings.hatch_attr[k == 0 ? 0 : 1];
  if (ctx.state.layer != a.layer) write_layer(ctx, a.layer);
  if (ctx.state.line_type != a.line_type) write_line_type(ctx, a.line_type);
  if (ctx.state.color != a.color) write_color(ctx, a.color);
}

void emit_wanted_attributes(OutputContext& ctx) {
  const WantedAttributes& w = ctx.wanted;
  if (ctx.state.color != w.color) write_color(ctx, w.color);
  if (ctx.state.line_type != w.line_type) write_line_type(ctx, w.line_type);
  if (ctx.state.layer != w.layer) write_layer(ctx, w.layer);
  if (ctx.state.pen != w.pen) {
    std::fprintf(ctx.out, "pn%d\n", w.pen);
    ctx.state.pen = w.pen;
  }
}

void write_z_marker(OutputContext& ctx) {
  if (ctx.settings.z_flag != 0) std::fputs("z1\n", ctx.out);
}

void write_hatch_segment(OutputContext& ctx, double x1, double y1, double x2, double y2) {
  const Settings& s = ctx.settings;
  const int k = ctx.angle_index >= 0 && ctx.angle_index < 4 ? ctx.angle_index : 0;
  const double theta = s.hatch_style == HatchStyle::lines ? s.angles[k] : s.angles[0];
  const HatchFrame& frame = ctx.frame_for(theta);
  frame.to_drawing(x1, y1);
  frame.to_drawing(x2, y2);
  write_segment_line(ctx.out, x1, y1, x2, y2);
}

void write_figure_arc(OutputContext& ctx, double x, double y, const Arc& arc) {
  const double theta = ctx.settings.angles[0];
  ctx.frame_for(theta).to_drawing(x, y);
  // Whole copies (/s6) were turned back when read, so they keep the figure file's orientation.
  const bool tiled = ctx.settings.figure_variant == FigureVariant::tiled;
  const double tilt = tiled ? theta * 180.0 / pi + arc.tilt_deg : arc.tilt_deg;
  write_arc_line(ctx.out, x, y, arc.r, normalize_degrees(arc.start_deg), normalize_degrees(arc.end_deg),
                 arc.flatness, tilt);
}

void write_figure_point(OutputContext& ctx, double x, double y) {
  ctx.frame_for(ctx.settings.angles[0]).to_drawing(x, y);
  write_numbers(ctx.out, "pt", {x, y});
}

}  // namespace hatch
