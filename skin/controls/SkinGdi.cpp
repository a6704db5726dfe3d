// GDI helpers of the skin engine.
#include "skin/controls/SkinGdi.h"

#include <algorithm>

namespace nsSkin {

namespace {
HCURSOR g_skinCursor = nullptr;

// A memory DC compatible with the screen, with a picture selected for the scope.
class PictureDC {
public:
    explicit PictureDC(HBITMAP bitmap) : dc_(::CreateCompatibleDC(nullptr)), sel_(dc_.get(), bitmap) {}
    HDC get() const { return dc_.get(); }

private:
    platform::UniqueMemoryDC dc_;
    platform::SelectGuard sel_;
};

}  // namespace

platform::UniqueBitmap CopyBitmap(HBITMAP source) {
    SIZE size = BitmapSize(source);
    return CopyBitmapRect(source, RECT{0, 0, size.cx, size.cy});
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
    SIZE size = BitmapSize(bitmap);
    if (!size.cx) return;
    PictureDC from(bitmap);
    ::BitBlt(dc, x, y, size.cx, size.cy, from.get(), 0, 0, SRCCOPY);
}

void StretchBitmap(HDC dc, HBITMAP bitmap, const RECT& target) {
    SIZE size = BitmapSize(bitmap);
    StretchBitmapPart(dc, bitmap, target, RECT{0, 0, size.cx, size.cy});
}

void StretchBitmapPart(HDC dc, HBITMAP bitmap, const RECT& target, const RECT& source) {
    if (!bitmap || source.right <= source.left || source.bottom <= source.top) return;
    if (target.right <= target.left || target.bottom <= target.top) return;
    PictureDC from(bitmap);
    int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, from.get(),
                 source.left, source.top, source.right - source.left, source.bottom - source.top, SRCCOPY);
    ::SetStretchBltMode(dc, oldMode);
}

void TileBitmap(HDC dc, HBITMAP bitmap, const RECT& area) {
    SIZE size = BitmapSize(bitmap);
    if (!size.cx || !size.cy || area.right <= area.left || area.bottom <= area.top) return;
    PictureDC from(bitmap);
    for (int y = area.top; y < area.bottom; y += size.cy) {
        for (int x = area.left; x < area.right; x += size.cx) {
            int w = std::min<int>(size.cx, area.right - x);
            int h = std::min<int>(size.cy, area.bottom - y);
            ::BitBlt(dc, x, y, w, h, from.get(), 0, 0, SRCCOPY);
        }
    }
}

void DrawTransparent(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparent) {
    SIZE size = BitmapSize(bitmap);
    if (!size.cx) return;
    PictureDC from(bitmap);
    ::TransparentBlt(dc, x, y, size.cx, size.cy, from.get(), 0, 0, size.cx, size.cy, transparent);
}

void RemoveWindowTheme(HWND wnd) {
    using SetThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    platform::UniqueLibrary theme(::LoadLibraryW(L"UxTheme.dll"));
    if (!theme) return;
    auto fn = reinterpret_cast<SetThemeFn>(reinterpret_cast<void*>(::GetProcAddress(theme.get(), "SetWindowTheme")));
    if (fn) fn(wnd, L"", L"");
}

HCURSOR CurrentSkinCursor() { return g_skinCursor; }
void SetCurrentSkinCursor(HCURSOR cursor) { g_skinCursor = cursor; }

}  // namespace nsSkin
