// CAppModuleFileView.
#include "fileview/CAppModuleFileView.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/Applog.h"
#include "fileview/CFileListCtrlView.h"
#include "fileview/CFileTreeCtrlView.h"
#include "fileview/CPathBar.h"
#include "fileview/CShellIconCache.h"
#include "fileview/FileViewText.h"
#include "platform/SystemServices.h"
#include "menu/IconMenu.h"
#include "skin/SkinImage.h"

namespace {
constexpr int kMaxPath = 260;

bool SameName(const wchar_t* a, const wchar_t* b) { return ::lstrcmpiW(a, b) == 0; }

}  // namespace

CAppModuleFileView::CAppModuleFileView() = default;

// The views go first; the shared system image list is only forgotten.
CAppModuleFileView::~CAppModuleFileView() {
    pathBar_.reset();
    listView_.reset();
    treeView_.reset();
    systemImages_ = nullptr;
}

HRESULT STDMETHODCALLTYPE CAppModuleFileView::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (ember::SameGuid(iid, ember::IID_IFileView)) {
        *out = static_cast<IFileView*>(this);
        return S_OK;
    }
    if (ember::SameGuid(iid, ember::IID_IEmberAppModuleUICtrl)) {
        *out = static_cast<IEmberAppModuleUICtrl*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CAppModuleFileView::Initialize() {
    // Without settings the tree still works; the list refuses to be made.
    if (LookUp(ember::MID_ConfigModule, ember::IID_IConfigSettings, &settings_) < 0) settings_ = nullptr;
    HRESULT hr = LookUp(ember::MID_CmdExecutive, ember::IID_ICommandExecutive, &executive_);
    systemImages_ = CShellIconCache::SystemSmallImages();
    return hr;
}

// ---- views ------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CAppModuleFileView::CreateView(const wchar_t* name, HWND parent, const RECT& rect,
                                                         const wchar_t* param, IEmberAppModuleView** view) {
    if (!name || !parent) return S_OK;
    if (SameName(name, L"FileListCtrl")) return CreateListView(parent, rect, param, view);
    if (SameName(name, L"FileTreeView")) return CreateTreeView(parent, rect, param, view);
    return S_OK;
}

HRESULT CAppModuleFileView::CreateListView(HWND parent, const RECT& rect, const wchar_t* param,
                                           IEmberAppModuleView** view) {
    // The path bar takes the top of the list's place, when there is room for both.
    RECT listRect = rect;
    bool withBar = rect.bottom - rect.top > 4 * CPathBar::kHeight;
    if (withBar) listRect.top += CPathBar::kHeight;
    auto list = std::make_unique<CFileListCtrlView>();
    if (!list->Create(listRect, parent, param ? param : L"")) {
        PelicanLog(1, L"FileView: the file list window could not be created.\n");
        return E_FAIL;
    }
    list->SetViewName(L"FileListView");
    list->SetSmallImages(systemImages_);
    CFileListCtrlView* made = list.get();
    // A failed list stays with the module and goes with it.
    listView_ = std::move(list);
    if (!settings_) return E_FAIL;
    made->SetSettings(settings_);
    made->SetEventSink(static_cast<IEmberEventSink*>(this));
    if (!made->LoadLook()) return E_FAIL;
    auto bar = std::make_unique<CPathBar>();
    if (withBar && bar->Create(parent, RECT{rect.left, rect.top, rect.right, listRect.top})) {
        bar->SetOnClick([this](int levelsUp) { OnPathPiece(levelsUp); });
        made->SetCompanion(bar->hwnd(), CPathBar::kHeight);
        pathBar_ = std::move(bar);
    }
    if (view) *view = made;
    return S_OK;
}

