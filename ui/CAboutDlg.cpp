// CAboutDlg: the template holds the layout; the version comes from the program file.
#include "ui/CAboutDlg.h"

#include "app/FileVersion.h"
#include "app/ProgramPaths.h"
#include "app/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnInitDialog() {
    FileVersion version;
    if (ReadFileVersion(ModuleFileName(nullptr), &version))
        ::SetDlgItemTextW(hwnd(), IDC_ABOUT_VERSION, (L"Pelican Version " + VersionText(version)).c_str());
    return true;
}
