// Drawing helpers over a drawing context.
#include "platform/DC.h"

#include "platform/Handles.h"

namespace platform {

bool CDC::IsPrinting() const { return dc_ && ::GetDeviceCaps(dc_, TECHNOLOGY) == DT_RASPRINTER; }

bool CDC::IsPaletteDevice() const { return dc_ && (::GetDeviceCaps(dc_, RASTERCAPS) & RC_PALETTE) != 0; }

void CDC::FillSolidRect(const RECT& rect, COLORREF color) {
    // ExtTextOut fills without a brush; the background colour is put back.
    COLORREF old = ::SetBkColor(dc_, color);
    ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc_, old);
}

void CDC::FrameRect(const RECT& rect, COLORREF color) {
    UniqueBrush brush(::CreateSolidBrush(color));
    if (brush) ::FrameRect(dc_, &rect, brush.get());
}

void CDC::Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    FillSolidRect(RECT{rect.left, rect.top, rect.left + w - 1, rect.top + 1}, topLeft);
    FillSolidRect(RECT{rect.left, rect.top, rect.left + 1, rect.top + h - 1}, topLeft);
    FillSolidRect(RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    FillSolidRect(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
}

void CDC::DrawLine(int x0, int y0, int x1, int y1, COLORREF color) {
    UniquePen pen(::CreatePen(PS_SOLID, 1, color));
    SelectGuard select(dc_, pen.get());
    ::MoveToEx(dc_, x0, y0, nullptr);
    ::LineTo(dc_, x1, y1);
}

int CDC::DrawText(const std::wstring& text, RECT rect, UINT format) {
    return ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

SIZE CDC::GetTextExtent(const std::wstring& text) const {
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

POINT CDC::SetWindowOrg(int x, int y) {
    POINT old{0, 0};
    ::SetWindowOrgEx(dc_, x, y, &old);
    return old;
}

}  // namespace platform
