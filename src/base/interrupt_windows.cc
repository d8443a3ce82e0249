#include <csignal>

#include "base/interrupt.h"

namespace hatch {

namespace {

// The C runtime calls this on a thread of its own for Ctrl-C (SIGINT) and
// Ctrl-Break (SIGBREAK), having put the default action back first. Arming again
// before anything else keeps a second key press from killing the run with the
// exchange file half written; the default would end it without the line.
void on_interrupt(int sig) {
  std::signal(sig, on_interrupt);
  note_interrupt();
}

}  // namespace

void install_interrupt_handler() {
  std::signal(SIGINT, on_interrupt);
  std::signal(SIGBREAK, on_interrupt);
  interrupt_handler_installed = true;
}

}  // namespace hatch
