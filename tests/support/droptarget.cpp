// droptarget: a drop target in a process of its own, as Explorer is one, for
// the tests of the drag out and the clipboard. It takes virtual files
// (FileGroupDescriptorW + FileContents), writes them below a folder and
// reports what arrived.
//   droptarget drop  <folder> <report> <x> <y> [sync]   a window at x,y that accepts one drop
//   droptarget paste <folder> <report>                  reads what the clipboard holds
// The report (written whole, then renamed into place) has one line per entry,
// "dir <path>", "file <path> <bytes>" or "fail <path> <hresult>", then
// "async <0|1>" and "end".
#include <ole2.h>
#include <shldisp.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring gFolder;
std::wstring gReport;
bool gSync = false;
DWORD gMainThread = 0;
HWND gWindow = nullptr;

std::string Narrow(const std::wstring& w) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    return s;
}

void WriteReport(const std::string& text) {
    const std::wstring temp = gReport + L".tmp";
    FILE* f = _wfopen(temp.c_str(), L"wb");
    if (!f) return;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    ::MoveFileExW(temp.c_str(), gReport.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Copies one stream into `path`, by way of a partial name that is removed when the stream fails.
HRESULT SaveStream(IStream* stream, const std::wstring& path, unsigned long long* bytes) {
    const std::wstring partial = path + L".partial";
    HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(::GetLastError());
    static char buffer[256 * 1024];
    HRESULT hr = S_OK;
    *bytes = 0;
    for (;;) {
        ULONG got = 0;
        hr = stream->Read(buffer, sizeof(buffer), &got);
        if (FAILED(hr)) break;
        DWORD written = 0;
        if (got && !::WriteFile(file, buffer, got, &written, nullptr)) {
            hr = E_FAIL;
            break;
        }
        *bytes += got;
        if (got == 0 || hr == S_FALSE) {
            hr = S_OK;
            break;
        }
    }
    ::CloseHandle(file);
    if (FAILED(hr) || !::MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ::DeleteFileW(partial.c_str());
        return FAILED(hr) ? hr : E_FAIL;
    }
    return S_OK;
}

HRESULT ReadAll(IDataObject* data, std::string* report) {
    FORMATETC descriptor{static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_FILEDESCRIPTORW)), nullptr,
                         DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    HRESULT hr = data->GetData(&descriptor, &medium);
    if (FAILED(hr)) {
        char line[64];
        snprintf(line, sizeof line, "nodescriptor 0x%08lx\n", static_cast<unsigned long>(hr));
        *report += line;
        return hr;
    }
    auto* group = static_cast<FILEGROUPDESCRIPTORW*>(::GlobalLock(medium.hGlobal));
    HRESULT overall = S_OK;
    for (UINT i = 0; i < group->cItems; ++i) {
        const FILEDESCRIPTORW& d = group->fgd[i];
        const std::wstring path = gFolder + L"\\" + d.cFileName;
        if ((d.dwFlags & FD_ATTRIBUTES) && (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ::CreateDirectoryW(path.c_str(), nullptr);
            *report += "dir " + Narrow(d.cFileName) + "\n";
            continue;
        }
        FORMATETC contents{static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_FILECONTENTS)), nullptr,
                           DVASPECT_CONTENT, static_cast<LONG>(i), TYMED_ISTREAM};
        STGMEDIUM content{};
        unsigned long long bytes = 0;
        hr = data->GetData(&contents, &content);
        if (SUCCEEDED(hr)) {
            hr = content.tymed == TYMED_ISTREAM ? SaveStream(content.pstm, path, &bytes) : DV_E_TYMED;
            ::ReleaseStgMedium(&content);
            // The file keeps the time the source gives, as Explorer does.
            if (SUCCEEDED(hr) && (d.dwFlags & FD_WRITESTIME)) {
                HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
                ::SetFileTime(file, nullptr, nullptr, &d.ftLastWriteTime);
                ::CloseHandle(file);
            }
        }
        char line[64];
        if (SUCCEEDED(hr)) {
            snprintf(line, sizeof line, " %llu\n", bytes);
            *report += "file " + Narrow(d.cFileName) + line;
        } else {
            snprintf(line, sizeof line, " 0x%08lx\n", static_cast<unsigned long>(hr));
            *report += "fail " + Narrow(d.cFileName) + line;
            overall = hr;
        }
    }
    ::GlobalUnlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return overall;
}

