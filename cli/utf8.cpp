#include "utf8.h"

namespace cli {

Utf8Char decodeUtf8(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t c = 0;
  char32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1FU, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0FU, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07U, min = 0x10000;
  } else {
    return {};
  }
  if (text.size() - at < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(text[at + i]);
    if ((b & 0xC0U) != 0x80U) return {};
    c = (c << 6) | (b & 0x3FU);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
  return {c, length};
}

std::string_view firstChars(std::string_view text, std::size_t maxChars) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < maxChars && at < text.size(); ++n) {
    const std::size_t length = decodeUtf8(text, at).length;
    at += length == 0 ? 1 : length;
  }
  return text.substr(0, at);
}

}  // namespace cli
