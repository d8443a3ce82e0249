#include "regions/band.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "base/interrupt.h"
#include "geometry/box_grid.h"
#include "geometry/primitives.h"
#include "geometry/relations.h"
#include "geometry/segment_set.h"

namespace hatch {
namespace {

Segment* last_of(Segment* list) {
  if (list == nullptr) return nullptr;
  while (list->next != nullptr) list = list->next;
  return list;
}

void drop_all(Segment*& list, EntityStore& store) {
  store.free_chain(list);
  list = nullptr;
}

}  // namespace

int chain_end_kind(const Segment* list, const Segment& s, double tol) {
  bool start_touch = false;
  bool end_touch = false;
  for (const Segment* o = list; o != nullptr; o = o->next) {
    rearm_interrupt();
    if (o == &s) continue;
    if (!start_touch) {
      start_touch = same_point(s.start(), o->start(), tol) || same_point(s.start(), o->end(), tol);
    }
    if (!end_touch) {
      end_touch = same_point(s.end(), o->start(), tol) || same_point(s.end(), o->end(), tol);
    }
    if (start_touch && end_touch) return -1;
  }
  if (start_touch) return 1;
  if (end_touch) return 0;
  return 2;
}

const Segment* nearest_visible_segment(const Segment* chain, double px, double py, double reach,
                                       bool full_scans) {
  if (full_scans) {
    double best = reach;
    const Segment* nearest = nullptr;
    for (const Segment* s = chain; s != nullptr; s = s->next) {
      rearm_interrupt();
      const XY mid = midpoint(*s);
      const Segment probe = make_segment(px, py, mid.x, mid.y);
      bool seen = true;
      for (const Segment* o = chain; o != nullptr && seen; o = o->next) {
        if (o != s && classify_segments(*o, probe) != 0) seen = false;
      }
      if (!seen) continue;
      const double d = distance(px, py, mid.x, mid.y);
      if (d < best) {
        best = d;
        nearest = s;
      }
    }
    return nearest;
  }
  SegmentSet set(chain, false);
  // The nearest midpoint first, ties in list order: the first of them seen from
  // the point is the one the walk over the chain keeps.
  struct Candidate {
    double d;
    std::size_t i;
  };
  std::vector<Candidate> order;
  for (std::size_t i = 0; i < set.size(); ++i) {
    rearm_interrupt();
    const XY mid = midpoint(set[i]);
    const double d = distance(px, py, mid.x, mid.y);
    if (d < reach) order.push_back({d, i});
  }
  std::sort(order.begin(), order.end(),
            [](const Candidate& a, const Candidate& b) { return a.d < b.d || (a.d == b.d && a.i < b.i); });
  for (const Candidate& c : order) {
    rearm_interrupt();
    const Segment& s = set[c.i];
    const XY mid = midpoint(s);
    const Segment probe = make_segment(px, py, mid.x, mid.y);
    bool seen = true;
    set.visit_related(probe, [&](std::size_t j) {
      if (seen && j != c.i && classify_segments(set[j], probe) != 0) seen = false;
    });
    if (seen) return &s;
  }
  return nullptr;
}

Side side_of(const Segment& s, double px, double py) {
  const double cross = (s.x2 - s.x1) * (py - s.y1) - (s.y2 - s.y1) * (px - s.x1);
  return cross > 0.0 ? Side::left : Side::right_or_on;
}

void offset_segment(const Segment& s, Segment& out, double distance, Side side) {
  const double d = side == Side::left ? distance : -distance;
  const double theta = vector_angle(s.x2 - s.x1, s.y2 - s.y1);
  const double dx = -d * std::sin(theta);
  const double dy = d * std::cos(theta);
  out.x1 = s.x1 + dx;
  out.y1 = s.y1 + dy;
  out.x2 = s.x2 + dx;
  out.y2 = s.y2 + dy;
}

void extend_segment(Ends ends, Segment& s, double distance) {
  const double theta = vector_angle(s.x2 - s.x1, s.y2 - s.y1);
  const double ex = distance * std::cos(theta);
  const double ey = distance * std::sin(theta);
  if (ends == Ends::end || ends == Ends::both) {
    s.x2 += ex;
    s.y2 += ey;
  }
  if (ends == Ends::start || ends == Ends::both) {
    s.x1 -= ex;
    s.y1 -= ey;
  }
}

int intersect_lines(double a1, double b1, double k1, double a2, double b2, double k2, XY& at) {
  const double det = a1 * b2 - a2 * b1;
  // A degenerate line gives a NaN determinant; it crosses nothing.
  if (!(std::fabs(det) >= 0.001)) return 0;
  at.x = (b1 * k2 - b2 * k1) / det;
  at.y = (a2 * k1 - a1 * k2) / det;
  return 1;
}

namespace {

// The segments of the list in list order, with their ends in a grid, so that
// finding what touches a point and unlinking a segment cost little on long
// paths. Without a grid (full scans, few segments, a tolerance that is no
// distance) each question walks the list, as the plain scans do.
class ChainParts {
 public:
  ChainParts(Segment*& list, double tol, bool full_scans) : list_(list), tol_(tol) {
    for (Segment* s = list; s != nullptr; s = s->next) segs_.push_back(s);
    const std::size_t n = segs_.size();
    gone_.assign(n, false);
    prev_.resize(n);
    next_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      prev_[i] = i == 0 ? kNone : i - 1;
      next_[i] = i + 1;
    }
    indexed_ = !full_scans && n >= 32 && tol >= 0.0 && std::isfinite(tol);
    if (!indexed_) return;
    Box extent{0.0, 0.0, -1.0, -1.0};
    bool any = false;
    for (const Segment* s : segs_)
      for (XY p : {s->start(), s->end()}) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        if (!any) extent = {p.x, p.y, p.x, p.y};
        extent.widen(p.x, p.y);
        any = true;
      }
    ends_.reset(extent, 2 * n);
    for (std::size_t i = 0; i < n; ++i) {
      ends_.insert(static_cast<BoxGrid::Id>(2 * i), {segs_[i]->x1, segs_[i]->y1, segs_[i]->x1, segs_[i]->y1});
      ends_.insert(static_cast<BoxGrid::Id>(2 * i + 1), {segs_[i]->x2, segs_[i]->y2, segs_[i]->x2, segs_[i]->y2});
    }
  }

