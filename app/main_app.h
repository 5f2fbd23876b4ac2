#pragma once
// The application object: checks that the system is Windows XP and runs the main
// dialog modally; the process ends when the dialog closes.
#include "app.h"

class CMainApp : public win32::CWinApp {
 public:
  CMainApp() noexcept;
  BOOL InitInstance() override;
};
