// The file view module: owns the device folder tree and the file list, turns
// their events into commands and offers the executive IFileView.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/IConfigSettings.h"
#include "fileview/IFileView.h"
#include "fileview/ViewKeys.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/ICommandExecutive.h"
#include "framework/IEmberAppModuleUICtrl.h"
#include "framework/IEmberEventSink.h"

class CFileTreeCtrlView;
class CFileListCtrlView;
class CPathBar;

class CAppModuleFileView : public CEmberAppModuleBase,
                           public IEmberAppModuleUICtrl,
                           public IEmberEventSink,
                           public IFileView {
public:
    CAppModuleFileView();
    ~CAppModuleFileView() override;

    // IEmberAppModule (IUnknown's three slots are shared with IEmberAppModuleUICtrl).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return CEmberAppModuleBase::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
    HRESULT STDMETHODCALLTYPE Initialize() override;
    HRESULT STDMETHODCALLTYPE Uninitialize() override { return S_OK; }

    // IEmberAppModuleUICtrl
    HRESULT STDMETHODCALLTYPE CreateView(const wchar_t* name, HWND parent, const RECT& rect, const wchar_t* param,
                                         IEmberAppModuleView** view) override;
    HRESULT STDMETHODCALLTYPE DestroyView(IEmberAppModuleView*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Reserved(INT_PTR, INT_PTR) override { return S_OK; }

    // IEmberEventSink
    LRESULT OnEvent(int code, INT_PTR a, INT_PTR b, INT_PTR c) override;

    // IFileView
    int LoadTree(const tag_DirectoryFileTree* tree, int reason) override;
    int ClearViews() override;
    int SetRootPath(const wchar_t* path) override;
    std::wstring GetCurrentFolder() override;
    std::wstring GetSelectedName() override;
    std::wstring GetSelectedPath() override;
    const std::vector<std::wstring>& GetSelectedPaths() override;
    int EnableViews(int flag) override;
    int SelectParentFolder() override;
    int ClearList() override;

    // The views, for the tests and the benchmark; null until made.
    CFileTreeCtrlView* TreeView() const { return treeView_.get(); }
    CFileListCtrlView* ListView() const { return listView_.get(); }
    CPathBar* PathBar() const { return pathBar_.get(); }
    bool ViewsEnabled() const { return viewsEnabled_ != 0; }

private:
    HRESULT CreateListView(HWND parent, const RECT& rect, const wchar_t* param, IEmberAppModuleView** view);
    HRESULT CreateTreeView(HWND parent, const RECT& rect, const wchar_t* param, IEmberAppModuleView** view);
    HRESULT Invoke(const wchar_t* command, CommandArgs* args = nullptr);
    void ShowContextMenu(const NMITEMACTIVATE* click);
    void OpenFolderOfSelection();
    void OnKey(UINT key, KeyPlace place);
    void ShowProperties();
    void UpdatePathBar();
    void OnPathPiece(int levelsUp);

    std::unique_ptr<CFileListCtrlView> listView_;
    std::unique_ptr<CFileTreeCtrlView> treeView_;
    std::unique_ptr<CPathBar> pathBar_;
    std::vector<std::wstring> selectedPaths_;
    IConfigSettings* settings_ = nullptr;
    ICommandExecutive* executive_ = nullptr;
    HIMAGELIST systemImages_ = nullptr;  // the shell's; attached, never destroyed
    int viewsEnabled_ = 0;
    bool openingRow_ = false;  // while a double-clicked row moves the tree
    // The folder whose rows the list shows; a listing of the same folder keeps the selected rows.
    std::wstring listedFolder_;
};
