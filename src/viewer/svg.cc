#include "viewer/svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hatch::view {

void Extent::add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (empty) {
    min_x = max_x = x;
    min_y = max_y = y;
    empty = false;
    return;
  }
  min_x = std::min(min_x, x);
  max_x = std::max(max_x, x);
  min_y = std::min(min_y, y);
  max_y = std::max(max_y, y);
}

namespace {

bool finite_shape(const Shape& s) {
  if (s.points.empty() || !std::isfinite(s.radius)) return false;
  for (const XY& p : s.points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  }
  return true;
}

void add_shape(Extent& e, const Shape& s) {
  if (!finite_shape(s)) return;
  if (s.kind == ShapeKind::circle) {
    double r = std::fabs(s.radius);
    e.add(s.points[0].x - r, s.points[0].y - r);
    e.add(s.points[0].x + r, s.points[0].y + r);
    return;
  }
  for (const XY& p : s.points) e.add(p.x, p.y);
}

// Sizes of the picture, in drawing units per screen pixel and so on.
struct Frame {
  double vx = 0.0, vy = 0.0, vw = 1.0, vh = 1.0;  // viewBox, y downwards
  double px = 1.0;                                // drawing units per pixel
  double width_px = 1.0, height_px = 1.0;
};

constexpr double kCaptionLinePx = 20.0;
constexpr double kCaptionPadPx = 8.0;
constexpr double kFooterLinePx = 16.0;
constexpr double kMarginShare = 0.04;
// Messages and drawing texts are mostly Japanese: a font that has the glyphs comes first.
constexpr const char* kFontFamily = "'Noto Sans CJK JP', 'IPAexGothic', 'IPAGothic', sans-serif";

Frame fit_frame(const Picture& picture) {
  Extent e = picture_extent(picture);
  if (e.empty) e.add(0.0, 0.0);
  double w = e.max_x - e.min_x, h = e.max_y - e.min_y;
  double size = std::max(w, h);
  if (!(size > 0.0) || !std::isfinite(size)) size = 1.0;
  double margin = size * kMarginShare;
  double x0 = e.min_x - margin, y0 = e.min_y - margin;
  double world_w = std::max(w, 0.0) + 2.0 * margin, world_h = std::max(h, 0.0) + 2.0 * margin;
  if (!std::isfinite(world_w) || !std::isfinite(world_h)) world_w = world_h = 2.0 * margin;

  double caption_px = picture.captions.empty()
                          ? 0.0
                          : kCaptionPadPx + kCaptionLinePx * static_cast<double>(picture.captions.size());
  double footer_px = picture.footer.empty()
                         ? 0.0
                         : kCaptionPadPx * 0.5 + kFooterLinePx * static_cast<double>(picture.footer.size());
  double scale =
      std::min(kMaxWidthPx / world_w, std::max(kMaxHeightPx - caption_px - footer_px, 100.0) / world_h);
  if (!(scale > 0.0) || !std::isfinite(scale)) scale = 1.0;
  if (world_w * scale < kMinWidthPx) {
    double wider = kMinWidthPx / scale;
    x0 -= (wider - world_w) * 0.5;
    world_w = wider;
  }

  Frame f;
  f.px = 1.0 / scale;
  f.vx = x0;
  f.vw = world_w;
  // The drawing group flips y, so world y maps to -y; the caption band sits above it.
  f.vy = -(y0 + world_h) - caption_px * f.px;
  f.vh = world_h + (caption_px + footer_px) * f.px;
  f.width_px = world_w * scale;
  f.height_px = world_h * scale + caption_px + footer_px;
  return f;
}

std::string fmt(double v) { return format_number(v); }

std::string attr(const char* name, double v) { return std::string(" ") + name + "=\"" + fmt(v) + "\""; }

std::string class_attr(const Shape& s) {
  return s.css_class.empty() ? std::string() : " class=\"" + xml_escape(s.css_class) + "\"";
}

std::string stroke_attr(const Shape& s) {
  return s.stroke.empty() ? std::string() : " stroke=\"" + xml_escape(s.stroke) + "\"";
}

std::string dash_attr(const Shape& s, const Frame& f) {
  if (!s.dashed) return std::string();
  return " stroke-dasharray=\"" + fmt(4.0 * f.px) + "," + fmt(3.0 * f.px) + "\"";
}

std::string cross_path(double h) {
  return "M " + fmt(-h) + " 0 H " + fmt(h) + " M 0 " + fmt(-h) + " V " + fmt(h);
}

void render_shape(std::string& out, const Shape& s, const Frame& f) {
  if (!finite_shape(s)) return;
  const XY& p = s.points[0];
  switch (s.kind) {
    case ShapeKind::line: {
      if (s.points.size() < 2) return;
      const XY& q = s.points[1];
      out += "<line" + class_attr(s) + attr("x1", p.x) + attr("y1", p.y) + attr("x2", q.x) + attr("y2", q.y) +
             stroke_attr(s) + dash_attr(s, f) + "/>\n";
      return;
    }
    case ShapeKind::polyline: {
      out += "<polyline" + class_attr(s) + " points=\"";
      for (std::size_t i = 0; i < s.points.size(); ++i) {
        if (i > 0) out += ' ';
        out.append(fmt(s.points[i].x)).append(",").append(fmt(s.points[i].y));
      }
      out.append("\"").append(stroke_attr(s)).append(dash_attr(s, f)).append("/>\n");
      return;
    }
    case ShapeKind::circle:
      out += "<circle" + class_attr(s) + attr("cx", p.x) + attr("cy", p.y) + attr("r", std::fabs(s.radius)) +
             stroke_attr(s) + "/>\n";
      return;
    case ShapeKind::cross:
      out += "<path" + class_attr(s) + " transform=\"translate(" + fmt(p.x) + "," + fmt(p.y) + ")\" d=\"" +
             cross_path(5.0 * f.px) + "\"" + stroke_attr(s) + "/>\n";
      return;
    case ShapeKind::dot:
      out += "<circle" + class_attr(s) + attr("cx", p.x) + attr("cy", p.y) + attr("r", 2.0 * f.px) +
             " fill=\"" + xml_escape(s.stroke) + "\" stroke=\"none\"/>\n";
      return;
    case ShapeKind::marker: {
      double h = 6.0 * f.px;
      out += "<g" + class_attr(s) + " transform=\"translate(" + fmt(p.x) + "," + fmt(p.y) + ")\"" +
             stroke_attr(s) + ">";
      out += "<circle r=\"" + fmt(h * 0.6) + "\"/><path d=\"" + cross_path(h) + "\"/>";
      if (!s.label.empty()) {
        out += "<text transform=\"translate(" + fmt(h) + "," + fmt(h) + ") scale(1,-1)\"" +
               attr("font-size", 11.0 * f.px) + " fill=\"" + xml_escape(s.stroke) + "\" stroke=\"none\">" +
               xml_escape(s.label) + "</text>";
      }
      out += "</g>\n";
      return;
    }
    case ShapeKind::text:
      if (!std::isfinite(s.angle_deg) || !std::isfinite(s.size) || !(s.size > 0.0)) return;
      // Inside the flipped group: turn about the baseline origin, then flip the glyphs upright.
      out +=
          "<text" + class_attr(s) + " transform=\"translate(" + fmt(p.x) + "," + fmt(p.y) + ") rotate(" +
          fmt(s.angle_deg) + ") scale(1,-1)\"" + attr("font-size", s.size) +
          (s.fit_width > 0.0 ? attr("textLength", s.fit_width) + " lengthAdjust=\"spacingAndGlyphs\"" : "") +
          " fill=\"" + xml_escape(s.stroke) + "\" stroke=\"none\">" + xml_escape(s.label) + "</text>\n";
      return;
  }
}

}  // namespace

