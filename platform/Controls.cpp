// The stock control wrappers.
#include "platform/Controls.h"

#include <vector>

namespace platform {

bool CreateControl(CWnd& wnd, const wchar_t* className, const std::wstring& text, DWORD style, const RECT& rect,
                   HWND parent, UINT id, DWORD exStyle) {
    return wnd.CreateEx(exStyle, className, text.c_str(), style, rect, parent, id);
}

bool CButton::Create(const std::wstring& text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl(*this, WC_BUTTONW, text, style, rect, parent, id);
}

void CButton::SetButtonStyle(UINT style, bool redraw) { SendMessage(BM_SETSTYLE, style, redraw ? TRUE : FALSE); }

bool CButton::OnReflectedMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
    if (msg != WM_DRAWITEM) return false;
    DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp));
    *result = TRUE;
    return true;
}

bool CEdit::Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle) {
    return CreateControl(*this, WC_EDITW, L"", style, rect, parent, id, exStyle);
}

bool CListBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle) {
    return CreateControl(*this, WC_LISTBOXW, L"", style, rect, parent, id, exStyle);
}

int CListBox::AddString(const std::wstring& text) {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

std::wstring CListBox::GetText(int index) const {
    LRESULT len = SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (len == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    LRESULT got = SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

bool CSliderCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl(*this, TRACKBAR_CLASSW, L"", style, rect, parent, id);
}

void CSliderCtrl::SetRange(int minimum, int maximum, bool redraw) {
    SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
    SendMessage(TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
}

RECT CSliderCtrl::GetChannelRect() const {
    RECT rc{};
    SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&rc));
    return rc;
}

RECT CSliderCtrl::GetThumbRect() const {
    RECT rc{};
    SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rc));
    return rc;
}

bool CSliderCtrl::OnReflectedMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
    if (msg != WM_NOTIFY) return false;
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr->code != static_cast<UINT>(NM_CUSTOMDRAW)) return false;
    return OnCustomDraw(reinterpret_cast<NMCUSTOMDRAW*>(lp), result);
}

RECT CHeaderCtrl::GetItemRect(int index) const {
    RECT rc{};
    SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
    return rc;
}

std::wstring CHeaderCtrl::GetItemText(int index) const {
    wchar_t buffer[260] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 260;
    if (!SendMessage(HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
    return item.pszText ? std::wstring(item.pszText) : std::wstring();
}

bool CListCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle) {
    return CreateControl(*this, WC_LISTVIEWW, L"", style, rect, parent, id, exStyle);
}

int CListCtrl::InsertColumn(int index, const std::wstring& title, int format, int width) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.iSubItem = index;
    col.pszText = const_cast<wchar_t*>(title.c_str());
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int index, const std::wstring& text, int image) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.iImage = image;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int item, int subItem, const std::wstring& text) {
    LVITEMW lv{};
    lv.iSubItem = subItem;
    lv.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != 0;
}

std::wstring CListCtrl::GetItemText(int item, int subItem) const {
    // The list copies at most the buffer; grow until the text fits.
    for (size_t size = 260; size <= 32768; size *= 4) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVITEMW lv{};
        lv.iSubItem = subItem;
        lv.pszText = buffer.data();
        lv.cchTextMax = static_cast<int>(size);
        LRESULT len = SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
        if (static_cast<size_t>(len) + 1 < size) return std::wstring(buffer.data(), static_cast<size_t>(len));
    }
    return {};
}

bool CListCtrl::OnReflectedMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
    if (msg != WM_NOTIFY) return false;
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr->code != static_cast<UINT>(NM_CUSTOMDRAW)) return false;
    return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lp), result);
}

}  // namespace platform