HRESULT CAppModuleFileView::CreateTreeView(HWND parent, const RECT& rect, const wchar_t* param,
                                           IEmberAppModuleView** view) {
    TreeLook look = ParseTreeParam(param ? param : L"");
    if (look.bitmapName.empty()) return S_OK;

    // The skin folder is read through the configuration's second face, asked for when needed.
    IConfigSettings2* settings2 = nullptr;
    if (LookUp(ember::MID_ConfigModule, ember::IID_IConfigSettings2, &settings2) < 0 || !settings2) return S_OK;
    wchar_t folder[kMaxPath + 1] = {};
    if (!settings2->GetStringValue(L"CurrentSkinPath", folder, kMaxPath, 0) || !folder[0]) return S_OK;
    std::wstring path = folder;
    if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
    path += look.bitmapName;
    if (path.size() >= kMaxPath) {
        PelicanLog(1, L"FileView: the tree picture's path is too long.\n");
        return S_OK;
    }
    platform::UniqueBitmap picture = nsSkin::LoadImageFile(path);
    // The piece of the picture that lies under the view (same place, same size).
    platform::UniqueBitmap background = nsSkin::CopyBitmapRect(picture.get(), rect);
    if (!background) return S_OK;

    auto tree = std::make_unique<CFileTreeCtrlView>();
    if (!tree->Create(rect, parent, systemImages_, std::move(background), look.textColour, look.backgroundColour,
                      settings_, static_cast<IEmberEventSink*>(this))) {
        PelicanLog(1, L"FileView: the folder tree window could not be created.\n");
        return S_OK;
    }
    treeView_ = std::move(tree);
    if (view) *view = treeView_.get();
    return S_OK;
}

// ---- IFileView --------------------------------------------------------------

int CAppModuleFileView::LoadTree(const tag_DirectoryFileTree* tree, int reason) {
    if (!tree) return 1;
    if (treeView_) {
        if (reason == FileOp_NewRoot) {
            // The listing becomes the root item: whatever the tree held goes,
            // or a second arrival would nest a root inside the selected folder.
            treeView_->Clear();
            treeView_->InsertFolders(tree, false);
        } else {
            // Every listing brings the tree in line with the device, so that a
            // folder the list shows always has its tree item: folders that
            // appeared are added, folders that went are removed, and what stays
            // keeps its expansion. A folder selected for the first time opens.
            HTREEITEM selected = treeView_->GetSelectedItem();
            bool firstListing = selected && !treeView_->ItemHasChildren(selected);
            treeView_->SyncSelection(*tree, kListingDepth);
            bool opened = reason == FileOp_TreeSelChanged || reason == FileOp_FolderOpened;
            if (opened && firstListing) treeView_->Expand(selected, TVE_EXPAND);
        }
    }
    if (listView_) {
        // The same folder again keeps its selection and scroll position.
        const std::wstring folder = GetCurrentFolder();
        listView_->Fill(tree, true, folder == listedFolder_ && reason != FileOp_NewRoot);
        listedFolder_ = folder;
    }
    UpdatePathBar();
    return 1;
}

void CAppModuleFileView::UpdatePathBar() {
    if (pathBar_ && treeView_) pathBar_->SetPath(treeView_->RootPath(), treeView_->RootLabel(), GetCurrentFolder());
}

void CAppModuleFileView::OnPathPiece(int levelsUp) {
    // As a click in the tree: only while the tree may be used.
    if (!viewsEnabled_ || !treeView_ || levelsUp <= 0) return;
    if (!executive_ || !executive_->IsCommandEnabled(L"FileTreeSelchanged")) return;
    HTREEITEM target = treeView_->GetSelectedItem();
    for (int i = 0; i < levelsUp && target; ++i) target = treeView_->GetParentItem(target);
    if (target) treeView_->SelectItem(target);
}

int CAppModuleFileView::ClearViews() {
    listedFolder_.clear();
    if (pathBar_) pathBar_->SetPath(L"", L"", L"");
    bool treeCleared = treeView_ && treeView_->Clear();
    if (!treeCleared) return 0;
    return listView_ && listView_->DeleteAllItems() ? 1 : 0;
}

int CAppModuleFileView::ClearList() {
    listedFolder_ = GetCurrentFolder();
    return listView_ && listView_->DeleteAllItems() ? 1 : 0;
}

int CAppModuleFileView::SetRootPath(const wchar_t* path) {
    if (!treeView_ || !path) return 0;
    return treeView_->SetRoot(path);
}

std::wstring CAppModuleFileView::GetCurrentFolder() { return treeView_ ? treeView_->GetCurrentPath() : L""; }

std::wstring CAppModuleFileView::GetSelectedName() { return listView_ ? listView_->GetSelectedName() : L""; }

std::wstring CAppModuleFileView::GetSelectedPath() {
    std::wstring path = GetCurrentFolder();
    if (path.empty() || path.back() == L'/') path += GetSelectedName();
    return path;
}

