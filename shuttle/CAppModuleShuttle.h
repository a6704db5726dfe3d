// The device transfer module of Shuttle.dll.
#pragma once
#include "framework/CEmberAppModuleBase.h"

class CAppModuleShuttle : public CEmberAppModuleBase {
public:
    CAppModuleShuttle() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
};
