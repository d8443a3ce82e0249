// The option words with a command file and the settings log, over the fixed
// drawing. The input is a container (harness.h): its first line is the command
// line; sections "=====cmd" and "=====hatchlog.txt" give the command file (a
// word "cmd" names it) and the log that /i reads. A figure "fig" (/ffig) and an
// extra input "extra.txt" (/mextra.txt) lie ready.
#include <cstdint>

#include "fixtures.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string figure = hatch::fuzz::standard_figure();
  const hatch::fuzz::Container c = hatch::fuzz::parse_container(data, size);
  std::vector<hatch::fuzz::InputFile> files = {
      {"plc_temp.txt", hatch::fuzz::kDrawing},
      {"fig.plk", figure},
      {"extra.txt", "hs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100\n#\n 10 10 30 10\nhp4 20 15\n"},
  };
  for (const hatch::fuzz::InputFile& f : c.files)
    if (f.name == "cmd" || f.name == "hatchlog.txt") files.push_back(f);
  hatch::fuzz::run_and_check(c.words, files);
  return 0;
}
