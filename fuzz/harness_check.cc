// The harness's own checks, tried on outcomes made by hand: a check that let a
// broken outcome pass would make every campaign worthless. tools/fuzz.sh runs
// this before fuzzing.
#include <cstdio>
#include <string>

#include "base/messages.h"
#include "harness.h"

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
  if (!ok) {
    std::printf("harness check failed: %s\n", what);
    ++failures;
  }
}

hatch::fuzz::Outcome outcome(int status, std::string exchange, std::string console = "") {
  hatch::fuzz::Outcome o;
  o.status = status;
  o.exchange_exists = true;
  o.exchange = std::move(exchange);
  o.console = std::move(console);
  return o;
}

bool passes(const hatch::fuzz::Outcome& o) { return hatch::fuzz::check_outcome(o).empty(); }

}  // namespace

int main() {
  using hatch::fuzz::parse_container;
  const std::string restore = "lg0\nly1\nlc2\nlt0\n";

  expect(passes(outcome(0, " 0 5 10 5\n" + restore)), "a normal run with one segment");
  expect(passes(outcome(0, "ly1\nlt0\nlc2\nz1\n 0 5 1e+20 -5.5\nci 1 2 3\nci 1 2 3 0 90 0.5 30\npt 1 2\npn0\n" + restore)),
         "every command kind");
  expect(passes(outcome(1, "h#message\r\n\n", "\a")), "a failure whose message ends in CR LF");
  expect(passes(outcome(1, " 0 5 10 5\nh#message\n", "\a")), "a failure during output");
  expect(!passes(outcome(2, restore)), "exit status 2");
  expect(!passes(outcome(1, "h#message\n", "")), "a failure without the bell");
  expect(!passes(outcome(1, "h#one\nh#two\n", "\a")), "two message lines");
  expect(!passes(outcome(1, "h#message\n 0 5 10 5\n", "\a")), "a line after the message");
  expect(!passes(outcome(1, " 0 5 10 5\n", "\a")), "a failure without a message");
  expect(!passes(outcome(0, " 0 5 10 5\n")), "a normal run without the closing lines");
  expect(!passes(outcome(0, " 0 nan 10 5\n" + restore)), "a coordinate that is not a number");
  expect(!passes(outcome(0, " 0 inf 10 5\n" + restore)), "an infinite coordinate");
  expect(!passes(outcome(0, " 0 5 10\n" + restore)), "a segment of three numbers");
  expect(!passes(outcome(0, "ci 1 2 3 4\n" + restore)), "an arc of four numbers");
  expect(!passes(outcome(0, " 0 5 10 5\n" + restore.substr(0, restore.size() - 1))), "no final line end");
  expect(!passes(outcome(0, "hq\n" + restore)), "an interruption line");
  const std::string hq = hatch::msg::interrupted;
  hatch::fuzz::Outcome stopped = outcome(0, " 0 5 10 5\n" + hq, hq);
  expect(!passes(stopped), "an interruption line without an interrupt");
  stopped.interrupted = true;
  expect(passes(stopped), "an interrupted run");
  stopped.status = 1;
  expect(!passes(stopped), "exit status 1 after an interrupt");
  stopped.status = 0;
  stopped.exchange = hq + restore;
  expect(!passes(stopped), "an interruption line before the end");
  hatch::fuzz::Outcome missing;
  missing.status = 1;
  expect(!passes(missing), "no exchange file and nothing on the console");

  const std::string text = "/s1 /a45\n=====plc_temp.txt\n 0 0 1 1\n=====../up\nx\n=====fig.plk\nAB\n\n=====cmd";
  const auto c = parse_container(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  expect(c.words.size() == 2 && c.words[1] == "/a45", "the words of the first line");
  expect(c.files.size() == 3, "three plain names; ../up is dropped");
  if (c.files.size() == 3) {
    expect(c.files[0].name == "plc_temp.txt" && c.files[0].bytes == " 0 0 1 1", "the line end before a mark is its own");
    expect(c.files[1].name == "fig.plk" && c.files[1].bytes == "AB\n", "a body that ends in a line end");
    expect(c.files[2].name == "cmd" && c.files[2].bytes.empty(), "an empty last file");
  }
  if (failures == 0) std::printf("harness checks: all passed\n");
  return failures == 0 ? 0 : 1;
}
