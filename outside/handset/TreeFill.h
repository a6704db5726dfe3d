// Builds a listing tree from any folder lister, the same way for every backend.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fileview/DirectoryFileTree.h"

namespace handset {

struct ListedEntry {
    std::wstring name;
    std::wstring address;  // what the lister is given to list this folder; empty: cannot be listed
    bool folder = false;
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // FILETIME ticks, UTC; 0 unknown
};

// Lists a folder by its address; false when it cannot be listed.
using FolderLister = std::function<bool(const std::wstring& address, std::vector<ListedEntry>*)>;

// Lists `levels` levels below `node` (the folder at `address`), folders first
// in the order people sort names; files are left out at the deepest of
// several levels, where only the presence of sub-folders matters; unfinished
// copies are never shown.
void FillTree(tag_DirectoryFileTree* node, const std::wstring& address, int levels, const FolderLister& list);

}  // namespace handset
