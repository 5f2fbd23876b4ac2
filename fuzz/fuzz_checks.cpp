#include "fuzz_checks.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "byte_reader.h"
#include "codepage.h"
#include "cp932.h"
#include "errors.h"
#include "font_pages.h"
#include "ini_syntax.h"
#include "page_routing.h"
#include "string_entry_syntax.h"
#include "theme_image.h"
#include "theme_rebuild.h"
#include "shown_text.h"
#include "font_page_reader.h"
#include "string_table_reader.h"
#include "ini_rewriter.h"
#include "string_table_rewriter.h"

namespace marvento_fuzz {

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t npos = std::u16string_view::npos;

using marvento_test::cp932;

[[noreturn]] void fail(const std::string& what) { throw InvariantBroken(what); }

// The message is only built when the check fails: these checks run on every input.
#define REQUIRE(holds, what) \
  do {                       \
    if (!(holds)) fail(what); \
  } while (false)

std::string show(std::u16string_view s) { return "\"" + theme::utf16ToUtf8(s) + "\""; }

std::string firstDifference(const Bytes& a, const Bytes& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + ", first difference at byte " +
         std::to_string(i);
}

bool isBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

// "font" in any letter case; only ASCII letters fold to these four.
bool holdsFont(std::u16string_view s) {
  constexpr std::u16string_view kFont = u"font";
  for (std::size_t i = 0; i + kFont.size() <= s.size(); ++i) {
    bool match = true;
    for (std::size_t j = 0; j < kFont.size() && match; ++j) {
      const char16_t c = s[i + j];
      match = c == kFont[j] || c + 32 == kFont[j];
    }
    if (match) return true;
  }
  return false;
}

// ---------------------------------------------------------------- theme round trip

bool sameIdentity(const theme::FontRow& x, const theme::FontRow& y) { return x.identity == y.identity; }

bool sameValues(const theme::FontRow& x, const theme::FontRow& y) {
  return x.font.original == y.font.original && x.size.original == y.size.original &&
         x.option.original == y.option.original;
}

// A string-table entry is listed for a "font" anywhere after its "]": a row whose key,
// size and option hold none was listed for its face, and a face without one unlists it.
bool mayLeaveAfterEdit(const theme::FontRow& row, const theme::CodePage& cp) {
  return !holdsFont(cp.toWide(row.key)) && !holdsFont(row.size.original) && !holdsFont(row.option.original);
}

// `b` was read from the file rebuilt from `a`.
void comparePages(const theme::FontPages& a, const theme::FontPages& b) {
  REQUIRE(a.pageCount == b.pageCount, "page count " + std::to_string(a.pageCount) + " became " +
                                          std::to_string(b.pageCount));
  REQUIRE(a.colourCount == b.colourCount, "colour count changed");
  for (int k = 0; k < theme::kMaxPages; ++k) {
    const std::string page = "page " + std::to_string(k) + ": ";
    REQUIRE(a.sizeNames[k] == b.sizeNames[k],
            page + "size name " + show(a.sizeNames[k]) + " became " + show(b.sizeNames[k]));
    REQUIRE(a.fileNames[k] == b.fileNames[k], page + "file-name table changed");
    REQUIRE(a.sizeNameBoxes[k].original == b.sizeNameBoxes[k].original &&
                a.sizeNameBoxes[k].text == b.sizeNameBoxes[k].text,
            page + "size-name box " + show(a.sizeNameBoxes[k].original) + " became " +
                show(b.sizeNameBoxes[k].original));
    REQUIRE(a.rowCount(k) == b.rowCount(k), page + std::to_string(a.rowCount(k)) + " rows became " +
                                                std::to_string(b.rowCount(k)));
    for (std::size_t r = 0; r < a.rowCount(k); ++r) {
      const theme::FontRow& x = a.rows(k)[r];
      const theme::FontRow& y = b.rows(k)[r];
      const std::string row = page + "row " + std::to_string(r) + " ";
      for (int c = 0; c < theme::kColumnCount; ++c) {
        if (c >= theme::kColFont && !sameValues(x, y)) break;
        REQUIRE(x.cell(c) == y.cell(c), row + "column " + std::to_string(c) + ": \"" + x.cell(c) + "\" became \"" +
                                            y.cell(c) + "\"");
      }
      REQUIRE(x.occurrence == y.occurrence, row + "is now another occurrence of its setting");
      REQUIRE(sameValues(x, y),
              row + "values " + show(x.font.original + u"|" + x.size.original + u"|" + x.option.original) +
                  " became " + show(y.font.original + u"|" + y.size.original + u"|" + y.option.original));
    }
  }
  REQUIRE(a.styleNameBox.original == b.styleNameBox.original && a.styleNameBox.text == b.styleNameBox.text,
          "style-name box " + show(a.styleNameBox.original) + " became " + show(b.styleNameBox.original));
}

// Every section but the resources and every byte after the last section, the
// certificate table excepted, survive a write unchanged and in order.
void compareCarriedParts(const theme::ThemeImage& a, const theme::ThemeImage& b) {
  const theme::ByteReader readA = a.reader();
  const theme::ByteReader readB = b.reader();
  const theme::CarriedParts partsA = theme::carriedParts(a.layout, readA.size());
  const theme::CarriedParts partsB = theme::carriedParts(b.layout, readB.size());
  REQUIRE(partsA.sections.size() == partsB.sections.size(), std::to_string(partsA.sections.size()) +
                                                                " other sections became " +
                                                                std::to_string(partsB.sections.size()));
  const auto bytesOf = [](const theme::ByteReader& r, const std::vector<theme::FileRange>& ranges) {
    Bytes out;
    for (const theme::FileRange& range : ranges) {
      const auto bytes = r.bytes(range.offset, range.size, "a carried range");
      out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
  };
  for (std::size_t i = 0; i < partsA.sections.size(); ++i) {
    const theme::SectionHeader& x = a.layout.sections[partsA.sections[i].index];
    const theme::SectionHeader& y = b.layout.sections[partsB.sections[i].index];
    REQUIRE(x.name == y.name && x.characteristics == y.characteristics && x.virtualSize == y.virtualSize,
            "section " + std::to_string(i) + " \"" + x.name + "\" became \"" + y.name + "\"");
    REQUIRE(bytesOf(readA, {partsA.sections[i].data}) == bytesOf(readB, {partsB.sections[i].data}),
            "the data of section \"" + x.name + "\" changed");
  }
  REQUIRE(bytesOf(readA, partsA.appended) == bytesOf(readB, partsB.appended),
          "the bytes after the last section changed: " + firstDifference(bytesOf(readA, partsA.appended),
                                                                         bytesOf(readB, partsB.appended)));
  REQUIRE(!partsB.certificate, "the rebuilt file names a certificate table");
}

// ---------------------------------------------------------------- INI text

bool inside(std::u16string_view outer, std::u16string_view view) {
  if (view.empty()) return true;
  const std::less_equal<const char16_t*> le;
  return le(outer.data(), view.data()) && le(view.data() + view.size(), outer.data() + outer.size());
}

bool withinLimits(const theme::IniLine& f, std::u16string_view section) {
  const auto fits = [](std::size_t n) { return n <= theme::kMaxFieldUnits; };
  return fits(section.size()) && fits(f.key.size()) && fits(f.font.size()) && fits(f.size.size()) &&
         fits(f.option.size());
}

// The promises of one parsed line, given the section before it.
void checkParsedLine(std::u16string_view line, const theme::IniLine& f, const std::u16string& sectionBefore,
                     std::u16string_view sectionAfter) {
  const auto at = [&] { return std::string("line " + show(line) + ": "); };
  for (const std::u16string_view v : {f.key, f.font, f.size, f.option}) {
    REQUIRE(inside(line, v), at() + "a field lies outside the line");
  }
  std::u16string_view content = line;
  while (!content.empty() && isBreak(content.back())) content.remove_suffix(1);
  if (content.size() > theme::kMaxLineUnits) {
    REQUIRE(!f.fontEntry && f.key.empty() && sectionAfter == sectionBefore, at() + "an over-long line was read");
    return;
  }
  if (!line.empty() && line.front() == u';') {
    REQUIRE(!f.fontEntry && f.key.empty() && sectionAfter == sectionBefore, at() + "a comment was read");
    return;
  }

  const std::size_t open = line.find(u'[');
  const std::size_t close = line.find(u']');
  if (open != npos && close != npos && open < close) {
    REQUIRE(sectionAfter == line.substr(open + 1, close - open - 1), at() + "section " + show(sectionAfter));
  } else {
    REQUIRE(sectionAfter == sectionBefore, at() + "the section changed without brackets");
  }

  const std::size_t eq = line.find(u'=');
  if (eq == npos) {
    REQUIRE(f.key.empty() && f.font.empty() && f.size.empty() && f.option.empty() && !f.fontEntry,
            at() + "fields without '='");
    return;
  }
  // The key starts the line and only blanks stand between it and the '='.
  REQUIRE(f.key.data() == line.data() || f.key.empty(), at() + "the key does not start the line");
  REQUIRE(f.key.size() <= eq && line.substr(f.key.size(), eq - f.key.size()).find_first_not_of(u' ') == npos,
          at() + "key " + show(f.key));
  REQUIRE(f.key.empty() || f.key.back() != u' ', at() + "trailing blank in the key");

  const bool valueComma = line.find(u',', eq) != npos;
  if (!valueComma) {
    REQUIRE(f.font.empty() && f.size.empty() && f.option.empty(), at() + "value fields without ','");
  }
  REQUIRE(f.font.find(u',') == npos && f.size.find(u',') == npos, at() + "a ',' inside the font or size");
  REQUIRE(f.font.empty() || (f.font.front() != u' ' && f.font.back() != u' '), at() + "font " + show(f.font));
  for (const std::u16string_view v : {f.size, f.option}) {
    REQUIRE(v.empty() || (v.front() != u' ' && v.back() != u' ' && !isBreak(v.back())), at() + "field " + show(v));
  }
  const bool setsSection = open != npos && close != npos && open < close;
  REQUIRE(f.fontEntry == (!f.key.empty() && valueComma && holdsFont(f.key) && !setsSection),
          at() + "wrong font-entry flag");

  if (f.fontEntry && withinLimits(f, sectionAfter)) {
    // The canonical line reads back to the same fields.
    const std::u16string written = theme::formatIniFontLine(f.key, f.font, f.size, f.option);
    REQUIRE(theme::iniLineEnd(written, 0) == written.size(), at() + "the written line " + show(written) + " splits");
    theme::IniLineParser fresh;
    const theme::IniLine g = fresh.parse(written);
    REQUIRE(g.fontEntry && fresh.section().empty() && g.key == f.key && g.font == f.font && g.size == f.size && g.option == f.option,
            at() + "the written line " + show(written) + " reads back differently");
  }
}

struct IniEntry {
  std::u16string section, key, font, size, option;
  bool withinLimits;
  bool operator==(const IniEntry&) const = default;
};

struct IniListing {
  std::vector<IniEntry> entries;        // font entries in order
  std::vector<std::u16string> others;  // every other line, as it stands
};

// Cuts and parses a whole text, checking every line; lists what it found.
IniListing listIniText(std::u16string_view text) {
  IniListing listing;
  theme::IniLineParser parser;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = theme::iniLineEnd(text, pos);
    REQUIRE(end > pos && end <= text.size(), "iniLineEnd(" + std::to_string(pos) + ") gave " + std::to_string(end));
    const std::u16string_view line = text.substr(pos, end - pos);
    // A CR LF pair ends the line, with only further CR and LF after it.
    const std::size_t crlf = line.find(u"\r\n");
    if (crlf == npos) {
      REQUIRE(end == text.size(), "a line without CR LF before the end: " + show(line));
    } else {
      for (std::size_t i = crlf; i < line.size(); ++i) REQUIRE(isBreak(line[i]), "line cut late: " + show(line));
      REQUIRE(end == text.size() || !isBreak(text[end]), "line cut early: " + show(line));
    }
    const std::u16string before(parser.section());
    const theme::IniLine f = parser.parse(line);
    checkParsedLine(line, f, before, parser.section());
    if (f.fontEntry) {
      listing.entries.push_back(IniEntry{std::u16string(parser.section()), std::u16string(f.key), std::u16string(f.font),
                                         std::u16string(f.size), std::u16string(f.option),
                                         withinLimits(f, parser.section())});
    } else {
      listing.others.emplace_back(line);
    }
    pos = end;
  }
  return listing;
}

// ---------------------------------------------------------------- string tables

struct WalkedString {
  bool complete;
  std::u16string text;
  Bytes raw;
};

// Walks a block with forEachTableString and holds it to the block format, read here
// on its own: a count, then that many units; a short tail is one incomplete string.
std::vector<WalkedString> walkBlock(std::span<const std::uint8_t> block, std::uint32_t firstId) {
  const theme::ByteReader reader(block);
  std::vector<WalkedString> out;
  std::size_t expected = 0;
  theme::forEachTableString(block, firstId, [&](const theme::TableString& s) {
    const auto at = [&] { return std::string("string at byte " + std::to_string(expected) + ": "); };
    REQUIRE(s.offset == expected, at() + "offset " + std::to_string(s.offset));
    REQUIRE(s.id == firstId + static_cast<std::uint32_t>(out.size()), at() + "id " + std::to_string(s.id));
    REQUIRE(s.byteLength > 0 && reader.contains(s.offset, s.byteLength), at() + "length outside the block");
    const bool fits = reader.contains(s.offset, 2) &&
                      reader.contains(s.offset + 2, 2ULL * reader.u16(s.offset, "a count"));
    REQUIRE(s.complete == fits, at() + "wrong complete flag");
    if (s.complete) {
      const std::uint16_t count = reader.u16(s.offset, "a count");
      REQUIRE(s.byteLength == 2 + 2ULL * count, at() + "wrong length");
      REQUIRE(s.text == reader.units(s.offset + 2, count, "a string"), at() + "wrong text");
    } else {
      REQUIRE(s.text.empty() && s.offset + s.byteLength == block.size(), at() + "incomplete string not at the end");
    }
    const auto raw = reader.bytes(s.offset, s.byteLength, "a string");
    out.push_back(WalkedString{s.complete, s.text, Bytes(raw.begin(), raw.end())});
    expected += s.byteLength;
  });
  REQUIRE(expected == block.size(), "the walk stopped at byte " + std::to_string(expected) + " of " +
                                        std::to_string(block.size()));
  return out;
}

void checkEntry(std::u16string_view s) {
  const auto e = theme::parseStringFontEntry(s);
  if (!e) return;
  const auto at = [&] { return std::string("entry " + show(s) + ": "); };
  REQUIRE(theme::looksLikeStringFontEntry(s) && s.size() <= theme::kMaxLineUnits, at() + "parsed but no entry");
  for (const std::u16string* field : {&e->file, &e->section, &e->key, &e->font, &e->size, &e->option}) {
    REQUIRE(field->size() <= theme::kMaxFieldUnits, at() + "a field beyond its limit");
  }
  REQUIRE(s.substr(0, e->file.size() + 1) == e->file + u"@" && e->file.find_first_of(u"@[]") == npos,
          at() + "file " + show(e->file));
  REQUIRE(e->section.find(u']') == npos && e->key.find(u'=') == npos && e->font.find(u',') == npos,
          at() + "a delimiter inside a field");
  REQUIRE(e->size.find(u',') == npos && (e->size.empty() || (e->size.front() != u' ')), at() + "size " + show(e->size));
  REQUIRE(e->option.empty() || (!e->size.empty() && e->option.front() != u' '), at() + "option " + show(e->option));

  const std::u16string written = theme::formatStringFontEntry(*e);
  const auto again = theme::parseStringFontEntry(written);
  REQUIRE(again && again->file == e->file && again->section == e->section && again->key == e->key &&
              again->font == e->font && again->size == e->size && again->option == e->option,
          at() + "the canonical form " + show(written) + " reads back differently");
}

// A page set-up under which the block's first entry is listed: one size, one colour, its
// file name in the file-name table.
theme::FontPages pagesFor(const std::vector<WalkedString>& strings) {
  theme::FontPages pages;
  pages.pageCount = 1;
  pages.colourCount = 1;
  pages.sizeNames[0] = u"Normal";
  for (const WalkedString& s : strings) {
    if (!s.complete) continue;
    if (const auto e = theme::parseStringFontEntry(s.text)) {
      pages.fileNames[0][0] = e->file;
      break;
    }
  }
  return pages;
}

}  // namespace

