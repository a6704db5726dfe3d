// CSkinListCtrl and CSkinHeaderCtrl.
#include "skin/controls/SkinListCtrl.h"

#include <algorithm>

#include "skin/SkinImage.h"
#include "skin/controls/MemDC.h"
#include "skin/controls/SkinGdi.h"

namespace nsSkin {

void CSkinHeaderCtrl::SetPictures(platform::UniqueBitmap background, platform::UniqueBitmap separatorLeft,
                                  platform::UniqueBitmap separatorRight) {
    background_ = std::move(background);
    separatorLeft_ = std::move(separatorLeft);
    separatorRight_ = std::move(separatorRight);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void CSkinHeaderCtrl::SetTextColor(COLORREF color) {
    textColor_ = color;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void CSkinHeaderCtrl::SetTitleInset(int column, int pixels) {
    if (column < 0) return;
    if (titleInsets_.size() <= static_cast<size_t>(column)) titleInsets_.resize(static_cast<size_t>(column) + 1, 0);
    titleInsets_[static_cast<size_t>(column)] = pixels;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

// A small triangle at the right end of a sorted column, in the text colour;
// returns where the column's text must end.
int CSkinHeaderCtrl::DrawSortArrow(HDC dc, const RECT& item, bool up) {
    const int half = 4, x = item.right - 8 - half, y = (item.top + item.bottom) / 2;
    if (x - half < item.left + 4) return item.right - 2;
    POINT points[3];
    if (up) {
        points[0] = {x - half, y + 2};
        points[1] = {x + half, y + 2};
        points[2] = {x, y - 2};
    } else {
        points[0] = {x - half, y - 2};
        points[1] = {x + half, y - 2};
        points[2] = {x, y + 2};
    }
    platform::UniqueBrush brush(::CreateSolidBrush(textColor_));
    platform::UniquePen pen(::CreatePen(PS_SOLID, 1, textColor_));
    platform::SelectGuard selBrush(dc, brush.get());
    platform::SelectGuard selPen(dc, pen.get());
    ::Polygon(dc, points, 3);
    return x - half - 4;
}

// The header paints wholly by itself; the stock drawing would show through
// the pictures' transparent edges.
void CSkinHeaderCtrl::OnPaint() {
    platform::PaintDC paint(hwnd_);
    RECT client = GetClientRect();
    CMemDC mem(paint.get(), client);
    HDC dc = mem.GetSafeHdc();
    platform::UniqueBrush fill(::CreateSolidBrush(kFillColor));
    ::FillRect(dc, &client, fill.get());
    SIZE bg = BitmapSize(background_.get());
    if (bg.cx > 0) {
        for (int x = 0; x < client.right; x += bg.cx)
            StretchBitmapPart(dc, background_.get(), RECT{x, 0, x + bg.cx, client.bottom}, RECT{0, 0, bg.cx, bg.cy});
    }
    HWND parent = ::GetParent(hwnd_);
    HFONT font = parent ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
    platform::SelectGuard sel(dc, font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, textColor_);
    int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        RECT item = GetItemRect(i);
        SIZE l = BitmapSize(separatorLeft_.get()), r = BitmapSize(separatorRight_.get());
        if (l.cx) StretchBitmapPart(dc, separatorLeft_.get(), RECT{item.left, 0, item.left + l.cx, client.bottom},
                                    RECT{0, 0, l.cx, l.cy});
        if (r.cx) StretchBitmapPart(dc, separatorRight_.get(), RECT{item.right - r.cx, 0, item.right, client.bottom},
                                    RECT{0, 0, r.cx, r.cy});
        HDITEMW info{};
        info.mask = HDI_FORMAT;
        SendMessage(HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        UINT align = (info.fmt & HDF_RIGHT) ? DT_RIGHT : (info.fmt & HDF_CENTER) ? DT_CENTER : DT_LEFT;
        const int inset = static_cast<size_t>(i) < titleInsets_.size() ? titleInsets_[static_cast<size_t>(i)] : 0;
        RECT text{item.left + 2, item.top + 2, item.right - 2 - inset, item.bottom - 2};
        if (info.fmt & (HDF_SORTUP | HDF_SORTDOWN))
            text.right = std::min<LONG>(text.right, DrawSortArrow(dc, item, (info.fmt & HDF_SORTUP) != 0));
        std::wstring title = GetItemText(i);
        ::DrawTextW(dc, title.c_str(), -1, &text, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        OnDrawColumn(dc, i, item);
    }
}

bool CSkinListCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle) {
    if (!CListCtrl::Create(style | WS_CHILD | LVS_REPORT, rect, parent, id, exStyle)) return false;
    return AttachHeader();
}

bool CSkinListCtrl::AttachHeader() {
    if (header_.hwnd()) return true;
    HWND header = GetHeaderCtrl();
    if (!header || !header_.SubclassWindow(header)) return false;
    SetBkColor(even_);
    return true;
}

void CSkinListCtrl::SetRowColors(COLORREF even, COLORREF odd) {
    even_ = even;
    odd_ = odd;
    SetBkColor(even);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool CSkinListCtrl::OnEraseBkgnd(HDC dc) {
    if ((::GetWindowLongW(hwnd_, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT) return Default() != 0;
    platform::UniqueBrush fill(::CreateSolidBrush(even_));
    RECT client = GetClientRect();
    ::FillRect(dc, &client, fill.get());
    return true;
}

// Sub-item notifications are needed: the row colour is a sub-item attribute
// in report view.
bool CSkinListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        return true;
    case CDDS_ITEMPREPAINT:
        draw->clrText = GetTextColor();
        *result = CDRF_NOTIFYSUBITEMDRAW;
        return true;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        draw->clrTextBk = RowColor(static_cast<int>(draw->nmcd.dwItemSpec));
        *result = CDRF_DODEFAULT;
        return true;
    default:
        *result = CDRF_DODEFAULT;
        return true;
    }
}

}  // namespace nsSkin
