#include "ini_reader.h"

#include "codepage.h"
#include "font_pages.h"
#include "ini_syntax.h"
#include "page_routing.h"

namespace theme {

void forEachIniSetting(std::u16string_view text, std::u16string_view resourceName, std::string_view fileCell,
                       const PageRouter& router, const std::function<void(const ListedSetting&)>& visit) {
  const CodePage& cp = router.codePage();
  const PageRouter::IniText routing = router.iniText(resourceName, Visit::FirstPerColour);
  IniEntryCells cells;  // one set for every line: no allocation per line
  forEachIniLine(text, [&](std::u16string_view, const IniLine& line, std::u16string_view section) {
    // Routed first: the cells of a line no page lists are not worth converting.
    if (!line.fontEntry) return;
    const PageList targets = routing.pagesFor(section);
    if (targets.empty() || !listedIniEntry(line, section, cp, cells)) return;
    visit(ListedSetting{targets.begin(), targets.end(), resourceName, section, line.key, line.font, line.size,
                        line.option, {fileCell, cells.section, cells.key, cells.font, cells.size, cells.option}});
  });
}

void readIniFontEntries(std::span<const std::uint8_t> data, std::u16string_view resourceName,
                        const PageRouter& router, FontPages& pages) {
  const std::string fileCell = cutToCell(resourceName, router.codePage());
  forEachIniSetting(decodeIniText(data), resourceName, fileCell, router,
                    [&pages](const ListedSetting& s) { pages.appendSetting(s); });
}

}  // namespace theme
