#include "codepage.h"
#include "font_pages.h"
#include "ini_syntax.h"
#include "page_routing.h"
#include "readers.h"

namespace theme {

void readIniFontEntries(std::span<const std::uint8_t> data, std::u16string_view resourceName,
                        const PageRouter& router, FontPages& pages) {
  const CodePage& cp = router.codePage();
  const std::string fileCell = cutAnsi(cp.toAnsi(resourceName), kMaxCellBytes, cp);
  const std::u16string text = decodeIniText(data);
  const PageRouter::IniText routing = router.iniText(resourceName, Visit::FirstPerColour);
  IniLineParser parser;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = iniLineEnd(text, pos);
    const std::u16string_view line = std::u16string_view(text).substr(pos, end - pos);
    pos = end;
    const IniLine f = parser.parse(line);
    if (!f.fontEntry || !f.withinLimits) continue;
    const PageList targets = routing.pagesFor(parser.section());
    if (targets.empty()) continue;
    auto section = cellText(parser.section(), cp);
    auto key = cellText(f.key, cp);
    auto font = cellText(f.font, cp);
    auto size = cellText(f.size, cp);
    auto option = cellText(f.option, cp);
    if (!section || !key || !font || !size || !option) continue;
    const std::u16string identity = rowIdentity(resourceName, parser.section(), f.key);
    for (const int page : targets) {
      pages.appendRow(page, FontRow{fileCell, *section, *key, EditableText::loaded(f.font, *font),
                                    EditableText::loaded(f.size, *size), EditableText::loaded(f.option, *option),
                                    identity});
    }
  }
}

}  // namespace theme
