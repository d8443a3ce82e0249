// The console interrupt. The handler only notes the request; the long loops
// call rearm_interrupt() at the top of each iteration, which installs the
// handler on first use and turns a noted request into hatch::Interrupted, so
// the run ends between two steps with its files in a known state.
#pragma once

#include <csignal>

namespace hatch {

struct FileSlot;

extern volatile std::sig_atomic_t interrupt_requested;
extern bool interrupt_handler_installed;

// The slot the handler falls back on when a second interrupt arrives before
// the first was noticed; the one process-wide pointer of the program.
void set_interrupt_slot(FileSlot* slot);
void install_interrupt_handler();
[[noreturn]] void throw_interrupted();

inline void rearm_interrupt() {
  if (!interrupt_handler_installed) install_interrupt_handler();
  if (interrupt_requested) throw_interrupted();
}

}  // namespace hatch
