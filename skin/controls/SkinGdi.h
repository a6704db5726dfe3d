// Small GDI helpers shared by the skinned dialog and its controls: drawing,
// stretching and tiling pictures, the process-wide skin cursor.
#pragma once
#include <windows.h>

#include "platform/Handles.h"
#include "skin/SkinImage.h"

namespace nsSkin {

// A copy of a whole picture.
platform::UniqueBitmap CopyBitmap(HBITMAP source);
// Draws a picture at its natural size.
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
// Stretches a picture (or the given part of it) over a rectangle.
void StretchBitmap(HDC dc, HBITMAP bitmap, const RECT& target);
void StretchBitmapPart(HDC dc, HBITMAP bitmap, const RECT& target, const RECT& source);
// Repeats a picture over a rectangle from its top-left corner, clipped to it.
void TileBitmap(HDC dc, HBITMAP bitmap, const RECT& area);
// Draws a picture with one colour transparent.
void DrawTransparent(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparent);
// Turns the visual theme off for one control (looked up at run time).
void RemoveWindowTheme(HWND wnd);

// The cursor shown over clickable skin controls; set by the window that
// loaded the skin, read by every control. Null: the control's own cursor.
HCURSOR CurrentSkinCursor();
void SetCurrentSkinCursor(HCURSOR cursor);

}  // namespace nsSkin