struct AsyncRead {
    IStream* marshalled;
};

// Reads on a thread of its own, as Explorer does with a source that allows it.
DWORD WINAPI ReadLater(void* arg) {
    auto* work = static_cast<AsyncRead*>(arg);
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IDataObject* data = nullptr;
    std::string report;
    if (SUCCEEDED(
            ::CoGetInterfaceAndReleaseStream(work->marshalled, IID_IDataObject, reinterpret_cast<void**>(&data)))) {
        HRESULT hr = ReadAll(data, &report);
        IDataObjectAsyncCapability* async = nullptr;
        if (SUCCEEDED(data->QueryInterface(IID_IDataObjectAsyncCapability, reinterpret_cast<void**>(&async)))) {
            async->EndOperation(hr, nullptr, DROPEFFECT_COPY);
            async->Release();
        }
        data->Release();
    }
    WriteReport(report + "async 1\nend\n");
    delete work;
    ::CoUninitialize();
    ::PostThreadMessageW(gMainThread, WM_QUIT, 0, 0);
    return 0;
}

// The answer to Drop goes back after Drop returns, from another thread of
// this process: quitting at once could end the process before it is sent, and
// the drag source would see its call fail.
void CALLBACK QuitSoon(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(gWindow, id);
    ::PostQuitMessage(0);
}

class Target : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC f{static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_FILEDESCRIPTORW)), nullptr,
                    DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        accept_ = SUCCEEDED(data->QueryGetData(&f));
        *effect = accept_ ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = accept_ ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        IDataObjectAsyncCapability* async = nullptr;
        BOOL mode = FALSE;
        if (!gSync &&
            SUCCEEDED(data->QueryInterface(IID_IDataObjectAsyncCapability, reinterpret_cast<void**>(&async))) &&
            SUCCEEDED(async->GetAsyncMode(&mode)) && mode && SUCCEEDED(async->StartOperation(nullptr))) {
            auto* work = new AsyncRead{nullptr};
            if (SUCCEEDED(::CoMarshalInterThreadInterfaceInStream(IID_IDataObject, data, &work->marshalled))) {
                ::CloseHandle(::CreateThread(nullptr, 0, &ReadLater, work, 0, nullptr));
                async->Release();
                return S_OK;
            }
            async->EndOperation(E_FAIL, nullptr, DROPEFFECT_NONE);
            delete work;
        }
        if (async) async->Release();
        std::string report;
        ReadAll(data, &report);
        WriteReport(report + "async 0\nend\n");
        ::SetTimer(gWindow, 1, 500, &QuitSoon);
        return S_OK;
    }

private:
    bool accept_ = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    const std::wstring mode = argv[1];
    gFolder = argv[2];
    gReport = argv[3];
    gMainThread = ::GetCurrentThreadId();
    if (FAILED(::OleInitialize(nullptr))) return 3;
    int result = 0;
    if (mode == L"paste") {
        IDataObject* data = nullptr;
        std::string report;
        HRESULT hr = ::OleGetClipboard(&data);
        if (SUCCEEDED(hr)) {
            hr = ReadAll(data, &report);
            data->Release();
        } else {
            report = "noclipboard\n";
        }
        WriteReport(report + "async 0\nend\n");
        result = SUCCEEDED(hr) ? 0 : 1;
    } else if (mode == L"drop" && argc >= 6) {
        gSync = argc >= 7 && std::wstring(argv[6]) == L"sync";
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PelicanTestDropTarget";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        ::RegisterClassW(&wc);
        gWindow = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Drop target", WS_POPUP | WS_BORDER,
                                    _wtoi(argv[4]), _wtoi(argv[5]), 200, 150, nullptr, nullptr, wc.hInstance, nullptr);
        Target target;
        if (!gWindow || FAILED(::RegisterDragDrop(gWindow, &target))) return 4;
        // Shown only once it takes drops: a test waits for the window to be visible.
        ::ShowWindow(gWindow, SW_SHOWNOACTIVATE);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::RevokeDragDrop(gWindow);
        ::DestroyWindow(gWindow);
    } else {
        result = 2;
    }
    ::OleUninitialize();
    return result;
}