Extent picture_extent(const Picture& picture) {
  Extent e;
  for (const Shape& s : picture.input) add_shape(e, s);
  for (const Shape& s : picture.output) add_shape(e, s);
  return e;
}

std::string format_number(double v) {
  if (v == 0.0) return "0";  // also turns -0 into 0
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.12g", v);
  return buf;
}

std::string xml_escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // Control characters are not allowed in XML 1.0 text.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
          out += ' ';
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string render_svg(const Picture& picture) {
  Frame f = fit_frame(picture);
  std::string out;
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + fmt(std::round(f.width_px)) + "\" height=\"" +
         fmt(std::round(f.height_px)) + "\" viewBox=\"" + fmt(f.vx) + " " + fmt(f.vy) + " " + fmt(f.vw) +
         " " + fmt(f.vh) + "\">\n";
  out += "<rect class=\"background\"" + attr("x", f.vx) + attr("y", f.vy) + attr("width", f.vw) +
         attr("height", f.vh) + " fill=\"#ffffff\"/>\n";

  out +=
      "<g class=\"drawing\" transform=\"scale(1,-1)\" fill=\"none\" stroke-linecap=\"round\" "
      "stroke-linejoin=\"round\" font-family=\"" +
      std::string(kFontFamily) + "\">\n";
  out += "<g class=\"input\"" + attr("stroke-width", 1.0 * f.px) + ">\n";
  for (const Shape& s : picture.input) render_shape(out, s, f);
  out += "</g>\n";
  out += "<g class=\"output\"" + attr("stroke-width", 1.4 * f.px) + ">\n";
  for (const Shape& s : picture.output) render_shape(out, s, f);
  out += "</g>\n";
  out += "</g>\n";

  for (std::size_t i = 0; i < picture.captions.size(); ++i) {
    double y = f.vy + (kCaptionPadPx * 0.5 + kCaptionLinePx * static_cast<double>(i + 1) - 5.0) * f.px;
    out += "<text class=\"caption\"" + attr("x", f.vx + 8.0 * f.px) + attr("y", y) +
           attr("font-size", 14.0 * f.px) + " font-family=\"" + std::string(kFontFamily) + "\" fill=\"#000000\">" +
           xml_escape(picture.captions[i]) + "</text>\n";
  }
  for (std::size_t i = 0; i < picture.footer.size(); ++i) {
    double up = kFooterLinePx * static_cast<double>(picture.footer.size() - 1 - i) + 5.0;
    out += "<text class=\"footer\"" + attr("x", f.vx + 8.0 * f.px) + attr("y", f.vy + f.vh - up * f.px) +
           attr("font-size", 11.0 * f.px) + " font-family=\"" + std::string(kFontFamily) + "\" fill=\"#606060\">" +
           xml_escape(picture.footer[i]) + "</text>\n";
  }
  out += "</svg>\n";
  return out;
}

}  // namespace hatch::view
