// Limits on what a skin may ask for. A skin is data that users download, so
// every size, offset and count it gives is bounded where it enters, before a
// loop or an allocation uses it, and the memory a whole skin takes is counted
// against one budget.
#pragma once
#include <windows.h>

#include <string>

#include "skin/SkinRecords.h"

namespace nsSkin {

// No window, control or picture of a skin is larger than this on either side.
constexpr int kMaxSkinExtent = 16384;
// Font sizes in points; larger ones only cost memory in the glyph cache.
constexpr int kMaxPointSize = 200;

// A point size cut to +-kMaxPointSize.
int BoundPointSize(int points);
// A control rectangle with its size cut to `limit` (the window picture; when
// there is none, kMaxSkinExtent) and its position to +-kMaxSkinExtent.
RECT BoundControlRect(const RECT& rect, SIZE limit);
// The six numbers of a border key cut to the picture they cut: a horizontal
// strip's numbers lie across the picture's width, a vertical strip's along
// its height; thicknesses and lengths are never negative.
SkinBorderParam BoundBorderParam(const SkinBorderParam& param, SIZE picture, bool horizontal);
// Every number of a window description bounded against its Main picture.
void BoundWindowDescription(SkinWindowDescription& description, SIZE picture);

// The full path of a file a skin names, or empty when the name would leave
// the skin folder: ".." components, drive letters, streams, UNC and absolute
// paths are refused, as a missing file is.
std::wstring ResolveSkinFile(const std::wstring& folder, const std::wstring& name);

// The memory one skin may take, counted as it loads (pictures and their cut
// copies, strings, regions, windows). The default skin needs a few tens of
// MB; no real skin comes near the limit.
class CSkinBudget {
public:
    static constexpr unsigned long long kDefaultLimit = 160ull << 20;

    explicit CSkinBudget(unsigned long long limit = kDefaultLimit) : limit_(limit) {}
    // Counts `bytes`; false, and exceeded from then on, once the total passes the limit.
    bool Charge(unsigned long long bytes);
    bool Exceeded() const { return exceeded_; }
    unsigned long long Used() const { return used_; }
    unsigned long long Limit() const { return limit_; }
    void Reset() {
        used_ = 0;
        exceeded_ = false;
    }

private:
    unsigned long long limit_;
    unsigned long long used_ = 0;
    bool exceeded_ = false;
};

// Bytes of a 32-bit picture of that size (sides below 0 count as 0).
unsigned long long PictureBytes(long long width, long long height);

}  // namespace nsSkin
