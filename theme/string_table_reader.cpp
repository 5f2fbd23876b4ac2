#include "codepage.h"
#include "font_pages.h"
#include "page_routing.h"
#include "readers.h"
#include "string_entry_syntax.h"

namespace theme {

namespace {

void placeEntry(const StringFontEntry& e, const PageRouter& router, FontPages& pages) {
  const CodePage& cp = router.codePage();
  const PageList targets = router.stringEntryPages(e.file, Visit::FirstPerColour);
  if (targets.empty()) return;
  auto file = cellText(e.file, cp);
  auto section = cellText(e.section, cp);
  auto key = cellText(e.key, cp);
  auto font = cellText(e.font, cp);
  auto size = cellText(e.size, cp);
  auto option = cellText(e.option, cp);
  if (!file || !section || !key || !font || !size || !option) return;
  const std::u16string identity = rowIdentity(e.file, e.section, e.key);
  for (const int page : targets) {
    pages.appendRow(page, FontRow{*file, *section, *key, EditableText::loaded(e.font, *font),
                                  EditableText::loaded(e.size, *size), EditableText::loaded(e.option, *option),
                                  identity});
  }
}

}  // namespace

void readStringTableBlock(std::span<const std::uint8_t> data, std::uint32_t firstId, const PageRouter& router,
                          FontPages& pages) {
  const CodePage& cp = router.codePage();
  forEachTableString(data, firstId, [&](const TableString& s) {
    if (!s.complete || s.text.size() > kMaxLineUnits) return;
    if (looksLikeStringFontEntry(s.text)) {
      if (const auto entry = parseStringFontEntry(s.text)) placeEntry(*entry, router, pages);
      return;
    }
    if (EditableText* box = pages.nameBox(s.id)) *box = EditableText::fromFile(s.text, cp);
  });
}

}  // namespace theme
