// CMemDC: an off-screen drawing context over a target context and rectangle;
// what is drawn into it reaches the target when it goes out of scope.
#pragma once
#include <windows.h>

#include "platform/Handles.h"

namespace nsSkin {

class CMemDC {
public:
    CMemDC(HDC target, const RECT& rect);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // The context to draw into: the memory one, or the target when printing.
    HDC GetSafeHdc() const { return memory_ ? memory_.get() : target_; }
    operator HDC() const { return GetSafeHdc(); }
    const RECT& Rect() const { return rect_; }

private:
    HDC target_;
    RECT rect_;
    platform::UniqueMemoryDC memory_;
    platform::UniqueBitmap bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
};

}  // namespace nsSkin
