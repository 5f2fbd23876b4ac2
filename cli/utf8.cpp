#include "utf8.h"
#include "utf8_codec.h"

#include <charconv>

namespace cli {

char16_t surrogateAt(std::string_view text, std::size_t at) {
  if (at + 3 > text.size()) return 0;
  const auto b0 = static_cast<unsigned char>(text[at]);
  const auto b1 = static_cast<unsigned char>(text[at + 1]);
  const auto b2 = static_cast<unsigned char>(text[at + 2]);
  if (b0 != 0xED || b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80) return 0;
  return static_cast<char16_t>(0xD000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
}

void appendSurrogate(std::string& out, char16_t unit) {
  out += static_cast<char>(0xED);
  out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (unit & 0x3F));
}

std::string exactUtf8(std::u16string_view wide) {
  std::string out;
  std::size_t from = 0;  // start of the run of well-formed text not yet converted
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const char16_t u = wide[i];
    if (u < 0xD800 || u > 0xDFFF) continue;
    if (u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      ++i;  // a pair: UTF-8 carries it
      continue;
    }
    out += theme::utf16ToUtf8(wide.substr(from, i - from));
    appendSurrogate(out, u);
    from = i + 1;
  }
  return out + theme::utf16ToUtf8(wide.substr(from));
}

std::u16string exactUtf16(std::string_view utf8) {
  std::u16string out;
  std::size_t from = 0;  // start of the run of UTF-8 not yet converted
  // A surrogate's bytes start with ED, which no other character holds past its first byte.
  for (std::size_t at = utf8.find('\xED'); at < utf8.size(); at = utf8.find('\xED', at + 1)) {
    const char16_t unit = surrogateAt(utf8, at);
    if (unit == 0) continue;
    out += theme::utf8ToUtf16(utf8.substr(from, at - from));
    out += unit;
    from = at + 3;
  }
  return out + theme::utf8ToUtf16(utf8.substr(from));
}

std::optional<char16_t> hexUnit(std::string_view digits) {
  unsigned unit = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), unit, 16);
  if (digits.size() != 4 || ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return static_cast<char16_t>(unit);
}

std::string hexDigits(char16_t unit) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string digits;
  for (const int shift : {12, 8, 4, 0}) digits += kHex[(unit >> shift) & 0xF];
  return digits;
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
