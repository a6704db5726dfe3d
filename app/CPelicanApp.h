// CPelicanApp: the process's application object.
#pragma once
#include "app/CPelicanApplication.h"
#include "platform/Handles.h"
#include "platform/WinApp.h"

class CPelicanApp : public platform::CWinApp {
public:
    CPelicanApp() = default;

    bool InitInstance() override;
    int ExitInstance() override;

    CPelicanApplication& Host() { return host_; }

private:
    CPelicanApplication host_;
    platform::UniqueHandle instanceMutex_;
};
