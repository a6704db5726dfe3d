// Numbered entries of a section ("1", "2", ...), read by one of two rules.
#pragma once
#include <string>
#include <vector>

#include "skin/SkinProfile.h"

namespace nsSkin {

struct NumberedEntry {
    int number = 0;     // the key the value came from
    std::wstring value;
};

// No realistic window comes near this many controls of one kind; the cap keeps
// a hostile file from making a reader walk thousands of keys (each read goes
// through the system's profile functions and costs most of a millisecond
// under Wine).
constexpr int kMaxEntriesPerSection = 1024;

// Rule A: keys 1, 2, ... up to the first empty or missing value.
std::vector<NumberedEntry> ReadEntriesStopAtGap(const CSkinProfile& profile, const std::wstring& section);
// Rule B: N = number of keys in the section, whatever their names; keys 1..N,
// empty values skipped.
std::vector<NumberedEntry> ReadEntriesCountKeys(const CSkinProfile& profile, const std::wstring& section);

}  // namespace nsSkin
