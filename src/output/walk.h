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
// Two sums of one step taken in turn, a then b, with a < b below a + step as
// summed: makes up to `limit` additions to each, every one to b from a value
// below `below`, exactly as one at a time would, and only where that order
// provably holds throughout (inside one binade, on a settled increment).
// Returns the additions made to each; 0 when nothing could be proven.
std::int64_t repeat_add_pair(double& a, double& b, double step, std::int64_t limit, double below);
// v after `count` additions of step, as one at a time would leave it.
double after_additions(double v, double step, std::int64_t count);
// How far two values that start apart and are each summed with the same step
// can stray from their starting difference, however long the walk, while both
// stay within `magnitude` of zero.
double twin_sum_drift(double magnitude);

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

// Reads sorted spans from low to high values: what a walk must visit next.
class SpanCursor {
 public:
  explicit SpanCursor(const Spans& spans) : spans_(spans) {}
  // The first value at or above v (v never decreasing) that lies in a span;
  // `to` when none lies below it.
  double next_needed(double v, double to) {
    if (spans_.all) return v;
    while (i_ < spans_.spans.size() && spans_.spans[i_].hi < v) ++i_;
    if (i_ == spans_.spans.size() || to < spans_.spans[i_].lo) return to;
    return spans_.spans[i_].lo > v ? spans_.spans[i_].lo : v;
  }

 private:
  const Spans& spans_;
  std::size_t i_ = 0;
};

// Visits v = from, from + step, ... while v < to; a step that is not positive,
// or that rounding swallows, ends the walk. Values below needed(v), the next
// value that must be visited, are not: they are stepped over, and skipped(k)
// hears of every k additions made that way, so that a value kept in step with
// v can follow.
template <class N, class F, class S>
void walk_where(double from, double to, double step, N needed, F visit, S skipped) {
  double v = from;
  std::int64_t budget = step_budget(from, to, step);
  while (budget > 0 && v < to) {
    const double lo = needed(v);
    if (v < lo) {
      const RepeatedSum r = repeat_add(v, step, budget, lo);
      budget -= r.steps;
      if (r.steps > 0) skipped(r.steps);
      if (r.stuck) return;
      continue;
    }
    visit(v);
    if (!advance(v, step)) return;
    --budget;
  }
}

// walk_where visiting only the values inside `spans`; past the last span the
// rest of the walk is stepped over to its end.
template <class F, class S>
void walk(double from, double to, double step, const Spans& spans, F visit, S skipped) {
  SpanCursor cursor(spans);
  walk_where(from, to, step, [&](double v) { return cursor.next_needed(v, to); }, visit, skipped);
}

template <class F>
void walk(double from, double to, double step, F visit) {
  walk(from, to, step, Spans{}, visit, [](std::int64_t) {});
}

}  // namespace hatch
