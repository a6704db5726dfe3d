// CAppModuleUIMain.
#include "ui/CAppModuleUIMain.h"

#include <memory>

#include "app/Applog.h"
#include "app/resource.h"
#include "platform/SystemServices.h"
#include "platform/WinApp.h"
#include "skin/SkinTokens.h"
#include "ui/CSplitterBar.h"

using nsSkin::EqualsNoCase;

namespace {
constexpr int kViewNameCapacity = 128;
constexpr unsigned kLogError = 1;
constexpr unsigned kLogDetail = 4;

bool IsOwnView(const std::wstring& name) {
    return EqualsNoCase(name, L"SplitterBar") || EqualsNoCase(name, L"BottomContainer");
}
// The file list is asked for as "FileListCtrl" but names itself "FileListView";
// both lead back to the file view module, so its views can be handed back.
bool IsFileView(const std::wstring& name) {
    return EqualsNoCase(name, L"FileListCtrl") || EqualsNoCase(name, L"FileTreeView") ||
           EqualsNoCase(name, L"FileListView");
}
}  // namespace

HRESULT STDMETHODCALLTYPE CAppModuleUIMain::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (ember::SameGuid(iid, ember::IID_IUIOperation)) {
        *out = static_cast<IUIOperation*>(this);
        return S_OK;
    }
    if (ember::SameGuid(iid, ember::IID_IEmberAppModuleUICtrl)) {
        *out = static_cast<IEmberAppModuleUICtrl*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CAppModuleUIMain::Initialize() {
    // Missing partners leave their links null; the window runs without them.
    if (LookUp(ember::MID_CmdExecutive, ember::IID_ICommandExecutive, &executive_) < 0) executive_ = nullptr;
    if (LookUp(ember::MID_ConfigModule, ember::IID_IConfigSettings, &config_) < 0) config_ = nullptr;
    mainDlg_.SetLinks(static_cast<ICommandExecutive*>(this), static_cast<IEmberAppModuleUICtrl*>(this), config_,
                      strings_);
    if (!mainDlg_.Create(nullptr)) return E_FAIL;
    if (!mainDlg_.MissingSkin().empty() || !mainDlg_.RefusedSkin().empty()) {
        // Without a skin the window would be an empty black box: say where the skin was looked for, and end.
        std::wstring why = mainDlg_.MissingSkin().empty()
                               ? L"Pelican cannot start: the default skin in\n" + mainDlg_.RefusedSkin() +
                                     L"\nneeds more memory than a skin may use and was refused."
                               : L"Pelican cannot start: no skin (skin.ini) was found in\n" + mainDlg_.MissingSkin();
        platform::System().MessageBox(nullptr, why, L"Pelican", MB_OK | MB_ICONERROR);
        mainDlg_.DestroyWindow();
        return E_FAIL;
    }
    // The executive posts the worker's messages to the application's main window.
    if (platform::CWinApp* app = platform::CWinApp::Current()) app->SetMainWnd(&mainDlg_);
    mainWnd_ = mainDlg_.hwnd();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAppModuleUIMain::Uninitialize() {
    if (mainDlg_.hwnd()) mainDlg_.DestroyWindow();
    if (platform::CWinApp* app = platform::CWinApp::Current())
        if (app->MainWnd() == &mainDlg_) app->SetMainWnd(nullptr);
    mainWnd_ = nullptr;
    return S_OK;
}

// ---- the view factory ------------------------------------------------------

HRESULT CAppModuleUIMain::FindViewMaker(const wchar_t* name, IEmberAppModuleUICtrl** maker) {
    *maker = nullptr;
    std::wstring view = name ? name : L"";
    PelicanLog(kLogDetail, L"Pelican find UI %s!\n", view.c_str());
    if (IsOwnView(view)) return S_OK;
    if (!IsFileView(view)) return E_FAIL;
    if (!SoftBus()) return E_POINTER;
    IEmberAppModule* module = nullptr;
    HRESULT hr = SoftBus()->GetModule(&ember::MID_FileView, &module);
    if (hr < 0) return hr;
    if (!module) return E_POINTER;
    hr = module->QueryInterface(ember::IID_IEmberAppModuleUICtrl, reinterpret_cast<void**>(maker));
    PelicanLog(kLogDetail, L"Pelican find UICtrl! hr=0x%x\n", static_cast<unsigned>(hr));
    return hr;
}

HRESULT STDMETHODCALLTYPE CAppModuleUIMain::CreateView(const wchar_t* name, HWND parent, const RECT& rect,
                                                       const wchar_t* param, IEmberAppModuleView** view) {
    if (!view) return E_POINTER;
    *view = nullptr;
    PelicanLog(kLogDetail, L"Pelican UI create view!");
    IEmberAppModuleUICtrl* maker = nullptr;
    HRESULT hr = FindViewMaker(name, &maker);
    if (hr < 0) {
        PelicanLog(kLogError, L"Don't find view %s! hr=0x%x\n", name ? name : L"", static_cast<unsigned>(hr));
        return hr;
    }
    if (maker) {
        hr = maker->CreateView(name, parent, rect, param, view);
        PelicanLog(kLogDetail, L"Pelican UI create View! hr=0x%x\n", static_cast<unsigned>(hr));
        return hr;
    }
    PelicanLog(kLogDetail, L"Pelican UI create dialog!\n");
    if (!::IsWindow(parent)) return E_INVALIDARG;
    const bool splitter = EqualsNoCase(name, L"SplitterBar");
    std::unique_ptr<CSkinDialogEx> dialog;
    if (splitter)
        dialog = std::make_unique<CSplitterBar>();
    else
        dialog = std::make_unique<CSkinDialogEx>(IDD_CONTAINER);
    if (!dialog->CreateChild(rect, parent, param, splitter ? IDD_SPLITTER : IDD_CONTAINER)) return E_FAIL;
    dialog->SetLinks(static_cast<ICommandExecutive*>(this), static_cast<IEmberAppModuleUICtrl*>(this), config_,
                     strings_);
    dialog->LoadDialogSkin(name);
    ::MoveWindow(dialog->hwnd(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    dialog->ShowWindow(SW_SHOW);
    dialog->SetAutoAnchor(0);
    // Owned from here by the window it lives in; DestroyView deletes it.
    *view = static_cast<IEmberAppModuleView*>(dialog.release());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAppModuleUIMain::DestroyView(IEmberAppModuleView* view) {
    if (!view) return E_POINTER;
    PelicanLog(kLogDetail, L"Pelican UI destroy view!");
    wchar_t name[kViewNameCapacity] = {};
    HRESULT hr = view->GetViewName(name, kViewNameCapacity);
    if (hr < 0) {
        PelicanLog(kLogError, L"Don't find view name %s! hr=0x%x\n", name, static_cast<unsigned>(hr));
        return hr;
    }
    IEmberAppModuleUICtrl* maker = nullptr;
    hr = FindViewMaker(name, &maker);
    if (hr < 0) {
        PelicanLog(kLogError, L"Don't find view %s! hr=0x%x\n", name, static_cast<unsigned>(hr));
        return hr;
    }
    if (maker) {
        hr = maker->DestroyView(view);
        PelicanLog(kLogDetail, L"Pelican UI destroy View! hr=0x%x\n", static_cast<unsigned>(hr));
        return hr;
    }
    PelicanLog(kLogDetail, L"Pelican UI destroy dialog!\n");
    // Only dialogs made above reach this point: their names lead to no other maker.
    auto* dialog = static_cast<CSkinDialogEx*>(view);
    if (dialog->hwnd()) dialog->DestroyWindow();
    delete dialog;
    return S_OK;
}

// ---- refresh requests ----------------------------------------------------------

HRESULT CAppModuleUIMain::UpdateUI(const wchar_t* names) { return mainDlg_.UpdateUIWithViews(names, 1); }

HRESULT CAppModuleUIMain::ReloadSkin() {
    if (!mainDlg_.hwnd()) return E_FAIL;
    mainDlg_.ShowWindow(SW_HIDE);
    mainDlg_.ReloadSkin();
    mainDlg_.ShowWindow(SW_SHOW);
    return S_OK;
}

LONG CAppModuleUIMain::PreTranslateMessage(MSG* msg) {
    if (!msg || msg->message < 0x100 || msg->message > 0x109) return 0;
    if (!mainWnd_ || msg->hwnd != mainWnd_) return 0;
    if (msg->message != WM_KEYUP && msg->message != WM_SYSKEYUP) return 0;
    if (!executive_) return 0;
    return executive_->OnKeyMessage(static_cast<UINT>(msg->wParam), 0, 0, 0) >= 0 ? 1 : 0;
}

// ---- the executive face ------------------------------------------------------------

LONG STDMETHODCALLTYPE CAppModuleUIMain::IsCommandEnabled(const wchar_t* name) {
    // Names with a '.' are the dialogs' own commands.
    if (name && name[0] && std::wcschr(name, L'.')) return 1;
    return executive_ ? executive_->IsCommandEnabled(name) : 0;
}

INT_PTR STDMETHODCALLTYPE CAppModuleUIMain::GetCommandValue(const wchar_t* name, LONG raw) {
    return executive_ ? executive_->GetCommandValue(name, raw) : 0;
}

HRESULT STDMETHODCALLTYPE CAppModuleUIMain::InvokeCommand(const wchar_t* name, LONG param, CommandArgs* args) {
    // Without the executive there is nobody to carry a command out.
    if (!executive_) return E_UNEXPECTED;
    return executive_->InvokeCommand(name, param, args);
}
