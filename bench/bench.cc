// Times each phase of a run on generated large drawings, at two or more sizes
// of each, and prints how the time grows from one size to the next. Not a
// test: it prints the figures.
//
//   hatch_bench [case ...]          the cases named (all without a name)
//   hatch_bench --write DIR [case]  writes each drawing as DIR/<case>-<size>/ with
//                                   plc_temp.txt and args, to time whole runs of hatch
//   hatch_bench --sizes N,M,... case  the case at these sizes instead of its own
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "base/failure.h"
#include "boundary/split_arcs.h"
#include "driver/options.h"
#include "driver/run.h"
#include "input/exchange_reader.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* const kHeader =
    "hs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100\nlg0\nly1\nlc2\nlt0\n#\n";

void line(std::string& out, double x1, double y1, double x2, double y2) {
  char buf[160];
  std::snprintf(buf, sizeof buf, " %.10g %.10g %.10g %.10g\n", x1, y1, x2, y2);
  out += buf;
}

void square(std::string& out, double x, double y, double side) {
  line(out, x, y, x + side, y);
  line(out, x + side, y, x + side, y + side);
  line(out, x + side, y + side, x, y + side);
  line(out, x, y + side, x, y);
}

void pick(std::string& out, double x, double y) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "hp3 %.10g %.10g\n", x, y);
  out += buf;
}

// n separate 10 x 10 squares in rows of ten (a hatch row meets 20 edges: the
// crossing table holds 49), each with a pick point at its centre when asked.
std::string squares(int n, bool picked) {
  std::string s = kHeader;
  for (int k = 0; k < n; ++k) {
    const double x = (k % 10) * 15.0, y = (k / 10) * 15.0;
    square(s, x, y, 10.0);
    if (picked) pick(s, x + 5.0, y + 5.0);
  }
  return s;
}

// rooms x rooms rooms of 100 x 100 bounded by full-length walls that cross each
// other, a pick point in every room.
std::string floor_plan(int rooms) {
  std::string s = kHeader;
  const double size = rooms * 100.0;
  for (int i = 0; i <= rooms; ++i) {
    line(s, 0.0, i * 100.0, size, i * 100.0);
    line(s, i * 100.0, 0.0, i * 100.0, size);
  }
  for (int i = 0; i < rooms; ++i)
    for (int j = 0; j < rooms; ++j) pick(s, i * 100.0 + 50.0, j * 100.0 + 50.0);
  return s;
}

// One region bounded by a polygon of n edges (a many-sided circle), with a pick point.
std::string outline(int n) {
  std::string s = kHeader;
  const double r = 10000.0;
  for (int i = 0; i < n; ++i) {
    const double a = 2.0 * std::numbers::pi * i / n, b = 2.0 * std::numbers::pi * (i + 1) / n;
    line(s, r * std::cos(a), r * std::sin(a), r * std::cos(b), r * std::sin(b));
  }
  pick(s, 0.0, 0.0);
  return s;
}

// A square hatched at the smallest pitch, 0.5, in two directions: `lines` lines in all.
std::string big_square(int lines) {
  std::string s = kHeader;
  const double side = lines / 4.0;  // side / 0.5 rows in each of the two directions
  square(s, -0.64 * side, -0.64 * side, side);  // around the pick point, within the ray's reach of x = 100000
  pick(s, 0.0, 0.0);
  return s;
}

// A plan of n rooms of 400 x 300 in blocks of ten by ten, the blocks stacked
// one above the other with a corridor of 300 between them; walls run the length
// of a block, so a start edge crosses 11 walls and a row at angle 0 meets 20
// walls and 10 labels. Every room has a door swing, a label and a pick point;
// the hatch origin keeps the rows half a pitch off the walls.
std::string rooms(int n) {
  std::string s = kHeader;
  s += "hch 0.5 0 0 0 0 0 0 0 0 0\ncn1\nhp2 0 4.8387\n";
  char buf[256];
  const int blocks = (n + 99) / 100;
  for (int b = 0; b < blocks; ++b) {
    const double base = b * 3300.0;
    for (int k = 0; k < 100; ++k) {
      const double x = (k % 10) * 400.0, y = base + (k / 10) * 300.0;
      line(s, x, y, x + 400, y);
      line(s, x, y, x, y + 300);
      std::snprintf(buf, sizeof buf, "ci %g %g 80 0 90\nch %g %g 60 0 \"R%d\"\n", x + 100, y, x + 200, y + 140,
                    b * 100 + k);
      s += buf;
      pick(s, x + 300, y + 250);
    }
    for (int i = 0; i < 10; ++i) {
      line(s, 4000.0, base + i * 300.0, 4000.0, base + i * 300.0 + 300);
      line(s, i * 400.0, base + 3000.0, i * 400.0 + 400, base + 3000.0);
    }
  }
  return s;
}

