#include "font_list_ctrl.h"

#include <windowsx.h>

#include <algorithm>

#include "installed_faces.h"
#include "resource.h"
#include "sample_font.h"

namespace widgets {

namespace {

constexpr DWORD kSortedEditorStyle = WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS;
// The size editor takes typing too: any size the value rules allow.
constexpr DWORD kSizeEditorStyle = WS_CHILD | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
constexpr const wchar_t* kSizes[] = {L"1",  L"6",  L"7",  L"8",  L"9",  L"10", L"11", L"12", L"13",
                                     L"14", L"15", L"16", L"17", L"18", L"19", L"20", L"21", L"22"};
constexpr const wchar_t* kOptions[] = {L"Bold", L"Italic", L"Bold Italic", L""};
constexpr int kRowHeight = 20;
constexpr int kEditorRows = 9;  // the closed box and eight rows of its list
constexpr COLORREF kIdentityText = RGB(72, 72, 72);
constexpr COLORREF kIdentityBack = RGB(240, 240, 240);
constexpr COLORREF kValueText = RGB(0, 0, 0);
constexpr COLORREF kValueBack = RGB(255, 255, 255);
constexpr COLORREF kUnfocusedSelection = RGB(204, 214, 232);
constexpr wchar_t kSampleText[] = L"Aa あア亜 123";
constexpr int kSampleOffset = 16;  // the tip keeps clear of the mouse pointer
constexpr UINT kCommitEditor = WM_APP + 20;  // posted by an editor's choice, once its list has closed
constexpr int kCellPadding = 12;  // the list's margins around a cell's text
#ifndef WM_MOUSEHWHEEL
constexpr UINT WM_MOUSEHWHEEL = 0x020E;  // Vista's horizontal wheel; XP headers lack it
#endif

// The one tool of a list's sample tip (and of its other tips, with their own texts).
TTTOOLINFOW SampleTool(HWND list, const wchar_t* text = kSampleText) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = list;
  tool.uId = 1;
  tool.lpszText = const_cast<wchar_t*>(text);
  return tool;
}

// A tracking tip owned by `list`, placed by the list.
HWND CreateTrackingTip(HWND list, DWORD style) {
  HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | style,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, list, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  if (tip == nullptr) return nullptr;
  TTTOOLINFOW tool = SampleTool(list);
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return tip;
}

// Shows `tip` at `screen` with `text`, or hides it (an empty text).
void TrackTip(HWND tip, HWND list, const std::wstring& text, POINT screen) {
  if (tip == nullptr) return;
  TTTOOLINFOW tool = SampleTool(list, text.c_str());
  if (text.empty()) {
    ::SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
  ::SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

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
  switch (msg) {
    case WM_CREATE:
      result = Default();
      if (result == -1) return true;
      result = OnCreate() ? 0 : -1;
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // Not passed on: the list's own handling would start a drag or a marquee.
      OnLButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, wp);
      result = 0;
      return true;
    case WM_RBUTTONDOWN:
      OnRButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      result = 0;
      return true;
    case WM_RBUTTONUP: {
      POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ::ClientToScreen(m_hWnd, &at);
      AskForContextMenu(at);
      result = 0;
      return true;
    }
    case WM_CONTEXTMENU:
      // The owner shows the menu; the list's own handling would ask a second time.
      AskForContextMenu(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      result = 0;
      return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      // An editor left open would float over the wrong cell once the rows move.
      HideOpenEditor();
      break;
    case WM_KEYDOWN:
      if (OnKeyDown(wp)) {
        result = 0;
        return true;
      }
      if (IsScrollKey(wp)) HideOpenEditor();
      break;
    case kCommitEditor:
      CommitOpenEditor();
      result = 0;
      return true;
    case WM_SIZE:
      // The window changed: a tip would point at where a row was.
      HideSample();
      HideCellTip();
      result = Default();
      // Only a new width: a horizontal scroll bar coming with a column widened by hand
      // changes the height alone, and the hand's width stays.
      if (GetClientRect().right != m_fittedWidth) FitColumns();
      return true;
    case WM_SYSKEYDOWN:
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
      break;
    case WM_KEYUP:
      if (wp == VK_APPS) {
        AskForContextMenu(POINT{-1, -1});
        result = 0;
        return true;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The current cell and the selected rows are drawn in other colours while the list
      // has the focus.
      if (msg == WM_SETFOCUS && m_currentRow < 0 && GetItemCount() > 0) m_currentRow = 0;
      ::InvalidateRect(m_hWnd, nullptr, FALSE);
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      break;  // then the list's own tracking
    case WM_MOUSELEAVE:
      HideSample();
      HideCellTip();
      break;
    case WM_COMMAND:
      if (LOWORD(wp) < kEditorIds.front() || LOWORD(wp) > kEditorIds.back()) break;
      // Only a choice writes: moving the highlight in the dropped list does not.
      if (HIWORD(wp) == CBN_SELENDOK) OnEditorChosen();
      if (HIWORD(wp) == CBN_SELENDCANCEL) OnEditorCancelled();
      if (HIWORD(wp) == CBN_EDITCHANGE) ShowRefusal({});  // the refused text is being changed
      result = 0;
      return true;
    default:
      break;
  }
  return win32::CListCtrl::OnMessage(msg, wp, lp, result);
}

bool CFontListCtrl::OnCreate() {
  // The row-height image list belongs to m_rowHeight however the list is destroyed.
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | LVS_SHAREIMAGELISTS);
  if (m_rowHeight.Create(1, kRowHeight, ILC_COLOR, 0, 0)) SetImageList(m_rowHeight.GetSafeHandle(), LVSIL_STATE);

  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
  const RECT tiny{0, 0, 1, 1};
  win32::CComboBox& faces = *m_editors[0];
  faces.Create(kSortedEditorStyle | CBS_OWNERDRAWFIXED, tiny, m_hWnd, kEditorIds[0]);
  faces.SetFont(font);
  AddInstalledFaces(faces);

  win32::CComboBox& sizes = *m_editors[1];
  sizes.Create(kSizeEditorStyle, tiny, m_hWnd, kEditorIds[1]);
  sizes.SetFont(font);
  for (const wchar_t* size : kSizes) sizes.AddString(size);

  win32::CComboBox& options = *m_editors[2];
  options.Create(kSortedEditorStyle, tiny, m_hWnd, kEditorIds[2]);
  options.SetFont(font);
  for (const wchar_t* option : kOptions) options.AddString(option);

  // The sample tip: a tracking tooltip owned by the list, moved to the row under the mouse.
  m_sampleTip = CreateTrackingTip(m_hWnd, 0);
  m_cellTip = CreateTrackingTip(m_hWnd, 0);
  m_refusalTip = CreateTrackingTip(m_hWnd, TTS_BALLOON);

  m_editColumn = -1;
  return true;
}

void CFontListCtrl::OnMouseMove(POINT point) {
  if (m_sampleTip == nullptr) return;
  LVHITTESTINFO hit{};
  hit.pt = point;
  SubItemHitTest(&hit);
  if (hit.iItem < 0) {
    HideSample();
    HideCellTip();
    return;
  }
  ShowCellTip(hit.iItem, hit.iSubItem);
  if (hit.iItem != m_sampleRow) {
    m_sampleRow = hit.iItem;
    HDC screen = ::GetDC(nullptr);
    const int pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    const LOGFONTW font = SampleLogFont(GetItemText(m_sampleRow, kFirstValueColumn),
                                        GetItemText(m_sampleRow, kFirstValueColumn + 1),
                                        GetItemText(m_sampleRow, kFirstValueColumn + 2), pixelsPerInch);
    ::SendMessageW(m_sampleTip, WM_SETFONT, 0, FALSE);  // the old font goes next
    if (m_sampleFont.CreateFontIndirect(font)) {
      ::SendMessageW(m_sampleTip, WM_SETFONT, reinterpret_cast<WPARAM>(m_sampleFont.GetSafeHandle()), FALSE);
    }
    TTTOOLINFOW tool = SampleTool(m_hWnd);
    ::SendMessageW(m_sampleTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));  // re-measured
    POINT at = point;
    ::ClientToScreen(m_hWnd, &at);
    ::SendMessageW(m_sampleTip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x + kSampleOffset, at.y + kSampleOffset));
    ::SendMessageW(m_sampleTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  }
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
  ::TrackMouseEvent(&track);
}

void CFontListCtrl::HideSample() {
  if (m_sampleTip == nullptr || m_sampleRow < 0) return;
  TTTOOLINFOW tool = SampleTool(m_hWnd);
  ::SendMessageW(m_sampleTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  m_sampleRow = -1;
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
  TrackTip(m_cellTip, m_hWnd, m_cellTipText, at);
}

void CFontListCtrl::HideCellTip() {
  if (m_cellTipRow < 0 && m_cellTipText.empty()) return;
  ShowCellTip(-1, -1);
}

void CFontListCtrl::ShowRefusal(const std::wstring& reason) {
  POINT at{0, 0};
  if (m_editColumn >= kFirstValueColumn) {
    const RECT editor = m_editors.at(m_editColumn - kFirstValueColumn)->GetWindowRect();
    at = POINT{editor.left + 8, editor.top + ::GetSystemMetrics(SM_CYVSCROLL)};
  }
  TrackTip(m_refusalTip, m_hWnd, reason, at);
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

void CFontListCtrl::HideOpenEditor() const {
  if (m_editColumn < kFirstValueColumn) return;
  TrackTip(m_refusalTip, m_hWnd, {}, POINT{});
  const win32::CComboBox& editor = *m_editors.at(m_editColumn - kFirstValueColumn);
  if (editor.IsWindowVisible()) editor.ShowWindow(SW_HIDE);
}

void CFontListCtrl::HideEditors() const {
  TrackTip(m_refusalTip, m_hWnd, {}, POINT{});
  for (const auto* editor : m_editors) {
    if (editor->GetDroppedState()) editor->SendMessage(CB_SHOWDROPDOWN, FALSE);  // its list would stay
    if (editor->IsWindowVisible()) editor->ShowWindow(SW_HIDE);
  }
}

void CFontListCtrl::CloseEditors() {
  HideEditors();
  m_editColumn = -1;
  m_editRow = 0;
  if (m_currentRow >= GetItemCount()) m_currentRow = -1;  // the rows it stood on are gone
  if (m_anchorRow >= GetItemCount()) m_anchorRow = 0;
  HideSample();
  HideCellTip();
}

void CFontListCtrl::OnLButtonDown(POINT point, WPARAM keys) {
  LVHITTESTINFO hit{};
  hit.pt = point;
  SubItemHitTest(&hit);
  const int row = hit.iItem;
  const int column = hit.iSubItem;
  HideSample();  // it would cover the editor
  HideCellTip();

  HideEditors();
  ::SetFocus(m_hWnd);  // the keyboard follows the mouse into the list
  if (row < 0) {
    if ((keys & (MK_CONTROL | MK_SHIFT)) == 0) SelectOnly(-1, -1);
    return;
  }
  SetCurrentCellAt(row, column);
  // Ctrl and Shift only select; a plain click selects its row and opens a value cell's editor.
  if ((keys & MK_CONTROL) != 0) {
    ToggleSelected(row);
    m_anchorRow = row;
    return;
  }
  if ((keys & MK_SHIFT) != 0) {
    SelectOnly(m_anchorRow, row);
    return;
  }
  SelectOnly(row, row);
  m_anchorRow = row;
  if (column >= kFirstValueColumn) OpenEditor(row, column, true);
}

void CFontListCtrl::OnRButtonDown(POINT point) {
  LVHITTESTINFO hit{};
  hit.pt = point;
  SubItemHitTest(&hit);
  HideSample();
  HideEditors();
  ::SetFocus(m_hWnd);
  if (hit.iItem < 0) return;
  // The menu acts on the selection; a row outside it becomes the selection.
  if (!IsSelected(hit.iItem)) {
    SelectOnly(hit.iItem, hit.iItem);
    m_anchorRow = hit.iItem;
  }
  SetCurrentCellAt(hit.iItem, hit.iSubItem);
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
  HideEditors();
  OpenEditor(m_currentRow, m_currentColumn, true);
}

HWND CFontListCtrl::GetOpenEditor() const {
  for (const auto* editor : m_editors) {
    if (editor->IsWindowVisible()) return editor->GetSafeHwnd();
  }
  return nullptr;
}

void CFontListCtrl::OpenEditor(int row, int column, bool drop) {
  const int width = GetColumnWidth(column);
  const int left = ColumnLeft(column);
  RECT rowRect{};
  GetItemRect(row, &rowRect, LVIR_BOUNDS);

  m_editRow = row;
  m_editColumn = column;
  const std::size_t index = static_cast<std::size_t>(column - kFirstValueColumn);
  const win32::CComboBox& editor = *m_editors.at(index);
  editor.MoveWindow(left, rowRect.top, width, kEditorRows * (rowRect.bottom - rowRect.top), true);
  // The editor shows what the cell holds: its entry (ignoring case), or the cell's own
  // value as the first entry when none is offered (a face not installed, a size such as
  // -16), so that no value looks erased.
  if (m_cellEntry.at(index)) editor.SendMessage(CB_DELETESTRING, 0);
  const std::wstring text = GetItemText(row, column);
  int entry = FindEntry(editor, text);
  m_cellEntry.at(index) = entry == CB_ERR;
  if (entry == CB_ERR) {
    entry = static_cast<int>(editor.SendMessage(CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  }
  editor.SetCurSel(entry);
  editor.ShowWindow(SW_SHOW);
  if (drop) {
    ::SetFocus(editor.GetSafeHwnd());
    editor.SendMessage(CB_SHOWDROPDOWN, TRUE);
  }
}

int CFontListCtrl::FindEntry(const win32::CComboBox& editor, const std::wstring& text) {
  const int count = static_cast<int>(editor.SendMessage(CB_GETCOUNT));
  for (int entry = 0; entry < count; ++entry) {
    if (::lstrcmpiW(editor.GetLBText(entry).c_str(), text.c_str()) == 0) return entry;
  }
  return CB_ERR;
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

bool CFontListCtrl::OnKeyDown(WPARAM key) {
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

void CFontListCtrl::OnEditorChosen() {
  // Written once the editor has closed its list (and the size editor's box shows the
  // entry chosen), since closing it now would cancel the choice.
  PostMessage(kCommitEditor);
}

void CFontListCtrl::CommitOpenEditor() {
  if (m_editColumn < kFirstValueColumn || m_editRow >= GetItemCount()) return;
  const win32::CComboBox& editor = *m_editors.at(m_editColumn - kFirstValueColumn);
  if (!editor.IsWindowVisible()) return;
  std::wstring text;  // a face name, a size or an option
  if (m_editColumn == theme::kColSize) {
    text = editor.GetWindowText();  // typed or chosen
    if (editor.GetDroppedState()) {
      m_closingList = true;  // closed to write, not cancelled
      editor.SendMessage(CB_SHOWDROPDOWN, FALSE);
      m_closingList = false;
    }
  } else {
    const int index = editor.GetCurSel();
    if (index == CB_ERR) return;
    text = editor.GetLBText(index);
  }
  const std::wstring refused = m_cellChanged ? m_cellChanged(m_editRow, m_editColumn, text) : std::wstring();
  if (!refused.empty()) {
    ShowRefusal(refused);  // the editor stays, with the text, to be put right
    return;
  }
  // Written: the editor goes and the keyboard is back in the rows.
  HWND focus = ::GetFocus();
  const bool focused = focus == editor.GetSafeHwnd() || (focus != nullptr && ::IsChild(editor.GetSafeHwnd(), focus));
  HideEditors();
  if (focused) ::SetFocus(m_hWnd);
}

void CFontListCtrl::OnEditorCancelled() {
  // Esc in the dropped list, or a click away from it: the editor goes, the cell stays.
  // (A closed editor losing the focus says the same; it stays open.)
  if (m_editColumn < kFirstValueColumn || m_closingList) return;
  const win32::CComboBox& editor = *m_editors.at(m_editColumn - kFirstValueColumn);
  if (!editor.GetDroppedState()) return;
  HWND focus = ::GetFocus();
  const bool focused = focus == editor.GetSafeHwnd() || (focus != nullptr && ::IsChild(editor.GetSafeHwnd(), focus));
  TrackTip(m_refusalTip, m_hWnd, {}, POINT{});
  editor.ShowWindow(SW_HIDE);
  if (focused) ::SetFocus(m_hWnd);
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
