#pragma once
// The program's edits without its windows: the font pages, the undo history of the
// user's actions on them, and every value as the last load or write left it, which tells
// whether there are edits no write has saved. The dialog shows the pages and calls this.
//
// Each undo step is the set of cells one user action changed (a choice in an editor, a
// whole bulk font-name input, sizes one step larger, fonts from another theme), with the
// values before and after. Undoing puts the "before" values back, redoing the "after"
// ones. A value is kept whole, with the UTF-16 it will be written as: a carried face that
// shows as the old one ("Font?") still comes and goes.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codepage.h"
#include "font_pages.h"

struct CellChange {
  int page = 0;
  int row = 0;
  int column = 0;
  theme::EditableText before;
  theme::EditableText after;
};
using EditStep = std::vector<CellChange>;

// `value` made to show and write `text` (UTF-16, as a box or an editor holds it) exactly;
// false when it already does.
bool SetShownText(theme::EditableText& value, std::u16string_view text, const theme::CodePage& cp);

class EditModel {
 public:
  // Values are compared as a write puts them, through `cp`, which outlives the model.
  explicit EditModel(const theme::CodePage& cp) : m_cp(cp) {}

  // The only store of the user's edits. A load assigns them anew but never moves them: a
  // reference to a box's value holds.
  [[nodiscard]] theme::FontPages& pages() { return m_pages; }
  [[nodiscard]] const theme::FontPages& pages() const { return m_pages; }

  // The pages of a newly loaded theme; the history starts again.
  void Load(theme::FontPages pages);

  // Cell (page, row, column) made to show `text`, as one step; false when the row does
  // not exist or the cell already shows it (nothing is recorded).
  bool SetCellText(int page, int row, int column, std::u16string_view text);
  // Runs `action` on the pages; the value cells it changed are one step, returned (empty,
  // and nothing recorded, when it changed none).
  EditStep Record(const std::function<void(theme::FontPages&)>& action);

  // The last step taken back (its "before" values put in the pages) or made again (its
  // "after" values); nothing at either end of the history.
  std::optional<EditStep> Undo();
  std::optional<EditStep> Redo();
  [[nodiscard]] bool CanUndo() const { return m_done > 0; }
  [[nodiscard]] bool CanRedo() const { return m_done < m_steps.size(); }

  // Whether any value the user can change (the boxes, every value cell) would be written
  // other than at the last MarkWritten.
  [[nodiscard]] bool HasUnwrittenEdits() const;
  // The values as they are now are the ones the file holds (a load or a write).
  void MarkWritten();

 private:
  // Visits every editable value (the boxes, then every cell) until `visit` returns false;
  // false then.
  template <class Visit>
  bool ForEachEditable(Visit visit) const;
  // A new step; the steps undone before it can no longer be redone.
  void Push(EditStep step);

  const theme::CodePage& m_cp;
  theme::FontPages m_pages;
  std::vector<EditStep> m_steps;
  std::size_t m_done = 0;  // steps [0, m_done) are in effect
  // Every editable value as a write would put it (UTF-16), at the last MarkWritten.
  std::vector<std::u16string> m_writtenValues;
};
