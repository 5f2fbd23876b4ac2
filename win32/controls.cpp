#include "controls.h"

#include <array>

namespace win32 {

namespace {
// A field holds at most 63 UTF-16 units; the buffer leaves room to spare.
constexpr int kTextBuffer = 260;
}  // namespace

bool CListCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle) {
  return CreateEx(exStyle, WC_LISTVIEWW, L"", style, rect, parent, id);
}

int CListCtrl::InsertColumn(int column, const wchar_t* heading, int format, int width) {
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
  col.fmt = format;
  col.pszText = const_cast<wchar_t*>(heading);
  col.iSubItem = column;
  if (width >= 0) {
    col.mask |= LVCF_WIDTH;
    col.cx = width;
  }
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col)));
}

bool CListCtrl::SetColumnWidth(int column, int width) const {
  return SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0)) != 0;
}

int CListCtrl::GetColumnWidth(int column) const {
  return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

int CListCtrl::InsertItem(int item, const wchar_t* text) const {
  LVITEMW lv{};
  lv.mask = LVIF_TEXT;
  lv.iItem = item;
  lv.pszText = const_cast<wchar_t*>(text);
  return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lv)));
}

bool CListCtrl::SetItemText(int item, int subItem, const wchar_t* text) const {
  LVITEMW lv{};
  lv.iSubItem = subItem;
  lv.pszText = const_cast<wchar_t*>(text);
  return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != 0;
}

std::wstring CListCtrl::GetItemText(int item, int subItem) const {
  std::array<wchar_t, kTextBuffer> buffer{};
  LVITEMW lv{};
  lv.iSubItem = subItem;
  lv.pszText = buffer.data();
  lv.cchTextMax = static_cast<int>(buffer.size());
  const auto length = SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
  return std::wstring(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
bool CListCtrl::DeleteAllItems() const { return SendMessage(LVM_DELETEALLITEMS) != 0; }

bool CListCtrl::GetItemRect(int item, RECT* rect, UINT code) const {
  rect->left = static_cast<LONG>(code);
  return SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)) != 0;
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) const {
  return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}

int CListCtrl::SubItemHitTest(LVHITTESTINFO* info) const {
  return static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(info)));
}

HIMAGELIST CListCtrl::SetImageList(HIMAGELIST list, int which) const {
  return reinterpret_cast<HIMAGELIST>(
      SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list)));
}

bool CComboBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
  return CreateEx(0, L"ComboBox", L"", style, rect, parent, id);
}

int CComboBox::AddString(const wchar_t* text) const {
  return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::FindString(int startAfter, const wchar_t* text) const {
  return static_cast<int>(
      SendMessage(CB_FINDSTRING, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text)));
}

int CComboBox::FindStringExact(int startAfter, const wchar_t* text) const {
  return static_cast<int>(
      SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text)));
}

bool CComboBox::GetDroppedState() const { return SendMessage(CB_GETDROPPEDSTATE) != 0; }

int CComboBox::SetCurSel(int index) const {
  return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}
int CComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }

std::wstring CComboBox::GetLBText(int index) const {
  const auto length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied =
      SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

bool CEdit::Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle) {
  return CreateEx(exStyle, L"Edit", L"", style, rect, parent, id);
}

bool CEdit::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE && m_changed) {
    m_changed(GetWindowText());
    result = 0;
    return true;
  }
  return CWnd::OnReflectedMessage(msg, wp, lp, result);
}

bool CStatic::Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
  return CreateEx(0, L"Static", text, style, rect, parent, id);
}

int CTabCtrl::InsertItem(int index, const wchar_t* text) const {
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(text);
  return static_cast<int>(SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

bool CTabCtrl::DeleteAllItems() const { return SendMessage(TCM_DELETEALLITEMS) != 0; }
int CTabCtrl::GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
int CTabCtrl::GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
int CTabCtrl::SetCurSel(int index) const { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index))); }

void CTabCtrl::AdjustRect(bool larger, RECT* rect) const {
  SendMessage(TCM_ADJUSTRECT, larger ? TRUE : FALSE, reinterpret_cast<LPARAM>(rect));
}

}  // namespace win32
