// The console bell that goes with every failure and with a break report.
#pragma once

namespace hatch {

// BEL on standard output, flushed so that it sounds before the run ends.
void ring_bell();

}  // namespace hatch
