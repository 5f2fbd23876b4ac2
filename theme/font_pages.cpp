#include "font_pages.h"

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
  if (wide.size() > kMaxFieldUnits) return std::nullopt;
  std::string ansi = cp.toAnsi(wide);
  if (ansi.size() > kMaxCellBytes) return std::nullopt;
  return ansi;
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
    page.rows.clear();
    page.firstRowByIdentity.clear();
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

std::size_t FontPages::appendRow(int page, FontRow row) {
  Page& p = pages_.at(page);
  const std::size_t index = p.rows.size();
  std::vector<std::size_t>& first = p.firstRowByIdentity[row.identity];
  if (row.occurrence >= first.size()) first.resize(row.occurrence + 1, kNoRow);
  if (first[row.occurrence] == kNoRow) first[row.occurrence] = index;
  p.rows.push_back(std::move(row));
  return index;
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

std::size_t FontPages::occurrencesOn(int page, const std::u16string& identity) const {
  if (page < 0 || page >= kMaxPages) return 0;
  const auto it = pages_[page].firstRowByIdentity.find(identity);
  return it == pages_[page].firstRowByIdentity.end() ? 0 : it->second.size();
}

const FontRow* FontPages::findRow(int page, const std::u16string& identity, std::size_t occurrence) const {
  if (page < 0 || page >= kMaxPages) return nullptr;
  const Page& p = pages_[page];
  const auto it = p.firstRowByIdentity.find(identity);
  if (it == p.firstRowByIdentity.end() || occurrence >= it->second.size()) return nullptr;
  const std::size_t index = it->second[occurrence];
  return index == kNoRow ? nullptr : &p.rows[index];
}

}  // namespace theme
