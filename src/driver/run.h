// One run of the program: settings, input, boundary, regions, output.
#pragma once

namespace hatch {

// Runs in the current directory; returns the exit status.
int run(int argc, char** argv);

}  // namespace hatch
