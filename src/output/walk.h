// The walks every style makes: v = from, from + step, ... by repeated addition,
// so that the last digits of each row and tile are those of the sums. Stretches
// where no visit can write anything are stepped over in bulk, landing on the
// very values one-by-one addition would reach.
#pragma once

#include <cstdint>
#include <vector>

namespace hatch {

// An upper bound on the steps of `v += step` from `from` until `to`, with slack
// for rounding; 0 when the step cannot move v forward.
std::int64_t step_budget(double from, double to, double step);
// v += step; false when rounding swallows the step, so a walk would stand still.
bool advance(double& v, double step);

struct RepeatedSum {
  std::int64_t steps = 0;  // additions made
  bool stuck = false;      // an addition left v as it was
};
// Makes at most `limit` additions v += step (step > 0), each from a value below
// `below`, exactly as one at a time would; within a binade the sums move by a
// constant amount, so they are taken in bulk there.
RepeatedSum repeat_add(double& v, double step, std::int64_t limit, double below);
// v after `count` additions of step, as one at a time would leave it.
double after_additions(double v, double step, std::int64_t count);

// Closed intervals along one axis, sorted and apart, outside which a visit
// writes nothing. `all` when every value may matter.
struct Spans {
  struct Span {
    double lo, hi;
  };
  bool all = true;
  std::vector<Span> spans;

  void add(double lo, double hi);  // before close()
  void close();                    // sorts and merges what was added
  // Each span widened by `below` downwards and `above` upwards.
  Spans widened(double below, double above) const;
};

// Visits v = from, from + step, ... while v < to; a step that is not positive,
// or that rounding swallows, ends the walk. Values outside `spans` are not
// visited: they are stepped over, and skipped(k) hears of every k additions
// made that way, so that a value kept in step with v can follow.
template <class F, class S>
void walk(double from, double to, double step, const Spans& spans, F visit, S skipped) {
  double v = from;
  std::size_t i = 0;
  std::int64_t budget = step_budget(from, to, step);
  while (budget > 0 && v < to) {
    if (!spans.all) {
      while (i < spans.spans.size() && spans.spans[i].hi < v) ++i;
      // Past the last span the rest of the walk is stepped over to its end.
      const double lo = i == spans.spans.size() || to < spans.spans[i].lo ? to : spans.spans[i].lo;
      if (v < lo) {
        const RepeatedSum r = repeat_add(v, step, budget, lo);
        budget -= r.steps;
        if (r.steps > 0) skipped(r.steps);
        if (r.stuck) return;
        continue;
      }
    }
    visit(v);
    if (!advance(v, step)) return;
    --budget;
  }
}

template <class F>
void walk(double from, double to, double step, F visit) {
  walk(from, to, step, Spans{}, visit, [](std::int64_t) {});
}

}  // namespace hatch
