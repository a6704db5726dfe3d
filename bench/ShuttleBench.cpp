// Copies a 200 MiB tree of many small and a few large files device -> PC and
// PC -> device as the program does (planned whole, then run, through the real
// Shuttle.dll and Handset.dll), and the same tree with plain CopyFileW, and
// prints both throughputs; then the time planning 20,000 small files takes.
//   shuttle_bench.exe [work folder] [large|small]
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "framework/CEmberAppModuleBase.h"
#include "bench/InertExecutive.h"
#include "framework/CEmberSoftBus.h"
#include "framework/ICommandExecutive.h"
#include "framework/ModuleLibrary.h"
#include "shuttle/IShuttle.h"

namespace {

int g_reports = 0;
constexpr int kRounds = 7;

// What the program's sink costs at least: a look at every report.
class CountingSink : public ITransferSink {
public:
    bool OnProgress(const TransferProgress&) override {
        ++g_reports;
        return true;
    }
    TransferClashChoice OnClash(const TransferClash&) override { return TransferClashChoice::KeepBoth; }
    void OnItemFailed(const wchar_t*, TransferError) override {}
};

int PlainProgress(int, int) { return ++g_reports; }

// Plans and runs one job; false when it could not be planned or did not complete.
bool RunJob(ITransferJob* job) {
    if (!job) return false;
    CountingSink sink;
    const bool ok = job->Run(&sink) == TransferOutcome::Completed;
    job->Release();
    return ok;
}

std::wstring ExeDirectory() {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

bool WriteFilled(const std::wstring& path, std::uint64_t size, std::uint32_t seed) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    std::vector<std::uint32_t> block(1 << 18);
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::uint32_t& w : block) w = (x = x * 1664525u + 1013904223u);
    bool ok = true;
    for (std::uint64_t done = 0; done < size && ok;) {
        DWORD n = static_cast<DWORD>(std::min<std::uint64_t>(size - done, block.size() * 4));
        DWORD written = 0;
        ok = ::WriteFile(f, block.data(), n, &written, nullptr) && written == n;
        done += n;
    }
    ::CloseHandle(f);
    return ok;
}

// What the tree holds: both kinds of file (the default), or only one kind.
enum class Mix { Both, Large, Small };
Mix g_mix = Mix::Both;

// 3 large files (120 MiB) and 2,000 small ones of 1-79 KiB (about 80 MiB) in 20 folders.
std::uint64_t MakeTree(const std::wstring& root) {
    ::CreateDirectoryW(root.c_str(), nullptr);
    std::uint64_t total = 0;
    const std::uint64_t large[] = {50ull << 20, 40ull << 20, 30ull << 20};
    for (int i = 0; i < 3 && g_mix != Mix::Small; ++i) {
        WriteFilled(root + L"\\movie" + std::to_wstring(i) + L".mov", large[i], i);
        total += large[i];
    }
    for (int d = 0; d < 20 && g_mix != Mix::Large; ++d) {
        std::wstring dir = root + L"\\album" + std::to_wstring(d);
        ::CreateDirectoryW(dir.c_str(), nullptr);
        for (int i = 0; i < 100; ++i) {
            std::uint64_t size = ((d * 100 + i) * 7919 % 79 + 1) * 1024ull;
            WriteFilled(dir + L"\\IMG_" + std::to_wstring(i) + L".JPG", size, d * 100 + i + 10);
            total += size;
        }
    }
    return total;
}

void RemoveTree(const std::wstring& path) {
    DWORD attrs = ::GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return;
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring n = fd.cFileName;
            if (n != L"." && n != L"..") RemoveTree(path + L"\\" + n);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
}