// n arcs on one circle, each reaching halfway into the next, every tenth an
// elliptic arc of that circle: every end lies on the circle of every other arc.
// The radius grows with n, so that the pieces keep their length.
std::string coincident_arcs(int n) {
  std::string s = kHeader;
  const double step = 360.0 / n, r = 0.2 * n;
  char buf[160];
  for (int i = 0; i < n; ++i) {
    if (i % 10 == 5)
      std::snprintf(buf, sizeof buf, "ci 0 0 %.10g %.10g %.10g 0.8 %d\n", r, i * step, (i + 1.5) * step, i * 7 % 90);
    else
      std::snprintf(buf, sizeof buf, "ci 0 0 %.10g %.10g %.10g\n", r, i * step, (i + 1.5) * step);
    s += buf;
  }
  return s;
}

struct Case {
  const char* name;
  std::function<std::string(int)> drawing;
  std::vector<int> sizes;
  std::vector<const char*> options;
  // How much work a size stands for, when that is not the size itself.
  std::function<double(int)> work = [](int n) { return static_cast<double>(n); };
  // Set, the run times this step of the boundary phase alone and ends there, so
  // that later steps do not hide how the step grows.
  std::function<void(hatch::RunState&)> step = nullptr;
};

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

struct Times {
  double read = 0, boundary = 0, regions = 0, output = 0;
  double total() const { return read + boundary + regions + output; }
};

Times time_phases(const Case& c, int size, const fs::path& scratch, std::string& line);

// Short runs are repeated and each phase keeps its fastest time, so that the
// growth from a small size to a large one is not mostly noise.
Times run_once(const Case& c, int size, const fs::path& scratch) {
  Times best;
  std::string line;
  double spent = 0.0;
  for (int rep = 0; rep < 7 && (rep == 0 || spent < 0.5); ++rep) {
    const auto start = Clock::now();
    const Times t = time_phases(c, size, scratch, line);
    spent += seconds_since(start);
    if (rep == 0) {
      best = t;
    } else {
      best.read = std::min(best.read, t.read);
      best.boundary = std::min(best.boundary, t.boundary);
      best.regions = std::min(best.regions, t.regions);
      best.output = std::min(best.output, t.output);
    }
  }
  std::printf("%-14s %7d  %s  read %6.3f  boundary %6.3f  regions %6.3f  output %6.3f s  %s\n", c.name, size,
              line.substr(0, line.find('|')).c_str(), best.read, best.boundary, best.regions, best.output,
              line.substr(line.find('|') + 1).c_str());
  std::fflush(stdout);
  return best;
}

