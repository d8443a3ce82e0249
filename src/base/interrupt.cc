#include "base/interrupt.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "base/failure.h"
#include "base/file_slot.h"
#include "base/messages.h"

namespace hatch {

std::atomic<int> interrupt_requested{0};
bool interrupt_handler_installed = false;

namespace {

std::atomic<FileSlot*> interrupt_slot{nullptr};

// A second interrupt means the run did not reach a re-arm point in time: leave
// the interruption line with async-signal-safe calls only and end at once.
void emergency_exit() {
  const char* line = msg::interrupted;
  std::size_t n = std::strlen(line);
  int fd = -1;
  FileSlot* slot = interrupt_slot;
  if (slot != nullptr && slot->stream != nullptr && !slot->for_reading) fd = fileno(slot->stream);
  if (fd < 0) fd = open(kExchangeFile, O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd >= 0) {
    auto w = write(fd, line, n);
    (void)w;
  }
  auto w = write(STDOUT_FILENO, line, n);
  (void)w;
  _exit(0);
}

}  // namespace

// interrupt_requested is 0, 1 while a request waits for the run to take it,
// or 2 once a second interrupt took it over to end the process itself. Both
// steps are exchanges, so that the run and a handler on another thread never
// both write the line.
void note_interrupt() {
  int seen = 0;
  if (interrupt_requested.compare_exchange_strong(seen, 1)) return;
  if (seen == 1 && interrupt_requested.compare_exchange_strong(seen, 2)) emergency_exit();
}

void set_interrupt_slot(FileSlot* slot) { interrupt_slot = slot; }

void throw_interrupted() {
  int seen = 1;
  if (interrupt_requested.compare_exchange_strong(seen, 0)) throw Interrupted{};
  // The handler is ending the process with the line written; write nothing more.
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

}  // namespace hatch
