// Shuttle.dll's factory: export number 1.
#include <new>

#include "shuttle/CAppModuleShuttle.h"

extern "C" __declspec(dllexport) UINT_PTR DllCreateObject() {
    IEmberAppModule* module = new (std::nothrow) CAppModuleShuttle();
    return reinterpret_cast<UINT_PTR>(module);
}
