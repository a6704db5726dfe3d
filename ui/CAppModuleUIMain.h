// CAppModuleUIMain: the module that owns the user interface. It creates the
// main window, makes the views that skins list by name, and stands between
// the dialogs and the command executive.
#pragma once
#include "app/IConfigSettings.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/ICommandExecutive.h"
#include "framework/IEmberAppModuleUICtrl.h"
#include "framework/IEmberEventSink.h"
#include "framework/IUIOperation.h"
#include "ui/CPelicanDlg.h"

class CAppModuleUIMain : public CEmberAppModuleBase,
                         public IEmberAppModuleUICtrl,
                         public IUIOperation,
                         public ICommandExecutive,
                         public IEmberEventSink {
public:
    CAppModuleUIMain() = default;

    // IUnknown, shared by every face.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return CEmberAppModuleBase::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }

    // IEmberAppModule.
    HRESULT STDMETHODCALLTYPE Initialize() override;
    HRESULT STDMETHODCALLTYPE Uninitialize() override;

    // IEmberAppModuleUICtrl.
    HRESULT STDMETHODCALLTYPE CreateView(const wchar_t* name, HWND parent, const RECT& rect, const wchar_t* param,
                                         IEmberAppModuleView** view) override;
    HRESULT STDMETHODCALLTYPE DestroyView(IEmberAppModuleView* view) override;
    HRESULT STDMETHODCALLTYPE Reserved(INT_PTR, INT_PTR) override { return S_OK; }

    // IUIOperation.
    HRESULT UpdateUI(const wchar_t* names) override;
    HRESULT ReloadSkin() override;
    LONG PreTranslateMessage(MSG* msg) override;

    // ICommandExecutive face handed to the dialogs.
    LONG STDMETHODCALLTYPE IsCommandEnabled(const wchar_t* name) override;
    INT_PTR STDMETHODCALLTYPE GetCommandValue(const wchar_t* name, LONG raw) override;
    HRESULT STDMETHODCALLTYPE InvokeCommand(const wchar_t* name, LONG param, CommandArgs* args) override;
    HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT, LONG, LONG, LONG) override { return E_FAIL; }

    // IEmberEventSink: the module handles no events.
    LRESULT OnEvent(int, INT_PTR, INT_PTR, INT_PTR) override { return 0; }

    HWND MainWindow() const { return mainWnd_; }
    CPelicanDlg& MainDialog() { return mainDlg_; }

private:
    // The module that makes a view: null with S_OK for the views made here.
    HRESULT FindViewMaker(const wchar_t* name, IEmberAppModuleUICtrl** maker);

    CPelicanDlg mainDlg_;
    IConfigSettings* config_ = nullptr;
    ICommandExecutive* executive_ = nullptr;
    IUnknown* strings_ = nullptr;  // no module supplies a string table
    HWND mainWnd_ = nullptr;
};
