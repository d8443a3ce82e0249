// The console interrupt. The handler only notes the request; the long loops
// call rearm_interrupt() at the top of each iteration, which installs the
// handler on first use and turns a noted request into hatch::Interrupted, so
// the run ends between two steps with its files in a known state.
//
// How the handler is installed differs between platforms and lives in one file
// per platform (interrupt_posix.cc, interrupt_windows.cc); what it does lives
// in interrupt.cc.
#pragma once

#include <atomic>

namespace hatch {

struct FileSlot;

// Set from a signal handler on POSIX and from the console's own thread on
// Windows, so it must be both async-signal-safe and safe between threads.
extern std::atomic<int> interrupt_requested;
static_assert(std::atomic<int>::is_always_lock_free);
extern bool interrupt_handler_installed;

// The slot the handler falls back on when a second interrupt arrives before
// the first was noticed; the one process-wide pointer of the program.
void set_interrupt_slot(FileSlot* slot);
void install_interrupt_handler();  // per platform
[[noreturn]] void throw_interrupted();

// What the platform's handler does with each interrupt, whichever thread it
// runs on: the first is noted, a second one ends the run at once.
void note_interrupt();

inline void rearm_interrupt() {
  if (!interrupt_handler_installed) install_interrupt_handler();
  if (interrupt_requested) throw_interrupted();
}

}  // namespace hatch