const std::vector<std::wstring>& CAppModuleFileView::GetSelectedPaths() {
    selectedPaths_.clear();
    if (listView_) {
        std::wstring folder = GetCurrentFolder();
        for (const std::wstring& name : listView_->GetSelectedNames()) selectedPaths_.push_back(folder + name);
    }
    return selectedPaths_;
}

int CAppModuleFileView::EnableViews(int flag) {
    viewsEnabled_ = flag;
    if (treeView_ && treeView_->hwnd()) ::EnableWindow(treeView_->hwnd(), flag ? TRUE : FALSE);
    return 1;
}

// ---- events -----------------------------------------------------------------

HRESULT CAppModuleFileView::Invoke(const wchar_t* command, CommandArgs* args) {
    if (!executive_) return E_POINTER;
    return executive_->InvokeCommand(command, 0, args);
}

void CAppModuleFileView::OpenFolderOfSelection() {
    if (!treeView_) return;
    // The row stands for a folder of the listed one: its tree item is made if
    // the tree lacks it, so that the tree, the current folder and the list
    // move together. Without it nothing is opened.
    const std::wstring name = GetSelectedName();
    HTREEITEM child = treeView_->EnsureChildOfSelection(name);
    // The tree's own report of the new selection would list the folder a
    // first time; "OpenFolder" lists it once.
    openingRow_ = true;
    bool moved = child && treeView_->SelectItem(child) && treeView_->GetSelectedItem() == child;
    openingRow_ = false;
    if (!moved) return;
    Invoke(L"OpenFolder");
}

LRESULT CAppModuleFileView::OnEvent(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    if (code == FileOp_TreeSelChanged) UpdatePathBar();
    if (!viewsEnabled_) return 0;
    switch (code) {
    case FileOp_OpenFolder:
        OpenFolderOfSelection();
        break;
    case FileOp_ListSelChanged:
        if (settings_) settings_->SetStringValue(L"CurrentFileNameSelected", GetSelectedName().c_str(), 0);
        break;
    case FileOp_ListRightClick:
        ShowContextMenu(reinterpret_cast<const NMITEMACTIVATE*>(b));
        break;
    case FileOp_DropFiles: {
        CommandArgs args;
        args.words[4] = a;
        Invoke(L"DropFiles", &args);
        break;
    }
    case FileOp_DragToPC:
        // Rows dragged out of the list: the selection goes as virtual files to wherever it is dropped.
        Invoke(L"DragFileToPC");
        break;
    case FileOp_TreeSelChanged:
        if (!openingRow_) Invoke(L"FileTreeSelchanged");
        break;
    case FileOp_MenuCopyToPC:
        Invoke(L"CopyToPC");
        break;
    case FileOp_CopyFileToDevice:
        Invoke(L"CopyFileToDevice");
        break;
    case FileOp_CopyFolderToDevice:
        Invoke(L"CopyFolderToDevice");
        break;
    case FileOp_Delete:
        Invoke(L"DeleteFromDevice");
        break;
    case FileOp_NewFolder:
        Invoke(L"CreateFolder");
        break;
    case FileOp_Rename:
        Invoke(L"RenamePath");
        break;
    case FileOp_ListKeyDown:
        OnKey(static_cast<UINT>(a), treeView_ && c == reinterpret_cast<INT_PTR>(treeView_->hwnd()) ? KeyPlace::Tree
                                                                                                   : KeyPlace::List);
        break;
    case FileOp_SelectAll:
        if (listView_) listView_->SelectAll();
        break;
    case FileOp_Properties:
        ShowProperties();
        break;
    case FileOp_Refresh:
        Invoke(L"Refresh");
        break;
    default:
        break;
    }
    return 1;
}

void CAppModuleFileView::OnKey(UINT key, KeyPlace place) {
    bool ctrl = ::GetKeyState(VK_CONTROL) < 0, alt = ::GetKeyState(VK_MENU) < 0;
    const wchar_t* command = CommandForKey(key, ctrl, alt, place);
    if (!command) return;
    if (command == kSelectAllAction) {
        if (listView_) listView_->SelectAll();
        return;
    }
    // As a button: a command the table has switched off does nothing for its key either.
    if (!executive_ || !executive_->IsCommandEnabled(command)) return;
    if (::lstrcmpiW(command, L"OpenFolder") == 0) {
        std::vector<int> rows = listView_ ? listView_->SelectedRows() : std::vector<int>();
        if (rows.size() == 1 && listView_->IsFolderRow(rows[0])) OpenFolderOfSelection();
        return;
    }
    Invoke(command);
}

