// CSkinToolTip: one tooltip window that owns its handle and is destroyed with
// its owner object (a pop-up's owner is always a top-level window, so a
// control's tooltip would otherwise live until the whole dialog goes).
#pragma once
#include <windows.h>

#include <string>

namespace nsSkin {

class CSkinToolTip {
public:
    CSkinToolTip() = default;
    ~CSkinToolTip() { Destroy(); }
    CSkinToolTip(const CSkinToolTip&) = delete;
    CSkinToolTip& operator=(const CSkinToolTip&) = delete;

    bool Create(HWND owner);
    void Destroy();
    HWND hwnd() const { return wnd_; }
    // Shows `text` over the whole client area of `tool`.
    bool AddTool(HWND tool, const std::wstring& text);
    void RemoveTool(HWND tool);
    void UpdateText(HWND tool, const std::wstring& text);
    // Passes a mouse message of a window under it on to the tooltip.
    void Relay(const MSG& msg);

private:
    HWND wnd_ = nullptr;
};

}  // namespace nsSkin
