#include "app.h"

#include <commctrl.h>

namespace win32 {

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const wchar_t* appName) noexcept : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

int CWinApp::Run() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return ExitInstance();
}

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  if (commandLine != nullptr) app->m_lpCmdLine = commandLine;
  if (app->InitInstance() == FALSE) return app->ExitInstance();
  return app->Run();
}

int AfxMessageBox(const std::wstring& text, UINT type) {
  CWinApp* app = AfxGetApp();
  HWND owner = nullptr;
  const wchar_t* caption = nullptr;
  if (app != nullptr) {
    caption = app->m_pszAppName;
    if (app->m_pMainWnd != nullptr) owner = app->m_pMainWnd->GetSafeHwnd();
  }
  if (owner != nullptr && ::IsWindowEnabled(owner) == FALSE) owner = ::GetActiveWindow();
  return ::MessageBoxW(owner, text.c_str(), caption, type);
}

}  // namespace win32
