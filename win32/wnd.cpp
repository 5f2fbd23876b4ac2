#include "wnd.h"

#include <exception>
#include <vector>

namespace win32 {

namespace {
const wchar_t kObjectProperty[] = L"Marvento.CWnd";
CreationHook* g_activeHook = nullptr;  // the UI thread is the only thread

// Allocates nothing: it may run because memory ran out.
void ReportHandlerFailure(const char* what) noexcept {
  ::OutputDebugStringA("Marvento: a message handler failed: ");
  ::OutputDebugStringA(what != nullptr ? what : "");
  ::OutputDebugStringA("\n");
}
}  // namespace

CWnd::~CWnd() {
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
    // A child dies with its owner object; detach first so no message reaches a
    // half-destroyed object.
    HWND hwnd = m_hWnd;
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    ::RemovePropW(hwnd, kObjectProperty);
    m_hWnd = nullptr;
    ::DestroyWindow(hwnd);
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  return static_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty));
}

bool CWnd::Attach(HWND hwnd) {
  if (hwnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hwnd) != nullptr) return false;
  if (::SetPropW(hwnd, kObjectProperty, this) == FALSE) return false;
  m_hWnd = hwnd;
  m_superProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WindowProc)));
  return true;
}

bool CWnd::SubclassWindow(HWND hwnd) { return Attach(hwnd); }

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                    HWND parent, UINT id) {
  HWND hwnd = nullptr;
  {
    CreationHook hook(*this, className);
    hwnd = ::CreateWindowExW(exStyle, className, text, style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
  }
  if (hwnd == nullptr) {
    m_hWnd = nullptr;
    return false;
  }
  if (m_hWnd == nullptr) Attach(hwnd);
  return m_hWnd == hwnd;
}

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CWnd* self = FromHandlePermanent(hwnd);
  if (self == nullptr) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  const Message outer = m_current;
  m_current = Message{msg, wp, lp};
  LRESULT result = 0;
  bool handled = false;
  try {
    CWnd* child = nullptr;
    if (msg == WM_NOTIFY && lp != 0) {
      child = FromHandlePermanent(reinterpret_cast<const NMHDR*>(lp)->hwndFrom);
    } else if (msg == WM_COMMAND && lp != 0) {
      child = FromHandlePermanent(reinterpret_cast<HWND>(lp));
    } else if (msg == WM_DRAWITEM && lp != 0) {
      child = FromHandlePermanent(reinterpret_cast<const DRAWITEMSTRUCT*>(lp)->hwndItem);
    }
    if (child != nullptr && child != this) handled = child->OnReflectedMessage(msg, wp, lp, result);
    if (!handled) handled = OnMessage(msg, wp, lp, result);
  } catch (const std::exception& error) {
    // Nothing may unwind through the system's code: the message gets its default
    // handling and the failure goes to the debugger.
    ReportHandlerFailure(error.what());
    handled = false;
  } catch (...) {
    ReportHandlerFailure("an exception of unknown type");
    handled = false;
  }
  if (!handled) result = Default();
  m_current = outer;
  if (msg == WM_NCDESTROY) {
    ::RemovePropW(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
    m_superProc = nullptr;
  }
  return result;
}

LRESULT CWnd::Default() {
  if (m_superProc == nullptr) return ::DefWindowProcW(m_hWnd, m_current.msg, m_current.wp, m_current.lp);
  return ::CallWindowProcW(m_superProc, m_hWnd, m_current.msg, m_current.wp, m_current.lp);
}

bool CWnd::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
bool CWnd::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CWnd::SendMessage(UINT msg, WPARAM wp, LPARAM lp) const { return ::SendMessageW(m_hWnd, msg, wp, lp); }
bool CWnd::PostMessage(UINT msg, WPARAM wp, LPARAM lp) const {
  return ::PostMessageW(m_hWnd, msg, wp, lp) != FALSE;
}
void CWnd::ShowWindow(int command) const { ::ShowWindow(m_hWnd, command); }
bool CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
bool CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
void CWnd::MoveWindow(int x, int y, int width, int height, bool repaint) const {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint ? TRUE : FALSE);
}
void CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const {
  ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}
RECT CWnd::GetClientRect() const {
  RECT r{};
  ::GetClientRect(m_hWnd, &r);
  return r;
}
RECT CWnd::GetWindowRect() const {
  RECT r{};
  ::GetWindowRect(m_hWnd, &r);
  return r;
}
void CWnd::ScreenToClient(RECT& rect) const {
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
}
void CWnd::SetFont(HFONT font, bool redraw) const {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}
HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
void CWnd::SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
std::wstring CWnd::GetWindowText() const {
  const int length = ::GetWindowTextLengthW(m_hWnd);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
  return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}
HWND CWnd::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
HWND CWnd::SetParent(HWND parent) const { return ::SetParent(m_hWnd, parent); }
void CWnd::Invalidate(bool erase) const { ::InvalidateRect(m_hWnd, nullptr, erase ? TRUE : FALSE); }

CreationHook::CreationHook(CWnd& wnd, const wchar_t* className)
    : m_hook(::SetWindowsHookExW(WH_CBT, &CreationHook::Filter, nullptr, ::GetCurrentThreadId())),
      m_outer(g_activeHook),
      m_wnd(&wnd),
      m_className(className) {
  g_activeHook = this;
}

CreationHook::~CreationHook() {
  g_activeHook = m_outer;
  if (m_hook != nullptr) ::UnhookWindowsHookEx(m_hook);
}

LRESULT CALLBACK CreationHook::Filter(int code, WPARAM wp, LPARAM lp) {
  CreationHook* self = g_activeHook;
  if (code == HCBT_CREATEWND && self != nullptr && self->m_wnd != nullptr) {
    // Only the window asked for: the system may create others on the way (an IME window).
    HWND hwnd = reinterpret_cast<HWND>(wp);
    wchar_t name[96] = {};
    ::GetClassNameW(hwnd, name, 96);
    const wchar_t* bare = name;  // a versioned class name ("6.0...!SysListView32")
    for (const wchar_t* c = name; *c != L'\0'; ++c) {
      if (*c == L'!') bare = c + 1;
    }
    if (::lstrcmpiW(bare, self->m_className) == 0) {
      CWnd* wnd = self->m_wnd;
      self->m_wnd = nullptr;
      wnd->Attach(hwnd);
    }
  }
  return ::CallNextHookEx(self != nullptr ? self->m_hook : nullptr, code, wp, lp);
}

}  // namespace win32
