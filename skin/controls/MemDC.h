// CMemDC: an off-screen drawing context over a target context and rectangle;
// what is drawn into it reaches the target when it goes out of scope.
#pragma once
#include <windows.h>

#include "platform/DC.h"
#include "platform/Handles.h"

namespace nsSkin {

// GetSafeHdc is the context to draw into: the memory one, or the target
// itself when that is a printer.
class CMemDC : public platform::CDC {
public:
    CMemDC(HDC target, const RECT& rect);
    ~CMemDC() override;

    const RECT& Rect() const { return rect_; }

private:
    HDC target_;
    RECT rect_;
    platform::UniqueMemoryDC memory_;
    platform::UniqueBitmap bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
};

}  // namespace nsSkin
