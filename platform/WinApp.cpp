// CWinApp and its message loop.
#include "platform/WinApp.h"

#include "platform/Wnd.h"

namespace platform {

namespace {
CWinApp* g_app = nullptr;  // the module's one application object
}

CWinApp::CWinApp() {
    if (!g_app) g_app = this;
    instance_ = CurrentModule();
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Current() { return g_app; }

int CWinApp::Run() {
    MSG msg{};
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            exitCode_ = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        if (PreTranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return ExitInstance();
}

bool CWinApp::PreTranslateMessage(MSG* msg) {
    for (HWND wnd = msg->hwnd; wnd; wnd = ::GetParent(wnd)) {
        CWnd* object = CWnd::FromHandle(wnd);
        if (object && object->PreTranslateMessage(msg)) return true;
    }
    return false;
}

int CWinApp::Main(HINSTANCE instance) {
    instance_ = instance;
    if (!InitInstance()) return ExitInstance();
    return Run();
}

}  // namespace platform
