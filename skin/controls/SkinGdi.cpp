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

namespace {
// Repeats `from` (w x h) over area, starting at its top-left corner, but only
// over the part inside `visible`.
void TileFrom(HDC dc, HDC from, int w, int h, const RECT& area, const RECT& visible) {
    int x0 = area.left + (visible.left - area.left) / w * w;
    int y0 = area.top + (visible.top - area.top) / h * h;
    for (int y = y0; y < visible.bottom; y += h) {
        for (int x = x0; x < visible.right; x += w) {
            int cw = std::min<int>(w, area.right - x);
            int ch = std::min<int>(h, area.bottom - y);
            ::BitBlt(dc, x, y, cw, ch, from, 0, 0, SRCCOPY);
        }
    }
}
}  // namespace

// A tiny tile over a long strip would cost one blit per repetition: such a
// tile is first doubled up into a larger one.
void TileBitmap(HDC dc, HBITMAP bitmap, const RECT& area) {
    SIZE size = BitmapSize(bitmap);
    if (!size.cx || !size.cy || area.right <= area.left || area.bottom <= area.top) return;
    RECT visible = area;
    RECT clip{};
    int clipKind = ::GetClipBox(dc, &clip);
    if (clipKind == NULLREGION) return;
    if (clipKind != ERROR && !::IntersectRect(&visible, &area, &clip)) return;
    PictureDC from(bitmap);
    long long cols = (static_cast<long long>(visible.right - visible.left) + size.cx - 1) / size.cx;
    long long rows = (static_cast<long long>(visible.bottom - visible.top) + size.cy - 1) / size.cy;
    constexpr int kPattern = 256;
    if (cols * rows <= 16) {
        TileFrom(dc, from.get(), size.cx, size.cy, area, visible);
        return;
    }
    int pw = size.cx * static_cast<int>(std::min<long long>(cols, std::max<long long>(1, kPattern / size.cx)));
    int ph = size.cy * static_cast<int>(std::min<long long>(rows, std::max<long long>(1, kPattern / size.cy)));
    platform::UniqueBitmap pattern(::CreateCompatibleBitmap(dc, pw, ph));
    PictureDC big(pattern.get());
    if (!pattern) {
        TileFrom(dc, from.get(), size.cx, size.cy, area, visible);
        return;
    }
    ::BitBlt(big.get(), 0, 0, size.cx, size.cy, from.get(), 0, 0, SRCCOPY);
    for (int w = size.cx; w < pw; w *= 2) ::BitBlt(big.get(), w, 0, std::min(w, pw - w), size.cy, big.get(), 0, 0, SRCCOPY);
    for (int h = size.cy; h < ph; h *= 2) ::BitBlt(big.get(), 0, h, pw, std::min(h, ph - h), big.get(), 0, 0, SRCCOPY);
    TileFrom(dc, big.get(), pw, ph, area, visible);
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
