#include "main_app.h"

#include <mbctype.h>

#include "command_line.h"
#include "main_dlg.h"
#include "resource.h"
#include "signal_cleanup.h"
#include "ui_resources.h"
#include "ui_language_choice.h"

namespace {

CMainApp theApp;

}  // namespace

CMainApp::CMainApp() noexcept : win32::CWinApp(L"Marvento") {
  // Multibyte string functions of the C runtime follow the system's ANSI code page.
  _setmbcp(_MB_CP_ANSI);
}

BOOL CMainApp::InitInstance() {
  theme::removeFileOnSignal();
  ChooseUiLanguage();
  OSVERSIONINFOEXA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 156: the extended record
  ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version));

  if (version.dwMajorVersion == 5 && version.dwMinorVersion == 1) {
    CMainDlg dialog;
    dialog.SetStartupPath(FirstArgument(m_lpCmdLine));
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
  } else {
    win32::AfxMessageBox(win32::LoadUiString(IDS_XP_ONLY), MB_OK | MB_ICONINFORMATION);
  }
  return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
  return win32::AfxWinMain(instance, previous, commandLine, showCommand);
}
