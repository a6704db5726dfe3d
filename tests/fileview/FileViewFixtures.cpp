// Shared pieces of the file view tests.
#include "tests/fileview/FileViewFixtures.h"

namespace fvtest {

LONG STDMETHODCALLTYPE FakeSettings::GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG) {
    auto found = values.find(key);
    if (found == values.end() || !buffer || capacity <= 0) return 0;
    size_t n = found->second.size() < static_cast<size_t>(capacity) ? found->second.size()
                                                                       : static_cast<size_t>(capacity) - 1;
    found->second.copy(buffer, n);
    buffer[n] = L'\0';
    return 1;
}

HostWindow::HostWindow(int width, int height) {
    RegisterWindowClass(L"PelicanFileViewTestHost", CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    RECT rect{40, 40, 40 + width, 40 + height};
    // Not shown: mapping and unmapping a top-level X window costs Wine seconds
    // without a window manager, and messages reach hidden windows alike.
    CreateEx(0, L"PelicanFileViewTestHost", L"host", WS_POPUP | WS_CLIPCHILDREN, rect, nullptr, 0);
}

void Pump(DWORD milliseconds) {
    DWORD start = ::GetTickCount();
    MSG msg;
    do {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(1);
    } while (::GetTickCount() - start < milliseconds);
}

tag_DirectoryFileTree Folder(const std::wstring& name, std::vector<tag_DirectoryFileTree> children) {
    tag_DirectoryFileTree node(name, 0, true);
    node.children = std::move(children);
    return node;
}

tag_DirectoryFileTree File(const std::wstring& name, std::uint64_t size) { return {name, size, false}; }

tag_DirectoryFileTree MediaListing() {
    return Folder(L"Media", {Folder(L"DCIM", {Folder(L"100APPLE", {File(L"IMG_0001.JPG", 2048)})}),
                             File(L"notes.txt", 10), Folder(L"Music"), File(L"README", 1536)});
}

}  // namespace fvtest
