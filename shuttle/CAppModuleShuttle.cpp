// CAppModuleShuttle.
#include "shuttle/CAppModuleShuttle.h"

HRESULT STDMETHODCALLTYPE CAppModuleShuttle::QueryInterface(REFIID, void** out) {
    if (!out) return E_POINTER;
    return E_NOINTERFACE;
}
