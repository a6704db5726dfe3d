// CAppModuleUIMain.
#include "ui/CAppModuleUIMain.h"

#include "platform/WinApp.h"

HRESULT STDMETHODCALLTYPE CAppModuleUIMain::QueryInterface(REFIID, void** out) {
    if (!out) return E_POINTER;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CAppModuleUIMain::Initialize() {
    // Missing partners leave their links null; the window runs without them.
    if (LookUp(ember::MID_CmdExecutive, ember::IID_ICommandExecutive, &executive_) < 0) executive_ = nullptr;
    if (LookUp(ember::MID_ConfigModule, ember::IID_IConfigSettings, &config_) < 0) config_ = nullptr;
    mainDlg_.SetLinks(executive_, config_);
    if (!mainDlg_.Create(nullptr)) return E_FAIL;
    if (platform::CWinApp* app = platform::CWinApp::Current()) app->SetMainWnd(&mainDlg_);
    mainWnd_ = mainDlg_.hwnd();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAppModuleUIMain::Uninitialize() {
    if (mainDlg_.hwnd()) mainDlg_.DestroyWindow();
    if (platform::CWinApp* app = platform::CWinApp::Current())
        if (app->MainWnd() == &mainDlg_) app->SetMainWnd(nullptr);
    return S_OK;
}
