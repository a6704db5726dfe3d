// CFileTreeCtrlView.
#include "fileview/CFileTreeCtrlView.h"

#include <map>

#include "fileview/FileViewText.h"
#include "framework/CommandArgs.h"

namespace {
constexpr UINT WM_RESUME_REDRAW = WM_APP + 0x32;
}  // namespace

CFileTreeCtrlView::CFileTreeCtrlView() : CEmberAppModuleViewBase(L"FileTreeView") {}

bool CFileTreeCtrlView::Create(const RECT& rect, HWND parent, HIMAGELIST images, platform::UniqueBitmap background,
                               COLORREF textColour, COLORREF backgroundColour, IConfigSettings* settings,
                               IEmberEventSink* sink) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                  TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT;
    if (!CreateTree(style, rect, parent, kControlId)) return false;
    SetBackground(std::move(background));
    SetImageList(images, TVSIL_NORMAL);
    SetTextColor(textColour);
    // The control itself paints on the key colour so that the picture shows
    // through; the skin's colour fills in where there is no picture.
    SetFallbackColour(backgroundColour);
    settings_ = settings;
    eventSink_ = sink;

    // Margins against the parent's window rectangle, kept for the layout message.
    RECT parentRect{};
    ::GetWindowRect(parent, &parentRect);
    leftMargin_ = rect.left;
    topMargin_ = rect.top;
    width_ = rect.right - rect.left;
    bottomMargin_ = (parentRect.bottom - parentRect.top) - rect.bottom;
    return true;
}

int CFileTreeCtrlView::SetRoot(const std::wstring& path) {
    if (path.empty()) return 0;
    rootPath_ = WithTrailingSlash(path);
    rootLabel_ = rootPath_.find(L"Media") != std::wstring::npos ? L"Media" : L"Root";
    return 1;
}

HTREEITEM CFileTreeCtrlView::InsertNode(const tag_DirectoryFileTree& node, HTREEITEM parent, int depth,
                                         HTREEITEM after) {
    if (!node.isDirectory) return nullptr;
    int icon = icons_.FolderIcon();
    HTREEITEM item = nullptr;
    if (GetCount() == 0) {
        item = InsertItem(rootLabel_, icon, icon, TVI_ROOT);
        rootItem_ = item;
    } else {
        item = InsertItem(node.name, icon, icon, parent, after);
    }
    if (!item) return nullptr;
    if (depth >= 2) {
        for (const tag_DirectoryFileTree& child : node.children) InsertNode(child, item, depth - 1);
    }
    return item;
}

void CFileTreeCtrlView::InsertFolders(const tag_DirectoryFileTree* node, bool childrenOnly) {
    if (!node || !hwnd_) return;
    HTREEITEM selected = GetSelectedItem();
    SendMessage(WM_SETREDRAW, FALSE);
    if (childrenOnly) {
        for (const tag_DirectoryFileTree& child : node->children) InsertNode(child, selected, kInsertDepth);
    } else {
        InsertNode(*node, selected, kInsertDepth);
    }
    if (!selected) {
        selected = rootItem_;
        if (selected) Expand(selected, TVE_EXPAND);
    }
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    if (selected) {
        SelectItem(selected);
        TakeCurrentPath(selected);
    }
}

int CFileTreeCtrlView::DeleteChildrenOfSelection() {
    HTREEITEM selected = GetSelectedItem();
    if (!selected) return 0;
    for (HTREEITEM child = GetChildItem(selected); child;) {
        HTREEITEM next = GetNextSiblingItem(child);
        DeleteItem(child);
        child = next;
    }
    return 1;
}

HTREEITEM CFileTreeCtrlView::FindChildOfSelection(const std::wstring& name) const {
    if (name.empty()) return nullptr;
    HTREEITEM selected = GetSelectedItem();
    if (!selected) return nullptr;
    for (HTREEITEM child = GetChildItem(selected); child; child = GetNextSiblingItem(child)) {
        if (GetItemText(child) == name) return child;
    }
    return nullptr;
}

HTREEITEM CFileTreeCtrlView::EnsureChildOfSelection(const std::wstring& name) {
    HTREEITEM selected = GetSelectedItem();
    if (name.empty() || !selected) return nullptr;
    if (HTREEITEM child = FindChildOfSelection(name)) return child;
    int icon = icons_.FolderIcon();
    return InsertItem(name, icon, icon, selected);
}

void CFileTreeCtrlView::SyncChildren(HTREEITEM item, const tag_DirectoryFileTree& listing, int levels) {
    if (levels < 1) return;
    // Each child's text is read once: a folder with thousands of sub-folders stays quick.
    std::multimap<std::wstring, HTREEITEM> stale;
    for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child))
        stale.emplace(GetItemText(child), child);
    // New folders go in the listing's order, after the one listed before them.
    HTREEITEM previous = TVI_FIRST;
    for (const tag_DirectoryFileTree& entry : listing.children) {
        if (!entry.isDirectory) continue;
        auto kept = stale.find(entry.name);
        HTREEITEM child = nullptr;
        if (kept != stale.end()) {
            child = kept->second;
            stale.erase(kept);
            SyncChildren(child, entry, levels - 1);
        } else {
            child = InsertNode(entry, item, levels, previous);
        }
        if (child) previous = child;
    }
    for (const auto& gone : stale) DeleteItem(gone.second);
}

