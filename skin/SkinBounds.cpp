// Bounds on skin numbers, the skin path rule and the skin memory budget.
#include "skin/SkinBounds.h"

#include <algorithm>

namespace nsSkin {

namespace {
int Clamp(long long v, long long lo, long long hi) { return static_cast<int>(std::clamp(v, lo, hi)); }

RECT BoundRect(const RECT& r, int maxWidth, int maxHeight) {
    int x = Clamp(r.left, -kMaxSkinExtent, kMaxSkinExtent);
    int y = Clamp(r.top, -kMaxSkinExtent, kMaxSkinExtent);
    int w = Clamp(static_cast<long long>(r.right) - r.left, 0, maxWidth);
    int h = Clamp(static_cast<long long>(r.bottom) - r.top, 0, maxHeight);
    return RECT{x, y, x + w, y + h};
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
}  // namespace

int BoundPointSize(int points) { return std::clamp(points, -kMaxPointSize, kMaxPointSize); }

RECT BoundControlRect(const RECT& rect, SIZE limit) {
    int w = limit.cx > 0 ? std::min<int>(limit.cx, kMaxSkinExtent) : kMaxSkinExtent;
    int h = limit.cy > 0 ? std::min<int>(limit.cy, kMaxSkinExtent) : kMaxSkinExtent;
    return BoundRect(rect, w, h);
}

SkinBorderParam BoundBorderParam(const SkinBorderParam& p, SIZE picture, bool horizontal) {
    if (!p.present) return p;
    const int across = Clamp(picture.cx, 0, kMaxSkinExtent);
    const int down = Clamp(picture.cy, 0, kMaxSkinExtent);
    // Cut points run along the strip: x for top and bottom, y for the sides.
    const int along = horizontal ? across : down;
    SkinBorderParam b = p;
    b.size = Clamp(p.size, 0, across);
    b.extent = Clamp(p.extent, 0, down);
    b.a = Clamp(p.a, 0, along);
    b.aLength = Clamp(p.aLength, 0, along - b.a);
    b.b = Clamp(p.b, 0, along);
    b.bLength = Clamp(p.bLength, 0, along - b.b);
    return b;
}

void BoundWindowDescription(SkinWindowDescription& d, SIZE picture) {
    SkinWindowRecord& w = d.window;
    w.top = BoundBorderParam(w.top, picture, true);
    w.bottom = BoundBorderParam(w.bottom, picture, true);
    w.left = BoundBorderParam(w.left, picture, false);
    w.right = BoundBorderParam(w.right, picture, false);
    w.maskOffset.cx = Clamp(w.maskOffset.cx, -kMaxSkinExtent, kMaxSkinExtent);
    w.maskOffset.cy = Clamp(w.maskOffset.cy, -kMaxSkinExtent, kMaxSkinExtent);
    for (RECT& r : w.invalidateRects) r = BoundRect(r, kMaxSkinExtent, kMaxSkinExtent);
    if (w.hasInitSize) w.initSize = BoundRect(w.initSize, kMaxSkinExtent, kMaxSkinExtent);
    for (auto& r : d.buttons) r.rect = BoundControlRect(r.rect, picture);
    for (auto& r : d.labels) {
        r.rect = BoundControlRect(r.rect, picture);
        r.pointSize = BoundPointSize(r.pointSize);
    }
    for (auto& r : d.trackbars) {
        r.rect = BoundControlRect(r.rect, picture);
        if (r.rangeMin > r.rangeMax) std::swap(r.rangeMin, r.rangeMax);
    }
    for (auto& r : d.progressBars) r.rect = BoundControlRect(r.rect, picture);
    for (auto& r : d.edits) r.rect = BoundControlRect(r.rect, picture);
    for (auto& r : d.listBoxes) r.rect = BoundControlRect(r.rect, picture);
    for (auto& r : d.comboBoxes) {
        r.rect = BoundControlRect(r.rect, picture);
        r.moveRect = BoundControlRect(r.moveRect, picture);
    }
    for (auto& r : d.staticTexts) {
        r.rect = BoundControlRect(r.rect, picture);
        r.pointSize = BoundPointSize(r.pointSize);
    }
    for (auto& r : d.appViews) r.rect = BoundRect(r.rect, kMaxSkinExtent, kMaxSkinExtent);
}

std::wstring ResolveSkinFile(const std::wstring& folder, const std::wstring& name) {
    if (name.empty() || IsSeparator(name.front()) || name.find(L':') != std::wstring::npos) return {};
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        std::wstring_view part(name.data() + start, end - start);
        // The system drops trailing dots and spaces, so "..." or ". ." climb like "..".
        bool onlyDots = !part.empty() && part.find_first_not_of(L". ") == std::wstring_view::npos;
        if (onlyDots && part != L".") return {};
        start = end + 1;
    }
    return folder + name;
}

bool CSkinBudget::Charge(unsigned long long bytes) {
    used_ = bytes > limit_ ? limit_ + 1 : used_ + bytes;
    if (used_ > limit_) exceeded_ = true;
    return !exceeded_;
}

unsigned long long PictureBytes(long long width, long long height) {
    if (width <= 0 || height <= 0) return 0;
    return static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * 4ull;
}

}  // namespace nsSkin
