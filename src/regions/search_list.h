// A segment list as region search walks it, with a grid that tells which of
// its segments can be near a place. Region search cuts edges where traces
// pass and pushes the pieces at the head of the list, so every change to the
// list goes through here: the grid follows it, and every answer comes in list
// order, so that each tie the rules decide by list order is decided alike.
#pragma once

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "base/interrupt.h"
#include "base/records.h"
#include "geometry/box_grid.h"
#include "geometry/relations.h"
#include "input/entity_store.h"

namespace hatch {

class SearchList {
 public:
  // Takes over the list at `head`; the list stays a plain linked list that
  // anyone may walk. With store.full_scans every question is answered with
  // the whole list, as the plain scans of the rules do.
  SearchList(Segment*& head, EntityStore& store, double tol);
  ~SearchList();
  SearchList(const SearchList&) = delete;
  SearchList& operator=(const SearchList&) = delete;

  Segment*& head() { return head_; }
  // The segments now in the list.
  std::size_t size() const { return listed_; }
  EntityStore& store() { return store_; }
  double tol() const { return tol_; }

  // The copying insert at the head of the list.
  Segment* push_copy(const Segment& scratch);
  // Unlinks s and returns the segment that followed it. The record is released
  // to the store only when the list is done with, so that no answer can name a
  // record that was made anew meanwhile.
  Segment* remove(Segment* s);
  // s lost a part at an end (a cut): its box only shrank.
  void shortened(Segment* s);
  // s lies on an outline taken for good (region_state 1): it blocks no probe any more.
  void taken(Segment* s);
  // s got a trace mark: clear_trace_marks needs to visit it.
  void marked(Segment* s) { marked_.push_back(s); }
  // Clears the trace mark of every segment of the list.
  void clear_trace_marks();

  // Every segment of the list that classify_segments or classify_for_trace
  // could relate to `s` (and some it cannot), in list order.
  void related(const Segment& s, std::vector<Segment*>& out);
  // Every segment with an end at p (same_point with tol), in list order. The
  // test runs before the answer is put in list order: where the tolerance is
  // large, most of what is near has no end there.
  void ends_at(XY p, double tol, std::vector<Segment*>& out);
  // Every segment whose box may come within `gap` of b, in list order.
  void near_box(const Box& b, double gap, std::vector<Segment*>& out);
  // Calls visit(s) for the segments with region_state 0 that may relate to the
  // line, from its start outwards, in no particular order; keep_going(d) as
  // BoxGrid::visit_along.
  template <class F, class G>
  void along(const Segment& line, F visit, G keep_going);
  // Calls visit(s) for every segment of the list that may relate to the line,
  // from its start outwards, in no particular order; keep_going(d) as
  // BoxGrid::visit_along. Without a grid to walk it offers the whole list and
  // never asks keep_going.
  template <class F, class G>
  void related_along(const Segment& line, F visit, G keep_going);

  // Calls accept(s) for the free segments (both marks 0) in list order, until it
  // returns true; returns that segment, or null. accept may push pieces: being
  // ahead of the one it was called for, they wait for the next call, as on the
  // list. Between two calls the marks a search leaves stay for good, so a
  // segment found marked is not offered again.
  template <class F>
  Segment* first_free(F accept);

  // A vector for an answer, lent for as long as the object lives: the lists
  // ask many small questions, and their answers need no allocation each.
  class Scratch {
   public:
    explicit Scratch(SearchList& list) : list_(list) {
      if (list_.spare_.empty()) list_.spare_.emplace_back();
      v_ = std::move(list_.spare_.back());
      list_.spare_.pop_back();
      v_.clear();
    }
    ~Scratch() { list_.spare_.push_back(std::move(v_)); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::vector<Segment*>& operator*() { return v_; }

   private:
    SearchList& list_;
    std::vector<Segment*> v_;
  };

  // The rank of a segment of the list in list order (smaller is nearer the head).
  std::int64_t rank(const Segment* s) const { return entries_[id_of(s)].key; }

