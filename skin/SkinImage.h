// Pictures, masks and cursors of a skin.
#pragma once
#include <windows.h>

#include <string>

#include "platform/Handles.h"
#include "skin/SkinBounds.h"

namespace nsSkin {

// Key colours of masks: pixels within key .. key + tolerance (per channel,
// capped at 255) are cut away.
constexpr COLORREF kWindowMaskKey = RGB(255, 255, 255);
constexpr COLORREF kControlMaskKey = RGB(255, 0, 0);
constexpr COLORREF kMaskTolerance = 0x101010;

// Larger pictures are refused: a skin never needs them and decoding or
// scanning them would only cost memory and time.
constexpr int kMaxImageSide = 16384;
constexpr long long kMaxImagePixels = 4096LL * 4096LL;
constexpr DWORD kMaxImageFileBytes = 64u * 1024u * 1024u;

// Reads a picture file whole and decodes it with the system picture loader
// (BMP, JPEG, GIF, ...). Missing, undecodable or oversized files yield none;
// the size a file declares is checked before it is decoded and charged to
// the budget when one is given (a refused charge yields none too).
platform::UniqueBitmap LoadImageFile(const std::wstring& path, CSkinBudget* budget = nullptr);

// Width and height of a bitmap; {0, 0} for none.
SIZE BitmapSize(HBITMAP bitmap);

// A new bitmap of the rect's size holding that part of source (parts outside
// the source stay black). None for an empty or oversized rect or no source.
platform::UniqueBitmap CopyBitmapRect(HBITMAP source, const RECT& rect);

// The region of all pixels of bitmap that are not within the key range; none
// for an empty mask, a mask with no kept pixel, or an oversized one.
platform::UniqueRegion BitmapToRegion(HBITMAP bitmap, COLORREF key, COLORREF tolerance = kMaskTolerance);

// The cursor for clickable skin controls: the named cursor file (static or
// animated), else the system hand, else the system arrow. System cursors are
// shared and therefore not owned.
struct SkinCursor {
    platform::UniqueCursor owned;
    HCURSOR handle = nullptr;
};
SkinCursor LoadSkinCursor(const std::wstring& skinFolder, const std::wstring& cursorFileName);

}  // namespace nsSkin
