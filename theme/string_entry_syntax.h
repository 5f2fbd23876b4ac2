#pragma once
// The string-table syntax, written once and used by the reader and the rewriter: the
// walk over a block's counted strings, the font-entry test, its field parser and the
// canonical form it is written back in.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace theme {

class CodePage;

struct TableString {
  std::uint32_t id = 0;
  std::size_t offset = 0;      // byte offset of the count in the block
  std::size_t byteLength = 0;  // count and units; what remains when the block is cut short
  bool complete = true;        // false when the block ends before the string does
  std::u16string text;         // empty unless complete
};

// Walks the strings of a block while the offset is below its length; every string,
// empty or not, takes the next id. Calls visit(const TableString&) for each.
template <typename Visit>
void forEachTableString(std::span<const std::uint8_t> block, std::uint32_t firstId, Visit&& visit);

// A string that holds a ']' followed anywhere later by "font" in any letter case.
bool looksLikeStringFontEntry(std::u16string_view s);

struct StringFontEntry {
  std::u16string file, section, key, font, size, option;
};

// The fields of a font entry; nullopt when the string is no font entry, lacks a
// delimiter, or is beyond the limits (such strings are copied unchanged).
std::optional<StringFontEntry> parseStringFontEntry(std::u16string_view s);

// file "@[" section "]" key "=" font ", " size [", " option]
std::u16string formatStringFontEntry(const StringFontEntry& e);

// A font entry as the font pages list it: its fields and the cells they show.
struct ListedStringEntry {
  StringFontEntry fields;
  std::string file, section, key, font, size, option;
};

// Whether a string is listed, decided once for the reader and the rewriter: a whole
// string within the line limit, a font entry with every delimiter, and every field
// fitting a cell. Every other string is copied unchanged (or is a plain string).
std::optional<ListedStringEntry> listedStringEntry(const TableString& s, const CodePage& cp);

// A whole string within the line limit that is no font entry: it may name a size or
// the style.
bool isPlainString(const TableString& s);

// ---- implementation of the walk ----
std::size_t readTableString(std::span<const std::uint8_t> block, std::size_t offset, TableString& out);

template <typename Visit>
void forEachTableString(std::span<const std::uint8_t> block, std::uint32_t firstId, Visit&& visit) {
  TableString s;
  std::uint32_t id = firstId;
  for (std::size_t offset = 0; offset < block.size(); ++id) {
    s.id = id;
    offset = readTableString(block, offset, s);
    visit(static_cast<const TableString&>(s));
  }
}

}  // namespace theme
