// Shared pieces of the file view tests.
#include "tests/fileview/FileViewFixtures.h"

#include "framework/EmberGuids.h"

#include <shlobj.h>

#include <cstdint>

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

HRESULT STDMETHODCALLTYPE ConfigModule::QueryInterface(REFIID iid, void** out) {
    if (ember::SameGuid(iid, ember::IID_IConfigSettings))
        *out = static_cast<IConfigSettings*>(settings_);
    else if (ember::SameGuid(iid, ember::IID_IConfigSettings2))
        *out = static_cast<IConfigSettings2*>(settings_);
    else
        return E_NOINTERFACE;
    return S_OK;
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

bool WriteSolidBmp(const std::wstring& path, int width, int height, COLORREF colour) {
    int stride = (width * 3 + 3) & ~3;
    std::string bytes(54 + static_cast<size_t>(stride) * height, '\0');
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            size_t at = 54 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
            bytes[at] = static_cast<char>(GetBValue(colour));
            bytes[at + 1] = static_cast<char>(GetGValue(colour));
            bytes[at + 2] = static_cast<char>(GetRValue(colour));
        }
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

HDROP MakeDropHandle(const std::vector<std::wstring>& paths) {
    size_t chars = 1;
    for (const std::wstring& p : paths) chars += p.size() + 1;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    if (!memory) return nullptr;
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& p : paths) {
        p.copy(text, p.size());
        text += p.size() + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace fvtest
