#include "output/figure_tiling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/messages.h"
#include "geometry/primitives.h"
#include "output/clipping.h"
#include "output/output_phase.h"
#include "support/output_fixture.h"

namespace hatch {
namespace {

using test::OutputFixture;

constexpr std::uint32_t attr(int layer, int type_or_pen, int color = 0) {
  return static_cast<std::uint32_t>(layer | (type_or_pen << 4) | (color << 8));
}

// A run in figure hatch with the figure lists built by hand, each list in call order.
struct TilingFixture : OutputFixture {
  FigureData figure;

  TilingFixture() {
    settings.hatch_style = HatchStyle::figure;
    settings.figure_variant = FigureVariant::tiled;
    ctx.figure = &figure;
  }

  void add_line(std::uint32_t a, double x1, double y1, double x2, double y2) {
    FigureLine* l = store.figure_lines_pool.make();
    l->attr = a, l->x1 = x1, l->y1 = y1, l->x2 = x2, l->y2 = y2;
    FigureLine** tail = &figure.lines;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = l;
  }

  // A whole circle of radius r about the figure point (cx, cy).
  Arc* add_circle(std::uint32_t a, double cx, double cy, double r) {
    Arc* c = store.new_arc();
    c->attr = a, c->cx = cx, c->cy = cy, c->r = r;
    c->start = 0.0, c->end = 2.0 * pi, c->start_deg = 0.0, c->end_deg = 360.0;
    Arc** tail = &figure.arcs;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = c;
    return c;
  }

  void add_point(std::uint32_t a, double x, double y) {
    Point* p = store.points.make();
    p->attr = a, p->x = x, p->y = y;
    Point** tail = &figure.points;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = p;
  }

