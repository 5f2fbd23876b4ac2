#include "about_dlg.h"

#include "resource.h"

CAboutDlg::CAboutDlg(win32::CWnd* parent) : win32::CDialog(IDD_ABOUTBOX, parent) {}

BOOL CAboutDlg::OnInitDialog() {
  const BOOL result = win32::CDialog::OnInitDialog();
  CenterWindow();
  return result;
}
