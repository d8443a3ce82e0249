#include "driver/usage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "base/settings.h"

namespace hatch {
namespace {

ConsoleRequest request_of(std::vector<const char*> words) {
  words.insert(words.begin(), "hatch");
  return console_request(static_cast<int>(words.size()), words.data());
}

TEST(Usage, OnlyTheExactWordsAreRequests) {
  EXPECT_EQ(request_of({"/s1", "--help"}), ConsoleRequest::help);
  EXPECT_EQ(request_of({"-h", "/a45"}), ConsoleRequest::help);
  EXPECT_EQ(request_of({"notes", "--version"}), ConsoleRequest::version);
  EXPECT_EQ(request_of({"--version", "--help"}), ConsoleRequest::version);  // the first one counts
  EXPECT_EQ(request_of({"--Help", "-H", "--help=1", "-help", "--versions", "/h", "h"}), ConsoleRequest::none);
  const char* named_so[] = {"--help"};  // word 0 is the program's name, never read
  EXPECT_EQ(console_request(1, named_so), ConsoleRequest::none);
}

TEST(Usage, TellsTheDefaultsTheProgramStartsWith) {
  const Settings s;
  auto g = [](double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return std::string(buf);
  };
  const std::string defaults = "Defaults: /s" + std::to_string(s.line_count) + " /a" + g(s.angles_deg[0]) + " /p" +
                               g(s.pitches[0]) + ", /w" + g(s.line_spacing) + ", /t" + g(s.tile_x) + "," + g(s.tile_y) +
                               ", /r" + std::to_string(s.random_count) + ", /g" + std::to_string(s.figure_count) +
                               " (figure scale " + g(s.figure_scale) + "), /o" + g(s.offset_distance) + ".";
  EXPECT_NE(usage_text().find(defaults), std::string::npos) << defaults;
  EXPECT_EQ(s.hatch_style, HatchStyle::lines);
}

TEST(Usage, VersionComesFromTheVersionFile) {
  std::ifstream f(std::string(HATCH_SOURCE_DIR) + "/VERSION");
  std::string line;
  ASSERT_TRUE(std::getline(f, line));
  EXPECT_EQ(version_text(), "hatch " + line + "\n");
}

}  // namespace
}  // namespace hatch
