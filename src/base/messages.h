// The catalogue of the texts the program shows. The texts are written in
// messages.cc in readable form; that file is compiled to Shift-JIS (code page
// 932), so every name here refers to the bytes the host expects.
#pragma once

#include <string>

namespace hatch::msg {

extern const char* const log_open_failed;       // settings log cannot be written
extern const char* const input_open_failed;     // exchange or extra input unreadable
extern const char* const no_input_data;         // nothing to fill was read
extern const char* const output_open_failed;    // exchange file cannot be written
extern const char* const figure_not_named;      // figure hatch without /f
extern const char* const bad_parameter;         // bad option or zero length
extern const char* const second_command_file;
extern const char* const command_file_open_failed;
extern const char* const command_file_empty;
extern const char* const full_width_space;
extern const char* const out_of_memory;         // followed directly by a record tag
extern const char* const figure_bad_magic;
extern const char* const figure_bad_counts;
extern const char* const figure_line_read;
extern const char* const figure_arc_read;
extern const char* const too_many_crossings;
extern const char* const breaks_found;          // complete "h#" line
extern const char* const no_breaks;             // complete "h#" line
extern const char* const no_region_found;       // complete "h#" line
extern const char* const interrupted;           // complete "hq" line
extern const char* const cannot_open_suffix;    // console line after a file name

}  // namespace hatch::msg

namespace hatch {

std::string out_of_memory_message(const char* tag);
std::string figure_open_failed_message(const std::string& file_name, const char* reason);
std::string trace_stack_message(int depth);
std::string trace_limit_message(int limit);

}  // namespace hatch
