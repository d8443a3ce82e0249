#include <signal.h>

#include <cstring>

#include "base/interrupt.h"

namespace hatch {

namespace {

void on_interrupt(int) { note_interrupt(); }

}  // namespace

// The disposition stays until it is changed, so one installation serves the
// whole run; SA_RESTART keeps an interrupted read or write from failing.
void install_interrupt_handler() {
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = on_interrupt;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGINT, &sa, nullptr);
  interrupt_handler_installed = true;
}

}  // namespace hatch
