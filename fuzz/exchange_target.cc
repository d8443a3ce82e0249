// The exchange file as the host writes it, under one fixed set of option words
// chosen when the target is built (HATCH_FUZZ_SET names the set).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "harness.h"

namespace {

struct OptionSet {
  const char* name;
  const char* words;
};

// Pitches and tiles are a few hundredths of the seed drawings' size, so a run
// stays short while every row still meets several edges.
constexpr OptionSet kSets[] = {
    {"line", "/s1 /a45,120 /p20,35"},
    {"double", "/s2 /a30 /p25 /w8"},
    {"brick", "/s4 /t60,25 /a15 /h1xx,2xx"},
    {"fan", "/s7 /g4 /a10"},
    {"slant", "/s8 /a-20"},
    {"band", "/o15 /s3 /a60 /p12 /w4"},
    {"breaks", "/e"},
    {"outlines", "/j3 /s1 /a0 /p40 /z1"},
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
  hatch::fuzz::run_and_check(words, {{"plc_temp.txt", std::string(reinterpret_cast<const char*>(data), size)}});
  return 0;
}
