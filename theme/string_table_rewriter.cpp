#include "string_table_rewriter.h"

#include "byte_writer.h"
#include "codepage.h"
#include "font_pages.h"
#include "page_routing.h"
#include "string_entry_syntax.h"

namespace theme {

namespace {

void appendString(std::vector<std::uint8_t>& out, std::u16string_view s) {
  appendU16(out, static_cast<std::uint16_t>(s.size()));
  appendUtf16(out, s);
}

// The entry with the values of its own row (the same identity and occurrence; of several
// pages the last one visited wins), else its own, in canonical form.
std::u16string rewriteEntry(const StringFontEntry& own, const PageRouter& router, const FontPages& pages) {
  const CodePage& cp = router.codePage();
  StringFontEntry e = own;
  const std::u16string identity = rowIdentity(own.file, own.section, own.key);
  const PageList visited = router.stringEntryPages(own.file, Visit::Every);
  const std::size_t occurrence = occurrenceToWrite(router, pages, visited, identity);
  for (const int page : visited) {
    if (const FontRow* row = pages.findRow(page, identity, occurrence)) {
      e.font = row->font.toWrite(cp);
      e.size = row->size.toWrite(cp);
      e.option = row->option.toWrite(cp);
    }
  }
  return formatStringFontEntry(e);
}

}  // namespace

void rewriteStringTableBlock(std::span<const std::uint8_t> old, std::uint32_t firstId, const PageRouter& router,
                             const FontPages& pages, std::vector<std::uint8_t>& out, KeptNames* kept) {
  const CodePage& cp = router.codePage();
  forEachTableString(old, firstId, [&](const TableString& s) {
    const auto copyUnchanged = [&] { out.insert(out.end(), old.begin() + s.offset, old.begin() + s.offset + s.byteLength); };
    if (const auto e = listedStringEntry(s, cp)) {
      appendString(out, rewriteEntry(e->fields, router, pages));
      return;
    }
    const EditableText* box = isPlainString(s) ? pages.nameBox(s.id) : nullptr;
    if (box == nullptr) {
      copyUnchanged();
    } else if (!box->text.empty()) {
      appendString(out, box->toWrite(cp));
    } else {
      // An emptied box keeps the name the file has; the caller may show it again.
      copyUnchanged();
      if (kept != nullptr && !s.text.empty()) kept->emplace_back(s.id, EditableText::fromFile(s.text, cp));
    }
  });
}

}  // namespace theme
