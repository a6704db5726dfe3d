// CEmberSoftBus: registration, look-up and the ordered life cycle.
#include "framework/CEmberSoftBus.h"

#include "framework/EmberGuids.h"

CEmberSoftBus::~CEmberSoftBus() {
    // Each module is deleted before the DLL that holds its code is unloaded.
    for (ModuleRecord& record : records_) {
        if (record.module) {
            record.module->Release();
            record.module = nullptr;
        }
        record.library.reset();
        record.id = GUID{};
    }
    records_.clear();
}

HRESULT STDMETHODCALLTYPE CEmberSoftBus::QueryInterface(REFIID, void**) { return E_NOTIMPL; }

ULONG STDMETHODCALLTYPE CEmberSoftBus::AddRef() { return 1; }

ULONG STDMETHODCALLTYPE CEmberSoftBus::Release() {
    delete this;
    return 0;
}

HRESULT STDMETHODCALLTYPE CEmberSoftBus::InitializeModules() {
    for (ModuleRecord& record : records_) {
        if (!record.module) continue;
        HRESULT hr = record.module->Initialize();
        if (hr < 0) return hr;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEmberSoftBus::UninitializeModules() {
    for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
        if (it->module) it->module->Uninitialize();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEmberSoftBus::RegisterModule(const GUID* moduleId, IEmberAppModule* module,
                                                        HMODULE library) {
    if (!module || !moduleId) return E_POINTER;
    HRESULT hr = module->SetSoftBus(this);
    if (hr < 0) return hr;
    hr = module->SetModuleId(moduleId);
    if (hr < 0) return hr;
    records_.push_back(ModuleRecord{*moduleId, module, platform::UniqueLibrary(library)});
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEmberSoftBus::GetModule(const GUID* moduleId, IEmberAppModule** module) {
    if (!module || !moduleId) return E_INVALIDARG;
    for (const ModuleRecord& record : records_) {
        if (ember::SameGuid(record.id, *moduleId)) {
            *module = record.module;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}
