#include "about_dlg.h"

#include "resource.h"

CAboutDlg::CAboutDlg() : win32::CDialog(IDD_ABOUTBOX) {}
