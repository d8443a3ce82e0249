// The records of one run's geometry. They are linked through `next` into singly
// linked lists whose order is part of the result: new records go to the head,
// scans run from the head, and ties are decided by that order.
#pragma once

#include <cstdint>

namespace hatch {

struct Arc;

// The attribute word of an arc or a figure element: the low four bits of each
// attribute, layer in bits 0-3, line type (a point's pen) in 4-7, colour in 8-11.
inline std::uint32_t attr_word(int layer, int line_type_or_pen, int colour) {
  return static_cast<std::uint32_t>((layer & 0xF) | ((line_type_or_pen & 0xF) << 4) | ((colour & 0xF) << 8));
}
inline int attr_layer(std::uint32_t w) { return static_cast<int>(w & 0xFu); }
inline int attr_line_type(std::uint32_t w) { return static_cast<int>((w >> 4) & 0xFu); }
inline int attr_pen(std::uint32_t w) { return static_cast<int>((w >> 4) & 0xFu); }
inline int attr_colour(std::uint32_t w) { return static_cast<int>((w >> 8) & 0xFu); }

struct XY {
  double x = 0.0;
  double y = 0.0;
};

struct Segment {
  std::int32_t id = 0;
  std::uint32_t marks = 0;  // bits 0-3 region_state, bits 4-7 trace_mark
  double x1 = 0.0, y1 = 0.0;
  double x2 = 0.0, y2 = 0.0;
  Arc* arc = nullptr;  // the arc this edge is a chord or piece of
  Segment* next = nullptr;
  std::uint32_t list_id = 0;  // its number in the indexed list region search keeps of it

  XY start() const { return {x1, y1}; }
  XY end() const { return {x2, y2}; }

  int region_state() const { return static_cast<int>(marks & 0xFu); }
  int trace_mark() const { return static_cast<int>((marks >> 4) & 0xFu); }
  void set_region_state(int v) { marks = (marks & ~0xFu) | (static_cast<std::uint32_t>(v) & 0xFu); }
  void set_trace_mark(int v) { marks = (marks & ~0xF0u) | ((static_cast<std::uint32_t>(v) & 0xFu) << 4); }
  void clear_marks() { marks &= ~0xFFu; }
};

// An elliptic arc: the point at parametric angle t is
// centre + rotate(tilt) * (r cos t, r * flatness * sin t).
struct Arc {
  std::int32_t id = 0;
  std::uint32_t attr = 0;  // bits 0-3 layer, 4-7 line type, 8-11 colour
  double cx = 0.0, cy = 0.0;
  double r = 0.0;
  double start = 0.0, end = 360.0;  // degrees until read, radians afterwards
  double flatness = 1.0;
  double tilt = 0.0;
  double start_deg = 0.0, end_deg = 0.0, tilt_deg = 0.0;  // kept for output
  Arc* next = nullptr;
};

struct PickPoint {
  double x = 0.0, y = 0.0;
  PickPoint* next = nullptr;
};

// A break marker or a point element of a figure.
struct Point {
  std::uint32_t attr = 0;  // figure points: bits 0-3 layer, 4-7 pen
  double x = 0.0, y = 0.0;
  Point* next = nullptr;
};

struct FigureLine {
  std::uint32_t attr = 0;  // bits 0-3 layer, 4-7 line type, 8-11 colour
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
  FigureLine* next = nullptr;
};

// A closed loop is a chain of Segment copies linked through `next`.
struct LoopNode {
  Segment* loop = nullptr;
  LoopNode* next = nullptr;
};

struct Region {
  std::int32_t index = 0;
  Segment* outline = nullptr;  // in path order, each edge oriented along the path
  LoopNode* islands = nullptr;
  Region* next = nullptr;
};

}  // namespace hatch