bool CFileTreeCtrlView::SyncSelection(const tag_DirectoryFileTree& listing, int levels) {
    HTREEITEM selected = GetSelectedItem();
    if (!hwnd_ || !selected) return false;
    SendMessage(WM_SETREDRAW, FALSE);
    SyncChildren(selected, listing, levels);
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    return true;
}

bool CFileTreeCtrlView::Clear() {
    if (!hwnd_) return false;
    bool done = DeleteAllItems();
    if (done) rootItem_ = nullptr;
    // No item, no folder: nothing may act on the one shown before.
    currentPath_.clear();
    return done;
}

void CFileTreeCtrlView::TakeCurrentPath(HTREEITEM item) {
    if (!item) return;
    if (item == rootItem_) {
        currentPath_ = rootPath_;
        return;
    }
    std::wstring path = GetItemText(item);
    for (HTREEITEM parent = GetParentItem(item); parent; parent = GetParentItem(parent)) {
        if (parent == rootItem_) {
            path = rootPath_ + path + L"/";
            break;
        }
        path = GetItemText(parent) + L"/" + path;
    }
    currentPath_ = path;
    if (settings_) {
        settings_->SetStringValue(L"CurrentPathSelected", currentPath_.c_str(), 0);
        settings_->SetStringValue(L"CurrentFileNameSelected", L"", 0);
    }
}

void CFileTreeCtrlView::Layout(const RECT& parentRect) {
    int height = (parentRect.bottom - parentRect.top) - bottomMargin_ - topMargin_;
    ::MoveWindow(hwnd_, leftMargin_, topMargin_, width_, height > 0 ? height : 0, FALSE);
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CFileTreeCtrlView::ResumeRedraw() {
    if (!redrawHeld_) return;
    redrawHeld_ = false;
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CFileTreeCtrlView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_RESUME_REDRAW:
        ResumeRedraw();
        return 0;
    case WM_PELICAN_LAYOUT:
        if (lp) Layout(*reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_SIZE: {
        LRESULT result = CBkTreeCtrl::WindowProc(msg, wp, lp);
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        return result;
    }
    case WM_GETDLGCODE: {
        // Enter belongs to the tree, not to the dialog's OK.
        LRESULT code = CBkTreeCtrl::WindowProc(msg, wp, lp);
        const MSG* key = reinterpret_cast<const MSG*>(lp);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SYSKEYDOWN:
        // Alt+Up: system keys come with no notification.
        if (wp == VK_UP && eventSink_) {
            eventSink_->OnEvent(FileOp_ListKeyDown, VK_UP, 0, reinterpret_cast<INT_PTR>(hwnd_));
            return 0;
        }
        return CBkTreeCtrl::WindowProc(msg, wp, lp);
    default:
        return CBkTreeCtrl::WindowProc(msg, wp, lp);
    }
}

bool CFileTreeCtrlView::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg != WM_NOTIFY) return CBkTreeCtrl::OnReflectedMessage(msg, wp, lp, result);
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    switch (hdr->code) {
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGEDA: {
        HTREEITEM item = reinterpret_cast<NMTREEVIEWW*>(lp)->itemNew.hItem;
        if (item) {
            TakeCurrentPath(item);
            if (eventSink_) eventSink_->OnEvent(FileOp_TreeSelChanged, 0, 0, 0);
        }
        *result = 0;
        return true;
    }
    case TVN_KEYDOWN: {
        // Keys go to the module, which knows their commands; Enter opens or closes the item here.
        WORD key = reinterpret_cast<NMTVKEYDOWN*>(lp)->wVKey;
        if (key == VK_RETURN) {
            if (HTREEITEM selected = GetSelectedItem()) Expand(selected, TVE_TOGGLE);
        } else if (eventSink_) {
            eventSink_->OnEvent(FileOp_ListKeyDown, key, lp, reinterpret_cast<INT_PTR>(hwnd_));
        }
        *result = 0;
        return true;
    }
    case TVN_ITEMEXPANDINGW:
    case TVN_ITEMEXPANDINGA:
        // Expanding repaints row by row; hold the drawing until it is done.
        // An expansion that does not happen sends no "expanded": the posted
        // message then lets the tree draw again.
        SendMessage(WM_SETREDRAW, FALSE);
        redrawHeld_ = true;
        PostMessage(WM_RESUME_REDRAW);
        *result = 0;
        return true;
    case TVN_ITEMEXPANDEDW:
    case TVN_ITEMEXPANDEDA:
        ResumeRedraw();
        *result = 0;
        return true;
    default:
        return false;
    }
}
