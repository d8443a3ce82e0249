#include "support/random_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <sstream>
#include <utility>

namespace hatch::test {

namespace {

const char* const kOptionSets[] = {
    "/s1 /a0 /p10",          "/s1 /a45 /p7",        "/s1 /a30,120 /p9,13",       "/s2 /a15 /p12 /w4",
    "/s3 /a0,90 /p15 /w5",   "/s4 /t40,20",         "/s4 /a30 /t35,15",          "/s7 /g3",
    "/s8",                   "/s8 /a20",            "/e",                        "/e0",
    "/j1 /s1 /a60 /p11",     "/s5 /ftile",          "/s5 /fring /a20",           "/s6 /fmark /p40 /w40",
    "/s6 /r20 /fmark",       "/s5 /r15 /fring",     "/z1 /v10 /a30,100 /h1xx,2xx", "/o25 /s1 /a10 /p8",
    "/o15 /e",               "/s1 /a45 /p6 /k3,7",  "/b /p0.8 /s1 /a10",         "/s1 /a90 /p5 /lxx5",
    "/s7 /g1 /a45",          "/j0 /s4 /t30,30",
};

class Writer {
 public:
  explicit Writer(unsigned seed) : rng_(seed) {}

  double uni(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng_); }
  int pick(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng_); }
  bool chance(double p) { return uni(0.0, 1.0) < p; }

  // Numbers as a host writes them: whole, with three decimals, or in full.
  std::string num(double v) {
    char buf[64];
    const double r = uni(0.0, 1.0);
    if (r < 0.6)
      std::snprintf(buf, sizeof buf, "%.0f", v);
    else if (r < 0.9)
      std::snprintf(buf, sizeof buf, "%.3f", v);
    else
      std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
  }

  void seg(double x1, double y1, double x2, double y2) {
    out_ << ' ' << num(x1 + ox_) << ' ' << num(y1 + oy_) << ' ' << num(x2 + ox_) << ' ' << num(y2 + oy_) << '\n';
  }
  void poly(const std::vector<std::pair<double, double>>& p) {
    for (std::size_t i = 0; i < p.size(); ++i) {
      const auto& a = p[i];
      const auto& b = p[(i + 1) % p.size()];
      seg(a.first, a.second, b.first, b.second);
    }
  }
  void line(const std::string& text) { out_ << text << '\n'; }
  void point(const char* key, double x, double y) { out_ << key << ' ' << num(x + ox_) << ' ' << num(y + oy_) << '\n'; }
  std::string at(double x, double y) { return num(x + ox_) + " " + num(y + oy_); }

  std::string text() const { return out_.str(); }
  // Far from the origin now and then, where doubles are coarse.
  void shift(double x, double y) { ox_ = x, oy_ = y; }

 private:
  std::mt19937 rng_;
  std::ostringstream out_;
  double ox_ = 0.0, oy_ = 0.0;
};

}  // namespace