  std::size_t size() const { return segs_.size(); }
  Segment* operator[](std::size_t i) const { return segs_[i]; }

  // -1 both ends of segment i touch others, 1 only its start, 0 only its end, 2 neither.
  int end_kind(std::size_t i) {
    if (!indexed_) return chain_end_kind(list_, *segs_[i], tol_);
    const Segment& s = *segs_[i];
    const bool start_touch = touched(s.start(), i), end_touch = touched(s.end(), i);
    if (start_touch && end_touch) return -1;
    if (start_touch) return 1;
    if (end_touch) return 0;
    return 2;
  }

  // The first segment left in list order with an end on p, turned to end there.
  Segment* take_at(XY p) {
    std::size_t best = segs_.size();
    if (!indexed_) {
      for (std::size_t i = 0; i < segs_.size(); ++i)
        if (!gone_[i] && (same_point(segs_[i]->end(), p, tol_) || same_point(segs_[i]->start(), p, tol_))) {
          best = i;
          break;
        }
    } else {
      visit(p, [&](std::size_t i) {
        if (i < best && !gone_[i] && (same_point(segs_[i]->end(), p, tol_) || same_point(segs_[i]->start(), p, tol_)))
          best = i;
      });
    }
    if (best == segs_.size()) return nullptr;
    Segment* o = segs_[best];
    if (!same_point(o->end(), p, tol_)) reverse_segment(*o);
    taken_ = best;
    return o;
  }
  std::size_t last_taken() const { return taken_; }

  // Unlinks segment i from the list and gives its record back.
  void remove(std::size_t i, EntityStore& store) {
    gone_[i] = true;
    const std::size_t p = prev_[i], q = next_[i];
    (p == kNone ? list_ : segs_[p]->next) = segs_[i]->next;
    if (q < segs_.size()) prev_[q] = p;
    if (p != kNone) next_[p] = q;
    store.segments.release(segs_[i]);
  }

 private:
  template <class F>
  void visit(XY p, F f) {
    const Box at{p.x, p.y, p.x, p.y};
    ends_.visit_near(at, tol_ + 1e-9 * (1.0 + at.magnitude()), [&](BoxGrid::Id id) { f(id / 2); });
  }
  bool touched(XY p, std::size_t self) {
    bool found = false;
    visit(p, [&](std::size_t j) {
      if (!found && j != self && (same_point(p, segs_[j]->start(), tol_) || same_point(p, segs_[j]->end(), tol_)))
        found = true;
    });
    return found;
  }

  Segment*& list_;
  double tol_;
  bool indexed_ = false;
  std::vector<Segment*> segs_;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<bool> gone_;
  std::vector<std::size_t> prev_, next_;  // the neighbours still listed
  std::size_t taken_ = 0;
  BoxGrid ends_;
};

}  // namespace

