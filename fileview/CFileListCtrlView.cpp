// CFileListCtrlView.
#include "fileview/CFileListCtrlView.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <unordered_set>

#include "fileview/FileViewText.h"
#include "framework/CommandArgs.h"
#include "fileview/CFileTreeCtrlView.h"
#include "menu/IconMenu.h"
#include "skin/SkinImage.h"
#include "outside/skinscrollbar/SkinScrollBar.h"

namespace {
constexpr int kMaxPath = 260;
// Posted by a finished divider drag: the header sets the width only after it has told us.
constexpr UINT WM_COLUMN_WIDTH_SET = WM_APP + 0x31;
// Posted by the first selection change of a burst; the module hears of the selection once.
constexpr UINT WM_SELECTION_SETTLED = WM_APP + 0x33;

// The next token as a number, or fallback when it is missing.
int NumberAt(const std::vector<std::wstring>& tokens, size_t index, int fallback) {
    if (index >= tokens.size() || tokens[index].empty()) return fallback;
    return static_cast<int>(std::wcstol(tokens[index].c_str(), nullptr, 10));
}

bool ColourAt(const std::vector<std::wstring>& tokens, size_t index, COLORREF* colour) {
    if (index + 2 >= tokens.size()) return false;
    *colour = RGB(NumberAt(tokens, index, 0), NumberAt(tokens, index + 1, 0), NumberAt(tokens, index + 2, 0));
    return true;
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix, size_t length) {
    return text.size() >= length &&
           ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), static_cast<int>(length), prefix,
                            static_cast<int>(length)) == CSTR_EQUAL;
}
}  // namespace

const ListColumn CFileListCtrlView::kColumns[kColumnCount] = {
    {L"", LVCFMT_LEFT, 20},
    {L"Name", LVCFMT_LEFT, 177},
    {L"Size", LVCFMT_RIGHT, 80},
    {L"Type", LVCFMT_LEFT, 130},
    {L"Date modified", LVCFMT_LEFT, 130},
};

bool CFileListCtrlView::Create(const RECT& rect, HWND parent, const std::wstring& param) {
    DWORD style =
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDATA;
    // The skin list's own set-up comes with its creation (the skinned header).
    if (!CSkinListCtrl::Create(style, rect, parent, kControlId, WS_EX_ACCEPTFILES)) return false;
    TakeMargins(rect, parent);
    ::SkinSB_InitializeScrollBar(hwnd_);
    param_ = param;
    return true;
}

void CFileListCtrlView::OnDestroy() {
    ::SkinSB_UnInitializeScrollBar(hwnd_);
    CCustomListCtrl::OnDestroy();
}

