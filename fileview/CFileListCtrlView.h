// CFileListCtrlView: the entries of the selected device folder, one row each
// with icon, name, size and type; reports clicks, selection, keys, the
// context-menu request and dropped PC files to the file view module.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "fileview/CCustomListCtrl.h"
#include "fileview/CShellIconCache.h"
#include "fileview/DirectoryFileTree.h"

class IconMenu;

struct ListColumn {
    const wchar_t* title;
    int format;
    int defaultWidth;
};

class CFileListCtrlView : public CCustomListCtrl {
public:
    static constexpr UINT kControlId = 4105;
    static constexpr int kMinColumnWidth = 24;
    static constexpr int kColumnCount = 4;
    static const ListColumn kColumns[kColumnCount];

    bool Create(const RECT& rect, HWND parent, const std::wstring& param) override;
    bool LoadLook() override;

    // The shell's small icons, shared: the list never destroys them.
    void SetSmallImages(HIMAGELIST images);
    // One row per child of node, in its order.
    void Fill(const tag_DirectoryFileTree* node, bool clearFirst);
    // Shows a popup at a screen point, owned by the list; the chosen command or 0.
    int TrackMenu(IconMenu& menu, POINT screen);

    CShellIconCache& Icons() { return icons_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    bool OnNotify(WPARAM wp, NMHDR* hdr, LRESULT* result) override;
    void OnDestroy() override;

private:
    void OnDropFiles(HDROP drop);
    bool IsFolderRow(int row) const;
    LRESULT Report(int code, INT_PTR a, INT_PTR b, INT_PTR c);

    CShellIconCache icons_;
    IconMenu* trackedMenu_ = nullptr;  // while a popup of ours is up
};
