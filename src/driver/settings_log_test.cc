#include "driver/settings_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/options.h"
#include "support/scratch.h"

namespace hatch {
namespace {

std::string log_of(const std::vector<const char*>& options) {
  Settings s;
  std::vector<const char*> words{"hatch"};
  words.insert(words.end(), options.begin(), options.end());
  apply_options(s, static_cast<int>(words.size()), words.data());
  test::OutputStream out;
  write_settings_log(out.get(), s);
  return out.text();
}

TEST(SettingsLog, OneDecimalRoundsHalvesAwayFromZero) {
  EXPECT_EQ(format_one_decimal(22.25), "22.3");
  EXPECT_EQ(format_one_decimal(-22.25), "-22.3");
  EXPECT_EQ(format_one_decimal(0.05), "0.1");  // just above a half in binary
  EXPECT_EQ(format_one_decimal(0.04999), "0.0");
  EXPECT_EQ(format_one_decimal(9.95), "9.9");  // just below a half in binary
  EXPECT_EQ(format_one_decimal(99.96), "100.0");
  EXPECT_EQ(format_one_decimal(-0.01), "-0.0");
  EXPECT_EQ(format_one_decimal(5.0), "5.0");
  EXPECT_EQ(format_one_decimal(123456789.75), "123456789.8");
}

TEST(SettingsLog, LinesByStyle) {
  EXPECT_EQ(log_of({"/s1", "/a45", "/p5"}), "/s1\n/z0\n/a45.0\n/p5.0\n/w50.0\n");
  EXPECT_EQ(log_of({"/s5", "/fbrick", "/a45", "/p2"}), "/s5\n/g1.0\n/fbrick\n/z0\n/a45.0\n/p2.0\n/w50.0\n");
  EXPECT_EQ(log_of({"/s4", "/t30,12.5"}), "/s4\n/t30.0,12.5\n/z0\n/a0.0\n/p100.0\n/w50.0\n");
  EXPECT_EQ(log_of({"/s7", "/g3"}), "/s7\n/g3\n/z0\n/a0.0\n/p100.0\n/w50.0\n");
  EXPECT_EQ(log_of({"/s8", "/r9", "/jc", "/z2"}), "/r9\n/z2\n/jc\n/a0.0\n/p100.0\n/w50.0\n");
  EXPECT_EQ(log_of({"/a30,60", "/v5,7", "/hbx1"}),
            "/s1\n/z0\n/a30.0,60.0\n/v5.0,7.0\n/w50.0\n/hbx1,bx1\n");
}

TEST(SettingsLog, WantedOnlyWithSlashI) {
  const char* with[] = {"hatch", "/s1", "/I"};
  const char* without[] = {"/i", "/s1"};  // word 0 is never an option
  EXPECT_TRUE(wants_settings_log(3, with));
  EXPECT_FALSE(wants_settings_log(2, without));
}

}  // namespace
}  // namespace hatch
