#include "harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/file_slot.h"
#include "base/interrupt.h"
#include "base/messages.h"
#include "driver/run.h"

namespace hatch::fuzz {

namespace {

// A run may write this much into one file; beyond it the write fails (the
// program does not notice) and the check reports an output out of all proportion.
constexpr rlim_t kFileSizeLimit = 512u << 20;

struct Scratch {
  std::string root;   // holds work/ and the console capture
  int work = -1;      // the directory the program runs in
  int home = -1;      // the directory libFuzzer's relative paths start from
  int console = -1;   // standard output of a run goes here
  int saved_stdout = -1;
};

Scratch* scratch = nullptr;

[[noreturn]] void die(const char* what) {
  std::fprintf(stderr, "hatch fuzz harness: %s: %s\n", what, std::strerror(errno));
  std::abort();
}

// ---- the interrupting watchdog ---------------------------------------------
// A timer ticks every second of processor time of a run (so that a loaded
// machine does not make a run look slow); at the interrupt tick, or at the
// first tick that finds the exchange file large, the handler notes the file's
// size and a Ctrl-C request.

volatile std::sig_atomic_t ticks = 0;
volatile std::sig_atomic_t interrupt_sent = 0;
volatile long long size_at_interrupt = 0;
timer_t watchdog;

void on_tick(int) {
  if (interrupt_sent) return;
  const int t = ticks + 1;
  ticks = t;
  struct stat st;
  const long long size = stat(kExchangeFile, &st) == 0 ? static_cast<long long>(st.st_size) : 0;
  if (t >= kInterruptAfter || size >= kLargeBytes) {
    size_at_interrupt = size;
    interrupt_sent = 1;
    interrupt_requested = 1;
  }
}

void start_watchdog() {
  ticks = 0;
  interrupt_sent = 0;
  size_at_interrupt = 0;
  itimerspec every_second{};
  every_second.it_value.tv_sec = 1;
  every_second.it_interval.tv_sec = 1;
  if (timer_settime(watchdog, 0, &every_second, nullptr) != 0) die("cannot start the watchdog");
}

void stop_watchdog() {
  itimerspec off{};
  if (timer_settime(watchdog, 0, &off, nullptr) != 0) die("cannot stop the watchdog");
}

void empty_directory(const char* path) {
  DIR* d = opendir(path);
  if (d == nullptr) die("cannot list the scratch directory");
  while (dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    std::string p = std::string(path) + "/" + e->d_name;
    if (unlink(p.c_str()) != 0 && rmdir(p.c_str()) != 0) die("cannot empty the scratch directory");
  }
  closedir(d);
}

void remove_scratch() {
  if (scratch == nullptr) return;
  const std::string work = scratch->root + "/work";
  if (fchdir(scratch->work) == 0) empty_directory(".");
  rmdir(work.c_str());
  unlink((scratch->root + "/console").c_str());
  rmdir(scratch->root.c_str());
}

// Once per process: a directory of its own to run in, and a file for the console.
// The process enters it only for the length of a run, so that the corpus and
// artifact paths given to libFuzzer keep their meaning.
Scratch& the_scratch() {
  if (scratch != nullptr) return *scratch;
  scratch = new Scratch;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/hatch-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) die("cannot make the scratch directory");
  scratch->root = pattern;
  const std::string work = scratch->root + "/work";
  if (mkdir(work.c_str(), 0700) != 0) die("cannot make the work directory");
  scratch->console = open((scratch->root + "/console").c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (scratch->console < 0) die("cannot open the console capture");
  scratch->saved_stdout = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
  if (scratch->saved_stdout < 0) die("cannot keep standard output");
  scratch->work = open(work.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  scratch->home = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (scratch->work < 0 || scratch->home < 0) die("cannot open the work directory");
  std::atexit(remove_scratch);
  const int watchdog_signal = SIGRTMIN + 4;  // one neither libFuzzer nor the sanitizers use
  struct sigaction tick {};
  tick.sa_handler = on_tick;
  sigemptyset(&tick.sa_mask);
  tick.sa_flags = SA_RESTART;
  if (sigaction(watchdog_signal, &tick, nullptr) != 0) die("cannot handle the watchdog signal");
  sigevent ev{};
  ev.sigev_notify = SIGEV_SIGNAL;
  ev.sigev_signo = watchdog_signal;
  if (timer_create(CLOCK_PROCESS_CPUTIME_ID, &ev, &watchdog) != 0) die("cannot make the watchdog");
  // A run that writes without end fills the disk long before a timeout: let the
  // write fail instead of the signal ending the process.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit lim;
  if (getrlimit(RLIMIT_FSIZE, &lim) == 0 && (lim.rlim_cur == RLIM_INFINITY || lim.rlim_cur > kFileSizeLimit)) {
    lim.rlim_cur = kFileSizeLimit;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  return *scratch;
}

int lowest_free_fd() {
  int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (fd < 0) die("cannot open /dev/null");
  close(fd);
  return fd;
}

void write_file(const InputFile& f) {
  int fd = open(f.name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) die("cannot write an input file");
  std::size_t done = 0;
  while (done < f.bytes.size()) {
    ssize_t n = write(fd, f.bytes.data() + done, f.bytes.size() - done);
    if (n <= 0) die("cannot write an input file");
    done += static_cast<std::size_t>(n);
  }
  close(fd);
}

bool read_fd(int fd, std::string& out) {
  out.clear();
  char buf[65536];
  off_t at = 0;
  for (;;) {
    ssize_t n = pread(fd, buf, sizeof buf, at);
    if (n < 0) return false;
    if (n == 0) return true;
    out.append(buf, static_cast<std::size_t>(n));
    at += n;
  }
}

bool read_file(const char* name, std::string& out) {
  int fd = open(name, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = read_fd(fd, out);
  close(fd);
  return ok;
}

// ---- the checks ------------------------------------------------------------

bool starts_with(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

// A number as "%1.15g" writes it: finite, the whole token.
bool is_number(std::string_view t) {
  if (t.empty() || t.size() > 40) return false;
  for (char c : t)
    if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e')) return false;
  std::string s(t);
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && std::isfinite(v);
}

bool is_decimal(std::string_view t) {
  if (!t.empty() && t[0] == '-') t.remove_prefix(1);
  if (t.empty()) return false;
  for (char c : t)
    if (c < '0' || c > '9') return false;
  return true;
}

bool is_hex(std::string_view t) {
  if (t.empty()) return false;
  for (char c : t)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

// `count` numbers, each after one blank.
bool numbers_after(std::string_view rest, int count) {
  for (int i = 0; i < count; ++i) {
    if (rest.empty() || rest[0] != ' ') return false;
    rest.remove_prefix(1);
    std::size_t end = rest.find(' ');
    if (end == std::string_view::npos) end = rest.size();
    if (!is_number(rest.substr(0, end))) return false;
    rest.remove_prefix(end);
  }
  return rest.empty();
}

// One line the program may write for the host (without its line end).
bool is_host_command(std::string_view line) {
  if (line.empty()) return false;
  if (line[0] == ' ') return numbers_after(line, 4);
  if (starts_with(line, "lg") || starts_with(line, "ly")) return is_hex(line.substr(2));
  if (starts_with(line, "lc") || starts_with(line, "lt") || starts_with(line, "pn")) return is_decimal(line.substr(2));
  if (line == "z1") return true;
  if (starts_with(line, "ci")) return numbers_after(line.substr(2), 3) || numbers_after(line.substr(2), 7);
  if (starts_with(line, "pt")) return numbers_after(line.substr(2), 2);
  return false;
}

std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t nl = text.find('\n');
    if (nl == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    lines.push_back(text.substr(0, nl));
    text.remove_prefix(nl + 1);
  }
  return lines;
}

std::string quoted(std::string_view line) {
  std::string out = "\"";
  for (std::size_t i = 0; i < line.size() && i < 120; ++i) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    }
  }
  return out + (line.size() > 120 ? "...\"" : "\"");
}

// The commands before the end: every line one the host knows.
std::string check_commands(const std::vector<std::string_view>& lines, std::size_t count) {
  const std::string_view breaks_found(msg::breaks_found), no_breaks(msg::no_breaks);
  const std::string_view no_region(msg::no_region_found);
  auto bare = [](std::string_view m) { return m.substr(0, m.size() - 1); };  // without its "\n"
  // Millions of hatch lines come from one loop: the lines of its start and
  // end are enough, and checking them all would outlast the run itself.
  constexpr std::size_t kEachEnd = 100000;
  for (std::size_t i = 0; i < count; ++i) {
    if (i == kEachEnd && count > 2 * kEachEnd) i = count - kEachEnd;
    const std::string_view l = lines[i];
    if (l == bare(breaks_found) || l == bare(no_breaks)) continue;
    // A run that found nothing to fill says so just before the closing attribute lines.
    if (l == bare(no_region) && i + 5 == count) continue;
    if (!is_host_command(l)) return "line " + std::to_string(i + 1) + " is no host command: " + quoted(l);
  }
  return "";
}

}  // namespace

std::string check_outcome(const Outcome& o) {
  if (o.status != 0 && o.status != 1) return "exit status " + std::to_string(o.status) + ", not 0 or 1";
  if (!o.exchange_exists) {
    // Only a failure that cannot create the exchange file leaves none, and says so on the console.
    const std::string console_line = std::string(kExchangeFile) + msg::cannot_open_suffix;
    if (o.status == 1 && o.console.find(console_line) != std::string::npos) return "";
    return "no exchange file after the run";
  }
  const std::string_view text(o.exchange);
  if (text.empty() || text.back() != '\n') return "the exchange file does not end with a line end";
  const std::vector<std::string_view> lines = lines_of(text);
  std::size_t messages = 0;
  for (std::string_view l : lines)
    if (starts_with(l, "h#")) ++messages;
  const std::string_view hq(msg::interrupted);
  std::size_t interruptions = 0;
  for (std::string_view l : lines)
    if (starts_with(l, "hq")) ++interruptions;
  if (interruptions > 0) {
    if (!o.interrupted) return "an interruption line without an interrupt";
    if (o.status != 0) return "exit status " + std::to_string(o.status) + " after an interrupt, not 0";
    if (interruptions != 1 || lines.back() != hq.substr(0, hq.size() - 1))
      return "an interrupted run whose last line is not the one interruption line";
    if (o.console.find(hq) == std::string::npos) return "an interrupt not reported on the console";
    if (messages > 1) return std::to_string(messages) + " message lines in an interrupted run";
    return check_commands(lines, lines.size() - 1);
  }

  if (o.status == 1) {
    if (o.console.find('\a') == std::string::npos) return "a failure without the bell";
    if (messages != 1) return std::to_string(messages) + " message lines after a failure, not 1";
    // The message is the last line; one that ends in "\r\n" leaves an empty line after it.
    std::size_t last = lines.size() - 1;
    if (lines[last].empty() && last > 0 && !lines[last - 1].empty() && lines[last - 1].back() == '\r') --last;
    if (!starts_with(lines[last], "h#")) return "the message line is not the last line after a failure";
    if (lines[last].size() == 2) return "an empty message after a failure";
    return check_commands(lines, last);
  }

  if (messages > 1) return std::to_string(messages) + " message lines in a normal run";
  if (lines.size() < 4) return "a normal run without the four closing attribute lines";
  const std::size_t n = lines.size();
  if (!starts_with(lines[n - 4], "lg") || !starts_with(lines[n - 3], "ly") || !starts_with(lines[n - 2], "lc") ||
      !starts_with(lines[n - 1], "lt"))
    return "a normal run that does not end with the lines lg, ly, lc, lt";
  return check_commands(lines, n);
}

std::vector<std::string> split_words(std::string_view line) {
  std::vector<std::string> words;
  std::string w;
  // The console requests answer without touching a file: the checks of a run do not apply.
  auto keep = [&](std::string word) {
    if (word != "--help" && word != "-h" && word != "--version") words.push_back(std::move(word));
  };
  for (char c : line) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0') {
      if (!w.empty()) keep(std::move(w));
      w.clear();
    } else {
      w += c;
    }
  }
  if (!w.empty()) keep(std::move(w));
  return words;
}

bool is_plain_name(std::string_view name) {
  if (name.empty() || name.size() > 64 || name[0] == '.') return false;
  for (char c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
              c == '-';
    if (!ok) return false;
  }
  return true;
}

Container parse_container(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  constexpr std::string_view kMark = "=====";
  // Where each "=====" line starts; the line end before it belongs to it.
  std::vector<std::size_t> marks;
  if (all.substr(0, kMark.size()) == kMark) marks.push_back(0);
  for (std::size_t p = all.find("\n=====", 0); p != std::string_view::npos; p = all.find("\n=====", p + 1))
    marks.push_back(p + 1);
  Container c;
  c.words = split_words(all.substr(0, marks.empty() ? all.size() : marks[0]));
  for (std::size_t k = 0; k < marks.size(); ++k) {
    const std::size_t name_start = marks[k] + kMark.size();
    std::size_t name_end = all.find('\n', name_start);
    if (name_end == std::string_view::npos) name_end = all.size();
    const std::string_view name = all.substr(name_start, name_end - name_start);
    const std::size_t body = std::min(name_end + 1, all.size());
    const std::size_t stop = k + 1 < marks.size() ? marks[k + 1] - 1 : all.size();
    if (!is_plain_name(name)) continue;
    std::string bytes(all.substr(body, stop > body ? stop - body : 0));
    bool replaced = false;
    for (InputFile& f : c.files) {
      if (f.name == name) {
        f.bytes = bytes;
        replaced = true;
      }
    }
    if (!replaced) c.files.push_back({std::string(name), std::move(bytes)});
  }
  return c;
}

namespace {

Outcome run_once(const std::vector<std::string>& words, const std::vector<InputFile>& files, int& free_fd) {
  Scratch& s = the_scratch();
  if (fchdir(s.work) != 0) die("cannot enter the work directory");
  empty_directory(".");
  for (const InputFile& f : files) {
    if (!is_plain_name(f.name)) die("an input file name that is not plain");
    write_file(f);
  }

  std::vector<std::string> storage;
  storage.reserve(words.size() + 1);
  storage.emplace_back("hatch");
  for (const std::string& w : words) storage.push_back(w);
  std::vector<char*> argv;
  for (std::string& w : storage) argv.push_back(w.data());
  argv.push_back(nullptr);

  free_fd = lowest_free_fd();
  // The run installs its own Ctrl-C handler on first use; libFuzzer's comes back
  // afterwards, and the next run starts as a fresh process would.
  struct sigaction fuzzer_sigint;
  sigaction(SIGINT, nullptr, &fuzzer_sigint);
  interrupt_requested = 0;
  interrupt_handler_installed = false;

  std::fflush(stdout);
  if (ftruncate(s.console, 0) != 0 || lseek(s.console, 0, SEEK_SET) != 0) die("cannot empty the console capture");
  if (dup2(s.console, STDOUT_FILENO) < 0) die("cannot capture standard output");
  Outcome o;
  // A state of its own, as a new process has, kept to read what the hatch met.
  auto state = std::make_unique<RunState>();
  start_watchdog();
  o.status = hatch::run(*state, static_cast<int>(storage.size()), argv.data());
  stop_watchdog();
  o.strokes_meeting_fill = state->tally.strokes_meeting_fill;
  o.ended_preparing = state->phase == RunPhase::boundary || state->phase == RunPhase::search;
  state.reset();
  std::fflush(stdout);
  if (dup2(s.saved_stdout, STDOUT_FILENO) < 0) die("cannot restore standard output");

  sigaction(SIGINT, &fuzzer_sigint, nullptr);
  if (interrupt_sent) {
    o.interrupted = true;
    o.written_before_interrupt = size_at_interrupt;
  }
  interrupt_requested = 0;
  interrupt_handler_installed = false;
  set_interrupt_slot(nullptr);

  if (!read_fd(s.console, o.console)) die("cannot read the console capture");
  o.exchange_exists = read_file(kExchangeFile, o.exchange);
  o.log_exists = read_file(kSettingsLog, o.log);
  if (fchdir(s.home) != 0) die("cannot leave the work directory");
  return o;
}

[[noreturn]] void report(const std::string& problem, const std::vector<std::string>& words, const Outcome& o) {
  std::fprintf(stderr, "\n== hatch fuzz: %s\n== words:", problem.c_str());
  for (const std::string& w : words) std::fprintf(stderr, " %s", quoted(w).c_str());
  std::fprintf(stderr, "\n== exit status %d; exchange file (%zu bytes) ends:\n", o.status, o.exchange.size());
  const std::size_t tail = o.exchange.size() > 400 ? o.exchange.size() - 400 : 0;
  for (std::string_view l : lines_of(std::string_view(o.exchange).substr(tail)))
    std::fprintf(stderr, "   %s\n", quoted(l).c_str());
  std::abort();
}

}  // namespace

Outcome run_and_check(const std::vector<std::string>& words, const std::vector<InputFile>& files) {
  // With HATCH_FUZZ_REPEAT set, every input runs twice: whatever a run leaves in
  // the process must not change the next one. That replay looks for nothing else.
  static const bool repeat = std::getenv("HATCH_FUZZ_REPEAT") != nullptr;
  int free_fd = -1;
  const Outcome o = run_once(words, files, free_fd);
  std::string problem = check_outcome(o);
  if (problem.empty() && lowest_free_fd() != free_fd) problem = "the run left a file open";
  if (problem.empty() && o.exchange.size() >= kFileSizeLimit) problem = "the run wrote 512 MB or more";
  if (problem.empty() && !repeat && o.interrupted && o.written_before_interrupt < kStallBytes &&
      o.strokes_meeting_fill < kProgressStrokes && !o.ended_preparing)
    problem = "still running after " + std::to_string(kInterruptAfter) + " s, having written " +
              std::to_string(o.written_before_interrupt) + " bytes and crossed " +
              std::to_string(o.strokes_meeting_fill) +
              " strokes into a loop they may fill: the run walks without producing output";
  if (!problem.empty()) report(problem, words, o);

  if (repeat && !o.interrupted) {
    const Outcome again = run_once(words, files, free_fd);
    const char* differs = again.status != o.status                                  ? "its exit status"
                          : again.exchange != o.exchange                              ? "its exchange file"
                          : again.console != o.console                                ? "its console output"
                          : again.log_exists != o.log_exists || again.log != o.log    ? "its settings log"
                                                                                      : nullptr;
    if (!again.interrupted && differs != nullptr)
      report(std::string("the same input run again changes ") + differs, words, again);
  }
  return o;
}

}  // namespace hatch::fuzz
