// The module that owns the user interface: it creates the main window.
#pragma once
#include "app/IConfigSettings.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/ICommandExecutive.h"
#include "ui/CPelicanDlg.h"

class CAppModuleUIMain : public CEmberAppModuleBase {
public:
    CAppModuleUIMain() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE Initialize() override;
    HRESULT STDMETHODCALLTYPE Uninitialize() override;

    HWND MainWindow() const { return mainWnd_; }

private:
    CPelicanDlg mainDlg_;
    IConfigSettings* config_ = nullptr;
    ICommandExecutive* executive_ = nullptr;
    HWND mainWnd_ = nullptr;
};