void checkThemeRoundTrip(std::span<const std::uint8_t> data) {
  const theme::CodePage& cp = cp932();
  theme::FontPages pages;
  theme::ThemeImage image;
  try {
    image = theme::parseThemeImage(Bytes(data.begin(), data.end()));
    theme::readFontPages(image, pages, cp);
  } catch (const theme::ThemeError&) {
    return;  // refused as no readable theme
  }
  Bytes first;
  try {
    first = theme::rebuildTheme(image, pages, cp).bytes();
  } catch (const theme::WriteError&) {
    return;  // refused as not rebuildable
  }

  theme::FontPages reread;
  theme::ThemeImage rebuilt;
  try {
    rebuilt = theme::parseThemeImage(first);
    theme::readFontPages(rebuilt, reread, cp);
  } catch (const theme::ThemeError& e) {
    fail(std::string("the rebuilt file does not load: ") + e.what());
  }
  comparePages(pages, reread);
  compareCarriedParts(image, rebuilt);

  Bytes second;
  try {
    second = theme::rebuildTheme(rebuilt, reread, cp).bytes();
  } catch (const theme::WriteError& e) {
    fail(std::string("the rebuilt file cannot be rebuilt: ") + e.what());
  }
  REQUIRE(second == first, "rebuilding the rebuilt file changes it: " + firstDifference(first, second));

  // Edits reach the file and each setting keeps its own row: every listed setting (an
  // identity and its occurrence) gets a double-byte face of its own, which comes back on
  // each of its rows, with its own size and option.
  const std::string face = cp.toAnsi(u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");  // ＭＳ Ｐゴシック
  std::map<std::pair<std::u16string, std::size_t>, std::string> faces;
  const auto faceOf = [&](const theme::FontRow& row) {
    const auto setting = std::make_pair(row.identity, row.occurrence);
    const auto it = faces.find(setting);
    return it != faces.end() ? it->second : faces.emplace(setting, face + std::to_string(faces.size())).first->second;
  };
  for (int k = 0; k < theme::kMaxPages; ++k) {
    for (std::size_t r = 0; r < pages.rowCount(k); ++r) pages.setCell(k, r, theme::kColFont, faceOf(pages.rows(k)[r]));
  }
  theme::FontPages edited;
  try {
    const theme::ThemeImage image3 = theme::parseThemeImage(theme::rebuildTheme(image, pages, cp).bytes());
    theme::readFontPages(image3, edited, cp);
  } catch (const std::runtime_error& e) {
    fail(std::string("the edited theme does not rebuild and load: ") + e.what());
  }
  for (int k = 0; k < theme::kMaxPages; ++k) {
    // Rows stay in order; only a string entry listed for a "font" in its old face may
    // leave the list, as the new face holds none.
    std::size_t r = 0;
    for (const theme::FontRow& now : edited.rows(k)) {
      while (r < pages.rowCount(k) && !sameIdentity(pages.rows(k)[r], now) && mayLeaveAfterEdit(pages.rows(k)[r], cp)) {
        ++r;
      }
      REQUIRE(r < pages.rowCount(k) && sameIdentity(pages.rows(k)[r], now) &&
                  now.font.text == pages.rows(k)[r].font.text && now.size.text == pages.rows(k)[r].size.text &&
                  now.option.text == pages.rows(k)[r].option.text,
              "page " + std::to_string(k) + " row " + std::to_string(r) + " after the edit: \"" + now.font.text +
                  "\" \"" + now.size.text + "\" \"" + now.option.text + "\"");
      ++r;
    }
    while (r < pages.rowCount(k)) {
      REQUIRE(mayLeaveAfterEdit(pages.rows(k)[r], cp), "the edit lost row " + std::to_string(r) + " of page " +
                                                          std::to_string(k));
      ++r;
    }
  }
}

void checkIniText(std::span<const std::uint8_t> data) {
  const std::u16string text = theme::decodeIniText(data);
  const theme::ByteReader reader(data);
  REQUIRE(text.size() <= data.size() / 2 && text.find(u'\0') == npos, "decoded text too long or with U+0000");
  REQUIRE(text == reader.units(0, text.size(), "the text"), "decoded text differs from the data");
  REQUIRE(text.size() == data.size() / 2 || reader.u16(2 * text.size(), "the end") == 0, "text ended early");

  const IniListing listing = listIniText(text);

  // No rows: every font entry is written back with its own fields, all else unchanged.
  const theme::CodePage& cp = cp932();
  const theme::FontPages pages;
  Bytes once;
  theme::rewriteIniText(data, u"THEMES_INI", theme::PageRouter(pages, cp), pages, once);
  REQUIRE(once.size() % 2 == data.size() % 2, "the rewrite changed whether the length is odd");
  const std::u16string rewritten = theme::decodeIniText(once);
  // What lies from the first U+0000 on (an odd final byte too) is not the rewriter's.
  const auto tail = data.subspan(2 * text.size());
  REQUIRE(once.size() >= tail.size() && std::equal(tail.begin(), tail.end(), once.end() - static_cast<std::ptrdiff_t>(tail.size())) &&
              once.size() - tail.size() == 2 * rewritten.size(),
          "the rewrite changed what lies past the text's first U+0000");
  const IniListing after = listIniText(rewritten);
  for (std::size_t i = 0; i < listing.entries.size() && i < after.entries.size(); ++i) {
    const IniEntry& x = listing.entries[i];
    const IniEntry& y = after.entries[i];
    REQUIRE(x == y, "the rewrite changed font entry " + std::to_string(i) + ": " +
                        show(x.section + u"|" + x.key + u"|" + x.font + u"|" + x.size + u"|" + x.option) + " became " +
                        show(y.section + u"|" + y.key + u"|" + y.font + u"|" + y.size + u"|" + y.option));
  }
  REQUIRE(after.entries.size() == listing.entries.size(),
          "the rewrite changed the number of font entries from " + std::to_string(listing.entries.size()) + " to " +
              std::to_string(after.entries.size()));
  for (std::size_t i = 0; i < listing.others.size() && i < after.others.size(); ++i) {
    REQUIRE(listing.others[i] == after.others[i],
            "the rewrite changed the line " + show(listing.others[i]) + " to " + show(after.others[i]));
  }
  REQUIRE(after.others.size() == listing.others.size(), "the rewrite changed the number of other lines");

  Bytes twice;
  theme::rewriteIniText(once, u"THEMES_INI", theme::PageRouter(pages, cp), pages, twice);
  REQUIRE(twice == once, "rewriting the rewritten text changes it: " + firstDifference(once, twice));
}

void checkStringTable(std::span<const std::uint8_t> data) {
  const theme::ByteReader reader(data);
  const std::uint16_t blockId = reader.contains(0, 2) ? reader.u16(0, "the block id") : 1;
  const std::uint32_t firstId = (blockId - 1U) * 16U;
  const auto block = data.subspan(reader.contains(0, 2) ? 2 : data.size());

  const std::vector<WalkedString> strings = walkBlock(block, firstId);
  for (const WalkedString& s : strings) {
    if (s.complete) checkEntry(s.text);
  }

  // The reader lists the entries; the rewriter with the rows untouched puts every
  // string back: font entries with the same fields, all others byte for byte.
  const theme::CodePage& cp = cp932();
  theme::FontPages pages = pagesFor(strings);
  theme::readStringTableBlock(block, firstId, theme::PageRouter(pages, cp), pages);
  Bytes once;
  theme::rewriteStringTableBlock(block, firstId, theme::PageRouter(pages, cp), pages, once);
  const std::vector<WalkedString> after = walkBlock(once, firstId);
  REQUIRE(after.size() == strings.size(), std::to_string(strings.size()) + " strings became " +
                                              std::to_string(after.size()));
  for (std::size_t i = 0; i < strings.size(); ++i) {
    const WalkedString& was = strings[i];
    const WalkedString& now = after[i];
    if (was.raw == now.raw) continue;
    const auto at = [&] { return std::string("string " + std::to_string(firstId + i) + " " + show(was.text) + ": "); };
    REQUIRE(was.complete && now.complete, at() + "an incomplete string changed");
    const auto e = theme::parseStringFontEntry(was.text);
    const auto f = theme::parseStringFontEntry(now.text);
    REQUIRE(e && f, at() + "changed to " + show(now.text) + " though no font entry");
    REQUIRE(e->file == f->file && e->section == f->section && e->key == f->key,
            at() + "its identity changed: " + show(now.text));
    const bool own = e->font == f->font && e->size == f->size && e->option == f->option;
    REQUIRE(own, at() + "its values changed: " + show(now.text));
  }

  theme::FontPages reread = pagesFor(after);
  theme::readStringTableBlock(once, firstId, theme::PageRouter(reread, cp), reread);
  Bytes twice;
  theme::rewriteStringTableBlock(once, firstId, theme::PageRouter(reread, cp), reread, twice);
  REQUIRE(twice == once, "rewriting the rewritten block changes it: " + firstDifference(once, twice));
}

bool runCheck(const std::string& target, std::span<const std::uint8_t> data) {
  if (target == "theme") {
    checkThemeRoundTrip(data);
  } else if (target == "ini") {
    checkIniText(data);
  } else if (target == "string_table") {
    checkStringTable(data);
  } else {
    return false;
  }
  return true;
}

}  // namespace marvento_fuzz