RandomDrawing random_drawing(unsigned seed) {
  Writer w(seed);
  const int scale = std::vector<int>{100, 100, 100, 50, 200, 1}[static_cast<std::size_t>(w.pick(0, 5))];
  std::string hs = "hs";
  for (int i = 0; i < 16; ++i) hs += " " + std::to_string(scale);
  w.line(hs);
  w.line("lg0");
  w.line("ly1");
  w.line(w.chance(0.5) ? "lc2" : "lc5");
  w.line("lt0");
  w.line("hch 2.5 3 0 0 0 0 0 0 0 0");
  w.line("hcc 1 2 9 0 0 0 0 0 0 0");
  w.line("#");
  if (w.chance(0.1)) w.shift(w.uni(-6e4, 6e4), w.uni(-6e4, 6e4));
  else if (w.chance(0.05)) w.shift(w.uni(-3e6, 3e6), w.uni(-3e6, 3e6));  // beyond the near reach
  const double size = std::vector<double>{200, 500, 1000, 3000}[static_cast<std::size_t>(w.pick(0, 3))];
  std::vector<std::pair<double, double>> picks;
  const int kinds = w.pick(2, 30);
  for (int k = 0; k < kinds; ++k) {
    const double ox = w.uni(0, size), oy = w.uni(0, size);
    switch (w.pick(0, 9)) {
      case 0: {  // rooms sharing walls, drawn as full-length walls
        const int nx = w.pick(1, 6), ny = w.pick(1, 5);
        const double cw = w.uni(20, size / 4), ch = w.uni(20, size / 4);
        for (int i = 0; i <= nx; ++i) w.seg(ox + i * cw, oy, ox + i * cw, oy + ny * ch);
        for (int j = 0; j <= ny; ++j) w.seg(ox, oy + j * ch, ox + nx * cw, oy + j * ch);
        for (int i = 0; i < nx; ++i)
          for (int j = 0; j < ny; ++j)
            if (w.chance(0.6)) picks.push_back({ox + (i + w.uni(0.2, 0.8)) * cw, oy + (j + w.uni(0.2, 0.8)) * ch});
        break;
      }
      case 1:
      case 2: {  // a polygon, maybe crossing others
        const int n = w.pick(3, 9);
        const double r = w.uni(20, size / 3);
        std::vector<double> angles;
        for (int i = 0; i < n; ++i) angles.push_back(w.uni(0, 2 * std::numbers::pi));
        std::sort(angles.begin(), angles.end());
        std::vector<std::pair<double, double>> p;
        for (double a : angles) p.push_back({ox + r * std::cos(a) * w.uni(0.6, 1), oy + r * std::sin(a) * w.uni(0.6, 1)});
        w.poly(p);
        if (w.chance(0.7)) picks.push_back({ox, oy});
        break;
      }
      case 3: {  // a square with a smaller square or circle inside: an island
        const double r = w.uni(40, size / 3), r2 = r * w.uni(0.2, 0.6);
        w.poly({{ox - r, oy - r}, {ox + r, oy - r}, {ox + r, oy + r}, {ox - r, oy + r}});
        const double cx = ox + w.uni(-r / 3, r / 3), cy = oy + w.uni(-r / 3, r / 3);
        if (w.chance(0.5))
          w.line("ci " + w.at(cx, cy) + " " + w.num(r2));
        else
          w.poly({{cx - r2, cy - r2}, {cx + r2, cy - r2}, {cx + r2, cy + r2}, {cx - r2, cy + r2}});
        picks.push_back({ox - r * 0.9, oy + w.uni(-r / 2, r / 2)});
        break;
      }
      case 4: {  // a circle or an ellipse
        const double r = w.uni(5, size / 4);
        if (w.chance(0.3))
          w.line("ci " + w.at(ox, oy) + " " + w.num(r) + " 0 0 " + (w.chance(0.5) ? "0.5" : "0.7") + " " +
                 w.num(w.uni(0, 90)));
        else
          w.line("ci " + w.at(ox, oy) + " " + w.num(r));
        if (w.chance(0.5)) picks.push_back({ox + w.uni(-r / 2, r / 2), oy});
        break;
      }
      case 5: {  // an arc closed by its chord
        const double r = w.uni(20, size / 4), a0 = w.uni(0, 360), a1 = a0 + w.uni(30, 300);
        w.line("ci " + w.at(ox, oy) + " " + w.num(r) + " " + w.num(a0) + " " + w.num(a1) + " 1 0");
        const double s = a0 * std::numbers::pi / 180, e = a1 * std::numbers::pi / 180;
        w.seg(ox + r * std::cos(s), oy + r * std::sin(s), ox + r * std::cos(e), oy + r * std::sin(e));
        if (w.chance(0.5)) picks.push_back({ox + 0.5 * r * std::cos((s + e) / 2), oy + 0.5 * r * std::sin((s + e) / 2)});
        break;
      }
      case 6:  // a text
        w.line("cn" + std::to_string(w.pick(0, 2)));
        w.line("ch " + w.at(ox, oy) + " " + w.num(w.uni(10, 60)) + " " + w.num(w.uni(-10, 10)) + " \"T" +
               std::to_string(w.pick(0, 99)));
        break;
      case 7:  // open lines
        for (int i = w.pick(1, 4); i > 0; --i) w.seg(ox, oy, ox + w.uni(-size / 3, size / 3), oy + w.uni(-size / 3, size / 3));
        break;
      case 8: {  // a cross through a square
        const double r = w.uni(30, size / 3);
        w.seg(ox - r, oy, ox + r, oy);
        w.seg(ox, oy - r, ox, oy + r);
        w.poly({{ox - r * 0.7, oy - r * 0.7}, {ox + r * 0.7, oy - r * 0.7}, {ox + r * 0.7, oy + r * 0.7},
                {ox - r * 0.7, oy + r * 0.7}});
        picks.push_back({ox + r * 0.3, oy + r * 0.3});
        break;
      }
      default: {  // stubs near a square: too short to have a direction, or to be kept at all
        const double r = w.uni(20, size / 5);
        w.poly({{ox, oy}, {ox + r, oy}, {ox + r, oy + r}, {ox, oy + r}});
        for (int i = w.pick(1, 4); i > 0; --i) {
          const double x = ox + w.uni(-1, r + 1), y = oy + w.uni(-1, 1);
          w.seg(x, y, x + w.uni(0.4, 0.7), y + w.uni(-0.0005, 0.0005));
        }
        picks.push_back({ox + r / 2, oy + r / 2});
        break;
      }
    }
  }
  if (w.chance(0.3)) w.point("hp2", w.uni(-50, 50), w.uni(-50, 50));
  w.point("hp1", w.uni(0, size), w.uni(0, size));
  if (w.chance(0.75)) {
    std::shuffle(picks.begin(), picks.end(), std::mt19937(seed));
    const int n = std::min<int>(static_cast<int>(picks.size()), w.pick(1, 12));
    for (int i = 0; i < n; ++i) w.point(("hp" + std::to_string(3 + i % 97)).c_str(), picks[i].first, picks[i].second);
  }
  RandomDrawing d;
  d.exchange_file = w.text();
  std::istringstream words(kOptionSets[static_cast<std::size_t>(w.pick(0, std::size(kOptionSets) - 1))]);
  for (std::string word; words >> word;) d.words.push_back(word);
  return d;
}

}  // namespace hatch::test
