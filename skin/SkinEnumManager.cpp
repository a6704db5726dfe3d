// Named string lists of a skin.
#include "skin/SkinEnumManager.h"

#include "skin/SkinBounds.h"
#include "skin/SkinEntries.h"
#include "skin/SkinReader.h"
#include "skin/SkinTokens.h"

namespace nsSkin {

void CSkinEnum::Parse(std::wstring_view value, CSkinBudget* budget) {
    std::wstring_view rest = TrimSkinText(value);
    name_ = PopToken(rest);
    first_ = SkinToInt(PopToken(rest));
    last_ = SkinToInt(PopToken(rest));
    repeat_ = SkinToInt(PopToken(rest));
    list_.clear();
    if (first_ > last_) return;
    long long count = static_cast<long long>(last_) - first_ + 1;
    long long repeat = repeat_ > 0 ? repeat_ : 0;
    // With no copies to make the tokens need not be walked at all (a repeat
    // of 0 over a huge range would otherwise spin).
    if (repeat == 0 || count * repeat > kMaxItems) return;
    // Counted by bytes, not by items: a few long tokens repeated often are
    // as costly as many short ones.
    std::vector<std::wstring> tokens;
    tokens.reserve(static_cast<size_t>(count));
    unsigned long long bytes = 0;
    for (long long i = 0; i < count; ++i) {
        tokens.push_back(PopToken(rest));
        bytes += (sizeof(std::wstring) + (tokens.back().size() + 1) * sizeof(wchar_t)) * static_cast<unsigned long long>(repeat);
    }
    if (budget && !budget->Charge(bytes)) return;
    list_.reserve(static_cast<size_t>(count * repeat));
    for (const std::wstring& item : tokens)
        for (long long k = 0; k < repeat; ++k) list_.push_back(item);
}

std::wstring CSkinEnum::Item(int index) const {
    if (list_.empty() || index < first_ || index > last_) return {};
    long long offset = static_cast<long long>(index) - first_;
    return offset < static_cast<long long>(list_.size()) ? list_[static_cast<size_t>(offset)] : std::wstring();
}

int CSkinEnumManager::Load(const std::wstring& path, CSkinBudget* budget) {
    CSkinProfile profile(path);
    if (!profile.Exists()) return 0;
    enums_.clear();
    for (const NumberedEntry& e : ReadEntriesStopAtGap(profile, kEnumsSection)) {
        auto entry = std::make_unique<CSkinEnum>();
        entry->Parse(e.value, budget);
        enums_.push_back(std::move(entry));
    }
    return 1;
}

const CSkinEnum* CSkinEnumManager::Find(const std::wstring& name) const {
    for (const auto& e : enums_)
        if (EqualsNoCase(e->Name(), name)) return e.get();
    return nullptr;
}

std::wstring CSkinEnumManager::Item(const std::wstring& name, int index) const {
    const CSkinEnum* e = Find(name);
    return e ? e->Item(index) : std::wstring();
}

}  // namespace nsSkin
