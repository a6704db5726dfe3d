// Thin wrappers over the stock controls: button, edit, list box, trackbar,
// list view and header. Each creates its stock window and takes it over, and
// turns the notifications its parent reflects back (owner draw, custom draw)
// into virtual hooks.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/Wnd.h"

namespace platform {

// Creates a stock control as a child and links the wrapper to it.
bool CreateControl(CWnd& wnd, const wchar_t* className, const std::wstring& text, DWORD style, const RECT& rect,
                   HWND parent, UINT id, DWORD exStyle = 0);

class CButton : public CWnd {
public:
    bool Create(const std::wstring& text, DWORD style, const RECT& rect, HWND parent, UINT id);
    void SetButtonStyle(UINT style, bool redraw = true);

protected:
    // Owner draw (BS_OWNERDRAW): called when the parent reflects WM_DRAWITEM.
    virtual void DrawItem(DRAWITEMSTRUCT*) {}
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CEdit : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle = 0);
    void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void SetReadOnly(bool readOnly) { SendMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE); }
    bool IsReadOnly() const { return (::GetWindowLongW(hwnd_, GWL_STYLE) & ES_READONLY) != 0; }
    void LimitText(int chars) { SendMessage(EM_SETLIMITTEXT, static_cast<WPARAM>(chars)); }
};

class CListBox : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle = 0);
    int AddString(const std::wstring& text);
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    std::wstring GetText(int index) const;
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
};

class CSliderCtrl : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetPos(int pos, bool redraw = true) { SendMessage(TBM_SETPOS, redraw ? TRUE : FALSE, pos); }
    int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
    void SetRange(int minimum, int maximum, bool redraw = true);
    RECT GetChannelRect() const;
    RECT GetThumbRect() const;

protected:
    // NM_CUSTOMDRAW reflected from the parent; true when handled.
    virtual bool OnCustomDraw(NMCUSTOMDRAW*, LRESULT*) { return false; }
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CHeaderCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
    RECT GetItemRect(int index) const;
    std::wstring GetItemText(int index) const;
};

class CListCtrl : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle = 0);
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int InsertColumn(int index, const std::wstring& title, int format, int width);
    int InsertItem(int index, const std::wstring& text, int image = -1);
    bool SetItemText(int item, int subItem, const std::wstring& text);
    std::wstring GetItemText(int item, int subItem) const;
    bool DeleteAllItems() { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    void SetBkColor(COLORREF color) { SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(color)); }
    COLORREF GetTextColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTCOLOR)); }
    void SetTextColor(COLORREF color) { SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color)); }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    void SetExtendedStyle(DWORD style) { SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)); }

protected:
    // NM_CUSTOMDRAW reflected from the parent; true when handled.
    virtual bool OnCustomDraw(NMLVCUSTOMDRAW*, LRESULT*) { return false; }
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

}  // namespace platform
