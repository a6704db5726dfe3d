// ProgramCopy and RunningProgram.
#include "tests/support/ProcessDriver.h"

#include <shlobj.h>

namespace testsupport {

void CopyFolder(const std::wstring& from, const std::wstring& to, std::initializer_list<const wchar_t*> leaveOut) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((from + L"*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        bool skip = false;
        for (const wchar_t* l : leaveOut) skip = skip || _wcsicmp(l, name.c_str()) == 0;
        if (skip) continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyFolder(from + name + L"\\", to + name + L"\\", {});
        else
            ::CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
}

namespace {
struct FindContext {
    DWORD pid;
    const wchar_t* title;
    std::vector<HWND>* all;
    HWND found;
};

BOOL CALLBACK EnumTop(HWND wnd, LPARAM lp) {
    auto* ctx = reinterpret_cast<FindContext*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid != ctx->pid) return TRUE;
    if (ctx->all) {
        ctx->all->push_back(wnd);
        return TRUE;
    }
    if (!::IsWindowVisible(wnd)) return TRUE;
    if (ctx->title) {
        wchar_t text[512] = {};
        ::GetWindowTextW(wnd, text, 512);
        if (wcscmp(text, ctx->title) != 0) return TRUE;
    }
    ctx->found = wnd;
    return FALSE;
}

BOOL CALLBACK EnumChildText(HWND wnd, LPARAM lp) {
    wchar_t text[2048] = {};
    ::GetWindowTextW(wnd, text, 2048);
    if (text[0]) {
        auto* out = reinterpret_cast<std::wstring*>(lp);
        *out += text;
        *out += L"\n";
    }
    return TRUE;
}
}  // namespace

ProgramCopy::ProgramCopy(std::initializer_list<const wchar_t*> leaveOut) : scratch_(L"prog") {
    CopyFolder(ProgramDirectory(), scratch_.path(), leaveOut);
}

void ProgramCopy::UseOwnLog(int level) {
    std::wstring name = L"run-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(::GetTickCount()) + L".log";
    std::string narrow(name.begin(), name.end());
    WriteFileBytes(dir() + L"Pelican.exe.cfg", "[LogSetting]\r\nMask=1\r\nEnableTimeStamp=0\r\nLevel=" +
                                                   std::to_string(level) + "\r\nFile=" + narrow + "\r\n");
    wchar_t common[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common);
    logPath_ = std::wstring(common) + L"\\Pelican\\" + name;
}

RunningProgram::RunningProgram(const std::wstring& exe, const std::vector<std::wstring>& env,
                               const std::wstring& arguments) {
    // The child gets our environment plus the extra variables.
    std::wstring block;
    wchar_t* current = ::GetEnvironmentStringsW();
    for (const wchar_t* p = current; *p; p += wcslen(p) + 1) block.append(p).push_back(L'\0');
    ::FreeEnvironmentStringsW(current);
    for (const auto& e : env) block.append(e).push_back(L'\0');
    block.push_back(L'\0');
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!arguments.empty()) cmd += L" " + arguments;
    std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, block.data(),
                         dir.c_str(), &si, &pi)) {
        ::CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        pid_ = pi.dwProcessId;
    }
}

RunningProgram::~RunningProgram() {
    if (!process_) return;
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_, 99);
        ::WaitForSingleObject(process_, 5000);
    }
    ::CloseHandle(process_);
}

bool RunningProgram::WaitExit(DWORD ms, DWORD* exitCode) {
    if (!process_ || ::WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return false;
    if (exitCode) ::GetExitCodeProcess(process_, exitCode);
    return true;
}

HWND RunningProgram::FindWindow(const wchar_t* title) const {
    FindContext ctx{pid_, title, nullptr, nullptr};
    ::EnumWindows(&EnumTop, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND RunningProgram::WaitWindow(const wchar_t* title, DWORD ms) const {
    DWORD start = ::GetTickCount();
    do {
        if (HWND w = FindWindow(title)) return w;
        ::Sleep(50);
    } while (::GetTickCount() - start < ms);
    return nullptr;
}

std::vector<HWND> RunningProgram::Windows() const {
    std::vector<HWND> all;
    FindContext ctx{pid_, nullptr, &all, nullptr};
    ::EnumWindows(&EnumTop, reinterpret_cast<LPARAM>(&ctx));
    return all;
}

std::wstring ChildTexts(HWND wnd) {
    std::wstring out;
    ::EnumChildWindows(wnd, &EnumChildText, reinterpret_cast<LPARAM>(&out));
    return out;
}

}  // namespace testsupport
