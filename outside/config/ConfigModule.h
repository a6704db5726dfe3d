// The configuration module of Config.dll: settings that persist between runs
// in an INI file in the program's "config" folder.
#pragma once
#include <string>

#include "app/IConfigSettings.h"
#include "framework/CEmberAppModuleBase.h"

class CConfigModule : public CEmberAppModuleBase, public IConfigSettings, public IConfigSettings2 {
public:
    // storePath: the INI file that holds the values.
    explicit CConfigModule(std::wstring storePath);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return CEmberAppModuleBase::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }

    LONG STDMETHODCALLTYPE GetIntValue(const wchar_t* key, LONG defaultValue, LONG flag) override;
    void STDMETHODCALLTYPE SetIntValue(const wchar_t* key, LONG value, LONG flag) override;
    LONG STDMETHODCALLTYPE GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG flag) override;
    void STDMETHODCALLTYPE SetStringValue(const wchar_t* key, const wchar_t* value, LONG flag) override;
    void STDMETHODCALLTYPE ShowInformation(LONG kind, LONG flag) override;
    void STDMETHODCALLTYPE ShowHelp() override;

    const std::wstring& StorePath() const { return storePath_; }

private:
    // The stored text of a key, or the built-in default; false when neither exists.
    bool Lookup(const wchar_t* key, std::wstring* value) const;
    // Makes the store a UTF-16 file with a byte-order mark before anything is
    // written, so that the profile functions keep every character; a file an
    // older version wrote in the ANSI code page is converted once.
    bool MakeUnicodeStore();

    std::wstring storePath_;
};
