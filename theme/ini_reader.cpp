#include "ini_reader.h"

#include "codepage.h"
#include "font_pages.h"
#include "ini_syntax.h"
#include "page_routing.h"

namespace theme {

void readIniFontEntries(std::span<const std::uint8_t> data, std::u16string_view resourceName,
                        const PageRouter& router, FontPages& pages) {
  const CodePage& cp = router.codePage();
  const std::string fileCell = cutToCell(resourceName, cp);
  const PageRouter::IniText routing = router.iniText(resourceName, Visit::FirstPerColour);
  forEachIniLine(decodeIniText(data), [&](std::u16string_view, const IniLine& line, std::u16string_view section) {
    // Routed first: the cells of a line no page lists are not worth converting.
    if (!line.fontEntry) return;
    const PageList targets = routing.pagesFor(section);
    if (targets.empty()) return;
    auto cells = listedIniEntry(line, section, cp);
    if (!cells) return;
    const std::u16string identity = rowIdentity(resourceName, section, line.key);
    const std::size_t occurrence = pages.occurrencesOn(*targets.begin(), identity);
    for (const int page : targets) {
      pages.appendRow(page, FontRow{fileCell, cells->section, cells->key, EditableText::loaded(line.font, cells->font),
                                    EditableText::loaded(line.size, cells->size),
                                    EditableText::loaded(line.option, cells->option), identity, occurrence});
    }
  });
}

}  // namespace theme
