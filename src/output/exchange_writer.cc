#include "output/exchange_writer.h"

namespace hatch {

void restore_initial_attributes(std::FILE* out, const InputState& input) {
  std::fprintf(out, "lg%x\n", static_cast<unsigned>(input.initial_group));
  std::fprintf(out, "ly%x\n", static_cast<unsigned>(input.initial_layer));
  std::fprintf(out, "%s%d\n", "lc", input.initial_color);
  std::fprintf(out, "%s%d\n", "lt", input.initial_line_type);
}

}  // namespace hatch
