// A command executive that accepts every command and does nothing: the
// device and file view modules need one on the bus to start.
#pragma once
#include "framework/CEmberAppModuleBase.h"
#include "framework/ICommandExecutive.h"

class InertExecutive : public CEmberAppModuleBase, public ICommandExecutive {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (!ember::SameGuid(iid, ember::IID_ICommandExecutive)) return E_NOINTERFACE;
        *out = static_cast<ICommandExecutive*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
    LONG STDMETHODCALLTYPE IsCommandEnabled(const wchar_t*) override { return 1; }
    INT_PTR STDMETHODCALLTYPE GetCommandValue(const wchar_t*, LONG) override { return 0; }
    HRESULT STDMETHODCALLTYPE InvokeCommand(const wchar_t*, LONG, CommandArgs*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT, LONG, LONG, LONG) override { return S_OK; }
};
