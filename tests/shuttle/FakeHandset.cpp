// A scripted Handset.dll for the device transfer module's tests. The mode
// comes from PELICAN_FAKE_HANDSET ("null": no object; "refuse": the
// notification function is refused; "absent": no device attached); every call
// is appended to the file named by PELICAN_FAKE_JOURNAL, which outlives the
// library's unloading.
#include <windows.h>

#include <cstdio>
#include <new>
#include <string>

#include "fileview/DirectoryFileTree.h"
#include "shuttle/IHandsetInteraction.h"

namespace {

std::wstring Env(const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD n = ::GetEnvironmentVariableW(name, value, 512);
    return n < 512 ? std::wstring(value, n) : std::wstring();
}

void Log(const std::string& line) {
    std::wstring path = Env(L"PELICAN_FAKE_JOURNAL");
    if (path.empty()) return;
    FILE* f = _wfopen(path.c_str(), L"ab");
    if (!f) return;
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
}

// Appends the pieces with spaces between (built by append: GCC 12 misreads
// chains of operator+ on strings at -O3).
template <class... Parts>
std::string Line(const Parts&... parts) {
    std::string out;
    ((out.append(out.empty() ? "" : " ").append(parts)), ...);
    return out;
}

std::string Narrow(const wchar_t* s) {
    std::string out;
    for (; s && *s; ++s) out += static_cast<char>(*s);
    return s ? out : "(null)";
}

class FakeHandset final : public IHandsetInteraction {
public:
    explicit FakeHandset(std::wstring mode) : mode_(std::move(mode)) {}
    bool SetNotificationCallback(NotificationCallback callback) override {
        Log("SetNotificationCallback");
        callback_ = callback;
        return mode_ != L"refuse";
    }
    bool IsConnected() override {
        Log("IsConnected");
        return mode_ != L"absent";
    }
    bool CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback) override {
        Log(Line("CopyFileToDevice", Narrow(pcFile), Narrow(devicePath)));
        return true;
    }
    bool CopyToPC(const wchar_t* const* paths, const wchar_t* pcFolder, ProgressCallback) override {
        std::string line = "CopyToPC";
        for (const wchar_t* const* p = paths; *p; ++p) line = Line(line, Narrow(*p));
        Log(Line(line, "->", Narrow(pcFolder)));
        return true;
    }
    bool CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback) override {
        Log(Line("CopyFolderToDevice", Narrow(pcFolder), Narrow(devicePath)));
        return true;
    }
    bool CreateFolder(const wchar_t* path) override {
        Log(Line("CreateFolder", Narrow(path)));
        return true;
    }
    bool DeletePath(const wchar_t* path) override {
        Log(Line("DeletePath", Narrow(path)));
        return true;
    }
    bool RenamePath(const wchar_t* from, const wchar_t* to) override {
        Log(Line("RenamePath", Narrow(from), Narrow(to)));
        return true;
    }
    bool PathExists(const wchar_t* path) override {
        Log(Line("PathExists", Narrow(path)));
        return true;
    }
    tag_DirectoryFileTree* GetDirectoryTree(const wchar_t* folder, int depth) override {
        Log(Line("GetDirectoryTree", Narrow(folder), std::to_string(depth)));
        tree_ = tag_DirectoryFileTree(L"fake", 0, true);
        return &tree_;
    }
    int QueryPathList(const wchar_t* const* paths) override {
        int n = 0;
        for (const wchar_t* const* p = paths; *p; ++p) ++n;
        Log(Line("QueryPathList", std::to_string(n)));
        return n;
    }
    void Close() override {
        Log("Close");
        delete this;
    }

    NotificationCallback callback_ = nullptr;

private:
    std::wstring mode_;
    tag_DirectoryFileTree tree_;
};

FakeHandset* g_last = nullptr;

}  // namespace

extern "C" __declspec(dllexport) IHandsetInteraction* DllCreateObject() {
    std::wstring mode = Env(L"PELICAN_FAKE_HANDSET");
    Log("DllCreateObject");
    if (mode == L"null") return nullptr;
    g_last = new (std::nothrow) FakeHandset(mode);
    return g_last;
}

// Lets a test play the library's notification thread.
extern "C" __declspec(dllexport) int FakeHandsetNotify(int event) {
    return g_last && g_last->callback_ ? g_last->callback_(event) : -1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    if (reason == DLL_PROCESS_DETACH) Log("Unloaded");
    return TRUE;
}
