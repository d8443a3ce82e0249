// The decoder behind sjis_to_utf8: the system's own, one file per platform
// (cp932_posix.cc, cp932_windows.cc).
#pragma once

#include <string>
#include <string_view>

namespace hatch::view {

// Code page 932 bytes as UTF-8 into `utf8`; false, with `utf8` unspecified,
// when any byte does not belong to a character of the code page.
bool cp932_to_utf8(std::string_view bytes, std::string& utf8);

}  // namespace hatch::view
