#include "driver/run.h"

#include <cmath>
#include <cstdio>

#include "base/bell.h"
#include "base/failure.h"
#include "base/interrupt.h"
#include "base/messages.h"
#include "driver/options.h"
#include "driver/settings_log.h"
#include "driver/usage.h"
#include "geometry/arcs.h"
#include "geometry/primitives.h"
#include "boundary/breaks.h"
#include "boundary/merge.h"
#include "boundary/split_arcs.h"
#include "figure/figure_reader.h"
#include "input/exchange_reader.h"
#include "output/exchange_writer.h"
#include "output/output_phase.h"
#include "output/output_context.h"
#include "regions/band.h"
#include "regions/region_selection.h"

namespace hatch {

namespace {

// The second half of the failure exit: the message line goes into whatever the
// slot holds for writing, else into a new exchange file.
int write_message_line(FileSlot& slot, const std::string& message) {
  if (slot.stream != nullptr && slot.for_reading) slot.close();
  if (slot.stream == nullptr && !slot.open_for_writing(kExchangeFile)) {
    slot.close();
    std::printf("%s%s", kExchangeFile, msg::cannot_open_suffix);
    return 1;
  }
  std::fprintf(slot.stream, "h#%s\n", message.c_str());
  slot.close();
  return 1;
}

// A reading stream is treated as the failure exit treats it, so that the host
// always finds the interruption line.
int write_interruption(FileSlot& slot) {
  if (slot.stream != nullptr && slot.for_reading) slot.close();
  if (slot.stream == nullptr && !slot.open_for_writing(kExchangeFile)) {
    ring_bell();
    return write_message_line(slot, msg::output_open_failed);
  }
  std::fputs(msg::interrupted, slot.stream);
  std::fputs(msg::interrupted, stdout);
  slot.close();
  return 0;
}

void emit_chord(EntityStore& store, Arc& arc, double a, double b, double tol) {
  const XY p = arc_point(arc, a), q = arc_point(arc, b);
  Segment chord = make_segment(p.x, p.y, q.x, q.y);
  chord.id = arc.id;
  chord.arc = &arc;
  if (store.insert_copy(store.segment_list, chord, tol) != nullptr) return;
  // A chord too short to keep: stretch the previous chord of the same arc so the
  // chain stays closed; a too-short first chord is simply left out.
  Segment* head = store.segment_list;
  if (head != nullptr && head->arc == &arc) {
    head->x2 = q.x;
    head->y2 = q.y;
  }
}

}  // namespace

void flatten_arcs(EntityStore& store, double tol) {
  const double step = 15.0 * pi / 180.0;
  for (Arc* arc = store.arc_list; arc != nullptr; arc = arc->next) {
    double s = arc->start;
    if (arc->start > arc->end) s = arc->start - 2.0 * pi;
    double end = arc->end;
    // More than one turn draws nothing new; the bound also keeps huge angles finite.
    if (end - s > 2.0 * pi) end = s + 2.0 * pi;
    for (int guard = 0; s + step < end && guard < 24; ++guard) {
      emit_chord(store, *arc, s, s + step, tol);
      s += step;
    }
    emit_chord(store, *arc, s, end, tol);
  }
}

void build_single_segment_frame(EntityStore& store, InputState& input, double tol) {
  Segment* seg = store.segment_list;
  PickPoint* q = store.pick_point_list;
  if (seg == nullptr || q == nullptr) return;
  const double qx = q->x, qy = q->y;
  {
    const double x1 = seg->x1, y1 = seg->y1, x2 = seg->x2, y2 = seg->y2;
    double d = (qx * y2 + qy * x1 + x2 * y1) - (y2 * x1 + qx * y1 + qy * x2);
    if (d > 0.0) reverse_segment(*seg);
  }
  const double x1 = seg->x1, y1 = seg->y1, x2 = seg->x2, y2 = seg->y2;
  double dx = x1 - qx, dy = y1 - qy;
  double vx = x2 - x1, vy = y2 - y1;
  double t = -(dx * vx + dy * vy) / (vx * vx + vy * vy);
  if (t < 0.0) t = 0.0;
  if (t >= 1.0) t = 1.0;
  double wx = t * vx + dx, wy = t * vy + dy;
  double h = checked_sqrt(wx * wx + wy * wy);
  double theta = vector_angle(vx, vy);
  double ax = x1 - h * std::sin(theta), ay = y1 + h * std::cos(theta);
  double bx = x2 - h * std::sin(theta), by = y2 + h * std::cos(theta);
  store.insert_copy(store.segment_list, make_segment(x1, y1, ax, ay), tol);
  store.insert_copy(store.segment_list, make_segment(bx, by, ax, ay), tol);
  store.insert_copy(store.segment_list, make_segment(bx, by, x2, y2), tol);
  Box& b = input.bounds;
  b.min_x = b.min_y = store.reach;
  b.max_x = b.max_y = -store.reach;
  for (const Segment* s = store.segment_list; s != nullptr; s = s->next) {
    b.widen(s->x1, s->y1);
    b.widen(s->x2, s->y2);
  }
  q->x = (b.min_x + b.max_x) / 2.0;
  q->y = (b.min_y + b.max_y) / 2.0;
}

void scale_to_drawing(RunState& r) {
  Settings& s = r.settings;
  // A scale of 0 (entities before any "hs" line) leaves the lengths unscaled.
  const double scale = r.input.group_scale[r.input.initial_group];
  if (scale > 0.0 && std::isfinite(scale)) s.tolerance = s.tolerance / (100.0 / scale);
  if (s.paper_units) scale_to_paper(s, r.input);
}

void prepare_boundary(RunState& r) {
  Settings& s = r.settings;
  EntityStore& store = r.store;
  split_arcs_at_arc_ends(store.arc_list, store, s.tolerance);
  split_arcs_by_segments(store.arc_list, store.segment_list, store, s.tolerance);
  flatten_arcs(store, s.tolerance);
  if (store.segment_list != nullptr && store.segment_list->next == nullptr && !s.offset_mode) {
    s.fill_mode = FillMode::by_points;
    build_single_segment_frame(store, r.input, s.tolerance);
  }
  merge_collinear_segments(store.segment_list, store, s.tolerance);
  if (s.break_check) check_breaks(store.segment_list, r.results.break_marker_list, store);
}

void search(RunState& r) {
  Settings& s = r.settings;
  EntityStore& store = r.store;
  complete_hatch_attr(s, r.input);
  if (s.offset_mode) {
    build_offset_band(store.segment_list, s, r.input, store);
    merge_collinear_segments(store.segment_list, store, s.tolerance);
  }
  search_regions(store, s, r.results);
  group_text_boxes(store, r.results);
}

void write_output(RunState& r, std::FILE* out) {
  Settings& s = r.settings;
  // The reference-line turn comes before the figure is read, so that a figure
  // placed whole keeps the orientation it has in its file.
  if (s.ref_line_given) turn_angles_to_reference(s);
  if (s.hatch_style == HatchStyle::figure) {
    if (s.figure_file_name.empty()) fail(msg::figure_not_named);
    read_figure_file(s, r.input, r.store, r.figure);
  }
  OutputContext ctx(out, s, r.input, r.store, r.results, &r.figure);
  ctx.tally = &r.tally;
  if (!s.break_check) {
    // Without a region only the text boxes of fill-all are area to fill. A run
    // that has nothing to fill says so, instead of ending as if it had hatched.
    const bool nothing_to_fill = r.results.region_list == nullptr &&
                                 !(s.fill_mode == FillMode::all_outer && r.results.text_box_loops != nullptr);
    write_results(ctx);
    if (nothing_to_fill) std::fputs(msg::no_region_found, out);
  } else {
    write_break_report(ctx);
  }
  restore_initial_attributes(out, r.input);
}

void run_phases(RunState& r, int argc, const char* const* argv) {
  Settings& s = r.settings;
  EntityStore& store = r.store;
  FileSlot& slot = r.slot;

  read_settings_log(s, slot, argc, argv);
  apply_options(s, argc, argv);

  if (!slot.open_for_writing(kSettingsLog)) {
    slot.close();
    fail(msg::log_open_failed);
  }
  write_settings_log(slot.stream, s);
  slot.close();

  check_lengths(s);
  convert_angles(s);

  r.phase = RunPhase::input;

  auto open_input = [&](const char* name) {
    if (!slot.open_for_reading(name)) {
      slot.close();
      fail(msg::input_open_failed);
    }
  };
  if (!s.extra_input_name.empty()) {
    open_input(s.extra_input_name.c_str());
    read_exchange_file(slot.stream, s, r.input, store);
    slot.close();
    open_input(kExchangeFile);
  } else {
    open_input(kExchangeFile);
    prescan_text_type0(slot.stream, r.input);
  }
  read_exchange_file(slot.stream, s, r.input, store);
  set_reach(store, r.input);

  r.phase = RunPhase::boundary;
  scale_to_drawing(r);
  prepare_boundary(r);

  if (store.segment_list == nullptr && store.arc_list == nullptr && store.text_edge_list == nullptr)
    fail(msg::no_input_data);
  slot.close();
  std::remove(kExchangeFile);

  r.phase = RunPhase::search;
  search(r);

  if (!slot.open_for_writing(kExchangeFile)) {
    slot.close();
    fail(msg::output_open_failed);
  }
  r.phase = RunPhase::output;
  write_output(r, slot.stream);
  slot.close();
}

int run(int argc, char** argv) {
  // Answered before anything reads or writes a file of the working directory.
  const ConsoleRequest request = console_request(argc, argv);
  if (request != ConsoleRequest::none) {
    std::fputs((request == ConsoleRequest::help ? usage_text() : version_text()).c_str(), stdout);
    return 0;
  }
  RunState state;
  return run(state, argc, argv);
}

int run(RunState& state, int argc, const char* const* argv) {
  set_interrupt_slot(&state.slot);
  try {
    run_phases(state, argc, argv);
    return 0;
  } catch (const Failure& f) {
    ring_bell();
    return write_message_line(state.slot, f.message);
  } catch (const Interrupted&) {
    return write_interruption(state.slot);
  }
}

}  // namespace hatch
