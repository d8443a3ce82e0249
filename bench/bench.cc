// Times each phase of a run on generated large drawings. Not a test: it prints
// the figures. Usage: hatch_bench [case ...]; without arguments every case runs.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "driver/options.h"
#include "driver/run.h"
#include "input/exchange_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kPi = 3.14159265358979323846;  // M_PI is not standard C++

const char* const kHeader =
    "hs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100\nlg0\nly1\nlc2\nlt0\n#\n";

void square(std::string& out, double x, double y, double side) {
  char buf[256];
  std::snprintf(buf, sizeof buf, " %g %g %g %g\n %g %g %g %g\n %g %g %g %g\n %g %g %g %g\n", x, y, x + side, y,
                x + side, y, x + side, y + side, x + side, y + side, x, y + side, x, y + side, x, y);
  out += buf;
}

// Fill-all over columns x rows separate squares (a row meets at most 2 x columns
// edges: the crossing table holds 49).
std::string many_figures(int columns, int rows) {
  std::string s = kHeader;
  for (int i = 0; i < columns; ++i)
    for (int j = 0; j < rows; ++j) square(s, i * 30.0, j * 30.0, 20.0);
  return s;
}

// One region bounded by a polygon of n edges (a many-sided circle), with a pick point.
std::string many_edges(int n) {
  std::string s = kHeader;
  char buf[256];
  const double r = 10000.0;
  for (int i = 0; i < n; ++i) {
    double a = 2.0 * kPi * i / n, b = 2.0 * kPi * (i + 1) / n;
    std::snprintf(buf, sizeof buf, " %.6f %.6f %.6f %.6f\n", r * std::cos(a), r * std::sin(a), r * std::cos(b),
                  r * std::sin(b));
    s += buf;
  }
  s += "hp3 0 0\n";
  return s;
}

// A square 250000 wide hatched at the smallest pitch, 0.5, in two directions: a million lines.
std::string million_lines() {
  std::string s = kHeader;
  square(s, -160000.0, -160000.0, 250000.0);  // the pick-point ray ends at x = 100000
  s += "hp3 0 0\n";
  return s;
}

// A plan of rooms sharing walls, each picked, with arcs (door swings) and texts.
std::string rooms(int n) {
  std::string s = kHeader;
  s += "hch 2.5 0 0 0 0 0 0 0 0 0\ncn1\n";
  char buf[256];
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      double x = i * 400.0, y = j * 300.0;
      square(s, x, y, 0.0);
      std::snprintf(buf, sizeof buf, " %g %g %g %g\n %g %g %g %g\n", x, y, x + 400, y, x, y, x, y + 300);
      s += buf;
      std::snprintf(buf, sizeof buf, "ci %g %g 80 0 90\nch %g %g 60 0 \"R%d\"\nhp3 %g %g\n", x + 100, y, x + 200,
                    y + 150, i * n + j, x + 300, y + 250);
      s += buf;
    }
  for (int i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, " %g %g %g %g\n %g %g %g %g\n", n * 400.0, i * 300.0, n * 400.0, i * 300.0 + 300,
                  i * 400.0, n * 300.0, i * 400.0 + 400, n * 300.0);
    s += buf;
  }
  return s;
}

struct Case {
  const char* name;
  std::function<std::string()> drawing;
  std::vector<const char*> options;
};

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

void run_case(const Case& c) {
  std::string text = c.drawing();
  hatch::RunState r;
  std::vector<const char*> words{"hatch"};
  words.insert(words.end(), c.options.begin(), c.options.end());
  hatch::apply_options(r.settings, static_cast<int>(words.size()), words.data());
  hatch::check_lengths(r.settings);
  hatch::convert_angles(r.settings);

  // Through a real file, as the program reads: written before the clock starts.
  std::FILE* in = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), in);
  std::rewind(in);
  auto t = Clock::now();
  hatch::prescan_text_type0(in, r.input);
  hatch::read_exchange_file(in, r.settings, r.input, r.store);
  std::fclose(in);
  double read = seconds_since(t);
  int segments = 0;
  for (const hatch::Segment* s = r.store.segment_list; s; s = s->next) ++segments;

  t = Clock::now();
  hatch::scale_to_drawing(r);
  hatch::prepare_boundary(r);
  double boundary = seconds_since(t);

  t = Clock::now();
  hatch::search(r);
  double regions = seconds_since(t);
  int found = 0;
  for (const hatch::Region* g = r.results.region_list; g; g = g->next) ++found;

  t = Clock::now();
  std::FILE* out = std::tmpfile();
  hatch::write_output(r, out);
  long bytes = std::ftell(out);
  std::fclose(out);
  double output = seconds_since(t);

  std::printf("%-16s %7d segments %6d regions  read %7.3f s  boundary %7.3f s  regions %7.3f s  output %7.3f s"
              " (%ld bytes)\n",
              c.name, segments, found, read, boundary, regions, output, bytes);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Case> cases = {
      {"many-figures", [] { return many_figures(20, 150); }, {"/s1", "/a0", "/p3"}},
      {"many-edges", [] { return many_edges(1500); }, {"/s1", "/a30", "/p50"}},
      {"million-lines", [] { return million_lines(); }, {"/s1", "/a0,90", "/p0.5"}},
      {"rooms", [] { return rooms(8); }, {"/s1", "/a45", "/p20"}},
      {"boundary-10k", [] { return many_figures(50, 50); }, {"/e"}},
  };
  for (const Case& c : cases) {
    bool wanted = argc < 2;
    for (int i = 1; i < argc; ++i) wanted = wanted || std::strcmp(argv[i], c.name) == 0;
    if (!wanted) continue;
    try {
      run_case(c);
    } catch (const hatch::Failure& f) {
      std::printf("%-16s ended with a failure: %s\n", c.name, f.message.c_str());
    }
  }
  return 0;
}
