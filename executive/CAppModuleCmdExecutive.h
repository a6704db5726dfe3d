// The command executive: the one place user actions arrive as named commands.
#pragma once
#include "app/IConfigSettings.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/ICommandExecutive.h"
#include "framework/IEmberEventSink.h"

class CAppModuleCmdExecutive : public CEmberAppModuleBase, public ICommandExecutive, public IEmberAppModuleEventSink {
public:
    CAppModuleCmdExecutive() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return CEmberAppModuleBase::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
    HRESULT STDMETHODCALLTYPE Initialize() override;

    LONG STDMETHODCALLTYPE IsCommandEnabled(const wchar_t* name) override;
    INT_PTR STDMETHODCALLTYPE GetCommandValue(const wchar_t* name, LONG raw) override;
    HRESULT STDMETHODCALLTYPE InvokeCommand(const wchar_t* name, LONG param, CommandArgs* args) override;
    HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT key, LONG a, LONG b, LONG c) override;

    HRESULT STDMETHODCALLTYPE OnModuleEvent(INT_PTR, INT_PTR, INT_PTR, INT_PTR) override { return S_OK; }

private:
    IConfigSettings* config_ = nullptr;
};
