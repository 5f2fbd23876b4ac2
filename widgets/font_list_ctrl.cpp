#include "font_list_ctrl.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "message_map.h"
#include "resource.h"

namespace widgets {

namespace {

constexpr int kRowHeight = 20;
constexpr COLORREF kIdentityText = RGB(72, 72, 72);
constexpr COLORREF kIdentityBack = RGB(240, 240, 240);
constexpr COLORREF kValueText = RGB(0, 0, 0);
constexpr COLORREF kValueBack = RGB(255, 255, 255);
constexpr COLORREF kUnfocusedSelection = RGB(204, 214, 232);
constexpr UINT kCommitEditor = WM_APP + 20;  // posted by an editor's choice, once its list has closed
constexpr int kCellPadding = 12;  // the list's margins around a cell's text
#ifndef WM_MOUSEHWHEEL
constexpr UINT WM_MOUSEHWHEEL = 0x020E;  // Vista's horizontal wheel; XP headers lack it
#endif

POINT PointOf(LPARAM lp) { return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

bool IsScrollKey(WPARAM key) {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool CFontListCtrl::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  using win32::OnCommandRange;
  using win32::OnMsg;
  static constexpr win32::MessageEntry<CFontListCtrl> kMessageMap[] = {
      OnMsg(WM_CREATE, &CFontListCtrl::OnCreate),
      OnMsg(WM_LBUTTONDOWN, &CFontListCtrl::OnLButtonDown),
      OnMsg(WM_LBUTTONDBLCLK, &CFontListCtrl::OnLButtonDown),
      OnMsg(WM_RBUTTONDOWN, &CFontListCtrl::OnRButtonDown),
      OnMsg(WM_RBUTTONUP, &CFontListCtrl::OnRButtonUp),
      OnMsg(WM_CONTEXTMENU, &CFontListCtrl::OnContextMenu),
      OnMsg(WM_HSCROLL, &CFontListCtrl::OnScroll),
      OnMsg(WM_VSCROLL, &CFontListCtrl::OnScroll),
      OnMsg(WM_MOUSEWHEEL, &CFontListCtrl::OnScroll),
      OnMsg(WM_MOUSEHWHEEL, &CFontListCtrl::OnScroll),
      OnMsg(WM_KEYDOWN, &CFontListCtrl::OnKeyDown),
      OnMsg(WM_SYSKEYDOWN, &CFontListCtrl::OnSysKeyDown),
      OnMsg(WM_KEYUP, &CFontListCtrl::OnKeyUp),
      OnMsg(kCommitEditor, &CFontListCtrl::OnCommitEditor),
      OnMsg(WM_SIZE, &CFontListCtrl::OnSize),
      OnMsg(WM_SETFOCUS, &CFontListCtrl::OnSetFocus),
      OnMsg(WM_KILLFOCUS, &CFontListCtrl::OnKillFocus),
      OnMsg(WM_MOUSEMOVE, &CFontListCtrl::OnMouseMove),
      OnMsg(WM_MOUSELEAVE, &CFontListCtrl::OnMouseLeave),
      OnCommandRange(CCellEditors::kIds.front(), CCellEditors::kIds.back(), &CFontListCtrl::OnEditorCommand),
  };
  return win32::RouteMessage<CFontListCtrl>(*this, kMessageMap, msg, wp, lp, result) ||
         win32::CListCtrl::OnMessage(msg, wp, lp, result);
}

bool CFontListCtrl::OnCreate(WPARAM, LPARAM, LRESULT& result) {
  result = Default();
  if (result == -1) return true;
  // The row-height image list belongs to m_rowHeight however the list is destroyed.
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | LVS_SHAREIMAGELISTS);
  if (m_rowHeight.Create(1, kRowHeight, ILC_COLOR, 0, 0)) SetImageList(m_rowHeight.GetSafeHandle(), LVSIL_STATE);
  // The tips are tracking tooltips owned by the list, moved to the row or the cell under
  // the mouse; the editors bring their own, for a refused value.
  m_sampleTip.Create(m_hWnd);
  m_cellTip.Create(m_hWnd);
  m_editors.Create(m_hWnd, reinterpret_cast<HFONT>(::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0)));
  result = 0;
  return true;
}

bool CFontListCtrl::OnLButtonDown(WPARAM keys, LPARAM lp, LRESULT& result) {
  result = 0;
  LVHITTESTINFO hit{};
  hit.pt = PointOf(lp);
  SubItemHitTest(&hit);
  const int row = hit.iItem;
  const int column = hit.iSubItem;
  HideSample();  // it would cover the editor
  HideCellTip();

  m_editors.HideAll();
  ::SetFocus(m_hWnd);  // the keyboard follows the mouse into the list
  if (row < 0) {
    if ((keys & (MK_CONTROL | MK_SHIFT)) == 0) SelectOnly(-1, -1);
    return true;
  }
  SetCurrentCellAt(row, column);
  // Ctrl and Shift only select; a plain click selects its row and opens a value cell's editor.
  if ((keys & MK_CONTROL) != 0) {
    ToggleSelected(row);
    m_anchorRow = row;
    return true;
  }
  if ((keys & MK_SHIFT) != 0) {
    SelectOnly(m_anchorRow, row);
    return true;
  }
  SelectOnly(row, row);
  m_anchorRow = row;
  if (column >= kFirstValueColumn) OpenEditor(row, column, true);
  return true;
}

bool CFontListCtrl::OnRButtonDown(WPARAM, LPARAM lp, LRESULT& result) {
  result = 0;
  LVHITTESTINFO hit{};
  hit.pt = PointOf(lp);
  SubItemHitTest(&hit);
  HideSample();
  m_editors.HideAll();
  ::SetFocus(m_hWnd);
  if (hit.iItem < 0) return true;
  // The menu acts on the selection; a row outside it becomes the selection.
  if (!IsSelected(hit.iItem)) {
    SelectOnly(hit.iItem, hit.iItem);
    m_anchorRow = hit.iItem;
  }
  SetCurrentCellAt(hit.iItem, hit.iSubItem);
  return true;
}

bool CFontListCtrl::OnRButtonUp(WPARAM, LPARAM lp, LRESULT& result) {
  POINT at = PointOf(lp);
  ::ClientToScreen(m_hWnd, &at);
  AskForContextMenu(at);
  result = 0;
  return true;
}

bool CFontListCtrl::OnContextMenu(WPARAM, LPARAM lp, LRESULT& result) {
  // The owner shows the menu; the list's own handling would ask a second time.
  AskForContextMenu(PointOf(lp));
  result = 0;
  return true;
}

bool CFontListCtrl::OnScroll(WPARAM, LPARAM, LRESULT&) {
  // An editor left open would float over the wrong cell once the rows move.
  HideOpenEditor();
  return false;
}

bool CFontListCtrl::OnKeyDown(WPARAM wp, LPARAM, LRESULT& result) {
  if (HandleKey(wp)) {
    result = 0;
    return true;
  }
  if (IsScrollKey(wp)) HideOpenEditor();
  return false;
}

bool CFontListCtrl::OnSysKeyDown(WPARAM wp, LPARAM, LRESULT& result) {
  if (wp == VK_DOWN) {  // Alt+Down
    OpenCurrentEditor();
    result = 0;
    return true;
  }
  if (wp == VK_F10 && win32::KeyHeld(VK_SHIFT)) {
    AskForContextMenu(POINT{-1, -1});
    result = 0;
    return true;
  }
  return false;
}

bool CFontListCtrl::OnKeyUp(WPARAM wp, LPARAM, LRESULT& result) {
  if (wp != VK_APPS) return false;
  AskForContextMenu(POINT{-1, -1});
  result = 0;
  return true;
}

bool CFontListCtrl::OnCommitEditor(WPARAM, LPARAM, LRESULT& result) {
  CommitOpenEditor();
  result = 0;
  return true;
}

bool CFontListCtrl::OnSize(WPARAM, LPARAM, LRESULT& result) {
  // The window changed: a tip would point at where a row was.
  HideSample();
  HideCellTip();
  result = Default();
  // Only a new width: a horizontal scroll bar coming with a column widened by hand
  // changes the height alone, and the hand's width stays.
  if (GetClientRect().right != m_fittedWidth) FitColumns();
  return true;
}

bool CFontListCtrl::OnSetFocus(WPARAM, LPARAM, LRESULT&) {
  if (m_currentRow < 0 && GetItemCount() > 0) m_currentRow = 0;
  // The current cell and the selected rows are drawn in other colours while the list
  // has the focus.
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  return false;
}

bool CFontListCtrl::OnKillFocus(WPARAM, LPARAM, LRESULT&) {
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  return false;
}

bool CFontListCtrl::OnMouseLeave(WPARAM, LPARAM, LRESULT&) {
  HideSample();
  HideCellTip();
  return false;
}

bool CFontListCtrl::OnEditorCommand(WPARAM wp, LPARAM, LRESULT& result) {
  // Only a choice writes: moving the highlight in the dropped list does not. It is
  // written once the editor has closed its list (and the size editor's box shows the
  // entry chosen), since closing it now would cancel the choice.
  if (HIWORD(wp) == CBN_SELENDOK) PostMessage(kCommitEditor);
  if (HIWORD(wp) == CBN_SELENDCANCEL && m_editors.Cancelled()) ::SetFocus(m_hWnd);
  if (HIWORD(wp) == CBN_EDITCHANGE) m_editors.ShowRefusal({});  // the refused text is being changed
  result = 0;
  return true;
}

bool CFontListCtrl::OnMouseMove(WPARAM, LPARAM lp, LRESULT&) {
  // Then the list's own tracking.
  if (m_sampleTip.GetSafeHwnd() == nullptr) return false;
  LVHITTESTINFO hit{};
  hit.pt = PointOf(lp);
  SubItemHitTest(&hit);
  if (hit.iItem < 0) {
    HideSample();
    HideCellTip();
    return false;
  }
  ShowCellTip(hit.iItem, hit.iSubItem);
  if (hit.iItem != m_sampleTip.GetRow()) {
    POINT at = PointOf(lp);
    ::ClientToScreen(m_hWnd, &at);
    const int row = hit.iItem;
    m_sampleTip.Show(row, GetItemText(row, kFirstValueColumn), GetItemText(row, kFirstValueColumn + 1),
                     GetItemText(row, kFirstValueColumn + 2), at);
  }
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
  ::TrackMouseEvent(&track);
  return false;
}

void CFontListCtrl::ShowCellTip(int row, int column) {
  if (row == m_cellTipRow && column == m_cellTipColumn) return;
  m_cellTipRow = row;
  m_cellTipColumn = column;
  m_cellTipText.clear();
  POINT at{ColumnLeft(column), 0};
  if (row >= 0 && column >= 0) {
    std::wstring text = GetItemText(row, column);
    const auto needed = static_cast<int>(SendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    RECT cell{};
    GetItemRect(row, &cell, LVIR_BOUNDS);
    at.y = cell.top;
    if (needed + kCellPadding > GetColumnWidth(column)) m_cellTipText = std::move(text);
  }
  ::ClientToScreen(m_hWnd, &at);
  m_cellTip.Show(m_cellTipText, at);
}

void CFontListCtrl::HideCellTip() {
  if (m_cellTipRow < 0 && m_cellTipText.empty()) return;
  ShowCellTip(-1, -1);
}

void CFontListCtrl::SetColumnShares(const std::array<int, theme::kColumnCount>& shares) {
  m_columnShares = shares;
  FitColumns();
}

void CFontListCtrl::FitColumns() {
  int total = 0;
  for (const int share : m_columnShares) total += share;
  if (total <= 0) return;
  const int width = static_cast<int>(GetClientRect().right);
  if (width <= 0) return;
  m_fittedWidth = width;
  int used = 0;
  for (int column = 0; column < theme::kColumnCount; ++column) {
    // The last column takes what rounding left over.
    const int share = m_columnShares.at(static_cast<std::size_t>(column));
    const int each = column + 1 == theme::kColumnCount ? width - used : ::MulDiv(width, share, total);
    if (GetColumnWidth(column) != each) SetColumnWidth(column, each);
    used += each;
  }
}

void CFontListCtrl::CloseEditors() {
  m_editors.Close();
  if (m_currentRow >= GetItemCount()) m_currentRow = -1;  // the rows it stood on are gone
  if (m_anchorRow >= GetItemCount()) m_anchorRow = 0;
  HideSample();
  HideCellTip();
}

void CFontListCtrl::AskForContextMenu(POINT screen) const {
  ::SendMessageW(::GetParent(m_hWnd), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(screen.x, screen.y));
}

POINT CFontListCtrl::ContextMenuPoint() const {
  POINT at{0, 0};
  RECT cell{};
  if (m_currentRow >= 0 && GetItemRect(m_currentRow, &cell, LVIR_BOUNDS)) {
    const int left = ColumnLeft(m_currentColumn);
    const RECT client = GetClientRect();
    at = POINT{std::clamp(left, 0, std::max(0, static_cast<int>(client.right) - 1)), cell.bottom};
  }
  ::ClientToScreen(m_hWnd, &at);
  return at;
}

void CFontListCtrl::SelectOnly(int first, int last) const {
  const int low = std::min(first, last);
  const int high = std::min(std::max(first, last), GetItemCount() - 1);
  // Only the rows whose state changes are told: the others stay as they are.
  for (const int row : GetSelectedRows()) {
    if (low < 0 || row < low || row > high) SetSelected(row, false);
  }
  for (int row = std::max(low, 0); low >= 0 && row <= high; ++row) SetSelected(row, true);
}

void CFontListCtrl::ToggleSelected(int row) const { SetSelected(row, !IsSelected(row)); }

void CFontListCtrl::SetSelected(int row, bool selected) const {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

bool CFontListCtrl::IsSelected(int row) const {
  return (SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

std::vector<int> CFontListCtrl::GetSelectedRows() const {
  std::vector<int> rows;
  for (int row = -1; (row = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                         LVNI_SELECTED))) >= 0;) {
    rows.push_back(row);
  }
  return rows;
}

void CFontListCtrl::SelectAll() {
  if (GetItemCount() == 0) return;
  SelectOnly(0, GetItemCount() - 1);
}

void CFontListCtrl::OpenCurrentEditor() {
  if (m_currentRow < 0 || m_currentRow >= GetItemCount()) return;
  m_editors.HideAll();
  OpenEditor(m_currentRow, m_currentColumn, true);
}

void CFontListCtrl::OpenEditor(int row, int column, bool drop) {
  const int left = ColumnLeft(column);
  RECT rowRect{};
  GetItemRect(row, &rowRect, LVIR_BOUNDS);
  const RECT cell{left, rowRect.top, left + GetColumnWidth(column), rowRect.bottom};
  m_editors.Open(row, column, cell, GetItemText(row, column), drop);
}

int CFontListCtrl::ColumnLeft(int column) const {
  int left = -::GetScrollPos(m_hWnd, SB_HORZ);  // the columns as displayed
  for (int c = 0; c < column; ++c) left += GetColumnWidth(c);
  return left;
}

void CFontListCtrl::SetCurrentCellAt(int row, int column) {
  // A click on an identifying cell keeps the value column, without scrolling to it.
  const bool value = column >= kFirstValueColumn;
  SetCurrentCell(row, value ? column : m_currentColumn, value);
}

void CFontListCtrl::SetCurrentCell(int row, int column, bool scrollToColumn) {
  const int before = m_currentRow;
  m_currentRow = row;
  m_currentColumn = column;
  if (before >= 0) SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(before), before);
  if (row < 0) return;
  SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  // The value column brought into view as well.
  const int left = ColumnLeft(column);
  const int right = left + GetColumnWidth(column);
  const RECT client = GetClientRect();
  int dx = 0;
  if (right > client.right) dx = right - client.right;
  if (left - dx < 0) dx = left;
  if (dx != 0 && scrollToColumn) SendMessage(LVM_SCROLL, static_cast<WPARAM>(dx), 0);
  SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

bool CFontListCtrl::HandleKey(WPARAM key) {
  const int count = GetItemCount();
  int row = m_currentRow < 0 ? 0 : m_currentRow;
  int column = m_currentColumn;
  const int page = std::max(1, static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)));
  const bool control = win32::KeyHeld(VK_CONTROL);
  switch (key) {
    case VK_UP: row -= 1; break;
    case VK_DOWN: row += 1; break;
    case VK_PRIOR: row -= page; break;
    case VK_NEXT: row += page; break;
    case VK_HOME: row = 0; break;
    case VK_END: row = count - 1; break;
    case VK_LEFT: column = std::max(kFirstValueColumn, column - 1); break;
    case VK_RIGHT: column = std::min(kFirstValueColumn + 2, column + 1); break;
    case VK_F2:
      OpenCurrentEditor();
      return true;
    case VK_SPACE:
      // Ctrl+Space adds the current row to the selection or takes it away; Space selects it.
      if (m_currentRow < 0) return true;
      if (control) {
        ToggleSelected(m_currentRow);
      } else {
        SelectOnly(m_currentRow, m_currentRow);
      }
      m_anchorRow = m_currentRow;
      return true;
    case VK_APPS:
      return true;  // the menu opens as the key comes up
    case 'A':
    case 'C':
      if (!control) return false;
      if (key == 'A') {
        SelectAll();
      } else {
        ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(IDM_COPY, 0), reinterpret_cast<LPARAM>(m_hWnd));
      }
      return true;
    default:
      return false;
  }
  if (count == 0) return true;
  HideOpenEditor();  // it would float over the wrong cell
  row = std::clamp(row, 0, count - 1);
  const bool rowMoved = row != m_currentRow;
  SetCurrentCell(row, column);
  if (win32::KeyHeld(VK_SHIFT)) {
    SelectOnly(m_anchorRow, row);
  } else if (!control && rowMoved) {
    SelectOnly(row, row);
    m_anchorRow = row;
  }
  return true;
}

