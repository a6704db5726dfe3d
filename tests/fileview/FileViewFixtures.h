// Shared pieces of the file view tests: a recording settings store, a
// recording event sink, a host window and bounded message pumping.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <map>
#include <string>
#include <vector>

#include "app/IConfigSettings.h"
#include "fileview/DirectoryFileTree.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/IEmberEventSink.h"
#include "platform/Wnd.h"

namespace fvtest {

// Answers both configuration faces from one map and records every write.
class FakeSettings : public IConfigSettings, public IConfigSettings2 {
public:
    std::map<std::wstring, std::wstring> values;
    std::vector<std::pair<std::wstring, std::wstring>> writes;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    LONG STDMETHODCALLTYPE GetIntValue(const wchar_t* key, LONG d, LONG) override {
        auto found = values.find(key);
        return found == values.end() ? d : static_cast<LONG>(std::wcstol(found->second.c_str(), nullptr, 10));
    }
    void STDMETHODCALLTYPE SetIntValue(const wchar_t* key, LONG value, LONG) override {
        SetStringValue(key, std::to_wstring(value).c_str(), 0);
    }
    LONG STDMETHODCALLTYPE GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG) override;
    void STDMETHODCALLTYPE SetStringValue(const wchar_t* key, const wchar_t* value, LONG) override {
        writes.emplace_back(key, value);
        values[key] = value;
    }
    void STDMETHODCALLTYPE ShowInformation(LONG, LONG) override {}
    void STDMETHODCALLTYPE ShowHelp() override {}
};

// The configuration module on a soft bus, answering both faces from `settings`.
class ConfigModule : public CEmberAppModuleBase {
public:
    explicit ConfigModule(FakeSettings* settings) : settings_(settings) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

private:
    FakeSettings* settings_;
};

struct Event {
    int code;
    INT_PTR a, b, c;
};

class RecordingSink : public IEmberEventSink {
public:
    std::vector<Event> events;
    LRESULT OnEvent(int code, INT_PTR a, INT_PTR b, INT_PTR c) override {
        events.push_back({code, a, b, c});
        return 1;
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Event& e : events) codes.push_back(e.code);
        return codes;
    }
};

// A top-level window of this layer, so the controls' notifications come back
// to them reflected, as in the program's skinned windows.
class HostWindow : public platform::CWnd {
public:
    explicit HostWindow(int width = 800, int height = 600);
};

// Dispatches what is queued, at most for the given time.
void Pump(DWORD milliseconds = 50);

// A folder node, a file node.
tag_DirectoryFileTree Folder(const std::wstring& name, std::vector<tag_DirectoryFileTree> children = {});
tag_DirectoryFileTree File(const std::wstring& name, std::uint64_t size);

// A listing like the device's media folder: DCIM/100APPLE, Music, two files.
tag_DirectoryFileTree MediaListing();

// Writes a 24-bit BMP file of one colour; true on success.
bool WriteSolidBmp(const std::wstring& path, int width, int height, COLORREF colour);

// A shell drop handle for the given paths, as the shell builds it for WM_DROPFILES.
HDROP MakeDropHandle(const std::vector<std::wstring>& paths);

}  // namespace fvtest
