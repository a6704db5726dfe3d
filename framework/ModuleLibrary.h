// Binding a module that lives in a DLL: load by full path, export number 1
// (DllCreateObject) makes the module, the soft bus registers it with the library.
#pragma once
#include <string>

#include "framework/IEmberSoftBus.h"

// DllCreateObject's type: no arguments, the module as a pointer-sized value (0 for none).
using DllCreateObjectFn = UINT_PTR (*)();

// Returns the registration's result; E_FAIL (or the load error) when the library,
// its export or its object could not be had. Nothing is left loaded on failure.
HRESULT BindModuleLibrary(IEmberSoftBus* softBus, const GUID& moduleId, const std::wstring& fullPath);
