#include "base/interrupt.h"

#include <gtest/gtest.h>

#include <csignal>

#include "base/failure.h"

namespace hatch {
namespace {

using Handler = void (*)(int);

// Where the C runtime puts the default action back on each delivery (Windows),
// the handler must have armed itself again, or the next key press would kill
// the run without its line. Ctrl-Break is a signal of its own only there.
TEST(Interrupt, EachDeliveryIsNotedAndLeavesTheHandlerInPlace) {
  rearm_interrupt();
  int signals[] = {SIGINT, SIGINT,
#ifdef SIGBREAK
                   SIGBREAK, SIGBREAK
#endif
  };
  for (int sig : signals) {
    std::raise(sig);
    EXPECT_EQ(interrupt_requested, 1) << sig;
    EXPECT_THROW(rearm_interrupt(), Interrupted) << sig;
    EXPECT_EQ(interrupt_requested, 0) << sig;
    const Handler now = std::signal(sig, SIG_DFL);
    EXPECT_NE(now, SIG_DFL) << sig;
    EXPECT_NE(now, SIG_ERR) << sig;
    std::signal(sig, now);
  }
}

}  // namespace
}  // namespace hatch
