// Cutting arcs where other arcs end on them and where segments cross them, so
// that every junction of the boundary becomes an end of an edge.
#pragma once

#include "input/entity_store.h"
#include "base/records.h"

namespace hatch {

// A new piece [s, e] of `arc` (normalised) at the head of `pieces`; null when s == e exactly.
Arc* new_arc_piece(Arc*& pieces, const Arc& arc, double s, double e, EntityStore& store);
// Links `pieces` at the tail of `arcs`.
void append_arcs(Arc*& arcs, Arc* pieces);

// The cut_arc code (0 none, 1 at a1, 2 at a2, 3 at both) for a crossing code of
// intersect_segment_arc and its two angles; crossings within atan2(0.1, r) of an
// arc end do not cut.
int choose_cut(int crossing, const Arc& arc, double a1, double a2);
// Cuts off the pieces before a1 and/or a2 onto `pieces`; `arc` keeps the rest.
void cut_arc(Arc*& pieces, int code, Arc& arc, double a1, double a2, EntityStore& store);

// Cuts `arc` where `probe` (from a point to the arc's centre) crosses it.
void split_arc_at_point(Arc*& arcs, Arc& arc, const Segment& probe, EntityStore& store, double tol);
void split_arcs_at_arc_ends(Arc*& arcs, EntityStore& store, double tol);
// Cuts every arc of `arcs` at its crossings with the segments from `first` on.
void split_arcs_by_segments(Arc*& arcs, const Segment* first, EntityStore& store, double tol);
// The same for the segments of `segments`, in their order: every segment near
// the arcs must be there; others are let through by the same box test.
void split_arcs_by_segments(Arc*& arcs, const std::vector<Segment*>& segments, EntityStore& store, double tol);

}  // namespace hatch
