// Random drawings for differential runs: rooms sharing walls, polygons that
// cross, squares inside squares, circles and arcs, texts, open lines, stubs
// too short to have a direction; pick points or none; the option words of
// every style. The same seed always gives the same drawing.
#pragma once

#include <string>
#include <vector>

namespace hatch::test {

struct RandomDrawing {
  std::string exchange_file;       // plc_temp.txt
  std::vector<std::string> words;  // the option words (figures: tile, ring, mark)
};

RandomDrawing random_drawing(unsigned seed);

}  // namespace hatch::test
