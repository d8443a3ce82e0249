// The settings log "hatchlog.txt": every run writes its options there as
// option words, one per line; a run given /i starts from them.
#pragma once

#include <cstdio>
#include <string>

#include "base/file_slot.h"
#include "base/settings.h"

namespace hatch {

void write_settings_log(std::FILE* out, const Settings& settings);
bool wants_settings_log(int count, const char* const* words);
// Reads the log through the slot (missing log: nothing happens) and applies it.
void read_settings_log(Settings& settings, FileSlot& slot, int count, const char* const* words);

// "%1.1lf", except that exact halves round away from zero (22.25 gives 22.3).
std::string format_one_decimal(double v);

}  // namespace hatch