// The baseline: what a program does with the system's own file copy.
bool CopyTreePlain(const std::wstring& from, const std::wstring& to) {
    if (!::CreateDirectoryW(to.c_str(), nullptr)) return false;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((from + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        std::wstring n = fd.cFileName;
        if (n == L"." || n == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTreePlain(from + L"\\" + n, to + L"\\" + n) && ok;
        else
            ok = ::CopyFileW((from + L"\\" + n).c_str(), (to + L"\\" + n).c_str(), TRUE) && ok;
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return ok;
}

double Seconds(const std::function<bool()>& work, bool* ok) {
    LARGE_INTEGER f, a, b;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&a);
    *ok = work() && *ok;
    ::QueryPerformanceCounter(&b);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring work = argc > 1 && argv[1][0] ? std::wstring(argv[1]) : std::wstring(temp) + L"pelican-bench";
    if (argc > 2) g_mix = std::wstring(argv[2]) == L"large" ? Mix::Large : Mix::Small;
    const std::wstring device = work + L"\\device";
    const std::wstring pc = work + L"\\pc";
    RemoveTree(work);
    ::CreateDirectoryW(work.c_str(), nullptr);
    ::CreateDirectoryW(device.c_str(), nullptr);
    ::CreateDirectoryW(pc.c_str(), nullptr);
    std::wprintf(L"preparing the tree in %ls ...\n", work.c_str());
    const std::uint64_t bytes = MakeTree(device + L"\\Tree");
    MakeTree(pc + L"\\Tree");
    const double mib = double(bytes) / (1 << 20);

    // The program folder holds Shuttle.dll and Handset.dll.
    const std::wstring programDir = ExeDirectory() + L"..\\bin\\";
    ::SetDllDirectoryW(programDir.c_str());
    ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", device.c_str());
    auto* bus = new CEmberSoftBus();
    bus->RegisterModule(&ember::MID_CmdExecutive, new InertExecutive(), nullptr);
    if (BindModuleLibrary(bus, ember::MID_Shuttle, programDir + L"Shuttle.dll") < 0 || bus->InitializeModules() < 0) {
        std::fwprintf(stderr, L"Shuttle.dll could not be bound from %ls\n", programDir.c_str());
        return 2;
    }
    IEmberAppModule* module = nullptr;
    IShuttle* shuttle = nullptr;
    bus->GetModule(&ember::MID_Shuttle, &module);
    module->QueryInterface(ember::IID_IShuttle, reinterpret_cast<void**>(&shuttle));

    bool ok = true;
    std::vector<double> toPcShuttle, toPcPlain, toDevShuttle, toDevPlain, toPcSlots, toDevSlots;
    const wchar_t* list[] = {L"/Tree", nullptr};
    for (int round = 0; round < kRounds; ++round) {
        const std::wstring out = pc + L"\\out", plain = pc + L"\\plain";
        ::CreateDirectoryW(out.c_str(), nullptr);
        wchar_t target[260] = L"/In";
        ::CreateDirectoryW((device + L"\\In").c_str(), nullptr);
        // Every other round the plain copy goes first, so neither side always
        // meets the other's dirty pages.
        const std::wstring tree = pc + L"\\Tree";
        const wchar_t* pcList[] = {tree.c_str(), nullptr};
        auto viaShuttle = [&] {
            toPcShuttle.push_back(Seconds([&] { return RunJob(shuttle->PlanToPC(list, out.c_str())); }, &ok));
            toDevShuttle.push_back(Seconds([&] { return RunJob(shuttle->PlanToDevice(pcList, target)); }, &ok));
            // The library's plain copy slots, which a library without whole jobs is used through.
            RemoveTree(out);
            ::CreateDirectoryW(out.c_str(), nullptr);
            RemoveTree(device + L"\\In\\Tree");
            toPcSlots.push_back(Seconds([&] { return shuttle->CopyToPC(list, out.c_str(), &PlainProgress); }, &ok));
            toDevSlots.push_back(
                Seconds([&] { return shuttle->CopyFolderToDevice(tree.c_str(), target, &PlainProgress); }, &ok));
        };
        auto plainly = [&] {
            toPcPlain.push_back(Seconds([&] { return CopyTreePlain(device + L"\\Tree", plain); }, &ok));
            toDevPlain.push_back(Seconds([&] { return CopyTreePlain(pc + L"\\Tree", device + L"\\Plain"); }, &ok));
        };
        if (round % 2) {
            plainly();
            viaShuttle();
        } else {
            viaShuttle();
            plainly();
        }
        std::wprintf(L"round %d: to PC %.2f s / %.2f s, to device %.2f s / %.2f s\n", round + 1, toPcShuttle.back(),
                     toPcPlain.back(), toDevShuttle.back(), toDevPlain.back());
        RemoveTree(out);
        RemoveTree(plain);
        RemoveTree(device + L"\\In");
        RemoveTree(device + L"\\Plain");
    }

    // Planning alone, for 20,000 small files in 20 folders.
    const std::wstring many = device + L"\\Many";
    ::CreateDirectoryW(many.c_str(), nullptr);
    for (int d = 0; d < 20; ++d) {
        const std::wstring dir = many + L"\\d" + std::to_wstring(d);
        ::CreateDirectoryW(dir.c_str(), nullptr);
        for (int i = 0; i < 1000; ++i) WriteFilled(dir + L"\\f" + std::to_wstring(i) + L".txt", 100, i);
    }
    const wchar_t* manyList[] = {L"/Many", nullptr};
    std::vector<double> planning;
    TransferTotals totals;
    for (int round = 0; round < 3; ++round) {
        planning.push_back(Seconds(
            [&] {
                ITransferJob* job = shuttle->PlanToPC(manyList, pc.c_str());
                if (job) {
                    job->Totals(&totals);
                    job->Release();
                }
                return job != nullptr;
            },
            &ok));
    }
    std::wprintf(L"planning %llu files in %llu folders: %.0f ms (median of 3)\n",
                 static_cast<unsigned long long>(totals.files), static_cast<unsigned long long>(totals.folders),
                 Median(planning) * 1000);

    bus->Release();
    RemoveTree(work);

    // The machine is shared: the median says what to expect, the best round
    // what each side can do without interference.
    const double a = mib / Median(toPcShuttle), b = mib / Median(toPcPlain);
    const double c = mib / Median(toDevShuttle), d = mib / Median(toDevPlain);
    const double a1 = mib / Best(toPcShuttle), b1 = mib / Best(toPcPlain);
    const double c1 = mib / Best(toDevShuttle), d1 = mib / Best(toDevPlain);
    std::wprintf(L"tree: %.1f MiB; %d rounds; %d progress reports\n", mib, kRounds, g_reports);
    std::wprintf(
        L"device -> PC: Pelican %.1f MiB/s, CopyFileW %.1f MiB/s, ratio %.2f (median); best %.1f / %.1f, ratio %.2f\n",
        a, b, a / b, a1, b1, a1 / b1);
    std::wprintf(
        L"PC -> device: Pelican %.1f MiB/s, CopyFileW %.1f MiB/s, ratio %.2f (median); best %.1f / %.1f, ratio %.2f\n",
        c, d, c / d, c1, d1, c1 / d1);
    std::wprintf(L"plain slots: device -> PC %.1f MiB/s, ratio %.2f; PC -> device %.1f MiB/s, ratio %.2f (median)\n",
                 mib / Median(toPcSlots), mib / Median(toPcSlots) / b, mib / Median(toDevSlots),
                 mib / Median(toDevSlots) / d);
    if (!ok) std::wprintf(L"some copies FAILED\n");
    return ok ? 0 : 1;
}
