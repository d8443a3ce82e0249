// The band along an open polyline (/o): the selected segments become one chain,
// and the chain, its parallel at the band's width and two caps close the band.
#pragma once

#include "base/settings.h"
#include "input/entity_store.h"
#include "input/input_state.h"
#include "base/records.h"

namespace hatch {

// Which side of a segment a point lies on, looking from its start to its end.
enum class Side : int { left = 1, right_or_on = 2 };
// Which ends of a segment extend_segment lengthens.
enum class Ends : int { end = 0, start = 1, both = 2 };

struct Band {
  double offset_distance = 100.0;
  double tol = 0.5;
  Side band_side = Side::right_or_on;  // of hp1 from its nearest chain segment
};

// Whether the selected segments are turned into the band's outline. Without a
// free end, or when hp1 sees no chain segment, the list is left empty.
bool build_offset_band(Segment*& list, const Settings& settings, const InputState& input, EntityStore& store);

// Replaces the list by the chain from one free end, in path order, and sets
// band.band_side from the point (px, py). False, with the list emptied, when
// the band cannot be built.
bool build_chain(Segment*& list, Band& band, double px, double py, EntityStore& store);
// Appends the parallel chain and the two caps at the chain's tail.
void build_band(Segment*& list, const Band& band, EntityStore& store);

// -1 both ends of s touch other segments, 1 only its start, 0 only its end, 2 neither.
int chain_end_kind(const Segment* list, const Segment& s, double tol);
// The chain segment with the nearest midpoint among those seen from the point,
// nearer than `reach`; null if none.
const Segment* nearest_visible_segment(const Segment* chain, double px, double py, double reach,
                                       bool full_scans = false);
// Left when the point lies strictly left of s, looking from its start to its end.
Side side_of(const Segment& s, double px, double py);
// Coordinates of `out` := s moved sideways by `distance` to `side`.
void offset_segment(const Segment& s, Segment& out, double distance, Side side);
// Lengthens s by `distance` at the given ends.
void extend_segment(Ends ends, Segment& s, double distance);
// The crossing of a1 x + b1 y + k1 = 0 and a2 x + b2 y + k2 = 0; 0 when parallel.
int intersect_lines(double a1, double b1, double k1, double a2, double b2, double k2, XY& at);

}  // namespace hatch
