#include "font_pages.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "codepage.h"

namespace theme {

EditableText EditableText::fromFile(std::u16string_view wide, const CodePage& cp) {
  EditableText t;
  t.original = std::u16string(wide);
  t.text = cutToCell(wide, cp);
  t.originalText = t.text;
  return t;
}

EditableText EditableText::loaded(std::u16string_view wide, std::string ansi) {
  EditableText t;
  t.original = std::u16string(wide);
  t.text = std::move(ansi);
  t.originalText = t.text;
  return t;
}

std::u16string EditableText::toWrite(const CodePage& cp) const {
  if (carried && text == carriedText) return *carried;
  if (!edited()) return original;
  std::u16string wide = cp.toWide(text);
  if (wide.size() > kMaxFieldUnits) {
    std::size_t cut = kMaxFieldUnits;
    if (wide[cut - 1] >= 0xD800 && wide[cut - 1] <= 0xDBFF) --cut;  // keep surrogate pairs whole
    wide.resize(cut);
  }
  return wide;
}

std::string cutToCell(std::u16string_view wide, const CodePage& cp) { return cutToCell(cp.toAnsi(wide), cp); }

std::string cutToCell(std::string_view ansi, const CodePage& cp) { return cutAnsi(ansi, kMaxCellBytes, cp); }

std::optional<std::string> cellText(std::u16string_view wide, const CodePage& cp) {
  std::string ansi;
  if (!cellText(wide, cp, ansi)) return std::nullopt;
  return ansi;
}

bool fitsCell(std::u16string_view wide, const CodePage& cp) {
  return wide.size() <= kMaxFieldUnits && cp.ansiSize(wide) <= kMaxCellBytes;
}

bool cellText(std::u16string_view wide, const CodePage& cp, std::string& ansi) {
  if (wide.size() > kMaxFieldUnits) return false;
  if (cp.keepsAscii() && std::all_of(wide.begin(), wide.end(), [](char16_t c) { return c < 0x80; })) {
    ansi.assign(wide.begin(), wide.end());  // no conversion, and no allocation once the string has room
  } else {
    ansi = cp.toAnsi(wide);
  }
  return ansi.size() <= kMaxCellBytes;
}

const std::string& FontRow::cell(int column) const {
  switch (column) {
    case kColFile: return file;
    case kColSection: return section;
    case kColKey: return key;
    default: return value(column).text;
  }
}

EditableText& FontRow::value(int column) {
  switch (column) {
    case kColFont: return font;
    case kColSize: return size;
    case kColOption: return option;
    default: throw std::out_of_range("column " + std::to_string(column) + " is not a value column");
  }
}

const EditableText& FontRow::value(int column) const { return const_cast<FontRow*>(this)->value(column); }

FontPages::FontPages() = default;

const EditableText* FontPages::nameBox(std::uint32_t stringId) const {
  if (stringId >= 3000 && stringId < 3000 + kMaxPages) return &sizeNameBoxes[stringId - 3000];
  if (stringId == 5000) return &styleNameBox;
  return nullptr;
}

EditableText* FontPages::nameBox(std::uint32_t stringId) {
  return const_cast<EditableText*>(std::as_const(*this).nameBox(stringId));
}

void FontPages::clear() {
  pageCount = 0;
  colourCount = 0;
  for (auto& name : sizeNames) name.clear();
  for (auto& page : fileNames) {
    for (auto& name : page) name.clear();
  }
  for (auto& box : sizeNameBoxes) box = EditableText{};
  styleNameBox = EditableText{};
  for (auto& page : pages_) {
    page.firstRow.clear();
    page.occurrenceRows.clear();
    page.rows.clear();
  }
}

std::u16string rowIdentity(std::u16string_view file, std::u16string_view section, std::u16string_view key) {
  std::u16string id;
  id.reserve(file.size() + section.size() + key.size() + 2);
  id.append(file).append(1, u'\0').append(section).append(1, u'\0').append(key);
  return id;
}

IdentityParts identityParts(std::u16string_view identity) {
  const std::size_t a = identity.find(u'\0');
  const std::size_t b = a == std::u16string_view::npos ? a : identity.find(u'\0', a + 1);
  if (b == std::u16string_view::npos) return {identity, {}, {}};
  return {identity.substr(0, a), identity.substr(a + 1, b - a - 1), identity.substr(b + 1)};
}

void FontPages::Page::index(std::size_t row) {
  const FontRow& added = rows[row];
  const auto [first, isNew] = firstRow.try_emplace(added.identity, row);
  if (isNew) return;  // the common case: a setting given once
  const auto [list, listNew] = occurrenceRows.try_emplace(first->first);
  std::vector<std::size_t>& byOccurrence = list->second;
  if (listNew) {
    const std::size_t firstOccurrence = rows[first->second].occurrence;
    byOccurrence.assign(firstOccurrence + 1, kNoRow);
    byOccurrence[firstOccurrence] = first->second;
  }
  if (added.occurrence >= byOccurrence.size()) byOccurrence.resize(added.occurrence + 1, kNoRow);
  if (byOccurrence[added.occurrence] == kNoRow) byOccurrence[added.occurrence] = row;
}

FontPages::Page::Page(const Page& other) : rows(other.rows) {
  for (std::size_t row = 0; row < rows.size(); ++row) index(row);
}

FontPages::Page& FontPages::Page::operator=(const Page& other) {
  if (this != &other) {
    firstRow.clear();
    occurrenceRows.clear();
    rows = other.rows;
    for (std::size_t row = 0; row < rows.size(); ++row) index(row);
  }
  return *this;
}

std::size_t FontPages::appendRow(int page, FontRow row) {
  Page& p = pages_.at(page);
  p.rows.push_back(std::move(row));
  p.index(p.rows.size() - 1);
  return p.rows.size() - 1;
}

void FontPages::appendSetting(const ListedSetting& s) {
  if (s.begin() == s.end()) return;
  const std::u16string identity = rowIdentity(s.file, s.section, s.key);
  const std::size_t occurrence = occurrencesOn(*s.begin(), identity);
  for (const int page : s) {
    appendRow(page, FontRow{std::string(s.cells[kColFile]), std::string(s.cells[kColSection]),
                            std::string(s.cells[kColKey]), EditableText::loaded(s.font, std::string(s.cells[kColFont])),
                            EditableText::loaded(s.size, std::string(s.cells[kColSize])),
                            EditableText::loaded(s.option, std::string(s.cells[kColOption])), identity, occurrence});
  }
}

void FontPages::setCell(int page, std::size_t row, int column, std::string text) {
  pages_.at(page).rows.at(row).value(column).text = std::move(text);
}

void FontPages::setCellWide(int page, std::size_t row, int column, std::u16string wide, std::string ansi) {
  EditableText& value = pages_.at(page).rows.at(row).value(column);
  value.carried = std::move(wide);
  value.carriedText = ansi;
  value.text = std::move(ansi);
}

void FontPages::setValue(int page, std::size_t row, int column, EditableText value) {
  pages_.at(page).rows.at(row).value(column) = std::move(value);
}

void FontPages::setFontOfPage(int page, const std::string& face) {
  for (auto& row : pages_.at(page).rows) row.font.text = face;
}

std::size_t FontPages::occurrencesOn(int page, std::u16string_view identity) const {
  if (page < 0 || page >= kMaxPages) return 0;
  const Page& p = pages_[page];
  const auto list = p.occurrenceRows.find(identity);
  if (list != p.occurrenceRows.end()) return list->second.size();
  const auto first = p.firstRow.find(identity);
  return first == p.firstRow.end() ? 0 : p.rows[first->second].occurrence + 1;
}

const FontRow* FontPages::findRow(int page, std::u16string_view identity, std::size_t occurrence) const {
  if (page < 0 || page >= kMaxPages) return nullptr;
  const Page& p = pages_[page];
  const auto list = p.occurrenceRows.find(identity);
  if (list != p.occurrenceRows.end()) {
    if (occurrence >= list->second.size() || list->second[occurrence] == kNoRow) return nullptr;
    return &p.rows[list->second[occurrence]];
  }
  const auto first = p.firstRow.find(identity);
  if (first == p.firstRow.end() || p.rows[first->second].occurrence != occurrence) return nullptr;
  return &p.rows[first->second];
}

}  // namespace theme
