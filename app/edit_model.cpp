#include "edit_model.h"

#include <array>
#include <utility>

namespace {

// A value as one action left it: shown text, and a carried UTF-16 face or none.
bool SameValue(const theme::EditableText& a, const theme::EditableText& b) {
  return a.text == b.text && a.carried == b.carried && a.carriedText == b.carriedText;
}

bool RowExists(const theme::FontPages& pages, int page, int row) {
  return page >= 0 && page < theme::kMaxPages && row >= 0 && static_cast<std::size_t>(row) < pages.rowCount(page);
}

}  // namespace

bool SetShownText(theme::EditableText& value, std::u16string_view text, const theme::CodePage& cp) {
  if (text == value.toWrite(cp)) return false;
  value.text = theme::cutToCell(text, cp);
  value.carriedText = value.text;
  value.carried = std::u16string(text);
  return true;
}

void EditModel::Load(theme::FontPages pages) {
  m_pages = std::move(pages);
  m_steps.clear();
  m_done = 0;
}

bool EditModel::SetCellText(int page, int row, int column, std::u16string_view text) {
  if (!RowExists(m_pages, page, row)) return false;
  const auto at = static_cast<std::size_t>(row);
  const theme::EditableText before = m_pages.rows(page).at(at).value(column);
  theme::EditableText after = before;
  if (!SetShownText(after, text, m_cp)) return false;
  m_pages.setValue(page, at, column, after);
  Push(EditStep{CellChange{page, row, column, before, std::move(after)}});
  return true;
}

EditStep EditModel::Record(const std::function<void(theme::FontPages&)>& action) {
  // The values of every row (face, size, option), page by page: what an action may change.
  using RowValues = std::array<theme::EditableText, 3>;
  std::array<std::vector<RowValues>, theme::kMaxPages> before;
  for (int page = 0; page < theme::kMaxPages; ++page) {
    for (const theme::FontRow& row : m_pages.rows(page)) {
      before.at(static_cast<std::size_t>(page)).push_back({row.font, row.size, row.option});
    }
  }
  action(m_pages);
  EditStep step;
  for (int page = 0; page < theme::kMaxPages; ++page) {
    const auto& was = before.at(static_cast<std::size_t>(page));
    const auto& now = m_pages.rows(page);
    for (std::size_t row = 0; row < now.size() && row < was.size(); ++row) {
      for (int column = theme::kColFont; column < theme::kColumnCount; ++column) {
        const theme::EditableText& old = was[row].at(static_cast<std::size_t>(column - theme::kColFont));
        if (SameValue(old, now[row].value(column))) continue;
        step.push_back(CellChange{page, static_cast<int>(row), column, old, now[row].value(column)});
      }
    }
  }
  Push(step);
  return step;
}

void EditModel::Push(EditStep step) {
  if (step.empty()) return;
  m_steps.resize(m_done);
  m_steps.push_back(std::move(step));
  m_done = m_steps.size();
}

std::optional<EditStep> EditModel::Undo() {
  if (m_done == 0) return std::nullopt;
  const EditStep& step = m_steps.at(--m_done);
  for (const CellChange& change : step) {
    m_pages.setValue(change.page, static_cast<std::size_t>(change.row), change.column, change.before);
  }
  return step;
}

std::optional<EditStep> EditModel::Redo() {
  if (m_done == m_steps.size()) return std::nullopt;
  const EditStep& step = m_steps.at(m_done++);
  for (const CellChange& change : step) {
    m_pages.setValue(change.page, static_cast<std::size_t>(change.row), change.column, change.after);
  }
  return step;
}

template <class Visit>
bool EditModel::ForEachEditable(Visit visit) const {
  // The boxes first: typing in them asks this on every key, and most edits are there.
  for (const theme::EditableText& box : m_pages.sizeNameBoxes) {
    if (!visit(box)) return false;
  }
  if (!visit(m_pages.styleNameBox)) return false;
  for (int page = 0; page < theme::kMaxPages; ++page) {
    for (const theme::FontRow& row : m_pages.rows(page)) {
      for (int column = theme::kColFont; column < theme::kColumnCount; ++column) {
        if (!visit(row.value(column))) return false;
      }
    }
  }
  return true;
}

void EditModel::MarkWritten() {
  m_writtenValues.clear();
  ForEachEditable([this](const theme::EditableText& value) {
    m_writtenValues.push_back(value.toWrite(m_cp));
    return true;
  });
}

// The first value that differs from the last load or write answers.
bool EditModel::HasUnwrittenEdits() const {
  std::size_t i = 0;
  const bool same = ForEachEditable([this, &i](const theme::EditableText& value) {
    return i < m_writtenValues.size() && value.toWrite(m_cp) == m_writtenValues[i++];
  });
  return !same || i != m_writtenValues.size();
}
