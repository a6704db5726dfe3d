// Cross-process list view, tree view and drop helpers.
#include "tests/support/RemoteControls.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

namespace testsupport {

namespace {
constexpr size_t kTextChars = 1024;

HANDLE OpenOwner(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    return ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
}

BOOL CALLBACK CollectOfClass(HWND wnd, LPARAM lp) {
    auto* ctx = reinterpret_cast<std::pair<const wchar_t*, std::vector<HWND>*>*>(lp);
    wchar_t cls[128] = {};
    ::GetClassNameW(wnd, cls, 128);
    if (_wcsicmp(cls, ctx->first) == 0) ctx->second->push_back(wnd);
    return TRUE;
}
}  // namespace

RemoteBlock::RemoteBlock(HWND owner, size_t bytes) : process_(OpenOwner(owner)) {
    if (process_)
        address_ = ::VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBlock::~RemoteBlock() {
    if (address_ && !leak_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) ::CloseHandle(process_);
}

bool RemoteBlock::Write(const void* data, size_t bytes, size_t offset) {
    SIZE_T done = 0;
    return address_ &&
           ::WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, bytes, &done) && done == bytes;
}

bool RemoteBlock::Read(void* data, size_t bytes, size_t offset) const {
    SIZE_T done = 0;
    return address_ &&
           ::ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, bytes, &done) && done == bytes;
}

int ListCount(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListText(HWND list, int row, int column) {
    RemoteBlock block(list, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    if (!block.ok()) return {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(block.address()) + sizeof(LVITEMW));
    item.cchTextMax = kTextChars;
    block.Write(&item, sizeof(item));
    LRESULT n = ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.address()));
    std::wstring text(kTextChars, L'\0');
    block.Read(text.data(), kTextChars * sizeof(wchar_t), sizeof(LVITEMW));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

std::vector<std::wstring> ListColumn(HWND list, int column) {
    std::vector<std::wstring> out;
    for (int i = 0, n = ListCount(list); i < n; ++i) out.push_back(ListText(list, i, column));
    return out;
}

int ListFind(HWND list, const std::wstring& name, int column) {
    for (int i = 0, n = ListCount(list); i < n; ++i)
        if (ListText(list, i, column) == name) return i;
    return -1;
}

RECT ListItemRect(HWND list, int row) {
    RECT rc{LVIR_BOUNDS, 0, 0, 0};
    RemoteBlock block(list, sizeof(RECT));
    block.Write(&rc, sizeof(rc));
    ::SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(block.address()));
    block.Read(&rc, sizeof(rc));
    return rc;
}

void ListSelect(HWND list, const std::vector<int>& rows) {
    RemoteBlock block(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    block.Write(&item, sizeof(item));
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(block.address()));
    for (int row : rows) {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        block.Write(&item, sizeof(item));
        ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(block.address()));
    }
}

std::vector<int> ListSelected(HWND list) {
    std::vector<int> rows;
    int i = -1;
    while ((i = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0) rows.push_back(i);
    return rows;
}

std::wstring TreeText(HWND tree, HTREEITEM handle) {
    RemoteBlock block(tree, sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
    if (!block.ok() || !handle) return {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = handle;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(block.address()) + sizeof(TVITEMW));
    item.cchTextMax = kTextChars;
    block.Write(&item, sizeof(item));
    if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.address()))) return {};
    std::wstring text(kTextChars, L'\0');
    block.Read(text.data(), kTextChars * sizeof(wchar_t), sizeof(TVITEMW));
    text.resize(wcsnlen(text.c_str(), kTextChars));
    return text;
}

HTREEITEM TreeRoot(HWND tree) {
    return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM TreeSelection(HWND tree) {
    return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent) {
    std::vector<HTREEITEM> out;
    auto child = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    while (child) {
        out.push_back(child);
        child = reinterpret_cast<HTREEITEM>(
            ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
    }
    return out;
}

int TreeCount(HWND tree) { return static_cast<int>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)); }

bool DropFiles(HWND target, const std::vector<std::wstring>& paths, POINT at) {
    // DROPFILES followed by a double-terminated list of wide paths. Page-aligned
    // memory of the target passes as a fixed global block: GlobalLock gives it back.
    std::wstring list;
    for (const auto& p : paths) list.append(p).push_back(L'\0');
    list.push_back(L'\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.pt = at;
    header.fNC = FALSE;
    header.fWide = TRUE;
    size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    RemoteBlock block(target, bytes);
    if (!block.ok()) return false;
    if (!block.Write(&header, sizeof(header)) || !block.Write(list.data(), list.size() * sizeof(wchar_t), sizeof(header)))
        return false;
    block.Leak();  // the receiver's DragFinish owns it now
    return ::PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(block.address()), 0) != 0;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
    std::vector<HWND> out;
    std::pair<const wchar_t*, std::vector<HWND>*> ctx{className, &out};
    ::EnumChildWindows(parent, &CollectOfClass, reinterpret_cast<LPARAM>(&ctx));
    return out;
}

}  // namespace testsupport
