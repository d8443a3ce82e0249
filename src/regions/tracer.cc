#include "regions/tracer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "base/failure.h"
#include "base/interrupt.h"
#include "base/messages.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"

namespace hatch {

int classify_for_trace(const Segment& a, const Segment& b, XY* at) {
  // Every nonzero code needs the crossing near both segments; callers read `at` only then.
  if (boxes_rule_out_relation(a, b)) return 0;
  const LineCrossing c = cross_lines(a, b);
  if (c.parallel) return 0;
  if (at != nullptr) *at = c.at;
  const double t = c.t, u = c.u;
  const double ea = distance_to_nearer_end(segment_length(a), t);
  const double eb = distance_to_nearer_end(segment_length(b), u);
  if (ea <= 0.1 && eb <= 0.1) return 0;
  if (ea <= 0.1 && u > 0.0 && u < 1.0) return 3;
  if (eb <= 0.1 && t > 0.0 && t < 1.0) return 2;
  if (t > 0.0 && t < 1.0 && u > 0.0 && u < 1.0) return 4;
  return 0;
}

namespace {

// The part of s beyond `at` becomes a new piece at the head of the list; s ends at `at`.
void split_at(SearchList& list, Segment& s, XY at) {
  list.push_copy(piece_of(s, at.x, at.y, s.x2, s.y2));
  s.x2 = at.x;
  s.y2 = at.y;
  list.shortened(&s);
}

}  // namespace

namespace {

// A segment that crosses or touches the edge being walked.
struct Meeting {
  std::int64_t rank;  // list order
  Segment* o;
  int kind;
  XY at;
  double d;  // from the edge's start
};

// Where the walk along the edge stops: the nearest meeting, in list order,
// each later one within the tolerance of the nearest so far taking its place.
struct Stop {
  double best;
  XY at;
  bool cut = false;
};

bool takes_place(const Stop& s, double d, double tol) { return s.best > d || nearly_equal(s.best, d, tol); }

void take(Stop& s, const Meeting& m) {
  if (s.best > m.d) s.cut = true;
  s.best = m.d;
  s.at = m.at;
}

// The meetings not yet found all lie `limit` + tol or farther from the start.
// They cannot change the stop once a meeting nearer than `limit` has taken
// its place (every one before it is no nearer than `limit`, and the edge is
// longer) and the stop stays within `limit` from then on: each of them then
// lies a tolerance beyond it, and none is split.
bool settled(const std::vector<Meeting>& in_list_order, double len, double tol, double limit) {
  Stop s{len, {}};
  bool near = false;
  for (const Meeting& m : in_list_order) {
    if (takes_place(s, m.d, tol)) take(s, m);
    near = near || m.d < limit;
    if (near && !(s.best <= limit)) return false;
  }
  return near;
}

// Beyond this size the rounding of a crossing can outgrow the margins of the walk.
constexpr double kWalkableMagnitude = 1e9;

// The meetings with `edge`, in list order. Walking from the edge's start, it
// stops once those still ahead cannot change where the walk along the edge
// stops or what is split there.
void meetings_along(SearchList& list, const Segment* edge, std::vector<Meeting>& out) {
  const double tol = list.tol();
  const double len = segment_length(*edge);
  // A few hundred ulps of the edge's coordinates: as far as rounding moves a
  // computed crossing.
  const double start_rounding = 256.0 * std::numeric_limits<double>::epsilon() * (1.0 + box_of(*edge).magnitude());
  auto meet = [&](Segment* o) {
    rearm_interrupt();
    if (o == edge || o->trace_mark() != 0) return;
    XY p;
    const int k = classify_for_trace(*o, *edge, &p);
    if (k == 0) return;
    // A touch at the edge's own start is where the walk came from. Below the
    // rounding of the coordinates the tolerance cannot tell it: a cut there
    // would give back the edge itself, and the search would cut it for ever.
    if (same_point(p, edge->start(), tol) || same_point(p, edge->start(), start_rounding)) return;
    out.push_back({list.rank(o), o, k, p, distance(edge->x1, edge->y1, p.x, p.y)});
  };
  auto in_list_order = [&] {
    std::sort(out.begin(), out.end(), [](const Meeting& a, const Meeting& b) { return a.rank < b.rank; });
  };
  out.clear();
  if (!(box_of(*edge).magnitude() <= kWalkableMagnitude) || !(tol < len)) {
    SearchList::Scratch scratch(list);
    std::vector<Segment*>& near = *scratch;
    list.related(*edge, near);
    for (Segment* o : near) meet(o);
    return;
  }
  // A meeting lies within 0.1 of the segment it is with and of the edge, and
  // `distance` snaps its steps: 0.5 covers both.
  const double margin = 0.5;
  const double slack = tol >= 0.0 ? tol : 0.0;
  double next_check = 0.0;
  double nearest = len;
  std::size_t counted = 0;
  list.related_along(*edge, meet, [&](double reached) {
    for (; counted < out.size(); ++counted) nearest = std::min(nearest, out[counted].d);
    const double limit = reached - margin - slack;
    if (reached < next_check || !(nearest < limit)) return true;
    in_list_order();
    if (settled(out, len, tol, limit)) return false;
    next_check = 2.0 * reached + 1.0;
    return true;
  });
  in_list_order();
}

}  // namespace

XY cut_at_nearest_crossing(SearchList& list, Segment* edge) {
  const double tol = list.tol();
  std::vector<Meeting> meetings;
  meetings_along(list, edge, meetings);
  Stop stop{segment_length(*edge), {edge->x2, edge->y2}};
  for (const Meeting& m : meetings)
    if (takes_place(stop, m.d, tol)) take(stop, m);
  // The segments met there are split newest first, as a list pushed at its head would be.
  for (auto it = meetings.rbegin(); it != meetings.rend(); ++it) {
    if ((it->kind != 2 && it->kind != 4) || !nearly_equal(it->d, stop.best, tol)) continue;
    Segment* o = it->o;
    // Already starting at the stop, o is a continuation as it is; splitting it
    // would leave a zero-length remainder in the list.
    if (same_point(stop.at, o->start(), tol)) continue;
    split_at(list, *o, stop.at);
  }
  if (stop.cut) split_at(list, *edge, stop.at);
  return stop.at;
}

int choose_next(const std::vector<Segment*>& candidates, const Segment* edge, int rule) {
  if (candidates.empty()) return -1;
  if (candidates.size() == 1) return 0;
  double a = vector_angle(edge->x1 - edge->x2, edge->y1 - edge->y2);
  Transform turn = a > pi ? Transform::rotation(2.0 * pi - a) : Transform::rotation(-a);
  double best = rule == outermost ? 2.0 * pi : 0.0;
  int chosen = -1;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const Segment* s = candidates[i];
    if (s == edge) continue;
    double wx = s->x2 - s->x1, wy = s->y2 - s->y1;
    turn.apply(wx, wy);
    double b = vector_angle(wx, wy);
    bool better = rule == outermost ? b < best : b > best;
    // Never turn back along the current edge while there is another way.
    if (better && std::fabs(b) > 0.01 && std::fabs(2.0 * pi - b) > 0.01) {
      best = b;
      chosen = static_cast<int>(i);
    }
  }
  return chosen;
}

