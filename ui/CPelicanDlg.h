// CPelicanDlg: the application's main window (template 102).
#pragma once
#include "app/IConfigSettings.h"
#include "framework/ICommandExecutive.h"
#include "platform/Dialog.h"

class CPelicanDlg : public platform::CDialog {
public:
    CPelicanDlg();
    void SetLinks(ICommandExecutive* commands, IConfigSettings* config);

protected:
    bool OnInitDialog() override;
    void OnClose() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    ICommandExecutive* commands_ = nullptr;
    IConfigSettings* config_ = nullptr;
};
