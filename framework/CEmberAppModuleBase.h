// Default implementation of the module contract; concrete modules derive from
// it and from each interface they offer.
#pragma once
#include "framework/EmberGuids.h"
#include "framework/IEmberSoftBus.h"

class CEmberAppModuleBase : public IEmberAppModule {
public:
    CEmberAppModuleBase();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE SetSoftBus(IEmberSoftBus* softBus) override;
    HRESULT STDMETHODCALLTYPE SetModuleId(const GUID* moduleId) override;
    HRESULT STDMETHODCALLTYPE Initialize() override;
    HRESULT STDMETHODCALLTYPE Uninitialize() override;
    HRESULT STDMETHODCALLTYPE Reserved() override;

    const GUID& ModuleId() const { return moduleId_; }

protected:
    IEmberSoftBus* SoftBus() const { return softBus_; }

    // The look-up idiom: module by id, then interface by id. E_POINTER without a bus.
    template <class T>
    HRESULT LookUp(const GUID& moduleId, const GUID& interfaceId, T** out) const {
        if (!softBus_) return E_POINTER;
        IEmberAppModule* module = nullptr;
        HRESULT hr = softBus_->GetModule(&moduleId, &module);
        if (hr < 0) return hr;
        if (!module) return E_POINTER;
        return module->QueryInterface(interfaceId, reinterpret_cast<void**>(out));
    }

private:
    IEmberSoftBus* softBus_;
    GUID moduleId_;
};
