// How long the file view takes to show a folder of 20,000 files (LoadTree:
// walking the listing, the tree insert and the list fill), next to a bare
// loop that inserts the same rows into a plain list view in the same run;
// with "path", the whole way from a tree click to the rows shown through the
// real modules and libraries (WholePath.cpp).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fileview/CAppModuleFileView.h"
#include "bench/InertExecutive.h"
#include "bench/fileview/WholePath.h"
#include "fileview/CFileListCtrlView.h"
#include "fileview/CFileTreeCtrlView.h"
#include "fileview/FileViewText.h"
#include "framework/CEmberSoftBus.h"
#include "framework/EmberGuids.h"
#include "platform/Wnd.h"
#include "shuttle/IHandsetInteraction.h"

namespace {

int kFiles = 20000;
int kRounds = 5;

// The configuration the module asks for: the skin folder and nothing else.
class BenchSettings : public CEmberAppModuleBase, public IConfigSettings, public IConfigSettings2 {
public:
    explicit BenchSettings(std::wstring skin) : skin_(std::move(skin)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (ember::SameGuid(iid, ember::IID_IConfigSettings)) *out = static_cast<IConfigSettings*>(this);
        else if (ember::SameGuid(iid, ember::IID_IConfigSettings2)) *out = static_cast<IConfigSettings2*>(this);
        else return E_NOINTERFACE;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
    LONG STDMETHODCALLTYPE GetIntValue(const wchar_t*, LONG d, LONG) override { return d; }
    void STDMETHODCALLTYPE SetIntValue(const wchar_t*, LONG, LONG) override {}
    LONG STDMETHODCALLTYPE GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG) override {
        if (lstrcmpW(key, L"CurrentSkinPath") != 0 || static_cast<LONG>(skin_.size()) >= capacity) return 0;
        lstrcpynW(buffer, skin_.c_str(), capacity);
        return 1;
    }
    void STDMETHODCALLTYPE SetStringValue(const wchar_t*, const wchar_t*, LONG) override {}
    void STDMETHODCALLTYPE ShowInformation(LONG, LONG) override {}
    void STDMETHODCALLTYPE ShowHelp() override {}

private:
    std::wstring skin_;
};

using bench::Median;
double Now() { return bench::NowMs(); }
void Pump() { bench::PumpFor(0); }

// A 24-bit BMP of one colour for the tree's background.
bool WritePicture(const std::wstring& path) {
    const int w = 400, h = 600, stride = w * 3;
    std::vector<unsigned char> bytes(54 + static_cast<size_t>(stride) * h, 0x80);
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    std::fill(bytes.begin(), bytes.begin() + 54, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<unsigned>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    bytes[26] = 1;
    bytes[28] = 24;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return written == bytes.size();
}

// The folder the program and its libraries live in (build\bin beside build\bench).
std::wstring ProgramFolder() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir(self);
    dir = dir.substr(0, dir.find_last_of(L"\\"));
    dir = dir.substr(0, dir.find_last_of(L"\\") + 1);
    return dir + L"bin\\";
}

// A device folder of kFiles empty files, listed through the folder-backed
// Handset.dll as the executive lists it (depth 2); prints the listing's time.
void DeviceListing(CAppModuleFileView* module, const std::wstring& scratch) {
    std::wstring root = scratch + L"device\\";
    std::wstring big = root + L"var\\mobile\\Media\\Big\\";
    for (const wchar_t* part : {L"", L"var", L"var\\mobile", L"var\\mobile\\Media", L"var\\mobile\\Media\\Big"})
        ::CreateDirectoryW((root + part).c_str(), nullptr);
    const wchar_t* kinds[] = {L".jpg", L".png", L".mov", L".mp3", L".m4a", L".txt", L".plist", L".db", L".heic", L""};
    double made = Now();
    for (int i = 0; i < kFiles; ++i) {
        std::wstring name = big + L"IMG_" + std::to_wstring(10000 + i) + kinds[i % 10];
        HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    }
    std::printf("  device folder made (%d files):          %8.1f ms\n", kFiles, Now() - made);
    ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", root.c_str());
    HMODULE library = ::LoadLibraryW((ProgramFolder() + L"Handset.dll").c_str());
    auto create = library ? reinterpret_cast<HandsetCreateObjectFn>(
                                reinterpret_cast<void*>(::GetProcAddress(library, MAKEINTRESOURCEA(1))))
                          : nullptr;
    IHandsetInteraction* handset = create ? create() : nullptr;
    if (!handset) {
        std::printf("  (Handset.dll not found beside the program: no device listing measured)\n");
        if (library) ::FreeLibrary(library);
        return;
    }
    std::vector<double> listMs, bothMs;
    for (int round = 0; round < kRounds; ++round) {
        module->ClearViews();
        module->SetRootPath(L"/var/mobile/Media/Big");
        Pump();
        double a = Now();
        tag_DirectoryFileTree* tree = handset->GetDirectoryTree(L"/var/mobile/Media/Big", 2);
        double listed = Now();
        if (tree) module->LoadTree(tree, FileOp_NewRoot);
        bothMs.push_back(Now() - a);
        listMs.push_back(listed - a);
        Pump();
    }
    std::printf("  device listing (GetDirectoryTree, 2):  %8.1f ms\n", Median(listMs));
    std::printf("  device listing + LoadTree:             %8.1f ms  (rows shown: %d)\n", Median(bothMs),
                module->ListView()->GetItemCount());
    handset->Close();
    ::FreeLibrary(library);
    for (int i = 0; i < kFiles; ++i)
        ::DeleteFileW((big + L"IMG_" + std::to_wstring(10000 + i) + kinds[i % 10]).c_str());
    for (const wchar_t* part : {L"var\\mobile\\Media\\Big", L"var\\mobile\\Media", L"var\\mobile", L"var", L""})
        ::RemoveDirectoryW((root + part).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // Optional: number of files, rounds, "hidden" or "shown", and "device" to
    // also list a real folder through Handset.dll, "path" for the whole path,
    // "probe" for the whole path with a second process knocking on the window.
    if (argc > 2 && std::strcmp(argv[1], "probe") == 0)
        return bench::RunProbe(reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[2], nullptr, 10))));
    if (argc > 1) kFiles = std::atoi(argv[1]);
    if (argc > 2) kRounds = std::max(1, std::atoi(argv[2]));
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ::InitCommonControls();
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring skin = std::wstring(temp) + L"pelican_bench_skin\\";
    ::CreateDirectoryW(skin.c_str(), nullptr);
    if (!WritePicture(skin + L"tree.bmp")) return 1;

    platform::CWnd::RegisterWindowClass(L"PelicanBenchHost", CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    platform::CWnd host;
    // Shown unless asked otherwise ("hidden" as third argument).
    bool hidden = argc > 3 && std::strcmp(argv[3], "hidden") == 0;
    DWORD hostStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (hidden ? 0 : WS_VISIBLE);
    host.CreateEx(0, L"PelicanBenchHost", L"bench", hostStyle, RECT{0, 0, 1000, 700}, nullptr, 0);

    CEmberSoftBus bus;
    auto* module = new CAppModuleFileView;
    bus.RegisterModule(&ember::MID_ConfigModule, new BenchSettings(skin), nullptr);
    bus.RegisterModule(&ember::MID_FileView, module, nullptr);
    bus.RegisterModule(&ember::MID_CmdExecutive, new InertExecutive, nullptr);
    if (bus.InitializeModules() < 0) return 1;
    IEmberAppModuleView* view = nullptr;
    module->CreateView(L"FileTreeView", host.hwnd(), RECT{0, 0, 300, 600}, L"tree.bmp", &view);
    module->CreateView(L"FileListCtrl", host.hwnd(), RECT{310, 0, 990, 600}, L"", &view);
    if (!module->TreeView() || !module->ListView()) {
        std::printf("the views could not be made\n");
        return 1;
    }

    // The listing: 20,000 files of ten kinds and a few folders.
    const wchar_t* kinds[] = {L".jpg", L".png", L".mov", L".mp3", L".m4a", L".txt", L".plist", L".db", L".heic", L""};
    double t0 = Now();
    tag_DirectoryFileTree listing(L"Media", 0, true);
    listing.children.reserve(kFiles + 3);
    for (const wchar_t* folder : {L"DCIM", L"Music", L"Books"}) listing.children.emplace_back(folder, 0, true);
    for (int i = 0; i < kFiles; ++i)
        listing.children.emplace_back(L"IMG_" + std::to_wstring(10000 + i) + kinds[i % 10],
                                      static_cast<std::uint64_t>(i) * 7919u, false);
    double buildMs = Now() - t0;

    // The same rows, texts and icons made beforehand for the bare loop.
    struct Row {
        std::wstring name, size, type;
        int icon;
    };
    std::vector<Row> rows;
    CShellIconCache icons;
    for (const tag_DirectoryFileTree& child : listing.children) {
        bool folder = child.isDirectory != 0;
        rows.push_back({child.name, folder ? L"" : FormatSizeText(child.size), folder ? L"Folder" : L"File",
                        folder ? icons.FolderIcon() : icons.FileIcon(ExtensionOf(child.name))});
    }
    // The plain list gets a window of its own, the same size, so neither list covers the other.
    platform::CWnd plainHost;
    plainHost.CreateEx(0, L"PelicanBenchHost", L"plain", hostStyle, RECT{0, 0, 1000, 700}, nullptr, 0);
    HWND plain = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS,
                                   310, 0, 680, 600, plainHost.hwnd(), nullptr, nullptr, nullptr);
    ::SendMessageW(plain, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(CShellIconCache::SystemSmallImages()));
    const wchar_t* titles[] = {L"", L"Name", L"Size", L"Type"};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = const_cast<wchar_t*>(titles[c]);
        col.cx = 100;
        ::SendMessageW(plain, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
    }

    std::vector<double> loadMs, bareMs;
    for (int round = 0; round < kRounds; ++round) {
        module->ClearViews();
        module->SetRootPath(L"/var/mobile/Media");
        Pump();
        double a = Now();
        module->LoadTree(&listing, FileOp_NewRoot);
        loadMs.push_back(Now() - a);
        std::printf("  round %d: LoadTree %.1f ms\n", round + 1, loadMs.back());
        Pump();

        ::SendMessageW(plain, LVM_DELETEALLITEMS, 0, 0);
        Pump();
        double b = Now();
        // Redrawing held off during the loop, as the file list does.
        ::SendMessageW(plain, WM_SETREDRAW, FALSE, 0);
        for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = i;
            item.pszText = const_cast<wchar_t*>(L"");
            item.iImage = rows[i].icon;
            int at = static_cast<int>(::SendMessageW(plain, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            const std::wstring* texts[] = {&rows[i].name, &rows[i].size, &rows[i].type};
            for (int s = 0; s < 3; ++s) {
                LVITEMW sub{};
                sub.iSubItem = s + 1;
                sub.pszText = const_cast<wchar_t*>(texts[s]->c_str());
                ::SendMessageW(plain, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&sub));
            }
        }
        ::SendMessageW(plain, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(plain, nullptr, TRUE);
        ::UpdateWindow(plain);
        bareMs.push_back(Now() - b);
        std::printf("  round %d: bare loop %.1f ms\n", round + 1, bareMs.back());
        Pump();
    }

    double load = Median(loadMs), bare = Median(bareMs);
    std::printf("fileview_bench: folder of %d files (+3 folders), %d rounds, median times\n", kFiles, kRounds);
    std::printf("  building the listing in memory:        %8.1f ms (not part of either figure)\n", buildMs);
    std::printf("  LoadTree (tree insert + list fill):    %8.1f ms  (best %.1f)\n", load,
                *std::min_element(loadMs.begin(), loadMs.end()));
    std::printf("  bare loop, plain list view, same rows: %8.1f ms  (best %.1f)\n", bare,
                *std::min_element(bareMs.begin(), bareMs.end()));
    std::printf("  ratio LoadTree / bare loop:            %8.2f  (goal: under 1.5)\n", load / bare);
    std::printf("  rows shown: %d; shell icon look-ups by the list: %u\n", module->ListView()->GetItemCount(),
                module->ListView()->Icons().ShellQueries());
    // Making 20,000 files under Wine takes a minute or more: asked for by "device".
    if (argc > 4 && std::strcmp(argv[4], "device") == 0) DeviceListing(module, skin);
    if (argc > 4 && (std::strcmp(argv[4], "path") == 0 || std::strcmp(argv[4], "probe") == 0)) {
        // The benchmark's own views go first: the whole path makes a file view of its own.
        bus.UninitializeModules();
        bench::PathSetup setup;
        setup.files = kFiles;
        setup.rounds = kRounds;
        setup.bareMs = bare;
        setup.probe = std::strcmp(argv[4], "probe") == 0;
        platform::CWnd pathHost;
        pathHost.CreateEx(0, L"PelicanBenchHost", L"whole path", hostStyle, RECT{0, 0, 1000, 700}, nullptr, 0);
        setup.host = pathHost.hwnd();
        setup.scratch = std::wstring(temp) + L"pelican_bench_path\\";
        setup.skin = skin;
        setup.programFolder = ProgramFolder();
        wchar_t device[MAX_PATH] = {};
        if (::GetEnvironmentVariableW(L"PELICAN_BENCH_DEVICE", device, MAX_PATH)) setup.deviceRoot = device;
        ::CreateDirectoryW(setup.scratch.c_str(), nullptr);
        bench::MeasureWholePath(setup);
    }
    ::DestroyWindow(plain);
    ::DeleteFileW((skin + L"tree.bmp").c_str());
    ::RemoveDirectoryW(skin.c_str());
    return 0;
}
