// The geometry of one run: the record pools and the lists built from them.
#pragma once

#include <cmath>
#include <cstdint>

#include "base/pool.h"
#include "base/records.h"
#include "input/input_state.h"

namespace hatch {

struct EntityStore {
  Pool<Segment> segments{"LDATA"};
  Pool<Arc> arcs{"CDATA"};
  Pool<PickPoint> pick_points{"MDATA"};
  Pool<Point> points{"PDATA"};
  Pool<FigureLine> figure_lines_pool{"ZDATA"};
  Pool<Region> regions{"GRP"};
  Pool<LoopNode> loop_nodes{"IRP"};

  Segment* segment_list = nullptr;
  Arc* arc_list = nullptr;
  Segment* text_edge_list = nullptr;
  PickPoint* pick_point_list = nullptr;

  // The plain scans of every list instead of its index: the reference the
  // indexes are checked against (they must answer exactly alike).
  bool full_scans = false;

  // How far a ray, a probe or a nearest distance must reach to leave the
  // drawing; set by set_reach once the input is read.
  double reach = kNearReach;
  static constexpr double kNearReach = 100000.0;

  std::int32_t next_entity_id = 0;
  std::int32_t next_text_box_id = 0;  // shared by the four edges of one text box
  int pick_point_count = 0;  // pick points of the file being read

  Segment* new_segment() { return segments.make(); }
  // Angles 0 to 360 (degrees until the reader converts them), flatness 1.
  Arc* new_arc() { return arcs.make(); }
  void add_pick_point(double x, double y);

  // The copying insert: a copy of the scratch segment's ends, id and arc (marks 0)
  // at the head of `list`, unless its ends are the same point within `tol`.
  Segment* insert_copy(Segment*& list, const Segment& scratch, double tol);
  // A copy at the tail of `list`, unless nearly of zero length.
  Segment* append_segment_copy(Segment*& list, const Segment& s, double tol);
  // Unlinks `s` (found by identity), returns it to the pool and returns its successor;
  // null and no change when `s` is not in the list.
  Segment* remove_segment(Segment*& list, Segment* s);
  void free_chain(Segment* first);
};

// Sets store.reach from the box D of every segment and text-edge end, every
// arc's centre +/- its radius, every pick point and hp1/hp2 when given. While
// D's largest x and its diagonal are below kNearReach, and D reaches down to
// +kNearReach in y and up to -kNearReach in x and y, that fixed reach stays;
// otherwise the smallest power of ten at least 2 * (largest |side| + diagonal).
void set_reach(EntityStore& store, const InputState& input);

inline void to_degrees(double& value) { value = value / (4.0 * std::atan(1.0)) * 180.0; }

}  // namespace hatch
