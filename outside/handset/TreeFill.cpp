// The common listing tree builder.
#include "outside/handset/TreeFill.h"

#include <windows.h>

#include <algorithm>

#include "outside/handset/DevicePaths.h"
#include "platform/NaturalOrder.h"

namespace handset {

namespace {

bool SortsBefore(const ListedEntry& a, const ListedEntry& b) {
    if (a.folder != b.folder) return a.folder;
    return platform::CompareNatural(a.name, b.name) < 0;
}

void Fill(tag_DirectoryFileTree* node, const std::wstring& address, int levels, bool top, const FolderLister& list) {
    std::vector<ListedEntry> entries;
    if (!list(address, &entries)) return;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const ListedEntry& e) {
                                     return IsPartialName(e.name) || (!e.folder && levels <= 1 && !top);
                                 }),
                  entries.end());
    std::sort(entries.begin(), entries.end(), SortsBefore);
    node->children.reserve(entries.size());
    for (const ListedEntry& e : entries) {
        node->children.emplace_back(e.name, e.size, e.folder);
        node->children.back().modified = e.modified;
    }
    if (levels <= 1) return;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].folder && !entries[i].address.empty())
            Fill(&node->children[i], entries[i].address, levels - 1, false, list);
}

}  // namespace

void FillTree(tag_DirectoryFileTree* node, const std::wstring& address, int levels, const FolderLister& list) {
    Fill(node, address, levels < 1 ? 1 : levels, true, list);
}

}  // namespace handset
