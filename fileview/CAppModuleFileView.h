// The file view module: owns the device folder tree and the file list.
#pragma once
#include "app/IConfigSettings.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/ICommandExecutive.h"

class CAppModuleFileView : public CEmberAppModuleBase {
public:
    CAppModuleFileView() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE Initialize() override;

private:
    IConfigSettings* config_ = nullptr;
    ICommandExecutive* executive_ = nullptr;
};