  std::string tile() {
    hatch_bounds(ctx);
    tile_figure(ctx);
    return text();
  }
};

void expect_near_lines(OutputFixture& f, const std::vector<std::vector<double>>& want) {
  const auto got = f.segments();
  ASSERT_EQ(got.size(), want.size()) << f.text();
  for (std::size_t i = 0; i < got.size(); ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(got[i][j], want[i][j], 1e-9) << "line " << i << " value " << j;
}

// Region (0,0)-(250,100), tile 100 x 50: hatch_grid starts at (-100, -100); rows
// y = -100 ... 100, columns x = -100 ... 300. The line sits 20 above each copy's
// origin, so only the rows at 0 and 50 reach the region, and the column at 200
// is cut at x = 250. The first copy lies outside, yet its attributes are written.
TEST(TilingClipped, TilesOnTheFigureExtentFromTheGridOriginAndCutsAtTheBoundary) {
  TilingFixture f;
  f.figure.width = 100;
  f.figure.height = 50;
  f.add_line(attr(1, 2, 3), 10, 20, 90, 20);
  f.add_region(f.rectangle(0, 0, 250, 100));
  EXPECT_EQ(f.tile(),
            "lc3\nlt2\nly1\npn0\n"
            " 10 20 90 20\n 110 20 190 20\n 210 20 250 20\n"
            " 10 70 90 70\n 110 70 190 70\n 210 70 250 70\n");
}

TEST(TilingClipped, GoesThroughTheHatchPhaseAndTurnsWithTheHatchAngle) {
  TilingFixture f;
  f.settings.angles[0] = pi / 2;
  f.figure.width = 100;
  f.figure.height = 50;
  f.add_line(attr(1, 2, 3), 10, 20, 90, 20);
  // Drawing (-100,0)-(0,250) is (0,0)-(250,100) in the hatch frame of 90 degrees.
  f.add_region(f.rectangle(-100, 0, 0, 250));
  write_hatch(f.ctx);
  // Each hatch-frame (x, y) comes back as (-y, x).
  expect_near_lines(f, {{-20, 10, -20, 90},
                        {-20, 110, -20, 190},
                        {-20, 210, -20, 250},
                        {-70, 10, -70, 90},
                        {-70, 110, -70, 190},
                        {-70, 210, -70, 250}});
  EXPECT_EQ(f.text().substr(0, 16), "lc3\nlt2\nly1\npn0\n");
}

TEST(TilingClipped, AFigureWithoutExtentIsRefused) {
  for (double w : {0.0, -200000.0, std::nan("")}) {
    TilingFixture f;
    f.figure.width = w;
    f.figure.height = 50;
    f.add_line(0, 0, 0, 1, 0);
    f.add_region(f.rectangle(0, 0, 100, 100));
    try {
      f.tile();
      ADD_FAILURE() << "width " << w << " was accepted";
    } catch (const Failure& e) {
      EXPECT_EQ(e.message, msg::figure_bad_counts);
    }
  }
  TilingFixture g;
  g.figure.width = 100;
  g.figure.height = 0;
  g.add_region(g.rectangle(0, 0, 100, 100));
  EXPECT_THROW(g.tile(), Failure);
}

// A circle of radius 10 placed on the left edge x = 0 is crossed at 90 and 270
// degrees: pieces [0, 90] and [90, 270] are cut off and the circle keeps [270, 360].
// The middle points at 315 and 45 degrees lie inside, the one at 180 outside.
TEST(TilingClipped, AnArcCutByTheBoundaryKeepsTheInsidePiecesWithTheirOwnAngles) {
  TilingFixture f;
  f.add_circle(attr(2, 1, 4), 0, 0, 10);
  f.add_region(f.rectangle(0, 0, 100, 100));
  hatch_bounds(f.ctx);
  const std::size_t arcs_before = f.store.arcs.live();
  place_figure_clipped(f.ctx, 0, 50);
  EXPECT_EQ(f.text(), "lc4\nlt1\nly2\npn0\nci 0 50 10 270 0 1 0\nci 0 50 10 0 90 1 0\n");
  EXPECT_EQ(f.store.arcs.live(), arcs_before);  // the pieces went back to the pool
  EXPECT_EQ(f.figure.arcs->start, 0.0);         // the figure itself is not cut
  EXPECT_EQ(f.figure.arcs->end, 2.0 * pi);
}

// The top edge of the text box (40,40)-(60,60) crosses the circle at its ends (0)
// and at 180 degrees: the upper half lies in the region, the lower half in the box.
TEST(TilingClipped, ArcsAreAlsoCutByTextBoxesAndAWholeCircleInsideStaysWhole) {
  TilingFixture f;
  f.add_circle(attr(0, 0, 0), 0, 0, 10);
  f.add_region(f.rectangle(0, 0, 100, 100));
  f.add_text_box(f.rectangle(40, 40, 60, 60));
  hatch_bounds(f.ctx);
  place_figure_clipped(f.ctx, 50, 60);
  place_figure_clipped(f.ctx, 20, 20);
  place_figure_clipped(f.ctx, 200, 20);
  EXPECT_EQ(f.text(), "lc0\nlt0\nly0\npn0\nci 50 60 10 0 180 1 0\nci 20 20 10 0 0 1 0\n");
}

TEST(TilingClipped, APointOutsideWritesNothingAndOneInsideSetsOnlyLayerAndPen) {
  TilingFixture f;
  f.add_point(attr(2, 3), 0, 0);
  f.add_region(f.rectangle(0, 0, 100, 100));
  hatch_bounds(f.ctx);
  place_figure_clipped(f.ctx, 150, 50);
  place_figure_clipped(f.ctx, 100, 50);  // on the boundary
  EXPECT_EQ(f.text(), "");
  f.settings.z_flag = 1;
  place_figure_clipped(f.ctx, 50, 50);
  EXPECT_EQ(f.text(), "lc0\nlt0\nly2\npn3\nz1\npt 50 50\n");
}

TEST(TilingClipped, LineAttributesAreWrittenEvenWhenTheLineFallsOutside) {
  TilingFixture f;
  f.add_line(attr(1, 2, 3), 0, 0, 10, 0);
  f.add_line(attr(1, 2, 3), 0, 5, 10, 5);
  f.add_line(attr(4, 2, 3), 0, 9, 10, 9);
  f.add_region(f.rectangle(0, 0, 100, 100));
  hatch_bounds(f.ctx);
  place_figure_clipped(f.ctx, 500, 500);
  // Same attributes twice: one set of lines; then only the layer changes.
  EXPECT_EQ(f.text(), "lc3\nlt2\nly1\npn0\nly4\n");
}

// Region (0,0)-(300,100) with the island (50,25)-(150,75); grid 100 x 40 from
// (-100, -80). Inside: (200,40), (100,80), (200,80); (100,40) lies in the island
// and the points on the boundary count as outside. A copy is written whole, the
// line running past the region's right edge included.
TEST(TilingWhole, CopiesStandOnTheGridWholeOrNotAtAll) {
  TilingFixture f;
  f.settings.figure_variant = FigureVariant::whole;
  f.settings.pitches[0] = 40;
  f.settings.line_spacing = 100;
  f.add_line(attr(1, 2, 3), 0, 0, 150, 0);
  f.add_circle(attr(2, 2, 3), 0, 0, 5);
  Region* r = f.add_region(f.rectangle(0, 0, 300, 100));
  f.add_island(r, f.rectangle(50, 25, 150, 75));
  EXPECT_EQ(f.tile(),
            "lc3\nlt2\nly1\npn0\n 200 40 350 40\nly2\nci 200 40 5 0 0 1 0\n"
            "ly1\n 100 80 250 80\nly2\nci 100 80 5 0 0 1 0\n"
            "ly1\n 200 80 350 80\nly2\nci 200 80 5 0 0 1 0\n");
}

TEST(TilingWhole, GridStepsThatCannotMoveWriteNothing) {
  for (double step : {0.0, -40.0, std::nan("")}) {
    TilingFixture f;
    f.settings.figure_variant = FigureVariant::whole;
    f.settings.pitches[0] = step;
    f.settings.line_spacing = 100;
    f.add_point(0, 0, 0);
    f.add_region(f.rectangle(0, 0, 300, 100));
    EXPECT_EQ(f.tile(), "") << step;
    f.settings.pitches[0] = 40;
    f.settings.line_spacing = step;
    EXPECT_EQ(f.tile(), "") << step;
  }
}

TEST(TilingWhole, StepsSwallowedByRoundingAreRefused) {
  TilingFixture f;
  f.settings.figure_variant = FigureVariant::whole;
  f.settings.pitches[0] = 1;
  f.settings.line_spacing = 1;
  f.add_point(0, 0, 0);
  // At -1e17 neighbouring doubles are 16 apart: x + 1 == x, the walk could not move.
  f.add_region(f.rectangle(-1e17, -1e17, 1e17, 1e17));
  try {
    f.tile();
    ADD_FAILURE() << "a walk that cannot advance was accepted";
  } catch (const Failure& e) {
    EXPECT_EQ(e.message, msg::figure_bad_counts);
  }
}

TEST(TilingRandom, TheGeneratorIsTheClassicLinearCongruence) {
  FigureRandom r;
  r.state = 1;
  EXPECT_EQ(r.draw(), 16838);
  EXPECT_EQ(r.draw(), 5758);
  EXPECT_EQ(r.draw(), 10113);
  EXPECT_EQ(r.draw(), 17515);
  EXPECT_EQ(r.draw(), 31051);
  r.state = 0;
  EXPECT_EQ(r.draw(), 0);  // 12345 >> 16
}

TEST(TilingRandom, TheSeedIsTheLowWordOfTheTruncatedSum) {
  EXPECT_EQ(FigureRandom::seed_from(12.9), 12u);
  EXPECT_EQ(FigureRandom::seed_from(-5.5), 4294967291u);  // -5 in two's complement
  EXPECT_EQ(FigureRandom::seed_from(4294967296.0 + 7.5), 7u);
  EXPECT_EQ(FigureRandom::seed_from(-1099511627779.0), 4294967293u);  // -(2^40 + 3)
  EXPECT_EQ(FigureRandom::seed_from(1e300), 0u);  // a multiple of 2^32 far beyond 64 bits
  EXPECT_EQ(FigureRandom::seed_from(-1e300), 0u);
  EXPECT_EQ(FigureRandom::seed_from(INFINITY), 0u);
  EXPECT_EQ(FigureRandom::seed_from(std::nan("")), 0u);
}

// The region (-32766,-32766.5)-(1,0.5) is 32767 square and max_x + max_y = 1.5,
// so the seed is 1 and each draw maps to one unit: x = u - 32766, y = v - 32766.5.
// Draws 16838, 5758 and 10113, 17515 give (-15928, -27008.5) and (-22653, -15251.5).
TEST(TilingRandom, ScattersOverTheBoundingRectangleFromTheDrawingsSeed) {
  TilingFixture f;
  f.settings.figure_variant = FigureVariant::whole;
  f.settings.random_on = 1;
  f.settings.random_count = 2;
  f.add_point(attr(2, 3), 0, 0);
  f.add_region(f.rectangle(-32766, -32766.5, 1, 0.5));
  EXPECT_EQ(f.tile(), "lc0\nlt0\nly2\npn3\npt -15928 -27008.5\npt -22653 -15251.5\n");
}

// At 90 degrees every element comes back as (-y, x): the line starts where the point is.
TEST(TilingRandom, WithAHatchAngleLinesTurnBackLikeArcsAndPoints) {
  TilingFixture f;
  f.settings.figure_variant = FigureVariant::whole;
  f.settings.random_on = 1;
  f.settings.random_count = 1;
  f.settings.angles[0] = pi / 2;
  f.add_line(attr(1, 2, 3), 0, 0, 10, 0);
  f.add_point(attr(2, 3), 0, 0);
  f.add_region(f.rectangle(-32766, -32766.5, 1, 0.5));
  f.tile();
  expect_near_lines(f, {{27008.5, -15928, 27008.5, -15918}});
  EXPECT_NE(f.text().find("pt 27008.5 -15928\n"), std::string::npos) << f.text();
}

TEST(TilingRandom, SameDrawingSameScatterAndNoCountNoCopy) {
  auto run = [](int count) {
    TilingFixture f;
    f.settings.random_on = 1;
    f.settings.random_count = count;
    f.add_line(attr(1, 2, 3), -30, 0, 30, 0);
    f.add_region(f.rectangle(0, 0, 100, 100));
    return f.tile();
  };
  const std::string first = run(20);
  EXPECT_NE(first.find('\n', 16), std::string::npos);  // more than the attribute lines
  EXPECT_EQ(first, run(20));
  EXPECT_EQ(run(0), "");
  EXPECT_EQ(run(-3), "");
}

TEST(TilingArcMiddle, HalfwayAlongTheRangeOnTheEllipse) {
  Arc a;
  a.cx = 100, a.cy = 50, a.r = 10;
  a.start = 0, a.end = 2 * pi;  // a whole circle: opposite its start
  XY m = arc_middle_point(a);
  EXPECT_NEAR(m.x, 90, 1e-12);
  EXPECT_NEAR(m.y, 50, 1e-12);
  a.start = 3 * pi / 2, a.end = pi / 2;  // through 2 pi
  m = arc_middle_point(a);
  EXPECT_NEAR(m.x, 110, 1e-12);
  EXPECT_NEAR(m.y, 50, 1e-12);
  a.start = -pi / 2, a.end = pi / 2;
  m = arc_middle_point(a);
  EXPECT_NEAR(m.x, 110, 1e-12);
  // Half an ellipse of flatness 0.5 tilted by 90 degrees: (0, 5) turned to (-5, 0).
  a.start = 0, a.end = pi, a.flatness = 0.5, a.tilt = pi / 2;
  m = arc_middle_point(a);
  EXPECT_NEAR(m.x, 95, 1e-12);
  EXPECT_NEAR(m.y, 50, 1e-12);
}

}  // namespace
}  // namespace hatch
