// Removing duplicate boundary segments and joining collinear ones that overlap
// or touch, so that every junction of the boundary is a segment end.
#pragma once

#include "input/entity_store.h"
#include "base/records.h"

namespace hatch {

// 1 when the extents of `a` and `b` along the dominant axis of slope angle
// `angle` overlap or touch (inclusive, no tolerance).
int ranges_overlap(const Segment& a, const Segment& b, double angle);
// 1 when `a` and `b` are collinear and overlap or touch; `start` and `end` then
// receive the merged extent. May reverse either segment in place.
int merge_pair(Segment& a, Segment& b, XY& start, XY& end, double tol);
void merge_collinear_segments(Segment*& segments, EntityStore& store, double tol);

}  // namespace hatch
