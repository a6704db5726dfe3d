// CBkTreeCtrl.
#include "fileview/CBkTreeCtrl.h"

#include "outside/skinscrollbar/SkinScrollBar.h"
#include "platform/SystemServices.h"

using platform::SelectGuard;
using platform::UniqueBitmap;
using platform::UniqueMemoryDC;

void MaskedTransparentCopy(HDC dst, int x, int y, int width, int height, HDC src, COLORREF key) {
    // Mask: white where src has the key colour, black elsewhere.
    UniqueMemoryDC maskDc(::CreateCompatibleDC(dst));
    UniqueBitmap mask(::CreateBitmap(width, height, 1, 1, nullptr));
    if (!maskDc || !mask) return;
    SelectGuard maskSel(maskDc.get(), mask.get());
    COLORREF oldBk = ::SetBkColor(src, key);
    ::BitBlt(maskDc.get(), 0, 0, width, height, src, 0, 0, SRCCOPY);
    ::SetBkColor(src, oldBk);

    // A copy of src with its key pixels blacked out.
    UniqueMemoryDC imageDc(::CreateCompatibleDC(dst));
    UniqueBitmap image(::CreateCompatibleBitmap(dst, width, height));
    if (!imageDc || !image) return;
    SelectGuard imageSel(imageDc.get(), image.get());
    ::BitBlt(imageDc.get(), 0, 0, width, height, src, 0, 0, SRCCOPY);
    // Monochrome to colour maps 1 (key) to the background colour and 0 to the text colour.
    COLORREF oldText = ::SetTextColor(imageDc.get(), RGB(255, 255, 255));
    COLORREF oldImageBk = ::SetBkColor(imageDc.get(), RGB(0, 0, 0));
    ::BitBlt(imageDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, SRCAND);

    // Destination AND mask keeps only the key areas, then OR the image in.
    COLORREF oldDstText = ::SetTextColor(dst, RGB(0, 0, 0));
    COLORREF oldDstBk = ::SetBkColor(dst, RGB(255, 255, 255));
    ::BitBlt(dst, x, y, width, height, maskDc.get(), 0, 0, SRCAND);
    ::BitBlt(dst, x, y, width, height, imageDc.get(), 0, 0, SRCPAINT);
    ::SetTextColor(dst, oldDstText);
    ::SetBkColor(dst, oldDstBk);
    ::SetTextColor(imageDc.get(), oldText);
    ::SetBkColor(imageDc.get(), oldImageBk);
}

void TransparentCopy(HDC dst, int x, int y, int width, int height, HDC src, COLORREF key) {
    if (platform::System().OsMajorVersion() < 5) {
        MaskedTransparentCopy(dst, x, y, width, height, src, key);
        return;
    }
    ::TransparentBlt(dst, x, y, width, height, src, 0, 0, width, height, key);
}

bool CBkTreeCtrl::CreateTree(DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!Create(style, rect, parent, id)) return false;
    SetBkColor(kKeyColour);
    ::SkinSB_InitializeScrollBar(hwnd_);
    return true;
}

void CBkTreeCtrl::OnDestroy() {
    ::SkinSB_UnInitializeScrollBar(hwnd_);
}

void CBkTreeCtrl::Render(HDC target) {
    RECT client = GetClientRect();
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;

    UniqueMemoryDC backDc(::CreateCompatibleDC(target));
    UniqueMemoryDC treeDc(::CreateCompatibleDC(target));
    UniqueMemoryDC mixDc(::CreateCompatibleDC(target));
    UniqueBitmap treeBitmap(::CreateCompatibleBitmap(target, width, height));
    UniqueBitmap mixBitmap(::CreateCompatibleBitmap(target, width, height));
    if (!backDc || !treeDc || !mixDc || !treeBitmap || !mixBitmap) {
        // Out of GDI resources: at least show the control itself.
        DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(target), 0);
        return;
    }
    SelectGuard backSel(backDc.get(), background_.get());
    SelectGuard treeSel(treeDc.get(), treeBitmap.get());
    SelectGuard mixSel(mixDc.get(), mixBitmap.get());

    // The control does not fill the space below its last item when handed a
    // context, so the canvas starts out in the key colour.
    platform::UniqueBrush key(::CreateSolidBrush(kKeyColour));
    ::FillRect(treeDc.get(), &client, key.get());
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(treeDc.get()), 0);

    // The picture was cut at the view's first size; a grown view continues it
    // with the colour of its bottom-right corner rather than with undefined pixels.
    COLORREF beyond = fallback_;
    BITMAP picture{};
    if (background_ && ::GetObjectW(background_.get(), sizeof(picture), &picture) && picture.bmWidth > 0 &&
        picture.bmHeight > 0) {
        COLORREF corner = ::GetPixel(backDc.get(), picture.bmWidth - 1, picture.bmHeight - 1);
        if (corner != CLR_INVALID) beyond = corner;
    }
    platform::UniqueBrush fill(::CreateSolidBrush(beyond));
    ::FillRect(mixDc.get(), &client, fill.get());
    if (background_) ::BitBlt(mixDc.get(), 0, 0, width, height, backDc.get(), 0, 0, SRCCOPY);
    TransparentCopy(mixDc.get(), 0, 0, width, height, treeDc.get(), kKeyColour);
    ::BitBlt(target, 0, 0, width, height, mixDc.get(), 0, 0, SRCCOPY);
}

void CBkTreeCtrl::OnPaint() {
    platform::PaintDC paint(hwnd_);
    Render(paint.get());
}

LRESULT CBkTreeCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL: {
        // The control scrolls its pixels; the background must not scroll with them.
        LRESULT result = CTreeCtrl::WindowProc(msg, wp, lp);
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        return result;
    }
    default:
        return CTreeCtrl::WindowProc(msg, wp, lp);
    }
}

bool CBkTreeCtrl::OnReflectedMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
    if (msg != WM_NOTIFY) return false;
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr->code == TVN_ITEMEXPANDEDW || hdr->code == TVN_ITEMEXPANDEDA) {
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        *result = 0;
        return true;
    }
    return false;
}
