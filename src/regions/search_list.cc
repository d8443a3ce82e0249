#include "regions/search_list.h"

#include <algorithm>

#include "geometry/primitives.h"

namespace hatch {

SearchList::SearchList(Segment*& head, EntityStore& store, double tol)
    : head_(head), store_(store), tol_(tol), plain_(store.full_scans) {
  std::int64_t key = 0;
  Segment* prev = nullptr;
  for (Segment* s = head_; s != nullptr; s = s->next) {
    const std::uint32_t id = enter(s, key++);
    entries_[id].prev = prev;
    prev = s;
  }
  if (!plain_) rebuild();
}

SearchList::~SearchList() {
  for (Segment* s : removed_) store_.segments.release(s);
}

std::uint32_t SearchList::enter(Segment* s, std::int64_t key) {
  const auto id = static_cast<std::uint32_t>(entries_.size());
  entries_.push_back(Entry{s, nullptr, static_cast<std::int32_t>(key), true});
  s->list_id = id;
  if (!plain_) (key < 0 ? pushed_ : original_).push_back(s);
  ++listed_;
  return id;
}

void SearchList::place(std::uint32_t id) {
  const Segment& s = *entries_[id].s;
  // A short segment's end tolerance reaches along its whole line: it may relate to anything.
  const bool bounded = bounded_by_box(s);
  for (BoxGrid* g : {&grid_, &open_grid_}) {
    if (g == &open_grid_ && s.region_state() != 0) continue;
    if (bounded)
      g->insert(id, box_of(s));
    else
      g->insert_everywhere(id);
  }
}

void SearchList::rebuild() {
  Box extent{0.0, 0.0, -1.0, -1.0};
  bool any = false;
  for (const Entry& e : entries_) {
    if (!e.listed || !bounded_by_box(*e.s)) continue;
    const Box b = box_of(*e.s);
    if (!any) extent = b;
    extent.widen(b.min_x, b.min_y);
    extent.widen(b.max_x, b.max_y);
    any = true;
  }
  grid_.reset(extent, listed_, false, false);  // a segment is placed once, when it enters
  open_grid_.reset(extent, listed_, true);
  for (std::uint32_t id = 0; id < entries_.size(); ++id)
    if (entries_[id].listed) place(id);
  placed_at_build_ = listed_;
}

Segment* SearchList::push_copy(const Segment& scratch) {
  Segment* old_head = head_;
  Segment* s = store_.insert_copy(head_, scratch, tol_);
  if (s == nullptr) return nullptr;
  const std::uint32_t id = enter(s, next_head_key_--);
  if (old_head != nullptr) entries_[id_of(old_head)].prev = s;
  if (!plain_) {
    // Pieces lie within the boxes of what they were cut from; when they have
    // become many, cells sized for them answer faster.
    if (listed_ > 2 * placed_at_build_ + kGridFrom)
      rebuild();
    else
      place(id);
  }
  return s;
}

Segment* SearchList::remove(Segment* s) {
  if (!ours(s) || !entries_[id_of(s)].listed) return nullptr;
  const std::uint32_t id = id_of(s);
  Entry& e = entries_[id];
  Segment* after = s->next;
  if (e.prev != nullptr)
    e.prev->next = after;
  else
    head_ = after;
  if (after != nullptr) entries_[id_of(after)].prev = e.prev;
  e.listed = false;
  --listed_;
  grid_.erase(id);
  open_grid_.erase(id);
  s->next = nullptr;
  removed_.push_back(s);
  return after;
}

void SearchList::shortened(Segment* s) {
  if (plain_) return;
  const std::uint32_t id = id_of(s);
  if (!entries_[id].listed || bounded_by_box(*s)) return;
  grid_.insert_everywhere(id);
  if (open_grid_.contains(id)) open_grid_.insert_everywhere(id);
}

void SearchList::taken(Segment* s) {
  if (!plain_) open_grid_.erase(id_of(s));
}

void SearchList::compact_pushed(std::size_t dropped) {
  if (dropped < 64 || 2 * dropped < pushed_.size()) return;
  std::erase_if(pushed_, [&](const Segment* s) { return !entries_[id_of(s)].listed || (s->marks & 0xFFu) != 0; });
}

void SearchList::clear_trace_marks() {
  if (plain_) {
    for (Segment* s = head_; s != nullptr; s = s->next) s->set_trace_mark(0);
  } else {
    for (Segment* s : marked_)
      if (entries_[id_of(s)].listed) s->set_trace_mark(0);
  }
  marked_.clear();
}

void SearchList::whole_list(std::vector<Segment*>& out) const {
  out.clear();
  for (Segment* s = head_; s != nullptr; s = s->next) out.push_back(s);
}

void SearchList::related(const Segment& s, std::vector<Segment*>& out) {
  if (plain_ || listed_ < kGridFrom || !bounded_by_box(s)) return whole_list(out);
  near_box(box_of(s), kRelationReach, out);
}

void SearchList::ends_at(XY p, double tol, std::vector<Segment*>& out) {
  gather({p.x, p.y, p.x, p.y}, tol,
         [&](const Segment* s) { return same_point(p, s->start(), tol) || same_point(p, s->end(), tol); }, out);
}

void SearchList::near_box(const Box& b, double gap, std::vector<Segment*>& out) {
  gather(b, gap, [](const Segment*) { return true; }, out);
}

template <class P>
void SearchList::gather(const Box& b, double gap, P keep, std::vector<Segment*>& out) {
  if (plain_ || listed_ < kGridFrom) {
    whole_list(out);
    std::erase_if(out, [&](const Segment* s) { return !keep(s); });
    return;
  }
  // Coincidence tests take the tolerance inclusively and the grid's answer has
  // no slack of its own: a little more keeps the answer a superset.
  const double g = gap + 1e-9 * (1.0 + b.magnitude());
  found_.clear();
  grid_.visit_near(b, g, [&](BoxGrid::Id id) {
    if (keep(entries_[id].s)) found_.emplace_back(entries_[id].key, entries_[id].s);
  });
  std::sort(found_.begin(), found_.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
  out.clear();
  for (const auto& f : found_) out.push_back(f.second);
}

}  // namespace hatch
