// CSkinEnum and CSkinEnumManager: the named string lists of ENUMS.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nsSkin {

class CSkinBudget;

class CSkinEnum {
public:
    // An entry that would expand past this many strings is refused (its list
    // stays empty): no skin needs it, and a typo in first, last or repeat
    // must not exhaust memory.
    static constexpr long long kMaxItems = 65536;

    CSkinEnum() = default;
    virtual ~CSkinEnum() = default;

    // name, first, last, repeat, then one token per index, each appended repeat times.
    // The strings are charged to the budget when one is given; an entry the
    // budget refuses keeps an empty list.
    void Parse(std::wstring_view value, CSkinBudget* budget = nullptr);
    // Item k: list element k - first when first <= k <= last and the list is not empty; else empty.
    std::wstring Item(int index) const;

    const std::wstring& Name() const { return name_; }
    int First() const { return first_; }
    int Last() const { return last_; }
    int Repeat() const { return repeat_; }
    const std::vector<std::wstring>& List() const { return list_; }

private:
    std::wstring name_;
    int first_ = 0;
    int last_ = 0;
    int repeat_ = 0;
    std::vector<std::wstring> list_;
};

class CSkinEnumManager {
public:
    CSkinEnumManager() = default;
    virtual ~CSkinEnumManager() = default;
    CSkinEnumManager(const CSkinEnumManager&) = delete;
    CSkinEnumManager& operator=(const CSkinEnumManager&) = delete;

    // path: skin.ini. 1 when read; 0 when the file is missing (entries unchanged).
    int Load(const std::wstring& path, CSkinBudget* budget = nullptr);
    // The first entry of that name (any case), or null.
    const CSkinEnum* Find(const std::wstring& name) const;
    std::wstring Item(const std::wstring& name, int index) const;
    size_t Count() const { return enums_.size(); }

private:
    std::vector<std::unique_ptr<CSkinEnum>> enums_;
};

}  // namespace nsSkin
