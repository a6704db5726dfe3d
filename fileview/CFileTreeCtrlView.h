// CFileTreeCtrlView: the device folder tree. Grows one folder at a time from
// the listings the executive hands over and keeps the selected folder's path.
#pragma once
#include <string>

#include "app/IConfigSettings.h"
#include "fileview/CBkTreeCtrl.h"
#include "fileview/CShellIconCache.h"
#include "fileview/DirectoryFileTree.h"
#include "framework/IEmberAppModuleUICtrl.h"
#include "framework/IEmberEventSink.h"

// Sent by the main window on every resize; lParam points at the new client rectangle.
constexpr UINT WM_PELICAN_LAYOUT = WM_USER + 103;

class CFileTreeCtrlView : public CBkTreeCtrl, public CEmberAppModuleViewBase {
public:
    static constexpr UINT kControlId = 4113;
    // Levels one insertion adds at most.
    static constexpr int kInsertDepth = 10;

    CFileTreeCtrlView();

    // Creates the window in rect (parent client coordinates) with its look.
    bool Create(const RECT& rect, HWND parent, HIMAGELIST images, platform::UniqueBitmap background,
                COLORREF textColour, COLORREF backgroundColour, IConfigSettings* settings, IEmberEventSink* sink);

    // 0 for an empty path (nothing changes), else 1.
    int SetRoot(const std::wstring& path);
    const std::wstring& RootPath() const { return rootPath_; }
    const std::wstring& RootLabel() const { return rootLabel_; }
    HTREEITEM RootItem() const { return rootItem_; }
    std::wstring GetCurrentPath() const { return currentPath_; }

    void InsertFolders(const tag_DirectoryFileTree* node, bool childrenOnly);
    // 0 when nothing is selected, else 1.
    int DeleteChildrenOfSelection();
    // The first child of the selection whose text equals name exactly, or null.
    HTREEITEM FindChildOfSelection(const std::wstring& name) const;
    // That child, added when the tree does not have it yet; null without a selection or name.
    HTREEITEM EnsureChildOfSelection(const std::wstring& name);
    // Makes the selection's sub-folders those of `listing`, `levels` deep. Items
    // that stay keep their children, expansion and selection; the current path
    // does not change. False when nothing is selected.
    bool SyncSelection(const tag_DirectoryFileTree& listing, int levels);
    // Forgets every item, the root item included, and the current path.
    bool Clear();

    HWND GetViewWindow() override { return hwnd_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    HTREEITEM InsertNode(const tag_DirectoryFileTree& node, HTREEITEM parent, int depth,
                         HTREEITEM after = TVI_LAST);
    void SyncChildren(HTREEITEM item, const tag_DirectoryFileTree& listing, int levels);
    // The selection-change step: the item's path, the two settings, no event.
    void TakeCurrentPath(HTREEITEM item);
    void Layout(const RECT& parentRect);
    void ResumeRedraw();

    std::wstring rootLabel_ = L"Root";
    std::wstring rootPath_;
    HTREEITEM rootItem_ = nullptr;
    std::wstring currentPath_;
    IConfigSettings* settings_ = nullptr;
    IEmberEventSink* eventSink_ = nullptr;
    CShellIconCache icons_;
    int leftMargin_ = 0;
    int topMargin_ = 0;
    int bottomMargin_ = 0;
    int width_ = 0;
    bool redrawHeld_ = false;  // between an expansion's start and its end
};
