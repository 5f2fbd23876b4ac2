#pragma once
// The in-place editors of the font list's three value columns (font name, size,
// option): drop-down lists opened over the cell being edited, one at a time. The size
// editor also takes a typed size. A value the list's owner refuses keeps the editor open
// with a balloon that says why.
#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "drop_down_list.h"
#include "face_combo.h"
#include "font_pages.h"
#include "resource.h"
#include "tracking_tip.h"

namespace widgets {

class CCellEditors {
 public:
  static constexpr int kFirstColumn = theme::kColFont;
  static constexpr std::array<int, 3> kIds{IDC_FACE_EDITOR, IDC_SIZE_EDITOR, IDC_OPTION_EDITOR};
  // The control id of the editor of value column `column`.
  static constexpr int IdOf(int column) { return kIds.at(column - kFirstColumn); }

  CCellEditors() = default;
  CCellEditors(const CCellEditors&) = delete;
  CCellEditors& operator=(const CCellEditors&) = delete;

  // The three editors, hidden children of `list` in `font`, and the refusal tip.
  void Create(HWND list, HFONT font);
  // Opens the editor of `column` over `cell` (the cell's rectangle in the list) of row
  // `row`, showing `text`; `drop` drops its list and gives it the focus.
  void Open(int row, int column, const RECT& cell, const std::wstring& text, bool drop);
  // The cell the editors were last opened on (column -1: none since the last Close).
  [[nodiscard]] int GetRow() const { return m_row; }
  [[nodiscard]] int GetColumn() const { return m_column; }
  [[nodiscard]] HWND Get(int column) const { return Editor(column).GetSafeHwnd(); }
  // The open editor, or nullptr.
  [[nodiscard]] HWND GetOpen() const;
  [[nodiscard]] HWND GetRefusalTip() const { return m_refusalTip.GetSafeHwnd(); }

  // Hides the open editor and keeps its cell (the rows moved under it).
  void HideOpen() const;
  // Hides all three, their lists closed first, and keeps the cell.
  void HideAll() const;
  // Hides all three and forgets the cell.
  void Close();

  // What the open editor holds to be written: the size editor's text, typed or chosen
  // (its list closed for the write, not cancelled), else the chosen entry; nothing when
  // no editor is open or no entry is chosen.
  std::optional<std::wstring> TextToWrite();
  // The value was written: the editors go. True when the focus was in the open one.
  bool Written() const;
  // Says why the value was refused, below the open editor; an empty reason takes it away.
  void ShowRefusal(const std::wstring& reason) const;
  // The open editor's dropped list closed without a choice (Esc, a click away): the
  // editor goes, the cell stays. True when the focus was in it.
  bool Cancelled() const;

 private:
  [[nodiscard]] const win32::CComboBox& Editor(int column) const { return *m_editors.at(column - kFirstColumn); }
  // Whether the focus is in `editor` (the size editor's typing box is a child of it).
  static bool HasFocus(const win32::CComboBox& editor);

  int m_column = -1;
  int m_row = 0;
  std::array<bool, 3> m_cellEntry{};  // the editor's first entry is the cell's own value, not offered
  bool m_closingList = false;  // the size editor's list closed for a write: no cancel
  CFaceCombo m_faceEditor;
  std::array<CDropDownList, 2> m_valueEditors;  // size, option
  std::array<CDropDownList*, 3> m_editors{&m_faceEditor, &m_valueEditors[0], &m_valueEditors[1]};
  CTrackingTip m_refusalTip;
};

}  // namespace widgets