bool build_chain(Segment*& list, Band& band, double px, double py, EntityStore& store) {
  ChainParts parts(list, band.tol, store.full_scans);
  std::size_t first = parts.size();
  int kind = -1;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    rearm_interrupt();
    kind = parts.end_kind(i);
    if (kind != -1) {
      first = i;
      break;
    }
  }
  if (first == parts.size()) {
    drop_all(list, store);
    return false;
  }
  Segment* start = parts[first];
  if (kind == 0) reverse_segment(*start);  // the free end becomes the end

  Segment* chain = nullptr;
  store.insert_copy(chain, *start, band.tol);
  double cx = start->x1, cy = start->y1;
  parts.remove(first, store);
  for (;;) {
    rearm_interrupt();
    Segment* taken = parts.take_at({cx, cy});
    if (taken == nullptr) break;
    store.insert_copy(chain, *taken, band.tol);
    cx = taken->x1;
    cy = taken->y1;
    parts.remove(parts.last_taken(), store);
  }
  store.free_chain(list);  // segments not reached from the free end
  list = chain;

  const Segment* nearest = nearest_visible_segment(list, px, py, store.reach, store.full_scans);
  if (nearest == nullptr) {
    drop_all(list, store);
    return false;
  }
  band.band_side = side_of(*nearest, px, py);
  return true;
}

void build_band(Segment*& list, const Band& band, EntityStore& store) {
  if (list == nullptr) return;
  int count = 0;
  for (const Segment* s = list; s != nullptr; s = s->next) ++count;

  Segment* offsets = nullptr;
  Segment* prev = nullptr;
  int index = 0;
  for (const Segment* s = list; s != nullptr; s = s->next, ++index) {
    rearm_interrupt();
    Segment t;
    offset_segment(*s, t, band.offset_distance, band.band_side);
    // Inner ends are lengthened so that neighbours cross; the outer ends stay flush.
    if (count > 1) {
      const Ends ends = index == 0 ? Ends::end : (index == count - 1 ? Ends::start : Ends::both);
      extend_segment(ends, t, band.offset_distance);
    }
    if (prev != nullptr) {
      double a1, b1, k1, a2, b2, k2;
      line_equation(t, a1, b1, k1);
      line_equation(*prev, a2, b2, k2);
      XY at;
      if (intersect_lines(a1, b1, k1, a2, b2, k2, at)) {
        t.x1 = at.x;
        t.y1 = at.y;
        prev->x2 = at.x;
        prev->y2 = at.y;
      }
    }
    if (Segment* copy = store.insert_copy(offsets, t, band.tol)) prev = copy;
  }

  // An offset that reaches back across the polyline loses its part on the wrong side.
  // Each offset meets, in list order, only the chain segments near it; once cut
  // it is a new segment, and those still ahead are asked anew.
  SegmentSet chain(list, store.full_scans);
  std::vector<std::size_t> near;
  auto near_offset = [&](const Segment& f, std::size_t from) {
    if (bounded_by_box(f)) {
      const Box b = box_of(f);
      chain.near_box(b, kRelationReach + 1e-9 * (1.0 + b.magnitude()), near);
    } else {
      const double nan = std::numeric_limits<double>::quiet_NaN();
      chain.near_box(Box{nan, nan, nan, nan}, 0.0, near);  // a box that is not finite: every segment
    }
    near.erase(near.begin(), std::lower_bound(near.begin(), near.end(), from));
  };
  for (Segment* f = offsets; f != nullptr; f = f->next) {
    rearm_interrupt();
    near_offset(*f, 0);
    for (std::size_t k = 0; k < near.size(); ++k) {
      const std::size_t ci = near[k];
      const Segment& c = chain[ci];
      XY at;
      if (classify_segments(*f, c, &at) == 0) continue;
      if (side_of(c, f->x2, f->y2) == band.band_side) {
        f->x1 = at.x;
        f->y1 = at.y;
      } else {
        f->x2 = at.x;
        f->y2 = at.y;
      }
      near_offset(*f, ci + 1);
      k = static_cast<std::size_t>(-1);
    }
  }

  Segment* edges = nullptr;
  for (const Segment* f = offsets; f != nullptr; f = f->next) store.insert_copy(edges, *f, band.tol);
  store.free_chain(offsets);

  if (edges != nullptr) {
    const Segment* head = list;
    const Segment* tail = last_of(list);
    const Segment* edge_tail = last_of(edges);
    const Segment cap1 = make_segment(head->x1, head->y1, edges->x1, edges->y1);
    const Segment cap2 = make_segment(tail->x2, tail->y2, edge_tail->x2, edge_tail->y2);
    store.insert_copy(edges, cap1, band.tol);
    store.insert_copy(edges, cap2, band.tol);
  }
  last_of(list)->next = edges;
}

bool build_offset_band(Segment*& list, const Settings& settings, const InputState& input, EntityStore& store) {
  Band band;
  band.offset_distance = settings.offset_distance;
  band.tol = settings.tolerance;
  if (!build_chain(list, band, input.hp1_x, input.hp1_y, store)) return false;
  build_band(list, band, store);
  return true;
}

}  // namespace hatch
