// A picture of one run in drawing coordinates, and its SVG text: y upwards,
// fitted to the extent of everything drawn, with the host messages as a caption.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/records.h"

namespace hatch::view {

enum class ShapeKind {
  line,      // points[0] to points[1]
  polyline,  // an arc sampled as short chords
  circle,    // centre points[0], radius
  cross,     // a pick point: a small cross at points[0]
  dot,       // a point command: a small filled disc at points[0]
  marker,    // hp1/hp2: a ringed cross at points[0] with `label` beside it
  text,      // `label` upright on a baseline from points[0], turned by `angle_deg`, `size` high
};

struct Shape {
  ShapeKind kind = ShapeKind::line;
  std::vector<XY> points;
  double radius = 0.0;
  std::string stroke;     // "#rrggbb"
  std::string css_class;  // what the shape stands for: "segment", "arc", "text-box", ...
  std::string label;
  bool dashed = false;                 // lines and polylines only
  double angle_deg = 0.0, size = 0.0;  // text only
  double fit_width = 0.0;              // text only: when above 0, the glyphs are fitted to it
};

struct Picture {
  std::vector<Shape> input;           // the exchange file before the run, drawn first
  std::vector<Shape> output;          // the commands the program wrote, drawn on top
  std::vector<std::string> captions;  // UTF-8 lines shown above the drawing
  std::vector<std::string> footer;    // UTF-8 lines, small, below the drawing
};

struct Extent {
  double min_x = 0.0, min_y = 0.0, max_x = 0.0, max_y = 0.0;
  bool empty = true;
  void add(double x, double y);
};

// The bounding box of every finite point of every shape (circles with their radius).
Extent picture_extent(const Picture& picture);

// Largest picture size in pixels; the drawing keeps its aspect ratio inside it.
inline constexpr double kMaxWidthPx = 1200.0;
inline constexpr double kMaxHeightPx = 900.0;
inline constexpr double kMinWidthPx = 480.0;  // room for the caption and footer of a tall drawing

std::string render_svg(const Picture& picture);

// Numbers as SVG attributes: up to 12 significant digits, no trailing zeros.
std::string format_number(double v);
std::string xml_escape(std::string_view text);

}  // namespace hatch::view
