// Config.dll's factory: export number 1.
#include "app/ProgramPaths.h"
#include "outside/config/ConfigModule.h"
#include "platform/Wnd.h"

#include <new>

extern "C" __declspec(dllexport) UINT_PTR DllCreateObject() {
    // The values live in "config\Settings.ini" in the folder of the library.
    std::wstring store = ModuleDirectory(platform::CurrentModule()) + L"config\\Settings.ini";
    IEmberAppModule* module = new (std::nothrow) CConfigModule(store);
    return reinterpret_cast<UINT_PTR>(module);
}
