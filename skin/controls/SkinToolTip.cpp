// CSkinToolTip.
#include "skin/controls/SkinToolTip.h"

#include <commctrl.h>

#include "platform/Wnd.h"

namespace nsSkin {

namespace {
TOOLINFOW ToolFor(HWND tool, const std::wstring* text) {
    TOOLINFOW info{};
    // The version-2 size is accepted by every common-controls version.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = 0;
    info.hwnd = tool;
    info.uId = 1;
    if (tool) ::GetClientRect(tool, &info.rect);
    info.lpszText = text ? const_cast<wchar_t*>(text->c_str()) : nullptr;
    return info;
}
}  // namespace

bool CSkinToolTip::Create(HWND owner) {
    Destroy();
    wnd_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, platform::CurrentModule(),
                             nullptr);
    if (!wnd_) return false;
    ::SetWindowPos(wnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SendMessageW(wnd_, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 100);
    ::SendMessageW(wnd_, TTM_ACTIVATE, TRUE, 0);
    return true;
}

void CSkinToolTip::Destroy() {
    if (wnd_ && ::IsWindow(wnd_)) ::DestroyWindow(wnd_);
    wnd_ = nullptr;
}

bool CSkinToolTip::AddTool(HWND tool, const std::wstring& text) {
    if (!wnd_ || !tool) return false;
    TOOLINFOW info = ToolFor(tool, &text);
    return ::SendMessageW(wnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void CSkinToolTip::RemoveTool(HWND tool) {
    if (!wnd_) return;
    TOOLINFOW info = ToolFor(tool, nullptr);
    ::SendMessageW(wnd_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CSkinToolTip::UpdateText(HWND tool, const std::wstring& text) {
    if (!wnd_) return;
    TOOLINFOW info = ToolFor(tool, &text);
    ::SendMessageW(wnd_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CSkinToolTip::Relay(const MSG& msg) {
    if (!wnd_ || msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) return;
    MSG copy = msg;
    ::SendMessageW(wnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}

}  // namespace nsSkin
