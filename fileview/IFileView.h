// What the command executive asks of the file view: load listings into the
// views, read the current folder and the selection.
#pragma once
#include <string>
#include <vector>

#include "fileview/DirectoryFileTree.h"

// Levels of a listing the executive asks for, and so the levels the views may
// take as complete: the folder's entries and its sub-folders' entries.
constexpr int kListingDepth = 2;

class IFileView {
public:
    // Shows a listing for a FileOp refresh reason; returns 1.
    virtual int LoadTree(const tag_DirectoryFileTree* tree, int reason) = 0;
    // 1 when both views were cleared.
    virtual int ClearViews() = 0;
    virtual int SetRootPath(const wchar_t* path) = 0;
    // The selected device folder, ending in "/"; empty before a root is shown.
    virtual std::wstring GetCurrentFolder() = 0;
    virtual std::wstring GetSelectedName() = 0;
    virtual std::wstring GetSelectedPath() = 0;
    // Owned by the module; valid until the next call.
    virtual const std::vector<std::wstring>& GetSelectedPaths() = 0;
    virtual int EnableViews(int flag) = 0;
    // The current folder could not be listed: the list shows nothing rather
    // than rows of another folder; the tree is left as it is.
    virtual int ClearList() = 0;
    // Moves to the parent of the current folder (never above the root); 0 at the root.
    virtual int SelectParentFolder() = 0;
};
