#pragma once
// The About box: dialog template 100, closed by OK or Esc.
#include "dialog.h"

class CAboutDlg : public win32::CDialog {
 public:
  CAboutDlg();
};
