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
  const std::u16string text = decodeIniText(old);
  const PageRouter::IniText routing = router.iniText(resourceName, Visit::Every);
  IniLineParser parser;
  out.reserve(out.size() + old.size() + old.size() / 8);
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = iniLineEnd(text, pos);
    const std::u16string_view line = std::u16string_view(text).substr(pos, end - pos);
    pos = end;
    const IniLine f = parser.parse(line);
    // Settings that were never listed go back exactly as they were.
    if (!f.fontEntry || !f.withinLimits || !cellText(parser.section(), cp) || !cellText(f.key, cp) ||
        !cellText(f.font, cp) || !cellText(f.size, cp) || !cellText(f.option, cp)) {
      appendUtf16(out, line);
      continue;
    }
    std::u16string font(f.font);
    std::u16string size(f.size);
    std::u16string option(f.option);
    const std::u16string identity = rowIdentity(resourceName, parser.section(), f.key);
    for (const int page : routing.pagesFor(parser.section())) {
      if (const FontRow* row = pages.findRow(page, identity)) {
        font = row->font.toWrite(cp);
        size = row->size.toWrite(cp);
        option = row->option.toWrite(cp);
      }
    }
    appendUtf16(out, formatIniFontLine(f.key, font, size, option));
  }
}

}  // namespace theme
