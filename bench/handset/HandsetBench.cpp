// Copies one large file and a folder of small files to a handset and back
// through IHandsetInteraction of the program folder's Handset.dll, and prints
// the throughput of each copy in the format run.sh compares with
// libimobiledevice's:
//   handset_bench.exe DATA_FOLDER WORK_FOLDER
// DATA_FOLDER holds large.bin and small\; what comes back goes to WORK_FOLDER.
// On the handset the copies go to /var/mobile/Media/PelicanBench-pelican.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "shuttle/IHandsetInteraction.h"

namespace {

const wchar_t kDeviceFolder[] = L"/var/mobile/Media/PelicanBench-pelican";

HANDLE g_arrived = nullptr;
int Notify(int event) {
    if (event == 1) ::SetEvent(g_arrived);
    return 0;
}
int Progress(int, int) { return 0; }

std::wstring ExeDirectory() {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

// Bytes in a file or, for a folder, in the files inside it; -1 when missing.
std::int64_t SizeOf(const std::wstring& path, int* files) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return -1;
    if (!(a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ++*files;
        return std::int64_t(a.nFileSizeHigh) << 32 | a.nFileSizeLow;
    }
    std::int64_t total = 0;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") total += SizeOf(path + L"\\" + n, files);
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return total;
}

// Times one copy of `original` (a PC file or folder, or its copy) and prints it; false when it failed.
bool Measure(const char* name, const std::wstring& original, const std::wstring& result,
             const std::function<bool()>& copy) {
    LARGE_INTEGER f, a, b;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&a);
    bool ok = copy();
    ::QueryPerformanceCounter(&b);
    int files = 0, ignored = 0;
    std::int64_t bytes = SizeOf(original, &files);
    if (!ok || bytes < 0 || SizeOf(result, &ignored) < 0) {
        std::fprintf(stderr, "handset_bench: %s failed\n", name);
        return false;
    }
    double seconds = double(b.QuadPart - a.QuadPart) / double(f.QuadPart), mib = double(bytes) / (1 << 20);
    std::printf("Pelican          %-16s %4d file(s) %8.1f MiB in %6.2f s = %8.1f MiB/s\n", name, files, mib, seconds,
                mib / seconds);
    std::printf("RESULT %s %.3f\n", name, mib / seconds);
    std::fflush(stdout);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: handset_bench DATA_FOLDER WORK_FOLDER\n");
        return 2;
    }
    const std::wstring data = argv[1], work = argv[2];
    // A copy of the library with a Handset.ini of its own that names no device folder, whatever the
    // program folder's says: the handset backend, on USBMUXD_SOCKET_ADDRESS.
    ::CreateDirectoryW(work.c_str(), nullptr);
    const std::wstring lib = work + L"\\lib";
    ::CreateDirectoryW(lib.c_str(), nullptr);
    HANDLE ini = ::CreateFileW((lib + L"\\Handset.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(ini, "[Device]\r\n", 10, &written, nullptr);
    ::CloseHandle(ini);
    ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", nullptr);
    HMODULE library =
        ::CopyFileW((ExeDirectory() + L"..\\bin\\Handset.dll").c_str(), (lib + L"\\Handset.dll").c_str(), FALSE)
            ? ::LoadLibraryW((lib + L"\\Handset.dll").c_str())
            : nullptr;
    auto create = library ? reinterpret_cast<HandsetCreateObjectFn>(
                                reinterpret_cast<void*>(::GetProcAddress(library, MAKEINTRESOURCEA(1))))
                          : nullptr;
    IHandsetInteraction* handset = create ? create() : nullptr;
    if (!handset) {
        std::fprintf(stderr, "handset_bench: no Handset.dll beside the program folder\n");
        return 2;
    }
    g_arrived = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!handset->SetNotificationCallback(&Notify) ||
        (::WaitForSingleObject(g_arrived, 10000) != WAIT_OBJECT_0 && !handset->IsConnected())) {
        std::fprintf(stderr, "handset_bench: no handset arrived\n");
        return 1;
    }
    handset->DeletePath(kDeviceFolder);
    handset->CreateFolder(kDeviceFolder);

    const std::wstring device = kDeviceFolder;
    const std::wstring large = device + L"/large.bin", small = device + L"/small";
    bool ok = Measure("large-to-handset", data + L"\\large.bin", data + L"\\large.bin", [&] {
        wchar_t target[260] = {};
        large.copy(target, 259);
        return handset->CopyFileToDevice((data + L"\\large.bin").c_str(), target, &Progress);
    });
    ok = Measure("large-to-pc", data + L"\\large.bin", work + L"\\large.bin", [&] {
        const wchar_t* list[] = {large.c_str(), nullptr};
        return handset->CopyToPC(list, work.c_str(), &Progress);
    }) && ok;
    ok = Measure("small-to-handset", data + L"\\small", data + L"\\small", [&] {
        wchar_t target[260] = {};
        device.copy(target, 259);
        return handset->CopyFolderToDevice((data + L"\\small").c_str(), target, &Progress);
    }) && ok;
    ok = Measure("small-to-pc", data + L"\\small", work + L"\\small", [&] {
        const wchar_t* list[] = {small.c_str(), nullptr};
        return handset->CopyToPC(list, work.c_str(), &Progress);
    }) && ok;

    handset->DeletePath(kDeviceFolder);
    handset->Close();
    ::FreeLibrary(library);
    return ok ? 0 : 1;
}
