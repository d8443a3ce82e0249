// The output writers' test bench: a run's state, loops built from corner
// lists, and the text written so far.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "output/output_context.h"
#include "support/scratch.h"

namespace hatch::test {

struct OutputFixture {
  Settings settings;
  InputState input;
  EntityStore store;
  SearchResults results;
  OutputStream stream;
  std::FILE* out = stream.get();
  OutputContext ctx{out, settings, input, store, results};

  OutputFixture() {
    for (double& s : input.group_scale) s = 100.0;
    settings.hatch_attr[0] = {1, 2, 3};
    settings.hatch_attr[1] = {1, 2, 3};
    settings.fill_mode = FillMode::by_points;
  }
  OutputFixture(const OutputFixture&) = delete;
  OutputFixture& operator=(const OutputFixture&) = delete;

  // Everything written so far.
  std::string text() { return stream.text(); }

  // The numbers of every line written so far that begins with `prefix`.
  std::vector<std::vector<double>> numbers(const std::string& prefix) {
    std::vector<std::vector<double>> result;
    std::string all = text();
    for (std::size_t pos = 0, end; pos < all.size(); pos = end + 1) {
      end = all.find('\n', pos);
      if (end == std::string::npos) end = all.size();
      if (all.compare(pos, prefix.size(), prefix) != 0) continue;
      std::vector<double> values;
      const char* p = all.c_str() + pos + prefix.size();
      char* next;
      for (double v = std::strtod(p, &next); next != p; v = std::strtod(p, &next)) {
        values.push_back(v);
        p = next;
      }
      result.push_back(values);
    }
    return result;
  }
  std::vector<std::vector<double>> segments() { return numbers(" "); }

  // A closed loop through the corners, edges in corner order, each with `arc`.
  Segment* loop(std::initializer_list<XY> corners, Arc* arc = nullptr) {
    std::vector<XY> c(corners);
    Segment* first = nullptr;
    Segment* last = nullptr;
    for (std::size_t i = 0; i < c.size(); ++i) {
      Segment* s = store.segments.make();
      s->x1 = c[i].x;
      s->y1 = c[i].y;
      s->x2 = c[(i + 1) % c.size()].x;
      s->y2 = c[(i + 1) % c.size()].y;
      s->arc = arc;
      if (last == nullptr)
        first = s;
      else
        last->next = s;
      last = s;
    }
    return first;
  }

  Segment* edge(double x1, double y1, double x2, double y2, Arc* arc = nullptr) {
    Segment* s = store.segments.make();
    s->x1 = x1, s->y1 = y1, s->x2 = x2, s->y2 = y2, s->arc = arc;
    return s;
  }

  // Links the edges in the given order.
  static Segment* chain(std::initializer_list<Segment*> edges) {
    Segment* prev = nullptr;
    for (Segment* e : edges) {
      if (prev != nullptr) prev->next = e;
      prev = e;
    }
    return *edges.begin();
  }

  Segment* rectangle(double x0, double y0, double x1, double y1) {
    return loop({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
  }

  Region* add_region(Segment* outline, int index = 0) {
    Region* r = store.regions.make();
    r->index = index;
    r->outline = outline;
    r->next = results.region_list;
    results.region_list = r;
    return r;
  }

  void add_island(Region* r, Segment* island) {
    LoopNode* n = store.loop_nodes.make();
    n->loop = island;
    n->next = r->islands;
    r->islands = n;
  }

  void add_text_box(Segment* box) {
    LoopNode* n = store.loop_nodes.make();
    n->loop = box;
    n->next = results.text_box_loops;
    results.text_box_loops = n;
  }
};

// Segment lines (x1 y1 x2 y2 each) equal to the wanted ones within 1e-9.
inline void expect_segments_near(const std::vector<std::vector<double>>& got,
                                 const std::vector<std::vector<double>>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(got[i][j], want[i][j], 1e-9) << "segment " << i << " value " << j;
}

}  // namespace hatch::test
