#pragma once
// The application object and the process entry: one static instance of a class
// derived from CWinApp, whose InitInstance runs the program.
#include <windows.h>

#include <string>

#include "wnd.h"

namespace win32 {

class CWinApp {
 public:
  explicit CWinApp(const wchar_t* appName) noexcept;
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Returning FALSE ends the application at once; TRUE runs a message loop.
  virtual BOOL InitInstance() { return FALSE; }
  virtual int Run();
  virtual int ExitInstance() { return 0; }

  CWnd* m_pMainWnd = nullptr;
  const wchar_t* m_pszAppName;
  const char* m_lpCmdLine = "";  // the command line after the program's name
};

CWinApp* AfxGetApp();
// Initialises the common controls and runs the application object.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
// A message box titled with the application's name, owned by its main window.
int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);

}  // namespace win32