void CFileListCtrlView::SetSmallImages(HIMAGELIST images) {
    SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

bool CFileListCtrlView::LoadLook() {
    if (!hwnd_) return false;
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    std::vector<std::wstring> tokens = SplitSkinTokens(param_);

    // Token 1 is a number for the skin list; the skinned list has no setting
    // that takes it, so it only holds its place in the sequence.

    std::wstring skinPath;
    if (settings_) {
        wchar_t folder[kMaxPath + 1] = {};
        if (settings_->GetStringValue(L"SkinPath", folder, kMaxPath, 0)) skinPath = folder;
    }
    std::wstring pictures[3];
    std::vector<std::wstring> names(tokens.begin() + std::min<size_t>(1, tokens.size()),
                                    tokens.begin() + std::min<size_t>(4, tokens.size()));
    if (HeaderPicturePaths(skinPath, names, pictures))
        Header().SetPictures(nsSkin::LoadImageFile(pictures[0]), nsSkin::LoadImageFile(pictures[1]),
                             nsSkin::LoadImageFile(pictures[2]));

    COLORREF even = 0, odd = 0, background = 0, text = 0;
    bool haveEven = ColourAt(tokens, 4, &even);
    bool haveOdd = ColourAt(tokens, 7, &odd);
    if (haveEven || haveOdd) SetRowColors(haveEven ? even : EvenRowColor(), haveOdd ? odd : OddRowColor());
    if (ColourAt(tokens, 10, &background)) SetBkColor(background);
    if (ColourAt(tokens, 13, &text)) SetTextColor(text);

    int widths[kColumnCount] = {};
    for (int column = 0; column < kColumnCount; ++column) {
        widths[column] = NumberAt(tokens, 16 + static_cast<size_t>(column), 0);
        if (widths[column] <= 0) widths[column] = kColumns[column].defaultWidth;
    }
    // What the user chose last time wins over the skin's widths.
    LoadSortAndWidths(widths);
    for (int column = 0; column < kColumnCount; ++column)
        InsertColumn(column, kColumns[column].title, kColumns[column].format, widths[column]);
    // The size title lines up with the sizes below it.
    Header().SetTitleInset(kSizeColumn, kSizeTextMargin - 2);
    ShowSortArrow();

    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    return true;
}

void CFileListCtrlView::LoadSortAndWidths(int (&widths)[kColumnCount]) {
    if (!settings_) return;
    int column = settings_->GetIntValue(L"ListSortColumn", -1, 0);
    sortColumn_ = IsSortColumn(column) ? column : -1;
    sortAscending_ = settings_->GetIntValue(L"ListSortAscending", 1, 0) != 0;
    wchar_t text[kMaxPath + 1] = {};
    if (!settings_->GetStringValue(L"ListColumnWidths", text, kMaxPath, 0)) return;
    std::vector<std::wstring> stored = SplitSkinTokens(text);
    // The icon column keeps its width; a stored width below the minimum is not taken.
    for (int c = 1; c < kColumnCount; ++c) {
        int width = NumberAt(stored, static_cast<size_t>(c), 0);
        if (width >= kMinColumnWidth && width <= 4000) widths[c] = width;
    }
}

void CFileListCtrlView::SaveSortAndWidths() {
    if (!settings_ || !hwnd_) return;
    settings_->SetIntValue(L"ListSortColumn", sortColumn_, 0);
    settings_->SetIntValue(L"ListSortAscending", sortAscending_ ? 1 : 0, 0);
    std::wstring widths;
    for (int c = 0; c < kColumnCount; ++c) {
        if (c) widths += L",";
        widths += std::to_wstring(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c)));
    }
    settings_->SetStringValue(L"ListColumnWidths", widths.c_str(), 0);
}

void CFileListCtrlView::ShowSortArrow() {
    HWND header = GetHeaderCtrl();
    if (!header) return;
    for (int c = 0; c < kColumnCount; ++c) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (c == sortColumn_) item.fmt |= sortAscending_ ? HDF_SORTUP : HDF_SORTDOWN;
        ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
    }
    ::InvalidateRect(header, nullptr, TRUE);
}

void CFileListCtrlView::SetSort(int column, bool ascending) {
    if (!IsSortColumn(column)) return;
    sortColumn_ = column;
    sortAscending_ = ascending;
    // The rows move; the selection stays with the same names.
    std::vector<int> selected = SelectedRows();
    int focus = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    std::unordered_set<std::wstring> names;
    for (int row : selected) names.insert(rows_[static_cast<size_t>(row)].name);
    std::wstring focusName = focus >= 0 && focus < RowCount() ? rows_[static_cast<size_t>(focus)].name : L"";
    SortRows(&rows_, sortColumn_, sortAscending_);
    std::vector<int> again;
    int newFocus = -1;
    for (int row = 0; row < RowCount(); ++row) {
        if (names.count(rows_[static_cast<size_t>(row)].name)) again.push_back(row);
        if (!focusName.empty() && rows_[static_cast<size_t>(row)].name == focusName) newFocus = row;
    }
    Select(again, newFocus);
    if (newFocus >= 0) SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(newFocus), FALSE);
    ShowSortArrow();
    SaveSortAndWidths();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void CFileListCtrlView::SortBy(int column) {
    if (!IsSortColumn(column)) return;
    SetSort(column, column == sortColumn_ ? !sortAscending_ : true);
}

void CFileListCtrlView::SetRowCount() {
    SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(rows_.size()), LVSICF_NOSCROLL);
}

void CFileListCtrlView::ClearSelection() {
    // Setting a state on every row (item -1) costs the control a round of
    // messages per row; no rows at all forget the selection at once.
    SendMessage(LVM_SETITEMCOUNT, 0, LVSICF_NOSCROLL);
    SetRowCount();
}

void CFileListCtrlView::Select(const std::vector<int>& rows, int focus) {
    ClearSelection();
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    if (!rows.empty() && rows.size() == rows_.size()) {
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    } else {
        for (int row : rows) SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    if (focus >= 0) {
        LVITEMW focused{};
        focused.stateMask = LVIS_FOCUSED;
        focused.state = LVIS_FOCUSED;
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(focus), reinterpret_cast<LPARAM>(&focused));
        SendMessage(LVM_SETSELECTIONMARK, 0, focus);
    }
}

