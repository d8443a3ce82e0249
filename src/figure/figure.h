// The elements of the figure used as a hatch pattern, relative to its own
// origin, each list in the reverse of file order.
#pragma once

#include "base/records.h"

namespace hatch {

struct FigureData {
  FigureLine* lines = nullptr;
  Arc* arcs = nullptr;
  Point* points = nullptr;
  double width = 0.0;   // extent of the line elements, construction lines included
  double height = 0.0;
};

}  // namespace hatch
