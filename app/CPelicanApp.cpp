// CPelicanApp: start-up and exit of the process.
#include "app/CPelicanApp.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/Applog.h"
#include "outside/skinscrollbar/SkinScrollBar.h"

namespace {
constexpr wchar_t kInstanceMutex[] = L"A29D7381-6AE0-40d1-B3AA-38A92B528888";
constexpr wchar_t kMainWindowTitle[] = L"EmberPelican";

void ActivateFirstInstance() {
    HWND first = ::FindWindowW(L"#32770", kMainWindowTitle);
    if (!first) return;
    if (::IsIconic(first)) ::ShowWindow(first, SW_RESTORE);
    ::SetForegroundWindow(first);
}
}  // namespace

bool CPelicanApp::InitInstance() {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = 8;
    icc.dwICC = 0xFF;
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);  // its result is ignored: drag and drop simply stays off
    SetRegistryKey(L"Local AppWizard-Generated Applications");

    instanceMutex_.reset(::CreateMutexW(nullptr, TRUE, kInstanceMutex));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ActivateFirstInstance();
        return false;
    }

    StartAppLog(Instance());
    SkinSB_InitializeApp();
    return host_.Start() >= 0;
}

int CPelicanApp::ExitInstance() {
    host_.Stop();
    SkinSB_UninitializeApp();
    instanceMutex_.reset();
    return CWinApp::ExitInstance();
}
