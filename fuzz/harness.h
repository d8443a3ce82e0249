// The in-process harness of the fuzz targets: one run of the program as the
// host makes it, in a scratch directory of this process, followed by the checks
// that every run must pass whatever its input. A failed check prints what was
// wrong and aborts, which libFuzzer reports as a crash with the input kept.
//
// A run still going after kInterruptAfter seconds of processor time (about a
// second of the program built without sanitizers), or one whose exchange file
// has grown past kLargeBytes, is interrupted as a user would (the request the
// Ctrl-C handler notes), and must then end with the interruption line. If by
// then it had not written kStallBytes (one buffer of the exchange file) and
// had not crossed kProgressStrokes rows or strokes into a loop they may fill,
// it was walking without producing anything: that is a finding. A run that
// writes is merely large, and one that works through the rows its regions
// reach is merely thin (rounding that far out can leave its pieces nothing to
// fill): both pass, as does one still preparing its boundary or searching
// for regions, whose work their own limits bound (arc pieces at least the arc
// tolerance apart, a fixed number of steps per trace), however slow a
// coincidence tolerance as large as the drawing makes it. A run that does not
// end after the interrupt reaches libFuzzer's -timeout: a loop without a
// re-arm point, or no end at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hatch::fuzz {

struct InputFile {
  std::string name;   // a plain name in the working directory
  std::string bytes;
};

// What one run left behind.
inline constexpr int kInterruptAfter = 10;  // seconds
inline constexpr long long kStallBytes = 4096;
inline constexpr long long kLargeBytes = 64ll << 20;
inline constexpr long long kProgressStrokes = 1000;

struct Outcome {
  int status = -1;
  bool interrupted = false;  // the harness asked the run to stop
  long long written_before_interrupt = 0;  // size of the exchange file then
  long long strokes_meeting_fill = 0;      // rows and strokes that crossed a loop they may fill
  bool ended_preparing = false;            // still cutting arcs, merging or tracing when it ended
  bool exchange_exists = false;
  std::string exchange;  // plc_temp.txt after the run
  std::string console;   // standard output of the run
  bool log_exists = false;
  std::string log;       // hatchlog.txt after the run
};

// Empties the scratch directory, lays out the files, runs the program with the
// words (word 0, the program name, is added) and checks the outcome.
Outcome run_and_check(const std::vector<std::string>& words, const std::vector<InputFile>& files);

// Option words as a command line holds them: split at blanks, tabs, line ends and zero bytes.
std::vector<std::string> split_words(std::string_view line);

// The container of the targets that lay out several files: the first line holds
// the option words; every later line "=====NAME" starts the file NAME, whose
// bytes run up to the line end before the next such line (or to the end).
struct Container {
  std::vector<std::string> words;
  std::vector<InputFile> files;
};
Container parse_container(const std::uint8_t* data, std::size_t size);

// A name the harness may create: letters, digits, '.', '_' and '-', no leading
// dot, at most 64 bytes, so nothing is written outside the scratch directory.
bool is_plain_name(std::string_view name);

// The problems of an outcome, empty when every check passes (exposed for the unit test).
std::string check_outcome(const Outcome& outcome);

}  // namespace hatch::fuzz
