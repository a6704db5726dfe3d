// Named commands between modules; names are compared without regard to case.
#pragma once
#include <unknwn.h>
#include <windows.h>

#include "framework/CommandArgs.h"

class ICommandExecutive : public IUnknown {
public:
    // The row's enabled flag; 0 for a name that no command has.
    virtual LONG STDMETHODCALLTYPE IsCommandEnabled(const wchar_t* name) = 0;
    // The row's value; for "Information" without the raw flag, a pointer to its text.
    virtual INT_PTR STDMETHODCALLTYPE GetCommandValue(const wchar_t* name, LONG raw) = 0;
    virtual HRESULT STDMETHODCALLTYPE InvokeCommand(const wchar_t* name, LONG param, CommandArgs* args) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT key, LONG a, LONG b, LONG c) = 0;
};
