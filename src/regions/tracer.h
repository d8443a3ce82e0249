// The closed-loop tracer: walks the boundary edges from a start edge, cutting
// each edge where the walk meets another one, turning at every vertex by a
// turning rule and backing out of branches that lead nowhere.
#pragma once

#include <vector>

#include "input/entity_store.h"
#include "base/records.h"
#include "regions/search_list.h"

namespace hatch {

enum TurningRule : int {
  innermost = 0,  // sharpest left turn: the smallest loop around a point
  outermost = 1,  // sharpest right turn: the outer contour of a figure
};

// Reset by the caller before every top-level trace.
struct TraceContext {
  XY trace_start;       // where the loop must close
  int trace_depth = 0;  // levels currently open (length of the current path)
  int trace_steps = 0;  // continuation attempts made in this trace
};

inline constexpr int kTraceDepthLimit = 2000;
inline constexpr int kTraceStepLimit = 4000;

// 0, 2 (an end of B touches A's interior), 3 (an end of A touches B's
// interior) or 4 (proper crossing); `at` gets the crossing of the carrying
// lines unless they are parallel.
int classify_for_trace(const Segment& a, const Segment& b, XY* at);

// Stops the walk along `edge` at the nearest place where a free segment
// crosses or touches it: the edge and the segments passing through that
// place are split there (pieces pushed at the head of `list`). Returns the
// stop point. Throws std::bad_alloc only before anything was changed.
XY cut_at_nearest_crossing(SearchList& list, Segment* edge);

// The continuation from `candidates` (in list order: newest first) that the
// rule prefers at the end of `edge`; -1 when there is none.
int choose_next(const std::vector<Segment*>& candidates, const Segment* edge, int rule);

// 1 when a closed loop from `edge` back to ctx.trace_start was found; its
// copies, in path order and oriented along the path, are pushed onto `out`.
// `edge` must start at the current vertex with the region on its left.
int trace_loop(SearchList& list, Segment* edge, int rule, Segment*& out, TraceContext& ctx);

// A new region (no islands) at the head of `list`.
Region* add_region(Region*& list, Segment* loop, int index, EntityStore& store);

}  // namespace hatch