namespace {

// One open level of the trace: what the recursive walk keeps per call.
struct Frame {
  Segment* edge = nullptr;
  XY stop;
  std::vector<Segment*> candidates;  // list order: the last found first
  int choice = -1;
};

// Cuts the level's edge and gathers the continuations at its stop point.
// False when the level fails at once (no memory for a node, no continuation).
bool open_level(SearchList& list, Frame& f, int rule) {
  const double tol = list.tol();
  try {
    f.stop = cut_at_nearest_crossing(list, f.edge);
    SearchList::Scratch scratch(list);
    std::vector<Segment*>& near = *scratch;
    list.ends_at(f.stop, tol, near);
    for (Segment* e : near) {
      rearm_interrupt();
      if (e == f.edge || e->trace_mark() != 0) continue;
      if (!same_point(f.stop, e->start(), tol)) {
        if (!same_point(f.stop, e->end(), tol)) continue;
        reverse_segment(*e);
      }
      f.candidates.push_back(e);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::reverse(f.candidates.begin(), f.candidates.end());
  f.choice = choose_next(f.candidates, f.edge, rule);
  return f.choice >= 0;
}

}  // namespace

// The walk is recursive by nature (one level per path edge, backtracking on
// failure); the levels live on an explicit stack so that the path limit, not
// the process stack, bounds it.
int trace_loop(SearchList& list, Segment* edge, int rule, Segment*& out, TraceContext& ctx) {
  EntityStore& store = list.store();
  const double tol = list.tol();
  enum class Step { enter, attempt, unwind };
  std::vector<Frame> frames;
  Segment* next_edge = edge;
  int result = 0;
  Step step = Step::enter;
  for (;;) {
    switch (step) {
      case Step::enter: {
        try {
          frames.emplace_back();
        } catch (const std::bad_alloc&) {
          fail(trace_stack_message(ctx.trace_depth));
        }
        Frame& f = frames.back();
        f.edge = next_edge;
        if (++ctx.trace_depth > kTraceDepthLimit) fail(trace_limit_message(kTraceDepthLimit));
        if (open_level(list, f, rule)) {
          step = Step::attempt;
        } else {
          result = 0;
          step = Step::unwind;
        }
        break;
      }
      case Step::attempt: {
        Frame& f = frames.back();
        if (++ctx.trace_steps >= kTraceStepLimit) {
          result = 0;
          step = Step::unwind;
          break;
        }
        rearm_interrupt();
        Segment* e = f.candidates[static_cast<std::size_t>(f.choice)];
        e->set_trace_mark(1);
        list.marked(e);
        if (same_point(ctx.trace_start, f.stop, tol)) {
          e->clear_marks();
          store.insert_copy(out, *f.edge, tol);
          --ctx.trace_depth;
          result = 1;
          step = Step::unwind;
        } else {
          next_edge = e;
          step = Step::enter;
        }
        break;
      }
      case Step::unwind: {
        frames.pop_back();
        if (frames.empty()) return result;
        Frame& f = frames.back();
        Segment* e = f.candidates[static_cast<std::size_t>(f.choice)];
        if (result == 1) {
          if (rule == innermost)
            e->clear_marks();
          else {
            e->set_region_state(1);
            list.taken(e);
          }
          store.insert_copy(out, *f.edge, tol);
          --ctx.trace_depth;
          break;
        }
        e->clear_marks();
        f.candidates.erase(f.candidates.begin() + f.choice);
        f.choice = choose_next(f.candidates, f.edge, rule);
        // Closes the level the failed branch had opened.
        --ctx.trace_depth;
        if (f.choice >= 0) step = Step::attempt;
        break;
      }
    }
  }
}

Region* add_region(Region*& list, Segment* loop, int index, EntityStore& store) {
  Region* r = store.regions.make();
  r->index = index;
  r->outline = loop;
  r->islands = nullptr;
  r->next = list;
  list = r;
  return r;
}

}  // namespace hatch
