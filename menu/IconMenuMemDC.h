// IconMenuMemDC: an off-screen surface over one item's rectangle; copied back
// to the target when it goes away.
#pragma once
#include <windows.h>

#include "platform/DC.h"
#include "platform/Handles.h"

class IconMenuMemDC : public platform::CDC {
public:
    IconMenuMemDC(HDC target, const RECT& rect);
    ~IconMenuMemDC() override;

    // False when drawing goes straight to the target (printing, or no memory left).
    bool IsOffScreen() const { return offScreen_; }

private:
    HDC target_;
    RECT rect_;
    bool offScreen_ = false;
    platform::UniqueMemoryDC memory_;
    platform::UniqueBitmap bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    POINT oldOrigin_{0, 0};
};