void CFileListCtrlView::SelectAll() {
    if (!hwnd_ || rows_.empty()) return;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void CFileListCtrlView::SetCompanion(HWND above, int height) {
    companion_ = above;
    companionHeight_ = height;
    PlaceCompanion();
}

void CFileListCtrlView::PlaceCompanion() {
    if (!companion_ || !hwnd_) return;
    RECT rect = GetWindowRect();
    ::MapWindowPoints(nullptr, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&rect), 2);
    ::MoveWindow(companion_, rect.left, rect.top - companionHeight_, rect.right - rect.left, companionHeight_, TRUE);
}

void CFileListCtrlView::SelectRowNamed(const std::wstring& name) {
    for (int row = 0; row < RowCount(); ++row) {
        if (rows_[static_cast<size_t>(row)].name != name) continue;
        Select({row}, row);
        SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        return;
    }
}

void CFileListCtrlView::Fill(const tag_DirectoryFileTree* node, bool clearFirst, bool keepSelection) {
    if (!hwnd_) return;
    std::unordered_set<std::wstring> before, chosen;
    std::wstring focusName;
    int top = -1;
    if (keepSelection) {
        for (const ListRow& row : rows_) before.insert(row.name);
        for (int row : SelectedRows()) chosen.insert(rows_[static_cast<size_t>(row)].name);
        int focus = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (focus >= 0 && focus < RowCount()) focusName = rows_[static_cast<size_t>(focus)].name;
        top = static_cast<int>(SendMessage(LVM_GETTOPINDEX));
    }
    if (clearFirst) rows_.clear();
    size_t firstNew = rows_.size();
    if (node) AppendRows(*node, &rows_);
    // A few questions to the shell, one per kind of file, answered from the cache after.
    for (size_t i = firstNew; i < rows_.size(); ++i)
        rows_[i].icon = rows_[i].folder ? icons_.FolderIcon() : icons_.FileIcon(ExtensionOf(rows_[i].name));
    SortRows(&rows_, sortColumn_, sortAscending_);

    std::vector<int> again;
    int focus = -1;
    if (keepSelection) {
        // A renamed entry: the one selected name that went and the one that came are the same entry.
        std::vector<int> arrived;
        size_t kept = 0;
        for (int row = 0; row < RowCount(); ++row) {
            const std::wstring& name = rows_[static_cast<size_t>(row)].name;
            if (chosen.count(name)) {
                again.push_back(row);
                ++kept;
            }
            if (!before.count(name)) arrived.push_back(row);
            if (!focusName.empty() && name == focusName) focus = row;
        }
        if (chosen.size() == kept + 1 && arrived.size() == 1 && rows_.size() == before.size()) {
            again.push_back(arrived[0]);
            std::sort(again.begin(), again.end());
            if (focus < 0) focus = arrived[0];
        }
    }
    if (!again.empty() || focus >= 0) Select(again, focus);
    else ClearSelection();
    if (keepSelection && top > 0) {
        // Back to the same first visible row, as far as the rows reach.
        RECT first{};
        first.left = LVIR_BOUNDS;
        int now = static_cast<int>(SendMessage(LVM_GETTOPINDEX));
        if (SendMessage(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)) && now != top)
            SendMessage(LVM_SCROLL, 0, (top - now) * (first.bottom - first.top));
    } else if (!keepSelection && !rows_.empty()) {
        SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    ::UpdateWindow(hwnd_);
}

std::vector<int> CFileListCtrlView::SelectedRows() const {
    std::vector<int> rows;
    if (!hwnd_) return rows;
    // Straight to the list's own procedure: a select-all of a big folder
    // would otherwise cost a trip through every subclass per row.
    auto listProc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(hwnd_, GCLP_WNDPROC));
    auto next = [&](int from) {
        return static_cast<int>(listProc ? ::CallWindowProcW(listProc, hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(from),
                                                             LVNI_SELECTED)
                                         : SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(from), LVNI_SELECTED));
    };
    for (int row = next(-1); row >= 0 && row < RowCount(); row = next(row)) rows.push_back(row);
    return rows;
}

std::wstring CFileListCtrlView::NameOfRow(int row) const {
    return row >= 0 && row < RowCount() ? rows_[static_cast<size_t>(row)].name : std::wstring();
}

bool CFileListCtrlView::IsFolderRow(int row) const { return row >= 0 && row < RowCount() && Row(row).folder; }

