// One whole run chosen by the input: a container (harness.h) whose first line
// holds the option words and whose sections are the files of the working
// directory: the drawing "=====plc_temp.txt", a figure "=====NAME.plk", a
// command file, the settings log, an extra input, under any plain name.
#include <cstdint>

#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const hatch::fuzz::Container c = hatch::fuzz::parse_container(data, size);
  hatch::fuzz::run_and_check(c.words, c.files);
  return 0;
}
