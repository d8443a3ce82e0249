#include "base/bell.h"

#include <cstdio>

namespace hatch {

void ring_bell() {
  std::fputc(7, stdout);
  std::fflush(stdout);
}

}  // namespace hatch
