// Event sinks: views report to their module; modules to one another (unused).
#pragma once
#include <unknwn.h>
#include <windows.h>

class IEmberEventSink {
public:
    // An event code (a FileOp value) and three values whose meaning depends on it.
    virtual LRESULT OnEvent(int code, INT_PTR a, INT_PTR b, INT_PTR c) = 0;
};

class IEmberAppModuleEventSink : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE OnModuleEvent(INT_PTR a, INT_PTR b, INT_PTR c, INT_PTR d) = 0;
};
