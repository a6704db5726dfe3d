// Caretaker.exe stand-in: the updater the program starts at its update check.
// It records the arguments it was given and changes nothing: each goes to the
// debugger output, and, when PELICAN_CARETAKER_RECORD names a file, into that
// file as UTF-8, one argument a line (the program's own path first).
#include <windows.h>
// The platform headers below need the types of <windows.h>.
#include <shellapi.h>

#include <string>

#include "platform/Handles.h"

namespace {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring RecordPath() {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD n = ::GetEnvironmentVariableW(L"PELICAN_CARETAKER_RECORD", path, MAX_PATH * 4);
    return (n == 0 || n >= MAX_PATH * 4) ? std::wstring() : std::wstring(path, n);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const wchar_t* line = ::GetCommandLineW();
    ::OutputDebugStringW((std::wstring(L"Caretaker: ") + line + L"\n").c_str());
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(line, &count);
    if (!args) return 1;
    std::string record;
    for (int i = 0; i < count; ++i) {
        ::OutputDebugStringW((L"Caretaker argument: " + std::wstring(args[i]) + L"\n").c_str());
        record += ToUtf8(args[i]) + "\n";
    }
    ::LocalFree(args);
    const std::wstring path = RecordPath();
    if (!path.empty()) {
        platform::UniqueFile file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return 2;
        DWORD written = 0;
        if (!::WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr) ||
            written != record.size())
            return 3;
    }
    return 0;
}
