// Rows, courses, bands and tiles that cannot write are stepped over; the bytes
// must be those of visiting every one, far out where rounding is coarse too.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "output/output_phase.h"
#include "support/output_fixture.h"

namespace hatch {
namespace {

using test::OutputFixture;

enum class Style { line_one_set, line_two_sets, brick, fan, slant, figure_tiled, figure_whole, count };

struct Scene {
  Style style;
  double offset, angle, tile_x, tile_y;
  bool fill_all;
  std::vector<Box> outlines, islands, boxes;
};

Scene random_scene(std::mt19937_64& rng, double offset) {
  auto u = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  Scene s;
  s.style = static_cast<Style>(rng() % static_cast<unsigned>(Style::count));
  s.offset = offset;
  s.angle = rng() % 3 == 0 ? 0.0 : u(-3.2, 3.2);
  s.tile_x = u(5.0, 60.0);
  s.tile_y = u(5.0, 40.0);
  s.fill_all = rng() % 2 == 0;
  // Loops from a twentieth of a unit to a few hundred across, some near each other.
  auto box = [&](double reach) {
    const double w = rng() % 3 == 0 ? u(0.05, 2.0) : u(2.0, reach);
    const double h = rng() % 3 == 0 ? u(0.05, 2.0) : u(2.0, reach);
    const double x = offset + u(0.0, 500.0), y = offset + u(0.0, 500.0);
    return Box{x, y, x + w, y + h};
  };
  for (int i = 1 + static_cast<int>(rng() % 3); i > 0; --i) s.outlines.push_back(box(200.0));
  if (rng() % 3 == 0) {
    const Box& o = s.outlines[0];
    const double w = o.max_x - o.min_x, h = o.max_y - o.min_y;
    s.islands.push_back({o.min_x + 0.3 * w, o.min_y + 0.3 * h, o.min_x + 0.6 * w, o.min_y + 0.6 * h});
  }
  for (int i = static_cast<int>(rng() % 4); i > 0; --i) s.boxes.push_back(box(40.0));
  return s;
}

std::string hatch_of(const Scene& s, bool step_over) {
  OutputFixture f;
  f.ctx.step_over = step_over;
  f.store.reach = 1e19;  // the bounds are those of the loops, as a drawing this far out sets them
  Settings& st = f.settings;
  st.fill_mode = s.fill_all ? FillMode::all_outer : FillMode::by_points;
  st.angles[0] = s.angle;
  st.pitches[0] = s.tile_y;
  st.tile_x = s.tile_x;
  st.tile_y = s.tile_y;
  st.figure_count = 3;
  if (s.style != Style::line_one_set) st.hatch_attr[1] = {4, 5, 6};
  FigureData figure;
  switch (s.style) {
    case Style::line_one_set:
    case Style::line_two_sets: st.hatch_style = HatchStyle::lines; break;
    case Style::brick: st.hatch_style = HatchStyle::brick; break;
    case Style::fan: st.hatch_style = HatchStyle::fan; break;
    case Style::slant: st.hatch_style = HatchStyle::slant; break;
    case Style::figure_tiled:
    case Style::figure_whole: {
      st.hatch_style = HatchStyle::figure;
      st.figure_variant = s.style == Style::figure_whole ? FigureVariant::whole : FigureVariant::tiled;
      st.line_spacing = s.tile_x;
      // A slanted line and a short upright one, both long enough to bound.
      FigureLine* a = f.store.figure_lines_pool.make();
      FigureLine* b = f.store.figure_lines_pool.make();
      a->x1 = 0.1 * s.tile_x, a->y1 = 0.2 * s.tile_y, a->x2 = 0.9 * s.tile_x, a->y2 = 0.7 * s.tile_y;
      b->x1 = b->x2 = 0.5 * s.tile_x, b->y1 = 0.0, b->y2 = 0.05;
      a->next = b;
      figure.lines = a;
      figure.width = s.tile_x;
      figure.height = s.tile_y;
      f.ctx.figure = &figure;
      break;
    }
    case Style::count: break;
  }
  for (const Box& b : s.outlines) f.add_region(f.rectangle(b.min_x, b.min_y, b.max_x, b.max_y));
  for (const Box& b : s.islands) f.add_island(f.results.region_list, f.rectangle(b.min_x, b.min_y, b.max_x, b.max_y));
  for (const Box& b : s.boxes) f.add_text_box(f.rectangle(b.min_x, b.min_y, b.max_x, b.max_y));
  write_results(f.ctx);
  return f.text();
}

TEST(Stepping, EveryStyleWritesWhatVisitingEveryStrokeWrites) {
  std::mt19937_64 rng(11);
  const double offsets[] = {0.0, -3e5, 7e8, 1e9, -2.5e12, 4e14, 1e15};
  for (int round = 0; round < 700; ++round) {
    const Scene s = random_scene(rng, offsets[round % 7]);
    ASSERT_EQ(hatch_of(s, true), hatch_of(s, false))
        << "round " << round << " style " << static_cast<int>(s.style) << " at " << s.offset;
  }
}

}  // namespace
}  // namespace hatch
