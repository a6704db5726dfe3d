// CEmberApplication.
#include "framework/CEmberApplication.h"

#include <new>

#include "framework/CEmberSoftBus.h"

CEmberApplication::CEmberApplication() : softBus_(new (std::nothrow) CEmberSoftBus()) {}

CEmberApplication::~CEmberApplication() = default;

HRESULT CEmberApplication::Start() {
    if (!LoadModules(softBus_.get())) return E_FAIL;
    if (!softBus_) return E_POINTER;
    return softBus_->InitializeModules();
}

HRESULT CEmberApplication::Stop() {
    if (!softBus_) return E_UNEXPECTED;
    return softBus_->UninitializeModules();
}

HRESULT CEmberApplication::GetModule(const GUID* moduleId, IEmberAppModule** module) {
    if (!softBus_) return E_POINTER;
    return softBus_->GetModule(moduleId, module);
}
