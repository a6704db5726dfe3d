// The two reading rules for numbered entries.
#include "skin/SkinEntries.h"

#include <algorithm>

namespace nsSkin {

std::vector<NumberedEntry> ReadEntriesStopAtGap(const CSkinProfile& profile, const std::wstring& section) {
    std::vector<NumberedEntry> entries;
    for (int n = 1; n <= kMaxEntriesPerSection; ++n) {
        std::wstring value = profile.ReadString(section, std::to_wstring(n));
        if (value.empty()) break;
        entries.push_back({n, std::move(value)});
    }
    return entries;
}

std::vector<NumberedEntry> ReadEntriesCountKeys(const CSkinProfile& profile, const std::wstring& section) {
    std::vector<NumberedEntry> entries;
    std::vector<std::wstring> names;
    if (!profile.GetKeyNames(section, names)) return entries;
    int count = static_cast<int>(std::min<size_t>(names.size(), kMaxEntriesPerSection));
    for (int n = 1; n <= count; ++n) {
        std::wstring value = profile.ReadString(section, std::to_wstring(n));
        if (!value.empty()) entries.push_back({n, std::move(value)});
    }
    return entries;
}

}  // namespace nsSkin
