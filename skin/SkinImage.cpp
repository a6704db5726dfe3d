// Picture loading through the system loader, bitmap cuts, mask regions.
#include "skin/SkinImage.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace nsSkin {

namespace {

// Releases a COM interface on scope exit.
template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
};

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>& bytes) {
    platform::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxImageFileBytes) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    return ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
           got == bytes.size();
}

// The system loader trusts a bitmap file's header: it fills the picture from
// whatever follows in memory when the pixel rows were cut off, and it reads
// past the file (and crashes) when the header size, palette or pixel offset
// lie. A bitmap file is decoded only when its header is consistent.
bool IsMalformedBitmapFile(const std::vector<BYTE>& bytes) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const long long n = static_cast<long long>(bytes.size());
    if (n < static_cast<long long>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPCOREHEADER))) return true;
    BITMAPFILEHEADER file;
    std::copy_n(bytes.data(), sizeof(file), reinterpret_cast<BYTE*>(&file));
    DWORD headerSize;
    std::copy_n(bytes.data() + sizeof(file), sizeof(headerSize), reinterpret_cast<BYTE*>(&headerSize));
    const long long infoEnd = static_cast<long long>(sizeof(file)) + headerSize;
    long long width, height, bitCount, colors = 0, paletteEntry = 4;
    DWORD compression = BI_RGB;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::copy_n(bytes.data() + sizeof(file), sizeof(core), reinterpret_cast<BYTE*>(&core));
        if (core.bcPlanes != 1) return true;
        width = core.bcWidth;
        height = core.bcHeight;
        bitCount = core.bcBitCount;
        paletteEntry = 3;
    } else {
        static constexpr DWORD kKnown[] = {40, 52, 56, 64, 108, 124};
        if (std::find(std::begin(kKnown), std::end(kKnown), headerSize) == std::end(kKnown)) return true;
        if (n < infoEnd) return true;
        BITMAPINFOHEADER info;
        std::copy_n(bytes.data() + sizeof(file), sizeof(info), reinterpret_cast<BYTE*>(&info));
        if (info.biPlanes != 1) return true;
        width = info.biWidth;
        height = info.biHeight < 0 ? -static_cast<long long>(info.biHeight) : info.biHeight;
        bitCount = info.biBitCount;
        compression = info.biCompression;
        colors = info.biClrUsed;
        bool fits = (compression == BI_RGB) || (compression == BI_RLE8 && bitCount == 8) ||
                    (compression == BI_RLE4 && bitCount == 4) ||
                    (compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32));
        if (!fits) return true;
        if (compression == BI_BITFIELDS && headerSize == 40) colors = 3;  // the three masks follow the header
    }
    if (width <= 0 || height <= 0) return true;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return true;
    if (bitCount <= 8) {
        if (colors == 0) colors = 1LL << bitCount;
        if (colors > (1LL << bitCount)) return true;
    }
    const long long paletteEnd = infoEnd + colors * paletteEntry;
    if (paletteEnd > n || file.bfOffBits < infoEnd || file.bfOffBits > n) return true;
    // Compressed rows have no fixed length; the decoder bounds those itself.
    if (compression == BI_RLE8 || compression == BI_RLE4) return false;
    long long stride = (width * bitCount + 31) / 32 * 4;
    return n < static_cast<long long>(file.bfOffBits) + stride * height;
}

// The size a picture file declares, read from its header before anything is
// decoded: a small compressed file may declare a huge picture. False for a
// format whose header is not known here (the decoded size is checked then).
bool DeclaredSize(const std::vector<BYTE>& b, long long* width, long long* height) {
    auto le16 = [&](size_t i) { return static_cast<long long>(b[i] | (b[i + 1] << 8)); };
    auto be16 = [&](size_t i) { return static_cast<long long>((b[i] << 8) | b[i + 1]); };
    auto le32 = [&](size_t i) {
        return static_cast<long long>(static_cast<int32_t>(b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) |
                                                           (static_cast<uint32_t>(b[i + 3]) << 24)));
    };
    const size_t n = b.size();
    if (n >= 26 && b[0] == 'B' && b[1] == 'M') {
        DWORD header = static_cast<DWORD>(le32(14));
        if (header == sizeof(BITMAPCOREHEADER)) {
            *width = le16(18);
            *height = le16(20);
        } else {
            *width = le32(18);
            long long h = le32(22);
            *height = h < 0 ? -h : h;
        }
        return true;
    }
    if (n >= 10 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
        *width = le16(6);
        *height = le16(8);
        return true;
    }
    if (n >= 24 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') {
        *width = (be16(16) << 16) | be16(18);
        *height = (be16(20) << 16) | be16(22);
        return true;
    }
    if (n >= 4 && b[0] == 0xFF && b[1] == 0xD8) {
        // Walk the segments to the first start-of-frame marker.
        size_t i = 2;
        while (i + 9 < n) {
            if (b[i] != 0xFF) return false;
            BYTE marker = b[i + 1];
            if (marker == 0xFF) {
                ++i;
                continue;
            }
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                *height = be16(i + 5);
                *width = be16(i + 7);
                return true;
            }
            if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
                i += 2;
                continue;
            }
            i += 2 + static_cast<size_t>(be16(i + 2));
        }
        return false;
    }
    return false;
}

