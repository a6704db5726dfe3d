// Copies a large file and a folder of small files to the handset and back
// through IHandsetInteraction of the real Handset.dll, and prints MiB/s:
//   handset_bench.exe IN OUT
// IN holds large.bin and small\; OUT receives both back. The handset must be
// attached and trusted; USBMUXD_SOCKET_ADDRESS names the usbmux service.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

#include "shuttle/IHandsetInteraction.h"

namespace {

std::atomic<int> g_arrived{0};
int Notice(int event) {
    if (event == 1) g_arrived = 1;
    return 0;
}
int Quiet(int, int) { return 1; }

std::wstring ExeDirectory() {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

std::uint64_t Bytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    std::uint64_t total = 0;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") total += Bytes(path + L"\\" + name);
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return total;
}

// Times one copy and prints its throughput; false when it failed.
template <class Copy>
bool Measure(const char* label, std::uint64_t bytes, Copy copy) {
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const bool ok = copy();
    ::QueryPerformanceCounter(&end);
    const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    if (!ok) {
        std::printf("FAILED %s\n", label);
        return false;
    }
    std::printf("RESULT %s %.2f\n", label, bytes / 1048576.0 / (seconds > 0 ? seconds : 1e-9));
    std::fflush(stdout);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: handset_bench IN OUT\n");
        return 2;
    }
    const std::wstring in = argv[1], out = argv[2];
    ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", nullptr);
    HMODULE library = ::LoadLibraryW((ExeDirectory() + L"..\\bin\\Handset.dll").c_str());
    auto create = library ? reinterpret_cast<HandsetCreateObjectFn>(
                                reinterpret_cast<void*>(::GetProcAddress(library, MAKEINTRESOURCEA(1))))
                          : nullptr;
    IHandsetInteraction* handset = create ? create() : nullptr;
    if (!handset || !handset->SetNotificationCallback(&Notice)) {
        std::fprintf(stderr, "Handset.dll cannot be used\n");
        return 1;
    }
    for (int i = 0; i < 100 && !g_arrived; ++i) ::Sleep(50);
    if (!g_arrived) {
        std::fprintf(stderr, "no handset arrived\n");
        handset->Close();
        return 1;
    }
    const std::wstring folder = L"/var/mobile/Media/PelicanBench-pelican";
    handset->DeletePath(folder.c_str());
    bool ok = handset->CreateFolder(folder.c_str());
    wchar_t target[260] = {};
    const std::wstring largeTarget = folder + L"/large.bin";
    wcsncpy(target, largeTarget.c_str(), 259);
    const std::uint64_t large = Bytes(in + L"\\large.bin"), small = Bytes(in + L"\\small");
    ok = ok && Measure("large-to-handset", large, [&] {
             return handset->CopyFileToDevice((in + L"\\large.bin").c_str(), target, &Quiet);
         });
    const wchar_t* largeBack[] = {largeTarget.c_str(), nullptr};
    ok = ok && Measure("large-to-pc", large, [&] { return handset->CopyToPC(largeBack, out.c_str(), &Quiet); });
    wcsncpy(target, folder.c_str(), 259);
    ok = ok && Measure("small-to-handset", small, [&] {
             return handset->CopyFolderToDevice((in + L"\\small").c_str(), target, &Quiet);
         });
    const std::wstring smallTarget = folder + L"/small";
    const wchar_t* smallBack[] = {smallTarget.c_str(), nullptr};
    ok = ok && Measure("small-to-pc", small, [&] { return handset->CopyToPC(smallBack, out.c_str(), &Quiet); });
    handset->DeletePath(folder.c_str());
    handset->Close();
    ::FreeLibrary(library);
    return ok ? 0 : 1;
}
