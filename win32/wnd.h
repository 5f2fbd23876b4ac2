#pragma once
// The window base of the thin class layer: one C++ object per window, attached by
// subclassing as soon as the window exists, with each class routing the messages it
// cares about to member operations and handing everything else to the window's own
// procedure. Windows are Unicode windows: every text crosses as UTF-16. Notifications a control sends to its parent are offered to the control
// first (reflection), so a control can handle its own custom draw.
#include <windows.h>

#include <string>

namespace win32 {

// Whether `key` (VK_CONTROL, VK_SHIFT, ...) is held down as the current message was sent.
inline bool KeyHeld(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

// Whether `hwnd` is of window class `name` (ignoring case).
inline bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t found[32] = {};
  ::GetClassNameW(hwnd, found, 32);
  return ::lstrcmpiW(found, name) == 0;
}

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  [[nodiscard]] HWND GetSafeHwnd() const { return m_hWnd; }
  // The object attached to `hwnd` by this layer, or nullptr.
  static CWnd* FromHandlePermanent(HWND hwnd);

  // Creates the window with this object attached before its first message (WM_NCCREATE).
  bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                HWND parent, UINT id);
  // Attaches this object to an existing window (a control of a dialog template).
  bool SubclassWindow(HWND hwnd);

  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
  bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
  void ShowWindow(int command) const;
  [[nodiscard]] bool IsWindowVisible() const;
  [[nodiscard]] bool IsWindowEnabled() const;
  void MoveWindow(int x, int y, int width, int height, bool repaint = true) const;
  void SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const;
  [[nodiscard]] RECT GetClientRect() const;
  [[nodiscard]] RECT GetWindowRect() const;
  void ScreenToClient(RECT& rect) const;
  void SetFont(HFONT font, bool redraw = true) const;
  [[nodiscard]] HFONT GetFont() const;
  void SetWindowText(const std::wstring& text) const;
  [[nodiscard]] std::wstring GetWindowText() const;
  [[nodiscard]] HWND GetDlgItem(int id) const;
  HWND SetParent(HWND parent) const;
  void Invalidate(bool erase = true) const;

 protected:
  // The message map of a class: handles `msg` and returns true with its result, or
  // returns false to leave it to the base class and finally to the window's procedure.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // WM_NOTIFY, WM_COMMAND or WM_DRAWITEM that this window sent to its parent, offered
  // back to it.
  virtual bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // The window's own handling of the message being dispatched.
  LRESULT Default();

  HWND m_hWnd = nullptr;

 private:
  friend class CreationHook;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  bool Attach(HWND hwnd);

  struct Message {
    UINT msg = 0;
    WPARAM wp = 0;
    LPARAM lp = 0;
  };
  WNDPROC m_superProc = nullptr;
  Message m_current;
};

// Attaches `wnd` to the next window of class `className` created on this thread, while
// the object is alive: dialogs are created by the system, so their first messages
// arrive before the creating call returns.
class CreationHook {
 public:
  CreationHook(CWnd& wnd, const wchar_t* className);
  ~CreationHook();
  CreationHook(const CreationHook&) = delete;
  CreationHook& operator=(const CreationHook&) = delete;

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM wp, LPARAM lp);
  HHOOK m_hook;
  CreationHook* m_outer;
  CWnd* m_wnd;
  const wchar_t* m_className;
};

}  // namespace win32
