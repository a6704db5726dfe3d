// One entry of a device folder listing, a node of a tree. Built and owned by
// the device library; the views only read it during the call that hands it over.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct tag_DirectoryFileTree {
    tag_DirectoryFileTree() = default;
    tag_DirectoryFileTree(std::wstring entryName, std::uint64_t bytes, bool folder)
        : name(std::move(entryName)), size(bytes), isDirectory(folder ? 1 : 0) {}
    virtual ~tag_DirectoryFileTree() = default;

    std::wstring name;       // without its folder
    std::uint64_t size = 0;  // bytes; 64-bit so that files of 4 GiB and more keep their true size
    std::int32_t isDirectory = 0;
    std::uint64_t modified = 0;  // last write, FILETIME ticks (UTC); 0 when the device does not tell
    std::vector<tag_DirectoryFileTree> children;  // empty for files and unlisted folders
};
