#include "shown_text.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include <utf8.h>

#include "codepage.h"

namespace theme {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// UTF-16 as UTF-8; every lone surrogate is handed to lone(out, unit).
template <typename Lone>
std::string utf8Of(std::u16string_view wide, Lone lone) {
  std::string out;
  out.reserve(wide.size());
  std::size_t from = 0;  // start of the well-formed run not yet converted
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (!isSurrogate(wide[i])) continue;
    if (wide[i] <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      ++i;  // a pair
      continue;
    }
    utf8::utf16to8(wide.begin() + from, wide.begin() + i, std::back_inserter(out));
    lone(out, wide[i]);
    from = i + 1;
  }
  utf8::utf16to8(wide.begin() + from, wide.end(), std::back_inserter(out));
  return out;
}

// UTF-8 as UTF-16: runs of UTF-8 converted whole; at a place that is not UTF-8, a kept
// lone surrogate when `exact`, else U+FFFD for the byte.
std::u16string utf16Of(std::string_view utf8, bool exact) {
  std::u16string out;
  out.reserve(utf8.size());
  const char* at = utf8.data();
  const char* const end = at + utf8.size();
  while (at != end) {
    const char* bad = utf8::find_invalid(at, end);
    utf8::utf8to16(at, bad, std::back_inserter(out));
    if (bad == end) break;
    const char16_t unit = exact ? surrogateAt(utf8, static_cast<std::size_t>(bad - utf8.data())) : 0;
    out += unit != 0 ? unit : u'\uFFFD';
    at = bad + (unit != 0 ? 3 : 1);
  }
  return out;
}

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
         (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Printable ASCII (and no backslash for TSV): shown as it is.
bool plain(std::string_view text, bool tsv) {
  return std::all_of(text.begin(), text.end(), [tsv](char c) { return c >= 0x20 && c < 0x7F && !(tsv && c == '\\'); });
}

std::string escaped(std::string_view utf8, bool tsv) {
  if (plain(utf8, tsv)) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Char ch = characterAt(utf8, at);
    const std::string_view bytes = utf8.substr(at, ch.length);
    at += ch.length;
    if (!ch.valid) {
      out += ch.length == 1 ? "\\x" + hexDigits(ch.code, 2) : "\\u" + hexDigits(ch.code, 4);
    } else if (ch.code == '\t') {
      out += "\\t";
    } else if (ch.code == '\n') {
      out += "\\n";
    } else if (ch.code == '\r') {
      out += "\\r";
    } else if (ch.code == '\\' && tsv) {
      out += "\\\\";
    } else if (escapedWhenShown(ch.code)) {
      out += ch.code < 0x80 ? "\\x" + hexDigits(ch.code, 2) : "\\u" + hexDigits(ch.code, 4);
    } else {
      out += bytes;
    }
  }
  return out;
}

}  // namespace

Utf8Char characterAt(std::string_view text, std::size_t at) {
  const char* const first = text.data() + at;
  const char* const last = first + std::min<std::size_t>(4, text.size() - at);
  if (utf8::find_invalid(first, last) != first) {  // the first character is whole and valid
    const char* next = first;
    const char32_t code = utf8::unchecked::next(next);
    return {code, static_cast<std::size_t>(next - first), true};
  }
  if (const char16_t unit = surrogateAt(text, at)) return {unit, 3, false};
  return {static_cast<unsigned char>(*first), 1, false};
}

std::size_t utf8Length(unsigned char lead) {
  return lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 1;
}

std::string utf16ToUtf8(std::u16string_view wide) {
  return utf8Of(wide, [](std::string& out, char16_t) { out += kReplacement; });
}

std::u16string utf8ToUtf16(std::string_view utf8) { return utf16Of(utf8, false); }

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

std::string exactUtf8(std::u16string_view wide) { return utf8Of(wide, appendSurrogate); }

std::u16string exactUtf16(std::string_view utf8) { return utf16Of(utf8, true); }

std::string ansiToUtf8(std::string_view ansi, const CodePage& cp) {
  if (cp.keepsAscii() && std::all_of(ansi.begin(), ansi.end(), [](char c) { return c >= 0; })) return std::string(ansi);
  return utf16ToUtf8(cp.toWide(ansi));
}

std::string_view firstChars(std::string_view text, std::size_t maxChars) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < maxChars && at < text.size(); ++n) at += characterAt(text, at).length;
  return text.substr(0, at);
}

std::size_t displayWidth(std::string_view utf8) {
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 0; })) return utf8.size();  // ASCII
  std::size_t width = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Char ch = characterAt(utf8, at);
    at += ch.length;
    width += ch.valid && isWide(ch.code) ? 2 : 1;
  }
  return width;
}

std::string hexDigits(unsigned value, int width, bool upper) {
  static constexpr std::string_view kDigits = "0123456789abcdef0123456789ABCDEF";
  std::string digits(static_cast<std::size_t>(width), '0');
  for (auto d = digits.rbegin(); d != digits.rend(); ++d, value >>= 4U) *d = kDigits[(value & 0xFU) + (upper ? 16 : 0)];
  return digits;
}

std::optional<char16_t> hexUnit(std::string_view digits) {
  unsigned unit = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), unit, 16);
  if (digits.size() != 4 || ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return static_cast<char16_t>(unit);
}

std::string shown(std::string_view utf8) { return escaped(utf8, false); }

std::string tsvField(std::string_view utf8) { return escaped(utf8, true); }

std::size_t appendShown(std::string& out, std::string_view ansi, const CodePage& cp) {
  if (cp.keepsAscii() && plain(ansi, false)) {
    out += ansi;
    return ansi.size();
  }
  const std::string text = shown(ansiToUtf8(ansi, cp));
  out += text;
  return displayWidth(text);
}

void appendTsvField(std::string& out, std::string_view ansi, const CodePage& cp) {
  if (cp.keepsAscii() && plain(ansi, true)) {
    out += ansi;
  } else {
    out += tsvField(ansiToUtf8(ansi, cp));
  }
}

}  // namespace theme
