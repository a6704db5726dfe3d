// Helpers for skin tests: skin folders with generated skin.ini files and pictures.
#pragma once
#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace skintest {

// Writes text as a UTF-16 profile file (with byte-order mark).
bool WriteIni(const std::wstring& path, const std::wstring& text);
// Writes a 24-bit BMP file whose pixel (x, y) is color(x, y).
template <class ColorAt>
bool WriteBmp(const std::wstring& path, int width, int height, ColorAt color);
bool WriteBmpBytes(const std::wstring& path, int width, int height, const std::string& bgrRowsTopDown);
// A 32-bit top-down DIB section filled by color(x, y).
platform::UniqueBitmap MakeBitmap(int width, int height, COLORREF (*color)(int x, int y, void* ctx), void* ctx);
COLORREF PixelOf(HBITMAP bitmap, int x, int y);
// The folder of the committed test pictures, with a trailing backslash.
std::wstring DataFolder();
// Number of rectangles in a region (0 for none).
size_t RegionRectCount(HRGN region);

template <class ColorAt>
bool WriteBmp(const std::wstring& path, int width, int height, ColorAt color) {
    std::string rows;
    rows.reserve(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = color(x, y);
            rows.push_back(static_cast<char>(GetBValue(c)));
            rows.push_back(static_cast<char>(GetGValue(c)));
            rows.push_back(static_cast<char>(GetRValue(c)));
        }
    return WriteBmpBytes(path, width, height, rows);
}

}  // namespace skintest
