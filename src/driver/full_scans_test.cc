#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/run.h"
#include "support/random_drawing.h"
#include "support/scratch.h"

namespace hatch {
namespace {

// What one run leaves: its status, its console output and its files.
std::string run_once(const test::RandomDrawing& d, bool full_scans) {
  test::ScratchDir dir(true);
  test::write_file("plc_temp.txt", d.exchange_file);
  for (const char* figure : {"figure-tiled-rectangle/input/tile.plk", "figure-arc-cut/input/ring.plk",
                             "figure-random/input/mark.plk"}) {
    const std::string path = std::string(HATCH_SOURCE_DIR) + "/tests/e2e/" + figure;
    test::write_file(path.substr(path.rfind('/') + 1), test::slurp(path));
  }
  std::vector<const char*> argv{"hatch"};
  for (const std::string& w : d.words) argv.push_back(w.c_str());
  RunState state;
  state.store.full_scans = full_scans;
  testing::internal::CaptureStdout();
  const int status = run(state, static_cast<int>(argv.size()), argv.data());
  const std::string console = testing::internal::GetCapturedStdout();
  return std::to_string(status) + "\n" + console + "\n" + test::slurp("plc_temp.txt") + "\n" +
         test::slurp("hatchlog.txt");
}

// The indexes only spare work: on drawings of every kind, under the option words
// of every style, a run writes the very bytes the plain scans write.
TEST(IndexedRun, WritesWhatThePlainScansWrite) {
  for (unsigned seed = 0; seed < 300; ++seed) {
    const test::RandomDrawing d = test::random_drawing(seed);
    ASSERT_EQ(run_once(d, false), run_once(d, true)) << "seed " << seed;
  }
}

}  // namespace
}  // namespace hatch
