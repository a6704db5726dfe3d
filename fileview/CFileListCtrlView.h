// CFileListCtrlView: the entries of the selected device folder, one row each
// with icon, name, size, type and date; sorts by a clicked header; reports
// clicks, selection, keys, the context-menu request and dropped PC files to
// the file view module. The rows live here and the control asks for what it
// shows (a virtual list), so a folder of 100,000 files fills at once.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "fileview/CCustomListCtrl.h"
#include "fileview/CShellIconCache.h"
#include "fileview/DirectoryFileTree.h"
#include "fileview/FileListRows.h"

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
    // Room between the right-aligned size text and the type column.
    static constexpr int kSizeTextMargin = 14;
    static constexpr int kColumnCount = kFileListColumnCount;
    static const ListColumn kColumns[kColumnCount];

    bool Create(const RECT& rect, HWND parent, const std::wstring& param) override;
    bool LoadLook() override;

    // The shell's small icons, shared: the list never destroys them.
    void SetSmallImages(HIMAGELIST images);
    // One row per child of node, in the chosen sort order (the listing's own
    // order until a header was clicked). With keepSelection the rows selected
    // before stay selected by name, and the list keeps its scroll position.
    void Fill(const tag_DirectoryFileTree* node, bool clearFirst, bool keepSelection = false);
    // Shows a popup at a screen point, owned by the list; the chosen command or 0.
    int TrackMenu(IconMenu& menu, POINT screen);

    // Sorts by a column: the same column again turns the direction round.
    void SortBy(int column);
    void SetSort(int column, bool ascending);
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }
    void SelectAll();
    // A window that sits right above the list and follows it (the path bar).
    void SetCompanion(HWND above, int height);
    // Selects and shows the one row of that name, if there is one.
    void SelectRowNamed(const std::wstring& name);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const ListRow& Row(int index) const { return rows_[static_cast<size_t>(index)]; }
    // Row indexes of the selection, in list order.
    std::vector<int> SelectedRows() const;
    bool IsFolderRow(int row) const;

    CShellIconCache& Icons() { return icons_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    bool OnNotify(WPARAM wp, NMHDR* hdr, LRESULT* result) override;
    bool OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) override;
    void OnDestroy() override;
    std::wstring NameOfRow(int row) const override;

private:
    void OnDropFiles(HDROP drop);
    LRESULT Report(int code, INT_PTR a, INT_PTR b, INT_PTR c);
    void GetDisplayInfo(LVITEMW* item);
    // The size cell, drawn here to keep its text clear of the type column; false leaves it to the control.
    bool DrawSizeCell(const NMLVCUSTOMDRAW& draw);
    int FindRowByPrefix(const wchar_t* prefix, int start, bool wrap) const;
    // Selection changes arrive row by row; the module hears of them once they settle.
    void SelectionChanged();
    void ReportSettledSelection();
    void ShowSortArrow();
    void SaveSortAndWidths();
    void LoadSortAndWidths(int (&widths)[kColumnCount]);
    void SetRowCount();
    void ClearSelection();
    void PlaceCompanion();
    void Select(const std::vector<int>& rows, int focus);

    std::vector<ListRow> rows_;
    int sortColumn_ = -1;  // none: the listing's own order
    bool sortAscending_ = true;
    bool selectionReportPending_ = false;
    CShellIconCache icons_;
    IconMenu* trackedMenu_ = nullptr;  // while a popup of ours is up
    HWND companion_ = nullptr;
    int companionHeight_ = 0;
};
