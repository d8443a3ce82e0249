// The exchange-file grammar as read: attribute lines, segments, arcs, texts,
// pick points, the hatch origin, the reference line and the header tables.
#pragma once

#include <cstdio>

#include "base/settings.h"
#include "input/entity_store.h"
#include "input/input_state.h"

namespace hatch {

// Reads the stream to its end; does not close it.
void read_exchange_file(std::FILE* in, Settings& settings, InputState& input, EntityStore& store);
// Learns the "cn0" text table entry before the first "#" line, then rewinds.
void prescan_text_type0(std::FILE* in, InputState& input);
// The first stage of every line: an attribute line (lc, lt, ly, lg, pn, cn)
// sets the current attribute, and before the header's end the initial one too.
// False when the line is no attribute line.
bool read_attribute_line(const char* line, InputState& input, bool header_done);
// A text line: one of the keywords ch, cv, cs, cr, co, cp, ct, ck, cz, c2.
bool is_text_line(const char* line);
// The text of a text line: right after its first double quote, empty without one.
const char* text_of(const char* line);
// Parses one "ci" line and puts the arc at the head of `list`, with the
// attributes and group factor of `input` in force.
Arc* insert_arc_line(const char* line, const Settings& settings, const InputState& input,
                     EntityStore& store, Arc*& list);

}  // namespace hatch
