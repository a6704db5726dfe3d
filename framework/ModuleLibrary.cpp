// BindModuleLibrary.
#include "framework/ModuleLibrary.h"

#include "platform/Handles.h"

HRESULT BindModuleLibrary(IEmberSoftBus* softBus, const GUID& moduleId, const std::wstring& fullPath) {
    if (!softBus) return E_POINTER;
    platform::UniqueLibrary library(::LoadLibraryW(fullPath.c_str()));
    if (!library) return HRESULT_FROM_WIN32(::GetLastError());
    auto create = reinterpret_cast<DllCreateObjectFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), MAKEINTRESOURCEA(1))));
    if (!create) return E_FAIL;
    auto* module = reinterpret_cast<IEmberAppModule*>(create());
    if (!module) return E_FAIL;
    HRESULT hr = softBus->RegisterModule(&moduleId, module, library.get());
    if (hr < 0) {
        // A refused module would otherwise leak with its library pinned; its
        // code must still be mapped while it is deleted.
        module->Release();
        return hr;
    }
    library.release();  // the soft bus owns it now
    return hr;
}
