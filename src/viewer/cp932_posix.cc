#include <iconv.h>

#include "viewer/cp932.h"

namespace hatch::view {

bool cp932_to_utf8(std::string_view bytes, std::string& utf8) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in(bytes);
  utf8.assign(in.size() * 4 + 4, '\0');
  char* src = in.data();
  std::size_t src_left = in.size();
  char* dst = utf8.data();
  std::size_t dst_left = utf8.size();
  std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || src_left != 0) return false;
  utf8.resize(utf8.size() - dst_left);
  return true;
}

}  // namespace hatch::view
