// Skin test helpers.
#include "tests/skin/SkinTestFiles.h"

#include <vector>

#include "tests/support/TestPaths.h"

namespace skintest {

bool WriteIni(const std::wstring& path, const std::wstring& text) {
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return testsupport::WriteFileBytes(path, bytes);
}

bool WriteBmpBytes(const std::wstring& path, int width, int height, const std::string& bgrRowsTopDown) {
    const int stride = (width * 3 + 3) & ~3;
    std::string data;
    for (int y = height - 1; y >= 0; --y) {
        std::string line = bgrRowsTopDown.substr(static_cast<size_t>(y) * width * 3, static_cast<size_t>(width) * 3);
        line.resize(stride, '\0');
        data += line;
    }
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + data.size());
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(data.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    bytes += data;
    return testsupport::WriteFileBytes(path, bytes);
}

platform::UniqueBitmap MakeBitmap(int width, int height, COLORREF (*color)(int x, int y, void* ctx), void* ctx) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    platform::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return bitmap;
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = color(x, y, ctx);
            pixels[static_cast<size_t>(y) * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    ::GdiFlush();
    return bitmap;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    platform::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    platform::SelectGuard select(dc.get(), bitmap);
    return ::GetPixel(dc.get(), x, y);
}

std::wstring DataFolder() { return testsupport::SourceDirectory() + L"tests\\skin\\data\\"; }

size_t RegionRectCount(HRGN region) {
    if (!region) return 0;
    DWORD size = ::GetRegionData(region, 0, nullptr);
    std::vector<BYTE> data(size);
    if (!::GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()))) return 0;
    return reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount;
}

}  // namespace skintest
