// CPelicanDlg.
#include "ui/CPelicanDlg.h"

#include "app/resource.h"

CPelicanDlg::CPelicanDlg() : CDialog(IDD_PELICAN_DIALOG) {}

void CPelicanDlg::SetLinks(ICommandExecutive* commands, IConfigSettings* config) {
    commands_ = commands;
    config_ = config;
}

bool CPelicanDlg::OnInitDialog() {
    HICON icon = ::LoadIconW(platform::CurrentModule(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    if (config_) {
        wchar_t name[1024] = {};
        config_->GetStringValue(L"VersionName", name, 1024, 0);
        SetWindowText(name[0] ? name : L"HandsetLarkbox");
    }
    return true;
}

void CPelicanDlg::OnClose() {
    // The executive ends the application; the window is not closed here.
    if (commands_) commands_->InvokeCommand(L"Power_Off", 0, nullptr);
}
