#include "terminal_text.h"

#include "utf8.h"
#include "utf8_codec.h"

namespace cli {
namespace {

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
         (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

std::string shown(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Char ch = decodeUtf8(utf8, at);
    const std::size_t length = ch.length == 0 ? 1 : ch.length;
    if (ch.length != 0 && isControl(ch.code)) {
      out += "\\x";
      out += kHex[ch.code >> 4];
      out += kHex[ch.code & 0xF];
    } else {
      out.append(utf8, at, length);
    }
    at += length;
  }
  return out;
}

std::size_t displayWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Char ch = decodeUtf8(utf8, at);
    at += ch.length == 0 ? 1 : ch.length;
    width += ch.length != 0 && isWide(ch.code) ? 2 : 1;
  }
  return width;
}

}  // namespace cli
