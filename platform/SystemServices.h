// The seam for everything that would block or reach outside the process:
// modal prompts, starting programs, the clock, the system version. The
// running program uses the real platform; tests install a recording stand-in
// for the duration of a scope.
#pragma once
#include <windows.h>

#include <string>

namespace platform {

class ISystemServices {
public:
    virtual ~ISystemServices() = default;
    virtual int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;
    // Starts a program; false when it could not be started.
    virtual bool StartProcess(const std::wstring& application, const std::wstring& commandLine) = 0;
    virtual SYSTEMTIME LocalTime() = 0;
    virtual DWORD TickCount() = 0;
    // Seconds since 1970-01-01 UTC.
    virtual long long UnixTime() = 0;
    // Major and minor version of the operating system.
    virtual DWORD OsMajorVersion() = 0;
    virtual DWORD OsMinorVersion() = 0;
    // The window's taskbar button exists ("TaskbarButtonCreated"): progress can be shown on it from now on.
    virtual void TaskbarButtonCreated(HWND) {}
    // Progress on the window's taskbar button: done of total; total 0 takes it away.
    virtual void TaskbarProgress(HWND, ULONGLONG /*done*/, ULONGLONG /*total*/) {}
};

// The message the shell sends a window when its taskbar button has been made.
UINT TaskbarButtonCreatedMessage();

// The real platform.
class RealSystemServices : public ISystemServices {
public:
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
    bool StartProcess(const std::wstring& application, const std::wstring& commandLine) override;
    SYSTEMTIME LocalTime() override;
    DWORD TickCount() override;
    long long UnixTime() override;
    DWORD OsMajorVersion() override;
    DWORD OsMinorVersion() override;
    void TaskbarButtonCreated(HWND window) override;
    void TaskbarProgress(HWND window, ULONGLONG done, ULONGLONG total) override;

private:
    HWND taskbarWindow_ = nullptr;  // the window whose button exists
};

// The services in force for this module.
ISystemServices& System();

// Replaces the services for its lifetime (tests).
class ScopedSystemServices {
public:
    explicit ScopedSystemServices(ISystemServices& replacement);
    ~ScopedSystemServices();
    ScopedSystemServices(const ScopedSystemServices&) = delete;
    ScopedSystemServices& operator=(const ScopedSystemServices&) = delete;

private:
    ISystemServices* previous_;
};

}  // namespace platform
