#pragma once
// The About box: dialog template 100, closed by OK or Esc, centred over the dialog it
// was opened from.
#include "dialog.h"

class CAboutDlg : public win32::CDialog {
 public:
  explicit CAboutDlg(win32::CWnd* parent = nullptr);

 protected:
  BOOL OnInitDialog() override;
};
