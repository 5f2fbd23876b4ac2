#include "dialog.h"

#include "app.h"

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
  CreationHook hook(*this, "#32770");
  return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), OwnerWindow(),
                           &CDialog::DialogProc, 0);
}

bool CDialog::Create(HWND parent) {
  m_modalResult = 0;
  HWND hwnd = nullptr;
  {
    CreationHook hook(*this, "#32770");
    hwnd = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId),
                                parent != nullptr ? parent : OwnerWindow(), &CDialog::DialogProc, 0);
  }
  return hwnd != nullptr && hwnd == m_hWnd;
}

void CDialog::EndDialog(int result) {
  m_modalResult = result;
  ::EndDialog(m_hWnd, result);
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
      CWinApp* app = AfxGetApp();
      if (lp == 0 && app != nullptr && app->OnCmdMsg(id)) {
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
