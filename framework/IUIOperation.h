// Refresh requests from the command state to the windows.
#pragma once
#include <windows.h>

class IUIOperation {
public:
    // A comma-separated list of control names; empty (or null) for all controls.
    virtual HRESULT UpdateUI(const wchar_t* names) = 0;
    virtual HRESULT ReloadSkin() = 0;
    // 1 when the message is consumed, else 0.
    virtual LONG PreTranslateMessage(MSG* msg) = 0;
};
