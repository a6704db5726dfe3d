// CAboutDlg: the template says it all; OK closes it.
#include "ui/CAboutDlg.h"

#include "app/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
