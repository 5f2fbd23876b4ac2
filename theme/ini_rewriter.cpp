#include "ini_rewriter.h"

#include "byte_writer.h"
#include "codepage.h"
#include "font_pages.h"
#include "ini_syntax.h"
#include "page_routing.h"

namespace theme {

void rewriteIniText(std::span<const std::uint8_t> old, std::u16string_view resourceName, const PageRouter& router,
                    const FontPages& pages, std::vector<std::uint8_t>& out) {
  const std::u16string text = decodeIniText(old);
  rewriteIniText(text, old.subspan(2 * text.size()), resourceName, router, pages, out);
}

void rewriteIniText(std::u16string_view text, std::span<const std::uint8_t> rest, std::u16string_view resourceName,
                    const PageRouter& router, const FontPages& pages, std::vector<std::uint8_t>& out) {
  const CodePage& cp = router.codePage();
  const PageRouter::IniText routing = router.iniText(resourceName, Visit::Every);
  // Everything but the listed entries goes back as it was, run by run: the text's units
  // are the old bytes two by two.
  std::size_t copied = 0;  // units of `text` given to `out`
  IniLineParser parser;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    pos = iniLineEnd(text, pos);
    const IniLine line = parser.parse(text.substr(start, pos - start));
    const std::u16string_view section = parser.section();
    // Settings that were never listed go back exactly as they were.
    if (!isListedIniEntry(line, section, cp)) continue;
    std::u16string_view font = line.font;
    std::u16string_view size = line.size;
    std::u16string_view option = line.option;
    std::u16string rowFont;
    std::u16string rowSize;
    std::u16string rowOption;
    const std::u16string identity = rowIdentity(resourceName, section, line.key);
    const PageList visited = routing.pagesFor(section);
    const std::size_t occurrence = occurrenceToWrite(router, pages, visited, identity);
    for (const int page : visited) {
      if (const FontRow* row = pages.findRow(page, identity, occurrence)) {
        font = rowFont = row->font.toWrite(cp);
        size = rowSize = row->size.toWrite(cp);
        option = rowOption = row->option.toWrite(cp);
      }
    }
    appendUtf16(out, text.substr(copied, start - copied));
    putIniFontLine([&out](std::u16string_view piece) { appendUtf16(out, piece); }, line.key, font, size, option);
    copied = pos;
  }
  // The listed text ends at its first U+0000 (the theme engine reads no further), but the
  // file goes on: that unit and everything after it, a final odd byte too, stay as they were.
  appendUtf16(out, text.substr(copied));
  out.insert(out.end(), rest.begin(), rest.end());
}

}  // namespace theme
