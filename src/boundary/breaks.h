// Break detection: the ends of boundary segments that meet no other segment.
#pragma once

#include "input/entity_store.h"
#include "base/records.h"

namespace hatch {

// A marker (attribute low byte 0) at the head of `list`.
Point* add_break_marker(Point*& list, double x, double y, EntityStore& store);
// One marker per unconnected segment end, pushed onto `break_markers` in the
// order found (so the list holds them newest first).
void check_breaks(const Segment* first, Point*& break_markers, EntityStore& store);

}  // namespace hatch
