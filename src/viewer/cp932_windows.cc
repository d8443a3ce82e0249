#include <windows.h>

#include <climits>

#include "viewer/cp932.h"

namespace hatch::view {

namespace {

// Single bytes that Windows maps to private or control characters where the
// POSIX converter refuses them; refused here too, so both show them escaped.
bool outside_the_code_page(unsigned char b) { return b == 0x80 || b == 0xA0 || b >= 0xFD; }

}  // namespace

bool cp932_to_utf8(std::string_view bytes, std::string& utf8) {
  utf8.clear();
  if (bytes.empty()) return true;
  if (bytes.size() > INT_MAX / 4) return false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      ++i;  // a lead byte: its trail byte is the code page's to judge
    } else if (outside_the_code_page(b)) {
      return false;
    }
  }
  const int n = static_cast<int>(bytes.size());
  const int wide_n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), n, nullptr, 0);
  if (wide_n <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(wide_n), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), n, wide.data(), wide_n);
  const int out_n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_n, nullptr, 0, nullptr, nullptr);
  if (out_n <= 0) return false;
  utf8.assign(static_cast<std::size_t>(out_n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_n, utf8.data(), out_n, nullptr, nullptr);
  return true;
}

}  // namespace hatch::view
