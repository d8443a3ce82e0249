// Which closed regions a run fills: the smallest loop around each pick point
// (with the loops inside it as islands), or the outer contour of every
// connected figure; and the text boxes as loops of their own.
#pragma once

#include "base/settings.h"
#include "input/entity_store.h"
#include "regions/search_list.h"
#include "regions/search_results.h"
#include "regions/tracer.h"

namespace hatch {

// Puts the loop's start on `edge` at the last crossing before (px, py): sets
// ctx.trace_start and may shorten the edge, adding the cut-off part to `list`.
// 0 when the edge meets fewer than two other edges and cannot bound a region.
int prepare_start(SearchList& list, Segment* edge, double px, double py, TraceContext& ctx);

// The nearest free edge hit by the ray from (px, py) towards x = the store's reach,
// reversed if need be so that the point lies on its left; null when none.
// `hit` gets the place where the ray meets it.
Segment* nearest_edge_right_of(SearchList& list, double px, double py, XY& hit);

void find_regions_by_points(SearchList& list, const Settings& settings, SearchResults& results);
// Both marks 1 on the segments that lie on some region outline, 0 on all others.
void mark_region_edges(SearchList& list, const Settings& settings, const SearchResults& results);
void find_islands(Region& region, SearchList& list, const Settings& settings);
void find_outer_regions(SearchList& list, const Settings& settings, SearchResults& results);

// A free segment with nothing on its right-hand side, oriented that way; null when none.
Segment* pick_outer_edge(SearchList& list);
// Removes from `list` every free segment whose midpoint lies inside `loop`.
void drop_enclosed(const Segment* loop, SearchList& list);

// Moves `text_edge_list` into `text_box_loops`, one four-edge loop per text.
void group_text_boxes(EntityStore& store, SearchResults& results);

// The region search of a run as the modes choose it (text boxes excluded).
void search_regions(EntityStore& store, const Settings& settings, SearchResults& results);

}  // namespace hatch
