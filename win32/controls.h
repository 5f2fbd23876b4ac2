#pragma once
// The common and standard controls the program uses, as thin wrappers over their
// messages. Texts are UTF-16.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "wnd.h"

namespace win32 {

class CListCtrl : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle = 0);
  int InsertColumn(int column, const wchar_t* heading, int format, int width);
  bool SetColumnWidth(int column, int width) const;
  [[nodiscard]] int GetColumnWidth(int column) const;
  int InsertItem(int item, const wchar_t* text) const;
  bool SetItemText(int item, int subItem, const wchar_t* text) const;
  [[nodiscard]] std::wstring GetItemText(int item, int subItem) const;
  [[nodiscard]] int GetItemCount() const;
  bool DeleteAllItems() const;
  bool GetItemRect(int item, RECT* rect, UINT code) const;
  // Sets the extended list-view style with a mask of 0, so `style` replaces all bits.
  DWORD SetExtendedStyle(DWORD style) const;
  int SubItemHitTest(LVHITTESTINFO* info) const;
  HIMAGELIST SetImageList(HIMAGELIST list, int which) const;
};

class CComboBox : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
  int AddString(const wchar_t* text) const;
  // First entry from `startAfter` + 1 that begins with `text`, ignoring case, or CB_ERR.
  [[nodiscard]] int FindString(int startAfter, const wchar_t* text) const;
  // First entry from `startAfter` + 1 whose whole text is `text`, ignoring case, or CB_ERR.
  [[nodiscard]] int FindStringExact(int startAfter, const wchar_t* text) const;
  int SetCurSel(int index) const;
  [[nodiscard]] int GetCurSel() const;
  [[nodiscard]] std::wstring GetLBText(int index) const;
  [[nodiscard]] bool GetDroppedState() const;
};

class CEdit : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle = 0);
  // Binds the box to its data: `changed` gets the text whenever it changes (EN_CHANGE,
  // reflected from whichever window is its parent), typed or set.
  void SetChangedHandler(std::function<void(const std::wstring&)> changed) { m_changed = std::move(changed); }

 protected:
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  std::function<void(const std::wstring&)> m_changed;
};

class CStatic : public CWnd {
 public:
  bool Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id);
};

class CTabCtrl : public CWnd {
 public:
  int InsertItem(int index, const wchar_t* text) const;  // TCIF_TEXT only
  bool DeleteAllItems() const;
  [[nodiscard]] int GetItemCount() const;
  [[nodiscard]] int GetCurSel() const;
  int SetCurSel(int index) const;
  void AdjustRect(bool larger, RECT* rect) const;
};

}  // namespace win32
