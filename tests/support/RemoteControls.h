// Reads and drives list views, tree views and drops in ANOTHER process: the
// structures that common-control messages carry are placed in memory of the
// target process, since pointers do not cross process boundaries.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace testsupport {

// A block of memory inside another process, freed on destruction.
class RemoteBlock {
public:
    RemoteBlock(HWND owner, size_t bytes);
    ~RemoteBlock();
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    bool ok() const { return address_ != nullptr; }
    void* address() const { return address_; }
    bool Write(const void* data, size_t bytes, size_t offset = 0);
    bool Read(void* data, size_t bytes, size_t offset = 0) const;
    // Keeps the memory alive after destruction (the target frees it).
    void Leak() { leak_ = true; }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    bool leak_ = false;
};

// List view.
int ListCount(HWND list);
std::wstring ListText(HWND list, int row, int column);
std::vector<std::wstring> ListColumn(HWND list, int column);
int ListFind(HWND list, const std::wstring& name, int column = 0);
RECT ListItemRect(HWND list, int row);
void ListSelect(HWND list, const std::vector<int>& rows);
std::vector<int> ListSelected(HWND list);

// Tree view.
std::wstring TreeText(HWND tree, HTREEITEM item);
HTREEITEM TreeRoot(HWND tree);
HTREEITEM TreeSelection(HWND tree);
std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent);
int TreeCount(HWND tree);

// Delivers WM_DROPFILES with these PC paths to a window of another process.
bool DropFiles(HWND target, const std::vector<std::wstring>& paths, POINT at);

// Child windows of a window with a given class name, in z-order.
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className);

}  // namespace testsupport
