#include "regions/search_list.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "geometry/primitives.h"
#include "support/builders.h"

namespace hatch {
namespace {

// The tracer asks for the segments with an end at a stop; the grid filters
// them before putting them in list order. Whatever the tolerance, and with
// pieces pushed at the head, the answer is the walk of the list filtered.
TEST(SearchListEndsAt, AnswersTheListWalkFiltered) {
  std::mt19937 rng(7);
  for (int round = 0; round < 120; ++round) {
    const double tol = std::vector<double>{0.001, 0.5, 7.0, 300.0}[round % 4];
    // Ends on a coarse lattice, nudged by parts of the tolerance, so that many
    // meet within it and some only just miss.
    auto coord = [&] { return static_cast<double>(rng() % 40) * 20.0 + static_cast<double>(rng() % 5) * 0.5 * tol; };
    EntityStore store;
    Segment* head = nullptr;
    const int n = 40 + static_cast<int>(rng() % 300);
    for (int i = 0; i < n; ++i) test::add_edge(store, head, coord(), coord(), coord(), coord(), i);
    SearchList list(head, store, tol);
    for (int i = 0; i < 20; ++i) {
      Segment piece;
      piece.x1 = coord(), piece.y1 = coord(), piece.x2 = coord(), piece.y2 = coord();
      list.push_copy(piece);
    }
    std::vector<Segment*> got;
    for (int q = 0; q < 40; ++q) {
      const XY p{coord(), coord()};
      std::vector<Segment*> want;
      for (Segment* s = list.head(); s != nullptr; s = s->next)
        if (same_point(p, s->start(), tol) || same_point(p, s->end(), tol)) want.push_back(s);
      list.ends_at(p, tol, got);
      ASSERT_EQ(got, want) << "round " << round << " query " << q;
    }
  }
}

}  // namespace
}  // namespace hatch
