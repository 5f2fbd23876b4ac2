#pragma once
// The font list: a report list of font rows whose three value columns (font name,
// size, option) are edited in place with drop-down lists opened over the clicked cell;
// the size editor also takes a typed size. The columns share the list's width; a cell
// cut short shows its whole text when pointed at.
// The identifying columns are drawn dark grey on light grey. Rows can be selected (for
// copying) without any value changing: a click on an identifying cell, Ctrl or Shift with
// a click or the movement keys, Ctrl+A. A right click, Shift+F10 or the menu key asks the
// owner for its context menu (WM_CONTEXTMENU); Ctrl+C asks it to copy (IDM_COPY).
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "controls.h"
#include "drop_down_list.h"
#include "face_combo.h"
#include "font_pages.h"
#include "gdi.h"
#include "resource.h"

namespace widgets {

class CFontListCtrl : public win32::CListCtrl {
 public:
  static constexpr int kFirstValueColumn = theme::kColFont;
  static constexpr std::array<int, 3> kEditorIds{IDC_FACE_EDITOR, IDC_SIZE_EDITOR, IDC_OPTION_EDITOR};
  // The control id of the editor of value column `column` (face, size, option).
  static constexpr int EditorId(int column) { return kEditorIds.at(column - kFirstValueColumn); }

  // Told of every value an editor chooses (row, column, new text); the owner keeps the
  // value and shows it in the cell, or returns why it refuses it (the editor stays open
  // and says so).
  using CellChanged = std::function<std::wstring(int, int, const std::wstring&)>;
  void SetCellChangedHandler(CellChanged handler) { m_cellChanged = std::move(handler); }

  // Hides every editor and forgets the cell it was opened on: the rows it stood over
  // are gone or have new values (a load, a bulk input).
  void CloseEditors();

  // The keyboard's cell: the current row (-1 for none) and value column. A click or the
  // arrow keys move it; F2, Enter or Alt+Down open its editor with the list dropped.
  [[nodiscard]] int GetCurrentRow() const { return m_currentRow; }
  [[nodiscard]] int GetCurrentColumn() const { return m_currentColumn; }
  // Opens the editor of the current cell with its list dropped and the focus in it.
  void OpenCurrentEditor();
  // Writes what the open editor holds (the size editor's typed text), as Enter does, and
  // closes it; a refused value leaves it open, saying why.
  void CommitOpenEditor();
  // The columns' shares of the list's width; they are fitted to it now and whenever it
  // changes size.
  void SetColumnShares(const std::array<int, theme::kColumnCount>& shares);
  // The selected rows, from the top.
  [[nodiscard]] std::vector<int> GetSelectedRows() const;
  void SelectAll();
  // Where a context menu asked for by the keyboard opens: below the current cell, in
  // screen coordinates.
  [[nodiscard]] POINT ContextMenuPoint() const;
  // The open editor, or nullptr.
  [[nodiscard]] HWND GetOpenEditor() const;

  [[nodiscard]] int GetEditingRow() const { return m_editRow; }
  [[nodiscard]] int GetEditingColumn() const { return m_editColumn; }
  [[nodiscard]] HWND GetEditor(int column) const { return m_editors.at(column - kFirstValueColumn)->GetSafeHwnd(); }
  // The tooltip that shows a sample of the row under the mouse in the row's own font.
  [[nodiscard]] HWND GetSampleTip() const { return m_sampleTip; }
  // Takes the sample away (the mouse left the rows, a click, another window in front).
  void HideSample();
  // The tip that shows a cut cell's whole text, and the one that says why a typed value
  // was refused.
  [[nodiscard]] HWND GetCellTip() const { return m_cellTip; }
  [[nodiscard]] HWND GetRefusalTip() const { return m_refusalTip; }

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  bool OnCreate();
  void OnLButtonDown(POINT point, WPARAM keys);
  void OnRButtonDown(POINT point);
  // Asks the owner for its context menu at `screen` (-1, -1: from the keyboard).
  void AskForContextMenu(POINT screen) const;
  // Only rows `first` to `last` (either order) selected, or `row` added or taken away.
  void SelectOnly(int first, int last) const;
  void ToggleSelected(int row) const;
  void SetSelected(int row, bool selected) const;
  [[nodiscard]] bool IsSelected(int row) const;
  // Opens editor `column` over cell (row, column); `drop` drops its list and focuses it.
  void OpenEditor(int row, int column, bool drop);
  // The arrow keys, Home, End, Page Up and Down, F2; true when `key` was one of them.
  // Shift extends the selection from the anchor row, Ctrl moves without selecting, else
  // the row moved to is the one selected.
  bool OnKeyDown(WPARAM key);
  // Also scrolls the value column into view unless `scrollToColumn` is false.
  void SetCurrentCell(int row, int column, bool scrollToColumn = true);
  // The current cell moved to a clicked cell (row, column of any kind).
  void SetCurrentCellAt(int row, int column);
  // Where column `column` begins in the client area, as scrolled.
  [[nodiscard]] int ColumnLeft(int column) const;
  // The entry of `editor` whose whole text is `text` (ignoring case), or CB_ERR; unlike
  // CB_FINDSTRINGEXACT it finds the empty entry.
  [[nodiscard]] static int FindEntry(const win32::CComboBox& editor, const std::wstring& text);
  void FitColumns();
  // Shows the cell tip over (row, column) when its text is cut, else hides it.
  void ShowCellTip(int row, int column);
  void HideCellTip();
  void ShowRefusal(const std::wstring& reason);
  void OnEditorChosen();
  void OnEditorCancelled();
  void HideOpenEditor() const;
  // Hides all three editors; the cell they were opened on is kept.
  void HideEditors() const;
  void OnMouseMove(POINT point);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) const;

  int m_editColumn = -1;
  int m_editRow = 0;
  int m_currentRow = -1;
  int m_currentColumn = kFirstValueColumn;
  int m_anchorRow = 0;  // where a Shift selection starts
  // Asked once per paint and once per row, not for every cell.
  mutable bool m_paintFocused = false;
  mutable bool m_paintRowSelected = false;
  std::array<bool, 3> m_cellEntry{};  // the editor's first entry is the cell's own value, not offered
  CFaceCombo m_faceEditor;
  std::array<CDropDownList, 2> m_valueEditors;  // size, option
  std::array<CDropDownList*, 3> m_editors{&m_faceEditor, &m_valueEditors[0], &m_valueEditors[1]};
  win32::CImageList m_rowHeight;  // the list shares it (LVS_SHAREIMAGELISTS): freed here only
  CellChanged m_cellChanged;
  HWND m_sampleTip = nullptr;  // owned by the list: destroyed with it
  int m_sampleRow = -1;
  win32::CFont m_sampleFont;
  HWND m_cellTip = nullptr;     // owned by the list, as the sample tip
  HWND m_refusalTip = nullptr;  // the same
  std::wstring m_cellTipText;
  int m_cellTipRow = -1;
  int m_cellTipColumn = -1;
  std::array<int, theme::kColumnCount> m_columnShares{};
  bool m_closingList = false;
  int m_fittedWidth = 0;  // the client width the columns were last fitted to  // the size editor's list closed for a write: no cancel
};

}  // namespace widgets
