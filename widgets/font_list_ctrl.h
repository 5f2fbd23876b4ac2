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

#include "cell_editors.h"
#include "controls.h"
#include "font_pages.h"
#include "gdi.h"
#include "sample_tip.h"
#include "tracking_tip.h"

namespace widgets {

class CFontListCtrl : public win32::CListCtrl {
 public:
  static constexpr int kFirstValueColumn = theme::kColFont;
  // The control id of the editor of value column `column` (face, size, option).
  static constexpr int EditorId(int column) { return CCellEditors::IdOf(column); }

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
  [[nodiscard]] HWND GetOpenEditor() const { return m_editors.GetOpen(); }

  [[nodiscard]] int GetEditingRow() const { return m_editors.GetRow(); }
  [[nodiscard]] int GetEditingColumn() const { return m_editors.GetColumn(); }
  [[nodiscard]] HWND GetEditor(int column) const { return m_editors.Get(column); }
  // The tooltip that shows a sample of the row under the mouse in the row's own font.
  [[nodiscard]] HWND GetSampleTip() const { return m_sampleTip.GetSafeHwnd(); }
  // Takes the sample away (the mouse left the rows, a click, another window in front).
  void HideSample() { m_sampleTip.Hide(); }
  // The tip that shows a cut cell's whole text, and the one that says why a typed value
  // was refused.
  [[nodiscard]] HWND GetCellTip() const { return m_cellTip.GetSafeHwnd(); }
  [[nodiscard]] HWND GetRefusalTip() const { return m_editors.GetRefusalTip(); }

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  // The handlers of the message map (OnMessage): true when the message was handled, false
  // to pass it on to the list's own handling.
  bool OnCreate(WPARAM wp, LPARAM lp, LRESULT& result);
  // A click selects, moves the current cell and opens a value cell's editor; never passed
  // on: the list's own handling would start a drag or a marquee.
  bool OnLButtonDown(WPARAM keys, LPARAM lp, LRESULT& result);
  bool OnRButtonDown(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnRButtonUp(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnContextMenu(WPARAM wp, LPARAM lp, LRESULT& result);
  // A scroll bar, the wheel: the rows move under the open editor.
  bool OnScroll(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnKeyDown(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnSysKeyDown(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnKeyUp(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnCommitEditor(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnSize(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnSetFocus(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnKillFocus(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnMouseMove(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnMouseLeave(WPARAM wp, LPARAM lp, LRESULT& result);
  // WM_COMMAND from the editors.
  bool OnEditorCommand(WPARAM wp, LPARAM lp, LRESULT& result);
  // Asks the owner for its context menu at `screen` (-1, -1: from the keyboard).
  void AskForContextMenu(POINT screen) const;
  // Only rows `first` to `last` (either order) selected, or `row` added or taken away.
  void SelectOnly(int first, int last) const;
  void ToggleSelected(int row) const;
  void SetSelected(int row, bool selected) const;
  [[nodiscard]] bool IsSelected(int row) const;
  // Opens editor `column` over cell (row, column); `drop` drops its list and focuses it.
  void OpenEditor(int row, int column, bool drop);
  void HideOpenEditor() const { m_editors.HideOpen(); }
  // The arrow keys, Home, End, Page Up and Down, F2, Space, Ctrl+A and Ctrl+C; true when
  // `key` was one of them.
  // Shift extends the selection from the anchor row, Ctrl moves without selecting, else
  // the row moved to is the one selected.
  bool HandleKey(WPARAM key);
  // Also scrolls the value column into view unless `scrollToColumn` is false.
  void SetCurrentCell(int row, int column, bool scrollToColumn = true);
  // The current cell moved to a clicked cell (row, column of any kind).
  void SetCurrentCellAt(int row, int column);
  // Where column `column` begins in the client area, as scrolled.
  [[nodiscard]] int ColumnLeft(int column) const;
  void FitColumns();
  // Shows the cell tip over (row, column) when its text is cut, else hides it.
  void ShowCellTip(int row, int column);
  void HideCellTip();
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) const;

  int m_currentRow = -1;
  int m_currentColumn = kFirstValueColumn;
  int m_anchorRow = 0;  // where a Shift selection starts
  // Asked once per paint and once per row, not for every cell.
  mutable bool m_paintFocused = false;
  mutable bool m_paintRowSelected = false;
  CCellEditors m_editors;
  win32::CImageList m_rowHeight;  // the list shares it (LVS_SHAREIMAGELISTS): freed here only
  CellChanged m_cellChanged;
  CSampleTip m_sampleTip;  // the tips are owned by the list: destroyed with it
  CTrackingTip m_cellTip;
  std::wstring m_cellTipText;
  int m_cellTipRow = -1;
  int m_cellTipColumn = -1;
  std::array<int, theme::kColumnCount> m_columnShares{};
  int m_fittedWidth = 0;  // the client width the columns were last fitted to
};

}  // namespace widgets