void CFontListCtrl::CommitOpenEditor() {
  if (m_editors.GetColumn() < kFirstValueColumn || m_editors.GetRow() >= GetItemCount()) return;
  const std::optional<std::wstring> text = m_editors.TextToWrite();  // a face name, a size or an option
  if (!text) return;
  const std::wstring refused =
      m_cellChanged ? m_cellChanged(m_editors.GetRow(), m_editors.GetColumn(), *text) : std::wstring();
  if (!refused.empty()) {
    m_editors.ShowRefusal(refused);  // the editor stays, with the text, to be put right
    return;
  }
  // Written: the editor goes and the keyboard is back in the rows.
  if (m_editors.Written()) ::SetFocus(m_hWnd);
}

bool CFontListCtrl::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
    result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lp));
    return true;
  }
  return win32::CListCtrl::OnReflectedMessage(msg, wp, lp, result);
}

LRESULT CFontListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw) const {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:  // called back for every item,
      m_paintFocused = ::GetFocus() == m_hWnd;
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:  // and for every cell of it
      m_paintRowSelected = IsSelected(static_cast<int>(draw->nmcd.dwItemSpec));
      draw->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const int row = static_cast<int>(draw->nmcd.dwItemSpec);
      const bool focused = m_paintFocused;
      const bool identity = draw->iSubItem < kFirstValueColumn;
      draw->clrText = identity ? kIdentityText : kValueText;
      draw->clrTextBk = identity ? kIdentityBack : kValueBack;
      // Selected rows in the selection colours (paler without the focus); the current cell
      // stands out from them in reverse. The list's own selection drawing is turned off.
      const bool selected = m_paintRowSelected;
      draw->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
      if (selected) {
        draw->clrText = ::GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        draw->clrTextBk = focused ? ::GetSysColor(COLOR_HIGHLIGHT) : kUnfocusedSelection;
      }
      if (row == m_currentRow && draw->iSubItem == m_currentColumn && focused) {
        draw->clrText = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_HIGHLIGHTTEXT);
        draw->clrTextBk = selected ? kValueBack : ::GetSysColor(COLOR_HIGHLIGHT);
      }
      return CDRF_DODEFAULT;
    }
    default:
      return 0;
  }
}

}  // namespace widgets
