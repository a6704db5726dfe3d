// The module registry ("soft bus"): an ordered table of modules found by GUID.
#pragma once
#include "framework/IEmberAppModule.h"

class IEmberSoftBus : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE InitializeModules() = 0;
    virtual HRESULT STDMETHODCALLTYPE UninitializeModules() = 0;
    // Ownership of the module and its library passes to the bus on success only.
    virtual HRESULT STDMETHODCALLTYPE RegisterModule(const GUID* moduleId, IEmberAppModule* module,
                                                     HMODULE library) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetModule(const GUID* moduleId, IEmberAppModule** module) = 0;
    virtual ~IEmberSoftBus() = default;
};
