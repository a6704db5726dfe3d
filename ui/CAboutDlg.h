// The about box (template 100).
#pragma once
#include "platform/Dialog.h"

class CAboutDlg : public platform::CDialog {
public:
    CAboutDlg();

protected:
    bool OnInitDialog() override;
};
