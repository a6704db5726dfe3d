// CWnd: the one window wrapper. Links a C++ object to its window handle and
// dispatches messages to small virtual handlers; reflects notifications back to
// the child that sent them.
#pragma once
#include <windows.h>
#include <string>

namespace platform {

// The module whose resources (dialog templates, icons) belong to the calling code.
HINSTANCE CurrentModule();

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return hwnd_; }
    HWND hwnd() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

    // The object linked to a window, or null for windows this layer does not own.
    static CWnd* FromHandle(HWND wnd);

    // Registers (once) a window class whose procedure is this layer's.
    static bool RegisterWindowClass(const wchar_t* className, UINT style = CS_DBLCLKS,
                                    HBRUSH background = nullptr, HCURSOR cursor = nullptr);

    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect,
                  HWND parent, UINT_PTR idOrMenu);
    // Takes over an existing window (a stock control, a dialog item) by subclassing it.
    bool SubclassWindow(HWND wnd);
    bool SubclassDlgItem(UINT id, HWND parent);
    virtual bool DestroyWindow();

    // Window conveniences used across the program.
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text);
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    bool IsWindowVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
    void ShowWindow(int cmd) { if (hwnd_) ::ShowWindow(hwnd_, cmd); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageW(hwnd_, msg, wp, lp); }
    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageW(hwnd_, msg, wp, lp) != 0; }

    // Called by the message loop before dispatch; true consumes the message.
    virtual bool PreTranslateMessage(MSG* msg);

protected:
    // The dispatcher: only dispatches, handlers hold the logic.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // A child's reflected WM_NOTIFY/WM_DRAWITEM/WM_COMMAND/WM_CTLCOLOR*; true when handled.
    virtual bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    // After WM_NCDESTROY, with the link gone; objects that own themselves delete here.
    virtual void PostNcDestroy() {}

    virtual int OnCreate(CREATESTRUCTW*) { return 0; }
    virtual void OnDestroy() {}
    virtual void OnClose() { Default(); }
    virtual void OnPaint() { Default(); }
    virtual bool OnEraseBkgnd(HDC) { return Default() != 0; }
    virtual void OnSize(UINT, int, int) { Default(); }
    virtual void OnTimer(UINT_PTR) { Default(); }
    virtual bool OnCommand(WPARAM, LPARAM) { return false; }
    virtual bool OnNotify(WPARAM, NMHDR*, LRESULT*) { return false; }
    virtual void OnMouseMove(UINT, POINT) { Default(); }
    virtual void OnLButtonDown(UINT, POINT) { Default(); }
    virtual void OnLButtonUp(UINT, POINT) { Default(); }
    virtual void OnLButtonDblClk(UINT, POINT) { Default(); }
    virtual void OnRButtonDown(UINT, POINT) { Default(); }
    virtual void OnRButtonUp(UINT, POINT) { Default(); }

    // The default processing of the message being handled.
    LRESULT Default();

    HWND hwnd_ = nullptr;

private:
    friend class CDialog;
    void Link(HWND wnd);
    void Unlink();
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    static bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

    bool subclassed_ = false;
    struct CurrentMessage {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    CurrentMessage current_{};
};

}  // namespace platform