bool SizeAcceptable(LONG width, LONG height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           static_cast<long long>(width) * height <= kMaxImagePixels;
}

// Non-bitmap pictures (icons, metafiles) are drawn into a bitmap of their size.
platform::UniqueBitmap RenderPicture(IPicture* picture) {
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    if (FAILED(picture->get_Width(&hmWidth)) || FAILED(picture->get_Height(&hmHeight))) return {};
    platform::WindowDC screen(nullptr);
    int width = ::MulDiv(hmWidth, ::GetDeviceCaps(screen.get(), LOGPIXELSX), 2540);
    int height = ::MulDiv(hmHeight, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 2540);
    if (!SizeAcceptable(width, height)) return {};
    platform::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    platform::UniqueMemoryDC dc(::CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc) return {};
    {
        platform::SelectGuard select(dc.get(), bitmap.get());
        if (FAILED(picture->Render(dc.get(), 0, 0, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr)))
            return {};
    }
    return bitmap;
}

// Builds a region from rectangles. Wine unites regions by copying both sides,
// so adding small blocks to one growing region costs quadratic time (a
// checkerboard mask took minutes); blocks are therefore united pairwise, like
// a binary counter, which gives the same region in n log n.
class RegionBuilder {
public:
    void Add(const RECT& rect) {
        block_.push_back(rect);
        if (block_.size() == kBlock) FlushBlock();
    }
    platform::UniqueRegion Finish() {
        FlushBlock();
        while (stack_.size() > 1) MergeTop();
        if (stack_.empty()) return {};
        return std::move(stack_.back().region);
    }
    bool Failed() const { return failed_; }

private:
    // Wine also builds a region from its rectangles one union at a time, so a
    // block stays small.
    static constexpr size_t kBlock = 16;
    struct Level {
        platform::UniqueRegion region;
        int level;
    };

    void FlushBlock() {
        if (block_.empty()) return;
        std::vector<BYTE> data(sizeof(RGNDATAHEADER) + block_.size() * sizeof(RECT));
        auto* header = reinterpret_cast<RGNDATA*>(data.data());
        header->rdh.dwSize = sizeof(RGNDATAHEADER);
        header->rdh.iType = RDH_RECTANGLES;
        header->rdh.nCount = static_cast<DWORD>(block_.size());
        header->rdh.nRgnSize = static_cast<DWORD>(block_.size() * sizeof(RECT));
        RECT bounds = block_.front();
        for (const RECT& r : block_) {
            bounds.left = std::min(bounds.left, r.left);
            bounds.top = std::min(bounds.top, r.top);
            bounds.right = std::max(bounds.right, r.right);
            bounds.bottom = std::max(bounds.bottom, r.bottom);
        }
        header->rdh.rcBound = bounds;
        std::copy(block_.begin(), block_.end(), reinterpret_cast<RECT*>(header->Buffer));
        block_.clear();
        platform::UniqueRegion region(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), header));
        if (!region) {
            failed_ = true;
            return;
        }
        stack_.push_back({std::move(region), 0});
        while (stack_.size() > 1 && stack_[stack_.size() - 1].level == stack_[stack_.size() - 2].level) MergeTop();
    }

    void MergeTop() {
        Level top = std::move(stack_.back());
        stack_.pop_back();
        if (::CombineRgn(stack_.back().region.get(), stack_.back().region.get(), top.region.get(), RGN_OR) == ERROR)
            failed_ = true;
        stack_.back().level = std::max(stack_.back().level, top.level) + 1;
    }

    std::vector<RECT> block_;
    std::vector<Level> stack_;
    bool failed_ = false;
};

}  // namespace

platform::UniqueBitmap LoadImageFile(const std::wstring& path, CSkinBudget* budget) {
    std::vector<BYTE> bytes;
    if (path.empty() || !ReadWholeFile(path, bytes) || IsMalformedBitmapFile(bytes)) return {};
    long long declaredWidth = 0, declaredHeight = 0;
    if (DeclaredSize(bytes, &declaredWidth, &declaredHeight)) {
        if (declaredWidth > kMaxImageSide || declaredHeight > kMaxImageSide ||
            !SizeAcceptable(static_cast<LONG>(declaredWidth), static_cast<LONG>(declaredHeight)))
            return {};
        // The decoder and our copy hold the picture at once.
        if (budget && !budget->Charge(2 * PictureBytes(declaredWidth, declaredHeight))) return {};
    } else if (budget && !budget->Charge(bytes.size())) {
        return {};
    }
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return {};
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return {};
    }
    std::copy(bytes.begin(), bytes.end(), static_cast<BYTE*>(target));
    ::GlobalUnlock(memory);
    ComPtr<IStream> stream;
    // The stream frees the memory when it is released.
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, &stream.p))) {
        ::GlobalFree(memory);
        return {};
    }
    ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.p, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&picture.p))) ||
        !picture.p)
        return {};
    SHORT type = PICTYPE_NONE;
    picture.p->get_Type(&type);
    if (type != PICTYPE_BITMAP) return RenderPicture(picture.p);
    OLE_HANDLE handle = 0;
    if (FAILED(picture.p->get_Handle(&handle)) || !handle) return {};
    // The picture owns its bitmap; keep a copy of our own.
    HBITMAP decoded = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    SIZE size = BitmapSize(decoded);
    if (!SizeAcceptable(size.cx, size.cy)) return {};
    if (budget && (declaredWidth != size.cx || declaredHeight != size.cy) &&
        !budget->Charge(PictureBytes(size.cx, size.cy)))
        return {};
    return platform::UniqueBitmap(static_cast<HBITMAP>(::CopyImage(decoded, IMAGE_BITMAP, 0, 0, 0)));
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

