// CWinApp: the process's application object. The program defines exactly one
// as a global; the entry point drives InitInstance, the message loop and
// ExitInstance.
#pragma once
#include <windows.h>

namespace platform {

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The application object of this module (program or DLL), or null.
    static CWinApp* Current();

    // True runs the message loop; false ends the process (ExitInstance still runs).
    virtual bool InitInstance() { return true; }
    // Returns the process exit code: by default the WM_QUIT code.
    virtual int ExitInstance() { return exitCode_; }
    virtual int Run();
    // Offers a message to the target window and its ancestors before dispatch.
    virtual bool PreTranslateMessage(MSG* msg);

    HINSTANCE Instance() const { return instance_; }
    void SetInstance(HINSTANCE instance) { instance_ = instance; }
    CWnd* MainWnd() const { return mainWnd_; }
    void SetMainWnd(CWnd* wnd) { mainWnd_ = wnd; }
    void SetRegistryKey(const wchar_t* key) { registryKey_ = key; }
    const wchar_t* RegistryKey() const { return registryKey_; }

    // Runs the whole life of the application object (used by the entry point).
    int Main(HINSTANCE instance);

private:
    HINSTANCE instance_ = nullptr;
    CWnd* mainWnd_ = nullptr;
    const wchar_t* registryKey_ = L"";
    int exitCode_ = 0;
};

}  // namespace platform
