// CEmberSoftBus: the table of registered modules, in registration order.
#pragma once
#include <vector>

#include "framework/IEmberSoftBus.h"
#include "platform/Handles.h"

class CEmberSoftBus : public IEmberSoftBus {
public:
    CEmberSoftBus() = default;
    ~CEmberSoftBus() override;
    CEmberSoftBus(const CEmberSoftBus&) = delete;
    CEmberSoftBus& operator=(const CEmberSoftBus&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE InitializeModules() override;
    HRESULT STDMETHODCALLTYPE UninitializeModules() override;
    HRESULT STDMETHODCALLTYPE RegisterModule(const GUID* moduleId, IEmberAppModule* module, HMODULE library) override;
    HRESULT STDMETHODCALLTYPE GetModule(const GUID* moduleId, IEmberAppModule** module) override;

    size_t ModuleCount() const { return records_.size(); }

private:
    struct ModuleRecord {
        GUID id;
        IEmberAppModule* module;  // owned: released exactly once, before its library goes
        platform::UniqueLibrary library;
    };
    std::vector<ModuleRecord> records_;
};
