// The outside configuration module's settings interfaces (Config.dll).
#pragma once
#include <unknwn.h>
#include <windows.h>

class IConfigSettings : public IUnknown {
public:
    // Slot 3: the stored integer, or the default when absent.
    virtual LONG STDMETHODCALLTYPE GetIntValue(const wchar_t* key, LONG defaultValue, LONG flag) = 0;
    virtual void STDMETHODCALLTYPE SetIntValue(const wchar_t* key, LONG value, LONG flag) = 0;
    // Slot 5: non-zero when a value was copied (always terminated within capacity).
    virtual LONG STDMETHODCALLTYPE GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG flag) = 0;
    virtual void STDMETHODCALLTYPE SetStringValue(const wchar_t* key, const wchar_t* value, LONG flag) = 0;
    // Slot 7: the program's "About" command calls it with (2, 0). Slots 8 to 12
    // are unused; they keep the numbering and need no implementation.
    virtual void STDMETHODCALLTYPE ShowInformation(LONG kind, LONG flag) = 0;
    virtual void STDMETHODCALLTYPE Reserved8() {}
    virtual void STDMETHODCALLTYPE Reserved9() {}
    virtual void STDMETHODCALLTYPE Reserved10() {}
    virtual void STDMETHODCALLTYPE Reserved11() {}
    virtual void STDMETHODCALLTYPE Reserved12() {}
    // Slot 13: the program's "Help" command.
    virtual void STDMETHODCALLTYPE ShowHelp() = 0;
};

// Read-only face; only "CurrentSkinPath" is read through it.
class IConfigSettings2 : public IUnknown {
public:
    virtual LONG STDMETHODCALLTYPE Reserved3() { return 0; }
    virtual LONG STDMETHODCALLTYPE Reserved4() { return 0; }
    virtual LONG STDMETHODCALLTYPE GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG flag) = 0;
};
