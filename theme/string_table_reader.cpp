#include "string_table_reader.h"

#include "codepage.h"
#include "font_pages.h"
#include "page_routing.h"
#include "string_entry_syntax.h"

namespace theme {

ListedSetting listedSetting(const ListedStringEntry& e, const PageList& pages) {
  return {pages.begin(), pages.end(), e.fields.file, e.fields.section, e.fields.key, e.fields.font, e.fields.size,
          e.fields.option, {e.file, e.section, e.key, e.font, e.size, e.option}};
}

void readStringTableBlock(std::span<const std::uint8_t> data, std::uint32_t firstId, const PageRouter& router,
                          FontPages& pages, const std::function<void(ListedStringEntry&&, const PageList&)>& entry) {
  const CodePage& cp = router.codePage();
  forEachTableString(data, firstId, [&](const TableString& s) {
    if (auto e = listedStringEntry(s, cp)) {
      const PageList targets = router.stringEntryPages(e->fields.file, Visit::FirstPerColour);
      if (!targets.empty()) entry(std::move(*e), targets);
    } else if (isPlainString(s)) {
      if (EditableText* box = pages.nameBox(s.id)) *box = EditableText::fromFile(s.text, cp);
    }
  });
}

void readStringTableBlock(std::span<const std::uint8_t> data, std::uint32_t firstId, const PageRouter& router,
                          FontPages& pages) {
  readStringTableBlock(data, firstId, router, pages, [&pages](ListedStringEntry&& e, const PageList& targets) {
    pages.appendSetting(listedSetting(e, targets));
  });
}

}  // namespace theme
