// The real system services and the replaceable pointer to them.
#include "platform/SystemServices.h"

#include <shobjidl.h>

#include <ctime>
#include <vector>

namespace platform {

namespace {
RealSystemServices g_real;
ISystemServices* g_current = &g_real;

// RtlGetVersion tells the truth where GetVersionEx is subject to manifests.
void QueryVersion(DWORD* major, DWORD* minor) {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto fn = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion"))) : nullptr;
    if (fn && fn(&info) == 0) {
        *major = info.dwMajorVersion;
        *minor = info.dwMinorVersion;
        return;
    }
    *major = 5;
    *minor = 1;
}
}  // namespace

int RealSystemServices::MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

bool RealSystemServices::StartProcess(const std::wstring& application, const std::wstring& commandLine) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr, FALSE,
                          0, nullptr, nullptr, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

SYSTEMTIME RealSystemServices::LocalTime() {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return st;
}

DWORD RealSystemServices::TickCount() { return ::GetTickCount(); }

long long RealSystemServices::UnixTime() { return static_cast<long long>(std::time(nullptr)); }

DWORD RealSystemServices::OsMajorVersion() {
    DWORD major = 0, minor = 0;
    QueryVersion(&major, &minor);
    return major;
}

DWORD RealSystemServices::OsMinorVersion() {
    DWORD major = 0, minor = 0;
    QueryVersion(&major, &minor);
    return minor;
}

UINT TaskbarButtonCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}

void RealSystemServices::TaskbarButtonCreated(HWND window) { taskbarWindow_ = window; }

void RealSystemServices::TaskbarProgress(HWND window, ULONGLONG done, ULONGLONG total) {
    // Before the shell announced the button, the calls would fail or be lost.
    if (!window || window != taskbarWindow_) return;
    ITaskbarList3* list = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                  reinterpret_cast<void**>(&list))) ||
        !list)
        return;
    if (SUCCEEDED(list->HrInit())) {
        if (total == 0) {
            list->SetProgressState(window, TBPF_NOPROGRESS);
        } else {
            list->SetProgressState(window, TBPF_NORMAL);
            list->SetProgressValue(window, done, total);
        }
    }
    list->Release();
}

ISystemServices& System() { return *g_current; }

ScopedSystemServices::ScopedSystemServices(ISystemServices& replacement) : previous_(g_current) {
    g_current = &replacement;
}

ScopedSystemServices::~ScopedSystemServices() { g_current = previous_; }

}  // namespace platform
