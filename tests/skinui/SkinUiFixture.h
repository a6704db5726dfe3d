// Shared by the skinned dialog and control tests: a recording dialog on the
// control test skin, message pumping and window captures.
#pragma once
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "skin/dialog/SkinDialog.h"
#include "tests/support/TestPaths.h"

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace skinuitest {

constexpr UINT kTemplate = 300;

inline std::wstring SkinFile() { return testsupport::SourceDirectory() + L"tests\\skin\\ctl\\skin.ini"; }
inline std::wstring AltSkinFile() { return testsupport::SourceDirectory() + L"tests\\skin\\ctl\\alt\\skin.ini"; }

// Pumps what is queued, never waiting for more.
inline void FlushEvents() {
    MSG msg;
    for (int i = 0; i < 2000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Records every notification it receives as a short line. Tests open windows
// hidden unless they need them on screen: without a window manager, Wine waits
// 2 s for every shown top-level window to be withdrawn when it goes.
class RecordingDialog : public nsSkin::CSkinDialog {
public:
    RecordingDialog() : CSkinDialog(kTemplate) {}
    std::vector<std::wstring> events;
    std::vector<int> buttonIndexes;
    std::vector<std::wstring> moves;  // kept apart: they come with every hover

    bool Open(const std::wstring& section, bool show = true, const std::wstring& skin = SkinFile()) {
        SetSkin(skin, section);
        if (!Create(nullptr)) return false;
        if (WindowType() == 0)
            ::SetWindowPos(hwnd(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (show) {
            ::ShowWindow(hwnd(), SW_SHOW);
            ::SetForegroundWindow(hwnd());
            ::SetActiveWindow(hwnd());
            ::UpdateWindow(hwnd());
        }
        FlushEvents();
        return true;
    }

    void OnButtonIndexClicked(int index) override {
        buttonIndexes.push_back(index);
        CSkinDialog::OnButtonIndexClicked(index);
    }
    void OnSkinButtonClicked(const std::wstring& name) override { events.push_back(L"click " + name); }
    void OnSkinSliderChanged(const std::wstring& name, int code, int pos) override {
        events.push_back(L"slider " + name + L" " + std::to_wstring(code) + L" " + std::to_wstring(pos));
    }
    void OnSkinProgressChanged(const std::wstring& name, int pos) override {
        events.push_back(L"progress " + name + L" " + std::to_wstring(pos));
    }
    void OnSkinLabelClicked(const std::wstring& name) override { events.push_back(L"label " + name); }
    void OnSkinComboSelChanged(const std::wstring& name, int sel, const std::wstring& text) override {
        events.push_back(L"combo " + name + L" " + std::to_wstring(sel) + L" " + text);
    }
    void OnSkinTextChanged(const std::wstring& name, const std::wstring& text) override {
        events.push_back(L"text " + name + L" " + text);
    }
    void OnSkinMouseMove(const std::wstring& name, int x, int y) override {
        moves.push_back(name + L" " + std::to_wstring(x) + L"," + std::to_wstring(y));
    }
    void OnSkinEditSetFocus() override { events.push_back(L"edit focus"); }
    void OnSkinEditKillFocus() override { events.push_back(L"edit blur"); }
    std::wstring GetButtonTooltipSuffix(const std::wstring& name) override { return L" [" + name + L"]"; }
};

// A control's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND control) {
    RECT rc{};
    ::GetWindowRect(control, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// A 32-bit copy of what a window shows, read back pixel by pixel.
class Capture {
public:
    enum class How { PrintWindow, WindowDC };
    Capture(HWND wnd, How how);
    COLORREF At(int x, int y) const;
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_ = 0, height_ = 0;
    std::vector<DWORD> pixels_;
};

inline Capture::Capture(HWND wnd, How how) {
    RECT wr{};
    ::GetWindowRect(wnd, &wr);
    width_ = wr.right - wr.left;
    height_ = wr.bottom - wr.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(mem, dib);
    if (how == How::PrintWindow) {
        ::PrintWindow(wnd, mem, 0);
    } else {
        HDC wdc = ::GetWindowDC(wnd);
        ::BitBlt(mem, 0, 0, width_, height_, wdc, 0, 0, SRCCOPY);
        ::ReleaseDC(wnd, wdc);
    }
    ::GdiFlush();
    pixels_.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width_ * height_);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::DeleteObject(dib);
    ::ReleaseDC(nullptr, screen);
}

inline COLORREF Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFFFFFFFF;
    DWORD p = pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// One pixel of a bitmap.
inline COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC mem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, bitmap);
    COLORREF c = ::GetPixel(mem, x, y);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    return c;
}

}  // namespace skinuitest