platform::UniqueBitmap CopyBitmapRect(HBITMAP source, const RECT& rect) {
    long long width = static_cast<long long>(rect.right) - rect.left;
    long long height = static_cast<long long>(rect.bottom) - rect.top;
    if (!source || width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        width * height > kMaxImagePixels)
        return {};
    platform::WindowDC screen(nullptr);
    platform::UniqueBitmap copy(::CreateCompatibleBitmap(screen.get(), static_cast<int>(width),
                                                         static_cast<int>(height)));
    platform::UniqueMemoryDC from(::CreateCompatibleDC(screen.get()));
    platform::UniqueMemoryDC to(::CreateCompatibleDC(screen.get()));
    if (!copy || !from || !to) return {};
    platform::SelectGuard selectFrom(from.get(), source);
    platform::SelectGuard selectTo(to.get(), copy.get());
    ::PatBlt(to.get(), 0, 0, static_cast<int>(width), static_cast<int>(height), BLACKNESS);
    ::SetStretchBltMode(to.get(), COLORONCOLOR);
    if (!::StretchBlt(to.get(), 0, 0, static_cast<int>(width), static_cast<int>(height), from.get(), rect.left,
                      rect.top, static_cast<int>(width), static_cast<int>(height), SRCCOPY))
        return {};
    return copy;
}

platform::UniqueRegion BitmapToRegion(HBITMAP bitmap, COLORREF key, COLORREF tolerance) {
    SIZE size = BitmapSize(bitmap);
    if (!SizeAcceptable(size.cx, size.cy)) return {};
    const int width = size.cx;
    const int height = size.cy;
    auto high = [](unsigned base, unsigned extra) { return std::min(255u, base + extra); };
    const unsigned loR = GetRValue(key), loG = GetGValue(key), loB = GetBValue(key);
    const unsigned hiR = high(loR, GetRValue(tolerance)), hiG = high(loG, GetGValue(tolerance)),
                   hiB = high(loB, GetBValue(tolerance));

    // Scanned in bands of rows so a large mask never needs its whole 32-bit copy.
    const int bandRows = std::max(1, std::min(height, (1 << 20) / width));
    std::vector<DWORD> pixels(static_cast<size_t>(bandRows) * width);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up: scan line 0 is the bottom row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    platform::WindowDC screen(nullptr);
    RegionBuilder builder;
    for (int top = 0; top < height; top += bandRows) {
        int rows = std::min(bandRows, height - top);
        UINT firstScan = static_cast<UINT>(height - top - rows);
        if (::GetDIBits(screen.get(), bitmap, firstScan, static_cast<UINT>(rows), pixels.data(), &info,
                        DIB_RGB_COLORS) != rows)
            return {};
        for (int r = 0; r < rows; ++r) {
            int y = top + r;
            const DWORD* line = pixels.data() + static_cast<size_t>(rows - 1 - r) * width;
            int x = 0;
            while (x < width) {
                auto keyed = [&](DWORD p) {
                    unsigned b = p & 0xFF, g = (p >> 8) & 0xFF, red = (p >> 16) & 0xFF;
                    return red >= loR && red <= hiR && g >= loG && g <= hiG && b >= loB && b <= hiB;
                };
                while (x < width && keyed(line[x])) ++x;
                int start = x;
                while (x < width && !keyed(line[x])) ++x;
                if (x > start) builder.Add(RECT{start, y, x, y + 1});
            }
        }
    }
    platform::UniqueRegion region = builder.Finish();
    if (builder.Failed()) return {};
    return region;
}

SkinCursor LoadSkinCursor(const std::wstring& skinFolder, const std::wstring& cursorFileName) {
    SkinCursor cursor;
    if (!cursorFileName.empty()) {
        std::wstring file = ResolveSkinFile(skinFolder, cursorFileName);
        if (!file.empty()) cursor.owned.reset(::LoadCursorFromFileW(file.c_str()));
        cursor.handle = cursor.owned.get();
    }
    if (!cursor.handle) cursor.handle = ::LoadCursorW(nullptr, IDC_HAND);
    if (!cursor.handle) cursor.handle = ::LoadCursorW(nullptr, IDC_ARROW);
    return cursor;
}

}  // namespace nsSkin
