// wintool: lets scripts wait for and close Pelican's top-level window by title.
//   wintool wait  <title> <ms>   exit 0 once a visible window with that title exists
//   wintool close <title> <ms>   posts WM_CLOSE and waits for the window to go
#include <windows.h>

#include <cwchar>
#include <string>

namespace {
HWND Find(const wchar_t* title) { return ::FindWindowW(nullptr, title); }
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    std::wstring verb = argv[1];
    const wchar_t* title = argv[2];
    DWORD limit = static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10));
    DWORD start = ::GetTickCount();
    if (verb == L"wait") {
        while (::GetTickCount() - start < limit) {
            HWND w = Find(title);
            if (w && ::IsWindowVisible(w)) return 0;
            ::Sleep(100);
        }
        return 1;
    }
    if (verb == L"close") {
        HWND w = Find(title);
        if (!w) return 0;
        ::PostMessageW(w, WM_CLOSE, 0, 0);
        while (::GetTickCount() - start < limit) {
            if (!::IsWindow(w)) return 0;
            ::Sleep(100);
        }
        return 1;
    }
    return 2;
}
