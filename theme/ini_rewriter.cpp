#include "byte_writer.h"
#include "codepage.h"
#include "font_pages.h"
#include "ini_syntax.h"
#include "page_routing.h"
#include "rewriters.h"

namespace theme {

void rewriteIniText(std::span<const std::uint8_t> old, std::u16string_view resourceName, const PageRouter& router,
                    const FontPages& pages, std::vector<std::uint8_t>& out) {
  const CodePage& cp = router.codePage();
  const PageRouter::IniText routing = router.iniText(resourceName, Visit::Every);
  out.reserve(out.size() + old.size() + old.size() / 8);
  forEachIniLine(decodeIniText(old), [&](std::u16string_view text, const IniLine& line, std::u16string_view section) {
    // Settings that were never listed go back exactly as they were.
    if (!listedIniEntry(line, section, cp)) {
      appendUtf16(out, text);
      return;
    }
    std::u16string font(line.font);
    std::u16string size(line.size);
    std::u16string option(line.option);
    const std::u16string identity = rowIdentity(resourceName, section, line.key);
    for (const int page : routing.pagesFor(section)) {
      if (const FontRow* row = pages.findRow(page, identity)) {
        font = row->font.toWrite(cp);
        size = row->size.toWrite(cp);
        option = row->option.toWrite(cp);
      }
    }
    appendUtf16(out, formatIniFontLine(line.key, font, size, option));
  });
}

}  // namespace theme
