#include "dialog.h"

#include "app.h"
#include "ui_resources.h"

namespace win32 {

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR CALLBACK CDialog::DialogProc(HWND, UINT msg, WPARAM, LPARAM) {
  // Everything is handled by the subclassed window procedure; only the focus rule of
  // WM_INITDIALOG is left to the dialog manager.
  return msg == WM_INITDIALOG ? TRUE : FALSE;
}

HWND CDialog::OwnerWindow() const {
  if (m_parent != nullptr) return m_parent->GetSafeHwnd();
  // Without a parent the application's main window owns the dialog, as long as it is
  // not this dialog itself.
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != this) {
    return app->m_pMainWnd->GetSafeHwnd();
  }
  return nullptr;
}

INT_PTR CDialog::DoModal() {
  m_modalResult = 0;
  const DLGTEMPLATE* dialogTemplate = FindDialogTemplate(m_templateId);
  if (dialogTemplate == nullptr) return -1;
  CreationHook hook(*this, L"#32770");
  return ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate, OwnerWindow(), &CDialog::DialogProc,
                                   0);
}

bool CDialog::Create(HWND parent) {
  m_modalResult = 0;
  HWND hwnd = nullptr;
  {
    const DLGTEMPLATE* dialogTemplate = FindDialogTemplate(m_templateId);
    if (dialogTemplate == nullptr) return false;
    CreationHook hook(*this, L"#32770");
    hwnd = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate,
                                        parent != nullptr ? parent : OwnerWindow(), &CDialog::DialogProc, 0);
  }
  return hwnd != nullptr && hwnd == m_hWnd;
}

void CDialog::EndDialog(int result) {
  m_modalResult = result;
  ::EndDialog(m_hWnd, result);
}

// A template at (0, 0) has no place of its own: it is shown centred over its owner, or
// over the work area when it has none, as the class library does for its dialogs.
void CDialog::CenterIfUnplaced() const {
  if ((::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_CHILD) != 0) return;
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  const RECT rect = GetWindowRect();
  // The template's origin lands on the screen's, or on the owner's (its client area on
  // Windows, its window on some implementations).
  bool unplaced = rect.left == 0 && rect.top == 0;
  if (owner != nullptr) {
    POINT client{0, 0};
    ::ClientToScreen(owner, &client);
    RECT window{};
    ::GetWindowRect(owner, &window);
    unplaced = unplaced || (rect.left == client.x && rect.top == client.y) ||
               (rect.left == window.left && rect.top == window.top);
  }
  if (unplaced) CenterWindow();
}

void CDialog::CenterWindow() const {
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  const RECT rect = GetWindowRect();
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT around = area;
  if (owner != nullptr && ::IsWindowVisible(owner) != FALSE && ::IsIconic(owner) == FALSE) ::GetWindowRect(owner, &around);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  int x = (around.left + around.right - width) / 2;
  int y = (around.top + around.bottom - height) / 2;
  // Kept on the work area.
  if (x + width > area.right) x = area.right - width;
  if (y + height > area.bottom) y = area.bottom - height;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::OnInitDialog() {
  DoDataExchange();
  return TRUE;
}

void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_INITDIALOG:
      result = OnInitDialog();
      CenterIfUnplaced();
      return true;
    case WM_COMMAND: {
      const UINT code = HIWORD(wp);
      if (code != BN_CLICKED && !(lp == 0 && code == 1)) break;  // button, menu or accelerator
      const UINT id = LOWORD(wp);
      if (id == IDOK) {
        OnOK();
        result = 0;
        return true;
      }
      if (id == IDCANCEL) {
        OnCancel();
        result = 0;
        return true;
      }
      break;
    }
    default:
      break;
  }
  return CWnd::OnMessage(msg, wp, lp, result);
}

}  // namespace win32
