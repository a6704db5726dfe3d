// Shared by the skinned-window tests: a small generated skin, recording
// partners (command sink, settings, view factory) and bounded message pumping.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/IConfigSettings.h"
#include "framework/ICommandExecutive.h"
#include "framework/IEmberAppModuleUICtrl.h"
#include "platform/SystemServices.h"
#include "platform/Wnd.h"
#include "tests/support/TestPaths.h"

namespace uitest {

// The platform's services with message boxes recorded instead of shown.
class RecordingSystem : public platform::RealSystemServices {
public:
    int MessageBox(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        boxes.push_back(text);
        return IDOK;
    }
    std::vector<std::wstring> boxes;
};

// Pumps what is queued, never waiting for more.
inline void FlushEvents() {
    MSG msg;
    for (int i = 0; i < 2000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A solid 24-bit BMP file.
std::string SolidBmp(int width, int height, COLORREF color);

// Writes skin.ini and its pictures into `folder`: the window sections
// "TESTDLG" (every control kind), "MAINDLG" (main window) and "SplitterBar".
// `extra` is appended to the file as it stands.
void WriteTestSkin(const std::wstring& folder, const std::string& extra = {});

// One InvokeCommand as the sink saw it; texts behind pointer words are copied.
struct Invocation {
    std::wstring name;
    LONG param = 0;
    bool hasArgs = false;
    INT_PTR words[6] = {};
    std::wstring text3, text4;  // the texts words 3 and 4 pointed at, where the test asks for them
};

class RecordingSink : public ICommandExecutive {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    LONG STDMETHODCALLTYPE IsCommandEnabled(const wchar_t* name) override {
        asked.push_back(name ? name : L"");
        auto it = disabled.find(Upper(name));
        return it == disabled.end() ? 1 : 0;
    }
    INT_PTR STDMETHODCALLTYPE GetCommandValue(const wchar_t* name, LONG raw) override {
        auto& table = raw ? seconds : values;
        auto it = table.find(Upper(name));
        return it == table.end() ? 0 : it->second;
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(const wchar_t* name, LONG param, CommandArgs* args) override {
        Invocation call;
        call.name = name ? name : L"";
        call.param = param;
        call.hasArgs = args != nullptr;
        if (args)
            for (int i = 0; i < 6; ++i) call.words[i] = args->words[i];
        if (textWord3 && args && args->words[3]) call.text3 = reinterpret_cast<const wchar_t*>(args->words[3]);
        if (textWord4 && args && args->words[4]) call.text4 = reinterpret_cast<const wchar_t*>(args->words[4]);
        calls.push_back(call);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT key, LONG, LONG, LONG) override {
        keys.push_back(key);
        return S_OK;
    }

    static std::wstring Upper(const wchar_t* name) {
        std::wstring text = name ? name : L"";
        for (auto& c : text) c = static_cast<wchar_t>(::towupper(c));
        return text;
    }
    // Calls of one name (any case).
    std::vector<Invocation> Named(const std::wstring& name) const {
        std::vector<Invocation> out;
        for (const auto& c : calls)
            if (Upper(c.name.c_str()) == Upper(name.c_str())) out.push_back(c);
        return out;
    }

    std::vector<Invocation> calls;
    std::vector<std::wstring> asked;
    std::vector<UINT> keys;
    std::map<std::wstring, INT_PTR> values;   // by upper-cased name
    std::map<std::wstring, INT_PTR> seconds;  // GetCommandValue(name, 1)
    std::map<std::wstring, bool> disabled;
    // Which words the test knows to be text pointers.
    bool textWord3 = false;
    bool textWord4 = false;
};

class MemoryConfig : public IConfigSettings {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    LONG STDMETHODCALLTYPE GetIntValue(const wchar_t* key, LONG defaultValue, LONG) override {
        auto it = ints.find(key);
        return it == ints.end() ? defaultValue : it->second;
    }
    void STDMETHODCALLTYPE SetIntValue(const wchar_t* key, LONG value, LONG) override { ints[key] = value; }
    LONG STDMETHODCALLTYPE GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG) override {
        if (!buffer || capacity <= 0) return 0;
        buffer[0] = L'\0';
        auto it = strings.find(key);
        if (it == strings.end()) return 0;
        ::lstrcpynW(buffer, it->second.c_str(), capacity);
        return 1;
    }
    void STDMETHODCALLTYPE SetStringValue(const wchar_t* key, const wchar_t* value, LONG) override {
        strings[key] = value ? value : L"";
    }
    void STDMETHODCALLTYPE ShowInformation(LONG, LONG) override {}
    void STDMETHODCALLTYPE ShowHelp() override {}

    std::map<std::wstring, LONG> ints;
    std::map<std::wstring, std::wstring> strings;
};

// A view with a window of its own that records what its parent sends it.
class RecordingView : public platform::CWnd, public IEmberAppModuleView {
public:
    explicit RecordingView(std::wstring name) : name_(std::move(name)) {}
    bool Make(HWND parent, const RECT& rect);

    LRESULT OnParentMessage(HWND, UINT msg, WPARAM, LPARAM) override {
        parentMessages.push_back(msg);
        return 0;
    }
    HRESULT RefreshView(INT_PTR, const wchar_t* names) override {
        refreshes.push_back(names ? names : L"<null>");
        return S_OK;
    }
    HWND GetViewWindow() override { return hwnd_; }
    HRESULT GetViewName(wchar_t* buffer, int capacity) override { return CopyViewName(name_, buffer, capacity); }

    std::vector<UINT> parentMessages;
    std::vector<std::wstring> refreshes;
    std::vector<RECT> layouts;  // WM_USER+103 rectangles

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_USER + 103 && lp) layouts.push_back(*reinterpret_cast<const RECT*>(lp));
        return CWnd::WindowProc(msg, wp, lp);
    }

private:
    std::wstring name_;
};

struct ViewRequest {
    std::wstring name;
    RECT rect{};
    std::wstring param;
};

class RecordingFactory : public IEmberAppModuleUICtrl {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateView(const wchar_t* name, HWND parent, const RECT& rect, const wchar_t* param,
                                         IEmberAppModuleView** view) override {
        requests.push_back(ViewRequest{name, rect, param ? param : L"<null>"});
        if (refuse.count(name)) return E_FAIL;
        auto made = std::make_unique<RecordingView>(name);
        if (!made->Make(parent, rect)) return E_FAIL;
        *view = made.get();
        views.push_back(std::move(made));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DestroyView(IEmberAppModuleView* view) override {
        destroyed.push_back(view);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reserved(INT_PTR, INT_PTR) override { return S_OK; }

    RecordingView* Find(const std::wstring& name) const {
        for (const auto& v : views) {
            wchar_t buffer[64] = {};
            v->GetViewName(buffer, 64);
            if (name == buffer) return v.get();
        }
        return nullptr;
    }

    std::vector<ViewRequest> requests;
    std::vector<std::unique_ptr<RecordingView>> views;
    std::vector<IEmberAppModuleView*> destroyed;
    std::map<std::wstring, bool> refuse;
};

}  // namespace uitest
