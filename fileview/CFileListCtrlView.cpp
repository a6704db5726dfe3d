// CFileListCtrlView.
#include "fileview/CFileListCtrlView.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "fileview/FileViewText.h"
#include "framework/CommandArgs.h"
#include "fileview/CFileTreeCtrlView.h"
#include "menu/IconMenu.h"
#include "skin/SkinImage.h"
#include "outside/skinscrollbar/SkinScrollBar.h"

namespace {
constexpr int kMaxPath = 260;
// Posted by a finished divider drag: the header sets the width only after it has told us.
constexpr UINT WM_ENFORCE_MIN_WIDTH = WM_APP + 0x31;

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
}  // namespace

const ListColumn CFileListCtrlView::kColumns[kColumnCount] = {
    {L"", LVCFMT_LEFT, 20},
    {L"Name", LVCFMT_LEFT, 177},
    {L"Size", LVCFMT_RIGHT, 80},
    {L"Type", LVCFMT_LEFT, 130},
};

bool CFileListCtrlView::Create(const RECT& rect, HWND parent, const std::wstring& param) {
    DWORD style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
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

    for (int column = 0; column < kColumnCount; ++column) {
        int width = NumberAt(tokens, 16 + static_cast<size_t>(column), 0);
        if (width <= 0) width = kColumns[column].defaultWidth;
        InsertColumn(column, kColumns[column].title, kColumns[column].format, width);
    }

    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    return true;
}

void CFileListCtrlView::Fill(const tag_DirectoryFileTree* node, bool clearFirst) {
    if (!hwnd_) return;
    if (clearFirst) DeleteAllItems();
    SendMessage(WM_SETREDRAW, FALSE);
    if (node) {
        // Rows go straight to the list view's own procedure: under Wine every
        // message through a SetWindowSubclass chain costs a window-property
        // look-up in the server, which made a folder of 20,000 files take
        // seconds. None of the subclasses has business with these messages.
        auto listProc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(hwnd_, GCLP_WNDPROC));
        auto send = [&](UINT msg, WPARAM wp, LPARAM lp) {
            return listProc ? ::CallWindowProcW(listProc, hwnd_, msg, wp, lp) : SendMessage(msg, wp, lp);
        };
        auto setText = [&](int row, int column, const wchar_t* text) {
            LVITEMW sub{};
            sub.iSubItem = column;
            sub.pszText = const_cast<wchar_t*>(text);
            send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
        };
        // With full-row selection the control asks the (skinned, hence
        // subclassed) header for its column order on every sub-item text;
        // the style is off for the bulk insert and back right after.
        DWORD extended = GetExtendedStyle();
        if (extended & LVS_EX_FULLROWSELECT) SetExtendedStyle(extended & ~LVS_EX_FULLROWSELECT);
        int row = GetItemCount();
        send(LVM_SETITEMCOUNT, static_cast<WPARAM>(row + static_cast<int>(node->children.size())), 0);
        for (const tag_DirectoryFileTree& child : node->children) {
            bool folder = child.isDirectory != 0;
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = row;
            item.pszText = const_cast<wchar_t*>(L"");
            item.iImage = folder ? icons_.FolderIcon() : icons_.FileIcon(ExtensionOf(child.name));
            int at = static_cast<int>(send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            if (at < 0) continue;
            setText(at, 1, child.name.c_str());
            if (!folder) setText(at, 2, FormatSizeText(child.size).c_str());
            setText(at, 3, folder ? L"Folder" : L"File");
            row = at + 1;
        }
        if (extended & LVS_EX_FULLROWSELECT) SetExtendedStyle(extended);
    }
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    ::UpdateWindow(hwnd_);
    if (HWND parent = ::GetParent(hwnd_)) ::UpdateWindow(parent);
}

int CFileListCtrlView::TrackMenu(IconMenu& menu, POINT screen) {
    trackedMenu_ = &menu;
    int chosen = menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, hwnd_);
    trackedMenu_ = nullptr;
    return chosen;
}

bool CFileListCtrlView::IsFolderRow(int row) const {
    return row >= 0 && ::lstrcmpiW(GetItemText(row, 3).c_str(), L"Folder") == 0;
}

LRESULT CFileListCtrlView::Report(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    return eventSink_ ? eventSink_->OnEvent(code, a, b, c) : 0;
}

void CFileListCtrlView::OnDropFiles(HDROP drop) {
    // The command behind the event releases the handle; nobody took it, so we do.
    if (!Report(FileOp_DropFiles, reinterpret_cast<INT_PTR>(drop), 0, 0)) ::DragFinish(drop);
}

LRESULT CFileListCtrlView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_PELICAN_LAYOUT:
        if (lp) Layout(*reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_SIZE: {
        LRESULT result = CCustomListCtrl::WindowProc(msg, wp, lp);
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        return result;
    }
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
    case WM_ENFORCE_MIN_WIDTH: {
        int column = static_cast<int>(wp);
        if (SendMessage(LVM_GETCOLUMNWIDTH, column) < kMinColumnWidth) {
            SendMessage(LVM_SETCOLUMNWIDTH, column, kMinColumnWidth);
            ::InvalidateRect(hwnd_, nullptr, TRUE);
        }
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
            if (header->pitem && (header->pitem->mask & HDI_WIDTH) && header->pitem->cxy < kMinColumnWidth)
                PostMessage(WM_ENFORCE_MIN_WIDTH, static_cast<WPARAM>(header->iItem));
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
            Report(FileOp_ListSelChanged, self, lp, 0);
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
