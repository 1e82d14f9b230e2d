#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

namespace {

// Converts with iconv; a byte sequence it cannot convert becomes `replacement` and the
// conversion goes on after it.
std::string Convert(const char* to, const char* from, const std::string& text, const char* replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out;
  std::string in = text;
  char* src = in.data();
  std::size_t left = in.size();
  char buffer[1024];
  while (left > 0) {
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += replacement;
      // Skip one whole UTF-8 character, or one byte of anything else.
      std::size_t skip = 1;
      if (std::string(from) == "UTF-8")
        while (skip < left && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
      src += skip;
      left -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Cp1251ToUtf8(const std::string& text) { return Convert("UTF-8", "CP1251", text, "\xEF\xBF\xBD"); }
std::string Utf8ToCp1251(const std::string& text) { return Convert("CP1251", "UTF-8", text, "?"); }

}  // namespace platform
