// The host commands written back into the exchange file, and the attribute
// state that keeps attribute commands to the necessary minimum.
#pragma once

#include <cstdio>

#include "input/input_state.h"
#include "base/records.h"
#include "output/output_context.h"

namespace hatch {

// Layer groups are 0 to F; a wider value is read by its low digit, as the input does.
double group_scale_of(const InputState& input, int group);
// Room for one number as "%1.15g" writes it (sign, 15 digits, point, exponent).
inline constexpr int kNumberRoom = 32;
// Writes v at `at` exactly as "%1.15g" does; returns the end.
char* put_number(char* at, double v);
// A full circle: centre and radius.
void write_circle_line(std::FILE* out, double cx, double cy, double r);
// The closing lines of every run: the attributes in force at input.
void restore_initial_attributes(std::FILE* out, const InputState& input);

// fmod(a + 360, 360): -30 gives 330, 360 gives 0; below -360 stays negative.
double normalize_degrees(double a);

// One closed loop into the outline group, on the given layer.
void write_outline(OutputContext& ctx, int layer, const Segment* loop);
// Brings layer, line type and colour to hatch_attr[k], k = 0 or 1.
void select_hatch_attr(OutputContext& ctx, int k);
// Brings colour, line type, layer and pen to ctx.wanted.
void emit_wanted_attributes(OutputContext& ctx);
// "z1" before a hatch element when z_flag is set.
void write_z_marker(OutputContext& ctx);

// The writers below take hatch-frame coordinates and write drawing coordinates.
void write_hatch_segment(OutputContext& ctx, double x1, double y1, double x2, double y2);
// An arc piece of a placed figure, centred at (x, y).
void write_figure_arc(OutputContext& ctx, double x, double y, const Arc& arc);
void write_figure_point(OutputContext& ctx, double x, double y);

}  // namespace hatch
