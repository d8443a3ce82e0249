// Fixed inputs of the targets that vary one thing: a small drawing with a region,
// an island, an arc and a text, and figure files built element by element.
#pragma once

#include <cstdint>
#include <string>

namespace hatch::fuzz {

// A 200 x 120 frame with a circle and a square island, a text box and a pick
// point; an "hp1" point below it for the band; layer group 0 at scale 100.
extern const char* const kDrawing;

// A figure file being built: header, count block, then the records.
class FigureFile {
 public:
  FigureFile& line(float x1, float y1, float x2, float y2, int line_type = 0, int colour = 3, int layer = 2);
  FigureFile& arc(float cx, float cy, float r, double flatness, double start_deg, double end_deg, double tilt_deg,
                  int line_type = 0, int colour = 4, int layer = 3);
  FigureFile& point(float x, float y, int layer = 2, int pen = 1);
  std::string bytes() const;

 private:
  int lines_ = 0, arcs_ = 0, points_ = 0;
  std::string line_records_, arc_records_, point_records_;
};

// A 20 x 10 figure: a framing line, a diagonal, an arc and a point.
std::string standard_figure();

}  // namespace hatch::fuzz
