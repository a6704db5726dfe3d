// The off-screen surface used while drawing a menu item.
#include "menu/IconMenuMemDC.h"

IconMenuMemDC::IconMenuMemDC(HDC target, const RECT& rect) : platform::CDC(target), target_(target), rect_(rect) {
    if (IsPrinting()) return;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    memory_.reset(::CreateCompatibleDC(target));
    bitmap_.reset(::CreateCompatibleBitmap(target, width, height));
    if (!memory_ || !bitmap_) return;
    oldBitmap_ = ::SelectObject(memory_.get(), bitmap_.get());
    // Drawing keeps the target's coordinates.
    ::SetWindowOrgEx(memory_.get(), rect.left, rect.top, &oldOrigin_);
    dc_ = memory_.get();
    offScreen_ = true;
}

IconMenuMemDC::~IconMenuMemDC() {
    if (!offScreen_) return;
    ::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory_.get(),
             rect_.left, rect_.top, SRCCOPY);
    ::SetWindowOrgEx(memory_.get(), oldOrigin_.x, oldOrigin_.y, nullptr);
    ::SelectObject(memory_.get(), oldBitmap_);
}