Times time_phases(const Case& c, int size, const fs::path& scratch, std::string& line) {
  const fs::path input = scratch / "plc_temp.txt";
  {
    std::FILE* f = std::fopen(input.string().c_str(), "wb");
    const std::string text = c.drawing(size);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  hatch::RunState r;
  std::vector<const char*> words{"hatch"};
  words.insert(words.end(), c.options.begin(), c.options.end());
  hatch::apply_options(r.settings, static_cast<int>(words.size()), words.data());
  hatch::check_lengths(r.settings);
  hatch::convert_angles(r.settings);

  Times t;
  auto start = Clock::now();
  std::FILE* in = std::fopen(input.string().c_str(), "r");
  hatch::prescan_text_type0(in, r.input);
  hatch::read_exchange_file(in, r.settings, r.input, r.store);
  std::fclose(in);
  t.read = seconds_since(start);
  int segments = 0;
  for (const hatch::Segment* s = r.store.segment_list; s; s = s->next) ++segments;

  long bytes = 0;
  int found = 0;
  std::string ending;  // how the run ended, when not by writing
  try {
    start = Clock::now();
    hatch::scale_to_drawing(r);
    if (c.step) {
      c.step(r);
      t.boundary = seconds_since(start);
      int arcs = 0;
      for (const hatch::Arc* a = r.store.arc_list; a; a = a->next) ++arcs;
      ending = " ended after the step, " + std::to_string(arcs) + " arcs";
    } else {
      hatch::prepare_boundary(r);
      t.boundary = seconds_since(start);

      start = Clock::now();
      hatch::search(r);
      t.regions = seconds_since(start);
      for (const hatch::Region* g = r.results.region_list; g; g = g->next) ++found;

      start = Clock::now();
      std::FILE* out = std::fopen((scratch / "out.txt").string().c_str(), "w");
      hatch::write_output(r, out);
      bytes = std::ftell(out);
      std::fclose(out);
      t.output = seconds_since(start);
    }
  } catch (const hatch::Failure& f) {
    ending = " ended with the message " + f.message;
  }
  char buf[128];
  std::snprintf(buf, sizeof buf, "%7d segments %6d regions|(%ld bytes)", segments, found, bytes);
  line = buf + ending;
  return t;
}

double ratio(double now, double before) { return before > 1e-4 ? now / before : 0.0; }

void run_case(const Case& c, const fs::path& scratch) {
  Times before;
  for (std::size_t i = 0; i < c.sizes.size(); ++i) {
    const Times t = run_once(c, c.sizes[i], scratch);
    if (i > 0) {
      std::printf("%-14s growth x%.1f work: read x%.1f  boundary x%.1f  regions x%.1f  output x%.1f  all x%.1f\n",
                  "", c.work(c.sizes[i]) / c.work(c.sizes[i - 1]), ratio(t.read, before.read),
                  ratio(t.boundary, before.boundary), ratio(t.regions, before.regions),
                  ratio(t.output, before.output), ratio(t.total(), before.total()));
    }
    before = t;
  }
}

// What writing the million lines costs with printf alone, for comparison.
void printf_baseline(const fs::path& scratch) {
  std::FILE* out = std::fopen((scratch / "printf.txt").string().c_str(), "w");
  const auto start = Clock::now();
  for (int i = 0; i < 1000000; ++i)
    std::fprintf(out, " %1.15g %1.15g %1.15g %1.15g\n", i * 0.5, 0.0, 250000.0 - i * 0.25, i * 0.5);
  std::fclose(out);
  std::printf("%-14s %7d  printf of the same number of segment lines: %6.3f s\n", "printf", 1000000,
              seconds_since(start));
}

void write_drawing(const Case& c, int size, const fs::path& dir) {
  const fs::path d = dir / (std::string(c.name) + "-" + std::to_string(size));
  fs::create_directories(d);
  const std::string text = c.drawing(size);
  std::FILE* f = std::fopen((d / "plc_temp.txt").string().c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  f = std::fopen((d / "args").string().c_str(), "wb");
  for (const char* w : c.options) std::fprintf(f, "%s\n", w);
  std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Case> cases = {
      {"squares-all", [](int n) { return squares(n, false); }, {2000, 16000}, {"/s1", "/a0", "/p2"}},
      {"squares-picked", [](int n) { return squares(n, true); }, {2000, 16000}, {"/s1", "/a0", "/p2"}},
      // A pitch whose rows keep more than 0.2 from every wall within the plan: no row touches a corner.
      {"floor-plan", floor_plan, {14, 40}, {"/s1", "/a0", "/p9.67"}, [](int n) { return 1.0 * n * n; }},
      {"outline", outline, {12500, 100000}, {"/s1", "/a30", "/p50"}},
      {"rooms", rooms, {2000, 16000}, {"/s1", "/a0", "/p9.67741935483871"}},
      {"boundary-only", [](int n) { return squares(n, false); }, {2500, 20000}, {"/e"}},
      {"million-lines", big_square, {1000000}, {"/s1", "/a0,90", "/p0.5"}},
      // Merging the chords of so many coincident pieces costs more than cutting them.
      {"coincident-arcs", coincident_arcs, {1000, 8000}, {"/e"}, [](int n) { return 1.0 * n; },
       [](hatch::RunState& r) { hatch::split_arcs_at_arc_ends(r.store.arc_list, r.store, r.settings.tolerance); }},
  };
  int first = 1;
  fs::path write_dir;
  if (argc >= 3 && std::strcmp(argv[1], "--write") == 0) {
    write_dir = argv[2];
    first = 3;
  }
  std::vector<int> sizes;
  if (argc >= first + 2 && std::strcmp(argv[first], "--sizes") == 0) {
    for (const char* p = argv[first + 1]; *p != '\0';) {
      char* end = nullptr;
      const long v = std::strtol(p, &end, 10);
      if (end == p || v <= 0) break;
      sizes.push_back(static_cast<int>(v));
      p = *end == ',' ? end + 1 : end;
    }
    first += 2;
  }
  if (!sizes.empty())
    for (Case& c : cases) c.sizes = sizes;
  // Named by the clock, so that two runs at once do not share it.
  const fs::path scratch =
      fs::temp_directory_path() / ("hatch_bench_" + std::to_string(Clock::now().time_since_epoch().count()));
  fs::create_directories(scratch);
  for (const Case& c : cases) {
    bool wanted = argc <= first;
    for (int i = first; i < argc; ++i) wanted = wanted || std::strcmp(argv[i], c.name) == 0;
    if (!wanted) continue;
    if (!write_dir.empty()) {
      for (int size : c.sizes) write_drawing(c, size, write_dir);
      continue;
    }
    run_case(c, scratch);
    if (std::strcmp(c.name, "million-lines") == 0) printf_baseline(scratch);
  }
  fs::remove_all(scratch);
  return 0;
}
