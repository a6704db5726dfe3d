// CAppModuleFileView.
#include "fileview/CAppModuleFileView.h"

HRESULT STDMETHODCALLTYPE CAppModuleFileView::QueryInterface(REFIID, void** out) {
    if (!out) return E_POINTER;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CAppModuleFileView::Initialize() {
    // Settings are optional here; the executive is not.
    LookUp(ember::MID_ConfigModule, ember::IID_IConfigSettings, &config_);
    return LookUp(ember::MID_CmdExecutive, ember::IID_ICommandExecutive, &executive_);
}