int CAppModuleFileView::SelectParentFolder() {
    if (!treeView_) return 0;
    HTREEITEM selected = treeView_->GetSelectedItem();
    HTREEITEM parent = selected ? treeView_->GetParentItem(selected) : nullptr;
    // The root item has no parent: never above the chosen root.
    if (!parent) return 0;
    std::wstring from = treeView_->GetItemText(selected);
    if (!treeView_->SelectItem(parent)) return 0;
    // Back in the parent, the folder just left is the selected row.
    if (listView_ && GetCurrentFolder() == listedFolder_) listView_->SelectRowNamed(from);
    return 1;
}

void CAppModuleFileView::ShowProperties() {
    if (!listView_) return;
    std::vector<int> rows = listView_->SelectedRows();
    if (rows.empty()) return;
    std::wstring text;
    if (rows.size() == 1) {
        const ListRow& row = listView_->Row(rows[0]);
        text = L"Name:\t" + row.name + L"\nPath:\t" + GetCurrentFolder() + row.name + L"\nType:\t" +
               CellText(row, kTypeColumn);
        if (!row.folder) text += L"\nSize:\t" + CellText(row, kSizeColumn) + L" (" + std::to_wstring(row.size) + L" bytes)";
        std::wstring date = CellText(row, kDateColumn);
        if (!date.empty()) text += L"\nModified:\t" + date;
    } else {
        std::uint64_t bytes = 0;
        int folders = 0;
        for (int r : rows) {
            const ListRow& row = listView_->Row(r);
            bytes += row.size;
            folders += row.folder ? 1 : 0;
        }
        text = std::to_wstring(rows.size() - folders) + L" files, " + std::to_wstring(folders) + L" folders\nIn:\t" +
               GetCurrentFolder() + L"\nSize of the files:\t" + FormatSizeText(bytes) + L" (" +
               std::to_wstring(bytes) + L" bytes)";
    }
    platform::System().MessageBox(::GetAncestor(listView_->hwnd(), GA_ROOT), text, L"Properties",
                                  MB_OK | MB_ICONINFORMATION);
}

void CAppModuleFileView::ShowContextMenu(const NMITEMACTIVATE* click) {
    if (!listView_ || !listView_->hwnd() || !click) return;
    HWND list = listView_->hwnd();
    LVHITTESTINFO hit{};
    hit.pt = click->ptAction;
    ::SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    bool onRow = hit.iItem >= 0;
    POINT screen = click->ptAction;
    ::ClientToScreen(list, &screen);

    IconMenu menu;
    if (!menu.Attach(::CreatePopupMenu())) return;
    menu.AppendODMenu(FileOp_OpenFolder, L"Open", MF_STRING);
    menu.AppendODMenu(FileOp_MenuCopyToPC, L"Copy to PC", MF_STRING);
    menu.AppendODMenu(FileOp_Rename, L"Rename", MF_STRING);
    menu.AppendODMenu(FileOp_Delete, L"Delete", MF_STRING);
    menu.AppendODMenu(FileOp_NewFolder, L"New Folder", MF_STRING);
    menu.AppendODMenu(FileOp_Refresh, L"Refresh", MF_STRING);
    menu.AppendODMenu(FileOp_SelectAll, L"Select all", MF_STRING);
    menu.AppendODMenu(FileOp_Properties, L"Properties", MF_STRING);
    const UINT grayed = MF_BYCOMMAND | MF_GRAYED;
    if (!onRow) {
        menu.EnableMenuItem(FileOp_MenuCopyToPC, grayed);
        menu.EnableMenuItem(FileOp_Rename, grayed);
        menu.EnableMenuItem(FileOp_Delete, grayed);
        menu.EnableMenuItem(FileOp_Properties, grayed);
    } else {
        menu.EnableMenuItem(FileOp_NewFolder, grayed);
    }
    // Open is for one folder row; select all for a list with rows.
    std::vector<int> rows = listView_->SelectedRows();
    if (!onRow || rows.size() != 1 || !listView_->IsFolderRow(rows[0])) menu.EnableMenuItem(FileOp_OpenFolder, grayed);
    if (listView_->RowCount() == 0) menu.EnableMenuItem(FileOp_SelectAll, grayed);
    int chosen = listView_->TrackMenu(menu, screen);
    OnEvent(chosen, 0, 0, 0);
    menu.DestroyMenu();
}
