#include "ini_rewriter.h"

#include "byte_writer.h"
#include "codepage.h"
#include "font_pages.h"
#include "ini_syntax.h"
#include "page_routing.h"

namespace theme {

void rewriteIniText(std::span<const std::uint8_t> old, std::u16string_view resourceName, const PageRouter& router,
                    const FontPages& pages, std::vector<std::uint8_t>& out) {
  const CodePage& cp = router.codePage();
  const PageRouter::IniText routing = router.iniText(resourceName, Visit::Every);
  out.reserve(out.size() + old.size() + old.size() / 8);
  const std::u16string text = decodeIniText(old);
  forEachIniLine(text, [&](std::u16string_view text, const IniLine& line, std::u16string_view section) {
    // Settings that were never listed go back exactly as they were.
    if (!listedIniEntry(line, section, cp)) {
      appendUtf16(out, text);
      return;
    }
    std::u16string font(line.font);
    std::u16string size(line.size);
    std::u16string option(line.option);
    const std::u16string identity = rowIdentity(resourceName, section, line.key);
    const PageList visited = routing.pagesFor(section);
    const std::size_t occurrence = occurrenceToWrite(router, pages, visited, identity);
    for (const int page : visited) {
      if (const FontRow* row = pages.findRow(page, identity, occurrence)) {
        font = row->font.toWrite(cp);
        size = row->size.toWrite(cp);
        option = row->option.toWrite(cp);
      }
    }
    appendUtf16(out, formatIniFontLine(line.key, font, size, option));
  });
  // The listed text ends at its first U+0000 (the theme engine reads no further), but the
  // file goes on: that unit and everything after it, a final odd byte too, stay as they were.
  const auto tail = old.subspan(2 * text.size());
  out.insert(out.end(), tail.begin(), tail.end());
}

}  // namespace theme
