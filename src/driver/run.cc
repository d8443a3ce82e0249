#include "driver/run.h"

namespace hatch {

int run(int, char**) { return 0; }

}  // namespace hatch
