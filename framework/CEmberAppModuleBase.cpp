// CEmberAppModuleBase: no reference counting; Release deletes.
#include "framework/CEmberAppModuleBase.h"

CEmberAppModuleBase::CEmberAppModuleBase() : softBus_(nullptr), moduleId_{} {}

HRESULT STDMETHODCALLTYPE CEmberAppModuleBase::QueryInterface(REFIID, void**) { return E_NOINTERFACE; }

ULONG STDMETHODCALLTYPE CEmberAppModuleBase::AddRef() { return 0; }

ULONG STDMETHODCALLTYPE CEmberAppModuleBase::Release() {
    delete this;
    return 0;
}

HRESULT STDMETHODCALLTYPE CEmberAppModuleBase::SetSoftBus(IEmberSoftBus* softBus) {
    softBus_ = softBus;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEmberAppModuleBase::SetModuleId(const GUID* moduleId) {
    if (!moduleId) return E_POINTER;
    moduleId_ = *moduleId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEmberAppModuleBase::Initialize() { return S_OK; }
HRESULT STDMETHODCALLTYPE CEmberAppModuleBase::Uninitialize() { return S_OK; }
HRESULT STDMETHODCALLTYPE CEmberAppModuleBase::Reserved() { return S_OK; }