 private:
  struct Entry {
    Segment* s = nullptr;
    Segment* prev = nullptr;
    std::int32_t key = 0;  // ids are 32 bits, so the ranks of the records they name are too
    bool listed = false;
  };

  // A few segments are asked faster one by one than through a grid.
  static constexpr std::size_t kGridFrom = 32;

  std::uint32_t id_of(const Segment* s) const { return s->list_id; }
  bool ours(const Segment* s) const { return s->list_id < entries_.size() && entries_[s->list_id].s == s; }
  std::uint32_t enter(Segment* s, std::int64_t key);
  void place(std::uint32_t id);
  void rebuild();
  bool plain() const { return plain_; }
  void whole_list(std::vector<Segment*>& out) const;
  // The segments near b that keep() accepts, in list order; keep() runs
  // before the sort so that only what is kept is put in order.
  template <class P>
  void gather(const Box& b, double gap, P keep, std::vector<Segment*>& out);
  // Drops the pieces that are marked for good or gone once they are many.
  void compact_pushed(std::size_t dropped);

  Segment*& head_;
  EntityStore& store_;
  double tol_;
  bool plain_;
  std::deque<Entry> entries_;  // no copy of them all as it grows: the peak stays at what is used
  std::vector<Segment*> removed_;
  std::vector<Segment*> marked_;
  std::vector<std::vector<Segment*>> spare_;
  std::vector<std::pair<std::int64_t, Segment*>> found_;
  // The segments that may be free, for first_free: the pieces pushed at the
  // head, oldest first, then the list as it was taken over, in list order.
  std::vector<Segment*> pushed_, original_;
  std::size_t original_from_ = 0;  // all before it are marked for good or gone
  std::int64_t next_head_key_ = -1;
  std::size_t listed_ = 0, placed_at_build_ = 0;
  BoxGrid grid_;
  BoxGrid open_grid_;  // only the segments not taken for good
};

template <class F, class G>
void SearchList::along(const Segment& line, F visit, G keep_going) {
  if (plain() || !bounded_by_box(line)) {
    for (Segment* s = head_; s != nullptr; s = s->next) visit(s);
    return;
  }
  open_grid_.visit_along(line.x1, line.y1, line.x2, line.y2, kRelationReach,
                    [&](BoxGrid::Id id) { visit(entries_[id].s); }, keep_going);
}

template <class F, class G>
void SearchList::related_along(const Segment& line, F visit, G keep_going) {
  if (plain() || listed_ < kGridFrom || !bounded_by_box(line)) {
    for (Segment* s = head_; s != nullptr; s = s->next) visit(s);
    return;
  }
  grid_.visit_along(line.x1, line.y1, line.x2, line.y2, kRelationReach,
                    [&](BoxGrid::Id id) { visit(entries_[id].s); }, keep_going);
}

template <class F>
Segment* SearchList::first_free(F accept) {
  if (plain()) {
    for (Segment* s = head_; s != nullptr; s = s->next) {
      rearm_interrupt();
      if ((s->marks & 0xFFu) == 0 && accept(s)) return s;
    }
    return nullptr;
  }
  auto gone = [&](const Segment* s) { return !entries_[id_of(s)].listed || (s->marks & 0xFFu) != 0; };
  // Pieces pushed while accept runs are ahead of it: the walk down from the
  // newest piece and up the original list never reaches them.
  std::size_t dropped = 0;
  for (std::size_t i = pushed_.size(); i-- > 0;) {
    rearm_interrupt();
    Segment* s = pushed_[i];
    if (gone(s)) {
      ++dropped;
      continue;
    }
    if (accept(s)) {
      compact_pushed(dropped);
      return s;
    }
  }
  compact_pushed(dropped);
  while (original_from_ < original_.size() && gone(original_[original_from_])) ++original_from_;
  for (std::size_t i = original_from_; i < original_.size(); ++i) {
    rearm_interrupt();
    Segment* s = original_[i];
    if (!gone(s) && accept(s)) return s;
  }
  return nullptr;
}

}  // namespace hatch
