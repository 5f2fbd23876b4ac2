#pragma once
// The undo history of the font pages: each step is the set of cells one user action
// changed (a choice in an editor, a whole bulk font-name input, sizes one step larger,
// fonts from another theme), with the values before and after. Undoing puts the "before"
// values back, redoing the "after" ones. A value is kept whole, with the UTF-16 it will
// be written as: a carried face that shows as the old one ("Font?") still comes and goes.
#include <cstddef>
#include <optional>
#include <vector>

#include "font_pages.h"

struct CellChange {
  int page = 0;
  int row = 0;
  int column = 0;
  theme::EditableText before;
  theme::EditableText after;
};
using EditStep = std::vector<CellChange>;

class EditHistory {
 public:
  // A new step; the steps undone before it can no longer be redone.
  void Record(EditStep step);
  // The step to take back, or nothing at the start of the history.
  std::optional<EditStep> Undo();
  // The step to make again, or nothing when none was undone.
  std::optional<EditStep> Redo();
  [[nodiscard]] bool CanUndo() const { return m_done > 0; }
  [[nodiscard]] bool CanRedo() const { return m_done < m_steps.size(); }
  void Clear();

 private:
  std::vector<EditStep> m_steps;
  std::size_t m_done = 0;  // steps [0, m_done) are in effect
};
