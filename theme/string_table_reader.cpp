#include "string_table_reader.h"

#include "codepage.h"
#include "font_pages.h"
#include "page_routing.h"
#include "string_entry_syntax.h"

namespace theme {

void readStringTableBlock(std::span<const std::uint8_t> data, std::uint32_t firstId, const PageRouter& router,
                          FontPages& pages) {
  const CodePage& cp = router.codePage();
  forEachTableString(data, firstId, [&](const TableString& s) {
    if (const auto e = listedStringEntry(s, cp)) {
      const std::u16string identity = rowIdentity(e->fields.file, e->fields.section, e->fields.key);
      const PageList targets = router.stringEntryPages(e->fields.file, Visit::FirstPerColour);
      const std::size_t occurrence = targets.empty() ? 0 : pages.occurrencesOn(*targets.begin(), identity);
      for (const int page : targets) {
        pages.appendRow(page, FontRow{e->file, e->section, e->key, EditableText::loaded(e->fields.font, e->font),
                                      EditableText::loaded(e->fields.size, e->size),
                                      EditableText::loaded(e->fields.option, e->option), identity, occurrence});
      }
    } else if (isPlainString(s)) {
      if (EditableText* box = pages.nameBox(s.id)) *box = EditableText::fromFile(s.text, cp);
    }
  });
}

}  // namespace theme
