// Handset.dll's factory: export number 1.
#include <windows.h>

#include <new>
#include <string>

#include "outside/handset/CFolderHandset.h"
#include "outside/handset/HandsetConfig.h"
#include "outside/handset/device/CMuxHandset.h"
#include "platform/Wnd.h"

namespace {

std::wstring LibraryDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(platform::CurrentModule(), path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring Environment(const wchar_t* name) {
    DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    DWORD got = ::GetEnvironmentVariableW(name, value.data(), n);
    value.resize(got < n ? got : 0);
    return value;
}

}  // namespace

// A folder named by the environment or Handset.ini makes the folder-backed
// device; otherwise the library looks for a real handset.
extern "C" __declspec(dllexport) IHandsetInteraction* DllCreateObject() {
    const std::wstring dir = LibraryDirectory();
    const std::wstring ini = dir.empty() ? L"" : dir + L"Handset.ini";
    const std::wstring root = handset::ConfiguredRoot(Environment(L"PELICAN_DEVICE_ROOT"), ini, dir);
    if (!root.empty()) return new (std::nothrow) handset::CFolderHandset(root);
    handset::wire::MuxAddress address;
    const std::wstring mux = handset::ConfiguredMux(Environment(L"USBMUXD_SOCKET_ADDRESS"), ini);
    if (!mux.empty() && !handset::wire::ParseMuxAddress(mux, &address))
        ::OutputDebugStringW(
            (L"Handset: the usbmux address \"" + mux + L"\" is not host:port; using 127.0.0.1:27015\n").c_str());
    return new (std::nothrow) handset::device::CMuxHandset(address);
}

// The companion of an object that DllCreateObject made.
extern "C" __declspec(dllexport) IHandsetTransfer* HandsetTransfer(IHandsetInteraction* device) {
    if (auto* folder = dynamic_cast<handset::CFolderHandset*>(device)) return folder->Transfer();
    if (auto* mux = dynamic_cast<handset::device::CMuxHandset*>(device)) return mux->Transfer();
    return nullptr;
}
