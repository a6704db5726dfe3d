// CMemDC.
#include "skin/controls/MemDC.h"

namespace nsSkin {

CMemDC::CMemDC(HDC target, const RECT& rect) : platform::CDC(target), target_(target), rect_(rect) {
    // A printer draws straight into its own context.
    if (!target || IsPrinting()) return;
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return;
    platform::UniqueMemoryDC memory(::CreateCompatibleDC(target));
    platform::UniqueBitmap bitmap(::CreateCompatibleBitmap(target, w, h));
    if (!memory || !bitmap) return;
    memory_ = std::move(memory);
    bitmap_ = std::move(bitmap);
    oldBitmap_ = ::SelectObject(memory_.get(), bitmap_.get());
    dc_ = memory_.get();
    ::SetMapMode(memory_.get(), ::GetMapMode(target));
    ::SetWindowOrgEx(memory_.get(), rect.left, rect.top, nullptr);
    platform::UniqueBrush background(::CreateSolidBrush(::GetBkColor(target)));
    ::FillRect(memory_.get(), &rect_, background.get());
}

CMemDC::~CMemDC() {
    if (!memory_) return;
    ::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory_.get(),
             rect_.left, rect_.top, SRCCOPY);
    ::SelectObject(memory_.get(), oldBitmap_);
    dc_ = nullptr;
}

}  // namespace nsSkin
