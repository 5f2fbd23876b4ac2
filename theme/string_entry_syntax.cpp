#include "string_entry_syntax.h"

#include "byte_reader.h"
#include "font_pages.h"
#include "text_compare.h"

namespace theme {

namespace {
constexpr std::u16string_view::size_type npos = std::u16string_view::npos;
}

std::size_t readTableString(std::span<const std::uint8_t> block, std::size_t offset, TableString& out) {
  const ByteReader reader(block);
  out.offset = offset;
  out.text.clear();
  if (!reader.contains(offset, 2)) {
    out.complete = false;
    out.byteLength = block.size() - offset;
    return block.size();
  }
  const std::uint16_t count = reader.u16(offset, "a string");
  if (!reader.contains(offset + 2, 2ULL * count)) {
    out.complete = false;
    out.byteLength = block.size() - offset;
    return block.size();
  }
  out.complete = true;
  out.byteLength = 2 + 2ULL * count;
  out.text = reader.units(offset + 2, count, "a string");
  return offset + out.byteLength;
}

bool looksLikeStringFontEntry(std::u16string_view s) {
  const std::size_t close = s.find(u']');
  return close != npos && containsIgnoreCase(s.substr(close), u"font");
}

std::optional<StringFontEntry> parseStringFontEntry(std::u16string_view s) {
  if (s.size() > kMaxLineUnits || !looksLikeStringFontEntry(s)) return std::nullopt;
  const std::size_t at = s.find(u'@');
  const std::size_t open = s.find(u'[');
  const std::size_t close = s.find(u']');
  if (at == npos || open == npos || !(at < open && open < close)) return std::nullopt;
  const std::size_t eq = s.find(u'=', close);
  if (eq == npos) return std::nullopt;
  const std::size_t comma = s.find(u',', eq);
  if (comma == npos) return std::nullopt;

  StringFontEntry e;
  e.file = s.substr(0, at);
  e.section = s.substr(open + 1, close - open - 1);
  e.key = s.substr(close + 1, eq - close - 1);
  e.font = s.substr(eq + 1, comma - eq - 1);
  std::size_t pos = comma;
  while (pos < s.size() && (s[pos] == u',' || s[pos] == u' ')) ++pos;
  const std::size_t comma2 = s.find(u',', pos);
  if (comma2 == npos) {
    e.size = s.substr(pos);
  } else {
    e.size = s.substr(pos, comma2 - pos);
    std::size_t optionStart = comma2 + 1;
    while (optionStart < s.size() && s[optionStart] == u' ') ++optionStart;
    e.option = s.substr(optionStart);
  }
  for (const std::u16string* field : {&e.file, &e.section, &e.key, &e.font, &e.size, &e.option}) {
    if (field->size() > kMaxFieldUnits) return std::nullopt;
  }
  return e;
}

std::optional<ListedStringEntry> listedStringEntry(const TableString& s, const CodePage& cp) {
  if (!s.complete) return std::nullopt;
  auto fields = parseStringFontEntry(s.text);
  if (!fields) return std::nullopt;
  auto file = cellText(fields->file, cp);
  auto section = cellText(fields->section, cp);
  auto key = cellText(fields->key, cp);
  auto font = cellText(fields->font, cp);
  auto size = cellText(fields->size, cp);
  auto option = cellText(fields->option, cp);
  if (!file || !section || !key || !font || !size || !option) return std::nullopt;
  return ListedStringEntry{std::move(*fields), std::move(*file), std::move(*section), std::move(*key),
                           std::move(*font),   std::move(*size), std::move(*option)};
}

bool isPlainString(const TableString& s) {
  return s.complete && s.text.size() <= kMaxLineUnits && !looksLikeStringFontEntry(s.text);
}

std::u16string formatStringFontEntry(const StringFontEntry& e) {
  std::u16string s;
  s.reserve(e.file.size() + e.section.size() + e.key.size() + e.font.size() + e.size.size() + e.option.size() + 10);
  s.append(e.file).append(u"@[").append(e.section).append(u"]").append(e.key).append(u"=");
  s.append(e.font).append(u", ").append(e.size);
  if (!e.option.empty()) s.append(u", ").append(e.option);
  return s;
}

}  // namespace theme
