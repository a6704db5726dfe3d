// Shuttle.dll's application object and factory (export number 1).
#include <new>

#include "shuttle/CAppModuleShuttle.h"
#include "shuttle/CShuttleApp.h"

namespace {
CShuttleApp theApp;
}

// The platform layer keeps no per-module state to switch to: each module links
// its own copy, so the object is made in this DLL's state by construction.
extern "C" __declspec(dllexport) UINT_PTR DllCreateObject() {
    IEmberAppModule* module = new (std::nothrow) CAppModuleShuttle();
    return reinterpret_cast<UINT_PTR>(module);
}
