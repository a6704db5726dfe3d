// CAppModuleCmdExecutive.
#include "executive/CAppModuleCmdExecutive.h"

#include <cwchar>

#include "app/Applog.h"

HRESULT STDMETHODCALLTYPE CAppModuleCmdExecutive::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (ember::SameGuid(iid, ember::IID_ICommandExecutive)) {
        *out = static_cast<ICommandExecutive*>(this);
        return S_OK;
    }
    if (ember::SameGuid(iid, ember::IID_IEmberAppModuleEventSink)) {
        *out = static_cast<IEmberAppModuleEventSink*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CAppModuleCmdExecutive::Initialize() {
    // Without the configuration module the executive cannot run, and start-up ends.
    return LookUp(ember::MID_ConfigModule, ember::IID_IConfigSettings, &config_);
}

LONG STDMETHODCALLTYPE CAppModuleCmdExecutive::IsCommandEnabled(const wchar_t* name) {
    return (name && _wcsicmp(name, L"Power_Off") == 0) ? 1 : 0;
}

INT_PTR STDMETHODCALLTYPE CAppModuleCmdExecutive::GetCommandValue(const wchar_t*, LONG) { return 0; }

HRESULT STDMETHODCALLTYPE CAppModuleCmdExecutive::InvokeCommand(const wchar_t* name, LONG, CommandArgs*) {
    if (name && _wcsicmp(name, L"Power_Off") == 0) {
        ::PostQuitMessage(7);
        return S_OK;
    }
    PelicanLog(2, L"Don't find control %s!\n", name ? name : L"");
    return E_FAIL;
}

HRESULT STDMETHODCALLTYPE CAppModuleCmdExecutive::OnKeyMessage(UINT, LONG, LONG, LONG) { return S_OK; }
