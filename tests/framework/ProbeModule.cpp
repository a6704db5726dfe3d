// A module DLL for tests: its module reports, while being deleted, whether its
// own library is still mapped.
#include <new>

#include "framework/CEmberAppModuleBase.h"

namespace {
using Report = void (*)(bool libraryMapped);
Report g_report = nullptr;

class ProbeModule : public CEmberAppModuleBase {
public:
    ~ProbeModule() override {
        HMODULE self = nullptr;
        bool mapped = ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                           reinterpret_cast<LPCWSTR>(&g_report), &self) &&
                      self != nullptr;
        if (g_report) g_report(mapped);
    }
};
}  // namespace

extern "C" __declspec(dllexport) UINT_PTR DllCreateObject() {
    return reinterpret_cast<UINT_PTR>(static_cast<IEmberAppModule*>(new (std::nothrow) ProbeModule()));
}

extern "C" __declspec(dllexport) void SetProbeReport(Report report) { g_report = report; }