int CFileListCtrlView::TrackMenu(IconMenu& menu, POINT screen) {
    trackedMenu_ = &menu;
    int chosen = menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, hwnd_);
    trackedMenu_ = nullptr;
    return chosen;
}

LRESULT CFileListCtrlView::Report(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    // A selection that changed before a click or key is told first, as it happened first.
    if (code != FileOp_ListSelChanged) ReportSettledSelection();
    return eventSink_ ? eventSink_->OnEvent(code, a, b, c) : 0;
}

void CFileListCtrlView::ReportSettledSelection() {
    if (!selectionReportPending_) return;
    selectionReportPending_ = false;
    Report(FileOp_ListSelChanged, reinterpret_cast<INT_PTR>(hwnd_), 0, 0);
}

void CFileListCtrlView::OnDropFiles(HDROP drop) {
    // The command behind the event releases the handle; nobody took it, so we do.
    if (!Report(FileOp_DropFiles, reinterpret_cast<INT_PTR>(drop), 0, 0)) ::DragFinish(drop);
}

void CFileListCtrlView::SelectionChanged() {
    if (selectionReportPending_) return;
    selectionReportPending_ = true;
    PostMessage(WM_SELECTION_SETTLED);
}

void CFileListCtrlView::GetDisplayInfo(LVITEMW* item) {
    if (item->iItem < 0 || item->iItem >= RowCount()) return;
    const ListRow& row = rows_[static_cast<size_t>(item->iItem)];
    if ((item->mask & LVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        std::wstring text = CellText(row, item->iSubItem);
        ::lstrcpynW(item->pszText, text.c_str(), item->cchTextMax);
    }
    if (item->mask & LVIF_IMAGE) item->iImage = row.icon;
}

bool CFileListCtrlView::OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) {
    if (draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM) && draw->iSubItem == kSizeColumn &&
        DrawSizeCell(*draw)) {
        *result = CDRF_SKIPDEFAULT;
        return true;
    }
    return CCustomListCtrl::OnCustomDraw(draw, result);
}

bool CFileListCtrlView::DrawSizeCell(const NMLVCUSTOMDRAW& draw) {
    const int row = static_cast<int>(draw.nmcd.dwItemSpec);
    if (row < 0 || row >= RowCount()) return false;
    RECT cell{};
    cell.top = kSizeColumn;
    cell.left = LVIR_BOUNDS;
    if (!SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell))) return false;
    // The colours the control gives the rest of the row (the item state in
    // the notification is not reliable for a list view).
    COLORREF back = RowColor(row), fore = GetTextColor();
    if (SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) {
        if (::GetFocus() == hwnd_) {
            back = ::GetSysColor(COLOR_HIGHLIGHT);
            fore = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        } else if (::GetWindowLongW(hwnd_, GWL_STYLE) & LVS_SHOWSELALWAYS) {
            back = ::GetSysColor(COLOR_3DFACE);
            fore = ::GetSysColor(COLOR_BTNTEXT);
        }
    }
    HDC dc = draw.nmcd.hdc;
    const int saved = ::SaveDC(dc);
    ::SetBkColor(dc, back);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, fore);
    RECT text = cell;
    text.left += 2;
    text.right -= kSizeTextMargin;
    const std::wstring size = CellText(Row(row), kSizeColumn);
    ::DrawTextW(dc, size.c_str(), static_cast<int>(size.size()), &text,
                DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::RestoreDC(dc, saved);
    return true;
}

int CFileListCtrlView::FindRowByPrefix(const wchar_t* prefix, int start, bool wrap) const {
    size_t length = prefix ? std::wcslen(prefix) : 0;
    int count = RowCount();
    if (!length || !count) return -1;
    if (start < 0 || start >= count) start = 0;
    for (int step = 0; step < count; ++step) {
        int row = start + step;
        if (row >= count) {
            if (!wrap) break;
            row -= count;
        }
        if (StartsWithNoCase(rows_[static_cast<size_t>(row)].name, prefix, length)) return row;
    }
    return -1;
}

