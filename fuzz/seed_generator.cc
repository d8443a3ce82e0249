// Writes the generated seeds of the fuzz corpora: drawings that reach the
// corners of the reader and of region search, figure files with every element
// kind, and containers for the option and whole-run targets.
// Usage: hatch_fuzz_seeds DIR (writes DIR/exchange, DIR/figure, DIR/options, DIR/run).
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fixtures.h"

namespace {

using hatch::fuzz::FigureFile;

const char* const kHeader =
    "hs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100\n"
    "hch 0.05 0.05 0.05 0.05 0.05 0.05 0.05 0.05 0.05 0.05\n"
    "hcc 1 1 1 1 1 1 1 1 1 9\n"
    "lg0\nly1\nlc2\nlt0\n#\n";

std::string g(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

std::string seg(double x1, double y1, double x2, double y2) {
  return " " + g(x1) + " " + g(y1) + " " + g(x2) + " " + g(y2) + "\n";
}

std::string rect(double x, double y, double w, double h) {
  return seg(x, y, x + w, y) + seg(x + w, y, x + w, y + h) + seg(x + w, y + h, x, y + h) + seg(x, y + h, x, y);
}

std::string pick(int n, double x, double y) { return "hp" + std::to_string(n) + " " + g(x) + " " + g(y) + "\n"; }

// A fixed linear congruential sequence: the same seeds on every machine.
struct Sequence {
  std::uint32_t state;
  double next(double lo, double hi) {
    state = state * 1664525u + 1013904223u;
    return lo + (hi - lo) * (state >> 8) / 16777216.0;
  }
};

std::vector<std::string> drawings() {
  std::vector<std::string> d;
  // Nested squares: a region, its island, a region inside the island.
  d.push_back(kHeader + rect(0, 0, 300, 300) + rect(50, 50, 200, 200) + rect(100, 100, 100, 100) + pick(3, 25, 150) +
              pick(4, 150, 150));
  // Overlapping rectangles: edges cross, the tracer cuts them.
  d.push_back(kHeader + rect(0, 0, 200, 100) + rect(100, 50, 200, 100) + rect(150, -30, 40, 220) + pick(3, 50, 50) +
              pick(5, 170, 120));
  // Circles, arcs and a tilted ellipse, cut by lines.
  d.push_back(std::string(kHeader) + "ci 100 100 80\nci 100 100 30 0 180\n" + seg(20, 100, 180, 100) +
              "ci 250 100 60 0 0 0.5 30\nci 250 100 60 350 10 1 0\n" + seg(250, 20, 250, 180) + pick(3, 100, 150) +
              pick(4, 230, 110));
  // Texts: boxes inside a region, a turned one, one of colour 9, the text-type 0 line after "#".
  d.push_back(std::string(kHeader) + rect(0, 0, 400, 200) + "cn1\nch 20 20 100 0 \"HATCH\ncn2\ncv 200 50 60 60 \"TURN\n" +
              "cn10\nch 300 150 50 0 \"NOBOX\ncn0\nch 50 150 40 0 \"ZERO\ncn0 0 0.08 0 1\n" + pick(3, 300, 20));
  // Two layer groups of different scales, attribute changes, a filtered line.
  d.push_back(std::string("hs 100 50 200 100 100 100 100 100 100 100 100 100 100 100 100 100\nlg0\nly1\nlc2\nlt0\n#\n") +
              rect(0, 0, 200, 200) + "lg1\nly3\nlc5\n" + rect(50, 50, 100, 100) + "lg2\nlt4\n" + rect(10, 10, 20, 20) +
              "lg0\nly1\nlc2\nlt0\n" + pick(3, 180, 180));
  // A reference line and a hatch origin.
  d.push_back(kHeader + rect(0, 0, 150, 150) + "hhp1ln\n" + seg(0, 0, 100, 60) + "hp2 37 11\n" + pick(3, 120, 20));
  // An open polyline with the band side point.
  d.push_back(kHeader + seg(0, 0, 200, 0) + seg(200, 0, 200, 150) + seg(200, 150, 350, 150) + "hp1 100 30\n");
  // Breaks: a frame with gaps of several sizes, a T and a crossing.
  d.push_back(std::string(kHeader) + seg(0, 0, 100, 0) + seg(100.3, 0, 100.3, 100) + seg(100, 100, 0, 100) +
              seg(0, 98, 0, 2) + seg(50, 0, 50, 60) + seg(20, 30, 80, 30) + "ct 10 10 20 0 \"/e0\n");
  // One lone line and a pick point: the single-segment frame.
  d.push_back(kHeader + seg(0, 0, 120, 40) + pick(3, 30, 60));
  // Outline option in a text, fill-all over separate figures.
  d.push_back(std::string(kHeader) + "ch 0 0 10 0 \"/j2\n" + rect(0, 0, 50, 50) + rect(100, 0, 50, 50) +
              rect(200, 0, 50, 80) + "ci 300 40 30\n");
  // Random segments in a box with a pick point in the middle.
  Sequence r{12345u};
  for (int k = 0; k < 4; ++k) {
    std::string s = kHeader + rect(0, 0, 500, 400);
    for (int i = 0; i < 8 + 6 * k; ++i) s += seg(r.next(0, 500), r.next(0, 400), r.next(0, 500), r.next(0, 400));
    if (k % 2 == 1) s += "ci " + g(r.next(100, 400)) + " " + g(r.next(100, 300)) + " " + g(r.next(20, 90)) + "\n";
    s += pick(3, r.next(0, 500), r.next(0, 400));
    d.push_back(s);
  }
  // A star polygon: many crossings on one row.
  {
    std::string s = kHeader;
    const int n = 11;
    for (int i = 0; i < n; ++i) {
      double a = 2 * M_PI * i / n, b = 2 * M_PI * ((i + 4) % n) / n;
      s += seg(200 + 150 * std::cos(a), 200 + 150 * std::sin(a), 200 + 150 * std::cos(b), 200 + 150 * std::sin(b));
    }
    d.push_back(s + pick(3, 200, 200));
  }
  return d;
}

std::vector<std::string> figures() {
  std::vector<std::string> f;
  f.push_back(hatch::fuzz::standard_figure());
  f.push_back(FigureFile().line(0, 0, 40, 0).line(0, 0, 0, 25).line(0, 25, 40, 25, 9).bytes());
  f.push_back(FigureFile().line(0, 0, 30, 30, 9).arc(15, 15, 10, 1.0, 0, 0, 0).arc(15, 15, 14, 0.6, -45, 90, 30).bytes());
  f.push_back(FigureFile().line(-5, -5, 5, 5).line(-5, 5, 5, -5, 2, 7, 1).point(0, 0, 1, 3).point(4, -4, 2, 0).bytes());
  f.push_back(FigureFile().line(0, 0, 12.5f, 7.25f).arc(6, 3, 2.5f, 1.0, 90, 270, 10, 9).point(1, 1).bytes());
  // The count block with the blank before its first comma.
  std::string tab = FigureFile().line(0, 0, 25, 15).bytes();
  tab.replace(200, 7, "1\t,0,0,0");
  f.push_back(tab);
  return f;
}

struct Container {
  std::string words;
  std::vector<std::pair<std::string, std::string>> files;
  std::string bytes() const {
    std::string out = words;
    for (const auto& [name, body] : files) out += "\n=====" + name + "\n" + body;
    return out;
  }
};

std::vector<std::string> option_containers() {
  const std::vector<Container> c = {
      {"cmd /p30", {{"cmd", "x /s4 /a45 /t50,20"}}},
      {"/i /a30", {{"hatchlog.txt", "/s2\n/z0\n/a45.0\n/p20.0\n/w6.0\n"}}},
      {"/i", {{"hatchlog.txt", "/s5\n/g1.0\n/ffig\n/r12\n/z1\n/j2\n/a30.0,60.0\n/v25.0,30.0\n/w40.0\n/h1x2,3xx\n"}}},
      {"/s1 /a22.25,-0.25 /p2.45,10.05 /w0.75", {}},
      {"/h1xx,2xx /lxx2 /k5,-5 /b /s3 /p0.3 /w0.1", {}},
      {"/mextra.txt /s1 /a90 /p15", {}},
      {"/s6 /ffig /p30 /w50 /a45", {}},
      {"/s5 /ffig /g2.5", {}},
      {"/s7 /g3 /e0", {}},
      {"/o20 /s2 /w5 /p15", {}},
      {"/j1 /s8 /z2", {}},
      {"\x81\x40/s1", {}},
      {"cmd", {{"cmd", "x other /s1"}, {"other", "y /s2"}}},
      {"cmd /i", {{"cmd", ""}, {"hatchlog.txt", "/q\n"}}},
      {"12 /S4 /T80,40 /A-30", {}},
      {"/x", {}},
  };
  std::vector<std::string> out;
  for (const Container& k : c) out.push_back(k.bytes());
  return out;
}

std::vector<std::string> run_containers(const std::vector<std::string>& d, const std::vector<std::string>& f) {
  const char* const words[] = {"/s1 /a45 /p10",      "/s2 /a30,120 /p15,20 /w4", "/s3 /a60 /p25 /w6",
                               "/s4 /t40,15 /a20",   "/s5 /ffig /a15",            "/s6 /ffig /p20 /w30",
                               "/s5 /ffig /r30",     "/s7 /g6",                   "/s8 /a-10",
                               "/e",                 "/o25 /s1 /p10",             "/j4 /s1 /a135 /p30 /z1"};
  std::vector<std::string> out;
  std::size_t i = 0;
  for (const std::string& drawing : d) {
    for (int k = 0; k < 2; ++k, ++i) {
      Container c{words[i % (sizeof words / sizeof *words)], {{"plc_temp.txt", drawing}}};
      if (c.words.find("/ffig") != std::string::npos) c.files.push_back({"fig.plk", f[i % f.size()]});
      out.push_back(c.bytes());
    }
  }
  return out;
}

void write(const std::string& dir, const std::string& name, const std::string& bytes) {
  const std::string path = dir + "/" + name;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::fclose(out);
}

void write_all(const std::string& dir, const char* prefix, const std::vector<std::string>& items) {
  mkdir(dir.c_str(), 0755);
  for (std::size_t i = 0; i < items.size(); ++i) write(dir, prefix + std::to_string(i), items[i]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  mkdir(root.c_str(), 0755);
  const std::vector<std::string> d = drawings(), f = figures();
  write_all(root + "/exchange", "gen-drawing-", d);
  write_all(root + "/figure", "gen-figure-", f);
  write_all(root + "/options", "gen-options-", option_containers());
  write_all(root + "/run", "gen-run-", run_containers(d, f));
  return 0;
}
