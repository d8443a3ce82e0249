// Every failure of a run is fatal. It unwinds to the run driver, which rings the
// bell, leaves the message as an "h#" line in the exchange file and exits 1.
#pragma once

#include <string>

namespace hatch {

struct Failure {
  std::string message;  // Shift-JIS bytes, passed on unchanged
};

// The user pressed Ctrl-C; noticed at the next re-arm point of a long loop.
struct Interrupted {};

[[noreturn]] inline void fail(std::string message) { throw Failure{std::move(message)}; }

}  // namespace hatch