LRESULT CFileListCtrlView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_PELICAN_LAYOUT:
        if (lp) Layout(*reinterpret_cast<const RECT*>(lp));
        PlaceCompanion();
        return 0;
    case LVM_DELETEALLITEMS:
        // The rows are ours; the control only counts them.
        rows_.clear();
        break;
    case WM_SIZE: {
        LRESULT result = CCustomListCtrl::WindowProc(msg, wp, lp);
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        return result;
    }
    case WM_GETDLGCODE: {
        // Enter opens a folder here; the dialog would otherwise take it as its OK.
        LRESULT code = CCustomListCtrl::WindowProc(msg, wp, lp);
        const MSG* key = reinterpret_cast<const MSG*>(lp);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SYSKEYDOWN:
        // Alt+Up: the list view passes system keys on without a notification.
        if (wp == VK_UP) {
            Report(FileOp_ListKeyDown, VK_UP, 0, reinterpret_cast<INT_PTR>(hwnd_));
            return 0;
        }
        break;
    case WM_SELECTION_SETTLED:
        ReportSettledSelection();
        return 0;
    case WM_MEASUREITEM:
        // Our context menu is owner-drawn and owned by this window.
        if (trackedMenu_ && reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->CtlType == ODT_MENU) {
            trackedMenu_->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (trackedMenu_ && reinterpret_cast<DRAWITEMSTRUCT*>(lp)->CtlType == ODT_MENU) {
            trackedMenu_->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_COLUMN_WIDTH_SET: {
        int column = static_cast<int>(wp);
        if (SendMessage(LVM_GETCOLUMNWIDTH, column) < kMinColumnWidth) {
            SendMessage(LVM_SETCOLUMNWIDTH, column, kMinColumnWidth);
            ::InvalidateRect(hwnd_, nullptr, TRUE);
        }
        SaveSortAndWidths();
        return 0;
    }
    default:
        break;
    }
    return CCustomListCtrl::WindowProc(msg, wp, lp);
}

bool CFileListCtrlView::OnNotify(WPARAM wp, NMHDR* hdr, LRESULT* result) {
    if (hdr->hwndFrom == GetHeaderCtrl()) {
        auto* header = reinterpret_cast<NMHEADERW*>(hdr);
        switch (hdr->code) {
        case HDN_BEGINTRACKW:
        case HDN_BEGINTRACKA:
            // The icon column has a fixed width.
            if (header->iItem == 0) {
                *result = TRUE;
                return true;
            }
            break;
        case HDN_ENDTRACKW:
        case HDN_ENDTRACKA:
            PostMessage(WM_COLUMN_WIDTH_SET, static_cast<WPARAM>(header->iItem));
            break;
        default:
            break;
        }
    }
    return CCustomListCtrl::OnNotify(wp, hdr, result);
}

bool CFileListCtrlView::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        INT_PTR self = reinterpret_cast<INT_PTR>(hwnd_);
        switch (hdr->code) {
        case LVN_GETDISPINFOW:
            GetDisplayInfo(&reinterpret_cast<NMLVDISPINFOW*>(lp)->item);
            *result = 0;
            return true;
        case LVN_ODFINDITEMW: {
            // Typing a name's first letters.
            auto* find = reinterpret_cast<NMLVFINDITEMW*>(lp);
            bool byText = (find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0;
            *result = byText ? FindRowByPrefix(find->lvfi.psz, find->iStart, (find->lvfi.flags & LVFI_WRAP) != 0)
                             : -1;
            return true;
        }
        case LVN_ODCACHEHINT:
            *result = 0;
            return true;
        case LVN_COLUMNCLICK:
            SortBy(reinterpret_cast<NMLISTVIEW*>(lp)->iSubItem);
            *result = 0;
            return true;
        case NM_DBLCLK: {
            auto* click = reinterpret_cast<NMITEMACTIVATE*>(lp);
            if (IsFolderRow(click->iItem)) Report(FileOp_OpenFolder, self, lp, 0);
            *result = 0;
            return true;
        }
        case NM_RCLICK:
            Report(FileOp_ListRightClick, self, lp, 0);
            *result = 0;
            return true;
        case LVN_ITEMCHANGED:
        case LVN_ODSTATECHANGED:
            SelectionChanged();
            *result = 0;
            return true;
        case LVN_BEGINDRAG:
            // The drag runs inside this notification (the executive's modal DoDragDrop).
            Report(FileOp_DragToPC, self, lp, 0);
            *result = 0;
            return true;
        case LVN_KEYDOWN:
            Report(FileOp_ListKeyDown, reinterpret_cast<NMLVKEYDOWN*>(lp)->wVKey, lp, self);
            *result = 0;
            return true;
        default:
            break;
        }
    }
    return CCustomListCtrl::OnReflectedMessage(msg, wp, lp, result);
}
