// The module contract: the life cycle every module goes through.
#pragma once
#include <unknwn.h>
#include <windows.h>

class IEmberSoftBus;

class IEmberAppModule : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE SetSoftBus(IEmberSoftBus* softBus) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetModuleId(const GUID* moduleId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Initialize() = 0;
    virtual HRESULT STDMETHODCALLTYPE Uninitialize() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved() = 0;
    // Last, so the slots before it keep their positions across compilers.
    virtual ~IEmberAppModule() = default;
};
