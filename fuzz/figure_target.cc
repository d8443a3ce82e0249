// The figure file, hatched into the fixed drawing by one of three placements
// chosen when the target is built (HATCH_FUZZ_SET): tiled and clipped (/s5),
// whole copies on the grid (/s6), or scattered at random (/r).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fixtures.h"
#include "harness.h"

namespace {

struct OptionSet {
  const char* name;
  const char* words;
};

constexpr OptionSet kSets[] = {
    {"tiled", "/s5 /ffig /a30"},
    {"whole", "/s6 /ffig /a20 /p30 /w45"},
    {"random", "/s5 /ffig /r40 /g1.5"},
};

const OptionSet& chosen_set() {
  for (const OptionSet& s : kSets)
    if (std::strcmp(s.name, HATCH_FUZZ_SET) == 0) return s;
  std::fprintf(stderr, "no option set named %s\n", HATCH_FUZZ_SET);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::string> words = hatch::fuzz::split_words(chosen_set().words);
  hatch::fuzz::run_and_check(words, {{"plc_temp.txt", hatch::fuzz::kDrawing},
                                     {"fig.plk", std::string(reinterpret_cast<const char*>(data), size)}});
  return 0;
}
