#include "fixtures.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace hatch::fuzz {

const char* const kDrawing =
    "hs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100\n"
    "hch 0.1 0.1 0.1 0.1 0.1 0.1 0.1 0.1 0.1 0.1\n"
    "hcc 1 1 1 1 1 1 1 1 1 1\n"
    "lg0\n"
    "ly1\n"
    "lc2\n"
    "lt0\n"
    "cn1\n"
    "#\n"
    " 0 0 200 0\n"
    " 200 0 200 120\n"
    " 200 120 0 120\n"
    " 0 120 0 0\n"
    "ci 50 60 20\n"
    " 120 30 160 30\n"
    " 160 30 160 70\n"
    " 160 70 120 70\n"
    " 120 70 120 30\n"
    "ch 130 95 40 0 \"TEXT\n"
    "hp3 90 20\n"
    "hp1 100 -10\n";

namespace {

void put_u8(std::string& out, int v) { out += static_cast<char>(v & 0xFF); }

void put_u16(std::string& out, unsigned v) {
  put_u8(out, static_cast<int>(v));
  put_u8(out, static_cast<int>(v >> 8));
}

void put_u32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) put_u8(out, static_cast<int>(v >> (8 * i)));
}

void put_f32(std::string& out, float f) {
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  put_u32(out, bits);
}

// Degrees as signed 16.16 fixed point.
void put_angle(std::string& out, double deg) {
  put_u32(out, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(deg * 65536.0))));
}

void pad(std::string& out, std::size_t n) { out.append(n, '\0'); }

}  // namespace

FigureFile& FigureFile::line(float x1, float y1, float x2, float y2, int line_type, int colour, int layer) {
  std::string& r = line_records_;
  put_f32(r, x1);
  put_f32(r, y1);
  put_f32(r, x2);
  put_f32(r, y2);
  put_u8(r, line_type);
  put_u8(r, colour);
  put_u8(r, layer);
  pad(r, 3);
  ++lines_;
  return *this;
}

FigureFile& FigureFile::arc(float cx, float cy, float r, double flatness, double start_deg, double end_deg,
                            double tilt_deg, int line_type, int colour, int layer) {
  std::string& o = arc_records_;
  put_f32(o, cx);
  put_f32(o, cy);
  put_f32(o, r);
  put_u16(o, static_cast<unsigned>(std::lround(flatness * 10000.0)));
  put_angle(o, start_deg);
  put_angle(o, end_deg);
  put_angle(o, tilt_deg);
  put_u8(o, line_type);
  put_u8(o, colour);
  put_u8(o, layer);
  pad(o, 3);
  ++arcs_;
  return *this;
}

FigureFile& FigureFile::point(float x, float y, int layer, int pen) {
  std::string& o = point_records_;
  put_f32(o, x);
  put_f32(o, y);
  put_u8(o, layer);
  put_u8(o, pen);
  pad(o, 2);
  ++points_;
  return *this;
}

std::string FigureFile::bytes() const {
  std::string out = "plodix(c)sym";
  pad(out, 200 - out.size());
  char counts[64];
  int n = std::snprintf(counts, sizeof counts, "%d,%d,%d,0", lines_, arcs_, points_);
  out.append(counts, static_cast<std::size_t>(n));
  pad(out, 400 - out.size());
  return out + line_records_ + arc_records_ + point_records_;
}

std::string standard_figure() {
  return FigureFile()
      .line(0, 0, 20, 10, 9, 0, 0)  // construction line: the 20 x 10 tile
      .line(0, 0, 20, 0)
      .line(2, 2, 18, 8, 1, 5, 4)
      .arc(10, 5, 3, 1.0, 0, 0, 0)
      .arc(5, 5, 2, 0.5, 30, 200, 15)
      .point(15, 3)
      .bytes();
}

}  // namespace hatch::fuzz
