// The whole path a user waits for, from a click in the folder tree (or a
// double-click on a folder row) to the rows shown, through the real command
// executive, Shuttle.dll, the folder-backed Handset.dll and Config.dll; the
// way back out; sorting; and, with a second process that sends the window a
// message every 100 ms, the longest time the window did not answer.
#include "bench/fileview/WholePath.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "executive/CAppModuleCmdExecutive.h"
#include "fileview/CAppModuleFileView.h"
#include "fileview/CFileListCtrlView.h"
#include "fileview/CFileTreeCtrlView.h"
#include "framework/CEmberSoftBus.h"
#include "framework/EmberGuids.h"
#include "framework/ModuleLibrary.h"
#include "platform/Wnd.h"

namespace bench {

namespace {

const wchar_t* const kKinds[] = {L".jpg", L".png", L".mov", L".mp3", L".m4a", L".txt", L".plist", L".db", L".heic", L""};

// Files named as a camera names them; kept between runs, as making them under Wine is slow.
bool MakeDeviceFolder(const std::wstring& folder, int files) {
    std::wstring probe = folder + L"\\IMG_" + std::to_wstring(10000 + files - 1) + kKinds[(files - 1) % 10];
    if (::GetFileAttributesW(probe.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    std::printf("  making %d files in %ls (slow under Wine; bench/fileview/make-device.sh is faster)\n", files,
                folder.c_str());
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        std::wstring name = folder + L"\\IMG_" + std::to_wstring(10000 + i) + kKinds[i % 10];
        HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    }
    return ::GetFileAttributesW(probe.c_str()) != INVALID_FILE_ATTRIBUTES;
}

HTREEITEM ChildNamed(CFileTreeCtrlView* tree, HTREEITEM parent, const std::wstring& name) {
    for (HTREEITEM child = tree->GetChildItem(parent); child; child = tree->GetNextSiblingItem(child))
        if (tree->GetItemText(child) == name) return child;
    return nullptr;
}

// The probe process: sends WM_NULL every 100 ms until told to stop, and
// reports the longest wait for an answer.
constexpr const wchar_t* kStopProbe = L"PelicanBenchProbeStop";

}  // namespace

int RunProbe(HWND target) {
    HANDLE stop = ::OpenEventW(SYNCHRONIZE, FALSE, kStopProbe);
    double longest = 0;
    int probes = 0;
    while (!stop || ::WaitForSingleObject(stop, 100) == WAIT_TIMEOUT) {
        double a = NowMs();
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) break;
        longest = std::max(longest, NowMs() - a);
        ++probes;
        if (!stop) break;
    }
    std::printf("  probe: %d messages, longest wait for an answer %.0f ms (goal: at most 500)\n", probes, longest);
    if (stop) ::CloseHandle(stop);
    return 0;
}

void MeasureWholePath(const PathSetup& setup) {
    std::wstring root = setup.scratch + L"device\\";
    std::wstring big = root + L"var\\mobile\\Media\\Big";
    if (!setup.deviceRoot.empty()) root = setup.deviceRoot;
    if (!setup.deviceRoot.empty()) big = root + L"var\\mobile\\Media\\Big";
    if (!MakeDeviceFolder(big, setup.files)) {
        std::printf("  the device folder could not be made\n");
        return;
    }
    ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", root.c_str());

    // A program folder of our own, so the settings the run writes stay out of the build.
    std::wstring program = setup.scratch + L"program\\";
    ::SHCreateDirectoryExW(nullptr, (program + L"config").c_str(), nullptr);
    for (const wchar_t* dll : {L"Config.dll", L"Shuttle.dll", L"Handset.dll"})
        ::CopyFileW((setup.programFolder + dll).c_str(), (program + dll).c_str(), FALSE);

    // Shuttle.dll asks for Handset.dll by name, as the program beside it does.
    ::SetDllDirectoryW(program.c_str());
    CEmberSoftBus bus;
    auto* fileView = new CAppModuleFileView;
    auto* executive = new CAppModuleCmdExecutive;
    if (BindModuleLibrary(&bus, ember::MID_ConfigModule, program + L"Config.dll") < 0) {
        std::printf("  Config.dll could not be bound\n");
        return;
    }
    bus.RegisterModule(&ember::MID_FileView, fileView, nullptr);
    bus.RegisterModule(&ember::MID_CmdExecutive, executive, nullptr);
    if (BindModuleLibrary(&bus, ember::MID_Shuttle, program + L"Shuttle.dll") < 0) {
        std::printf("  Shuttle.dll could not be bound\n");
        return;
    }
    if (bus.InitializeModules() < 0) {
        std::printf("  the modules did not start\n");
        return;
    }
    IConfigSettings* settings = nullptr;
    IEmberAppModule* config = nullptr;
    if (bus.GetModule(&ember::MID_ConfigModule, &config) >= 0 && config)
        config->QueryInterface(ember::IID_IConfigSettings, reinterpret_cast<void**>(&settings));
    if (settings) settings->SetStringValue(L"CurrentSkinPath", setup.skin.c_str(), 0);

    IEmberAppModuleView* view = nullptr;
    fileView->CreateView(L"FileTreeView", setup.host, RECT{0, 0, 300, 600}, L"tree.bmp", &view);
    fileView->CreateView(L"FileListCtrl", setup.host, RECT{310, 0, 990, 600}, L"", &view);
    CFileTreeCtrlView* tree = fileView->TreeView();
    CFileListCtrlView* list = fileView->ListView();
    if (!tree || !list) {
        std::printf("  the views could not be made\n");
        return;
    }
    // The device arrives on the library's thread and is shown on this one.
    double until = NowMs() + 15000;
    while (NowMs() < until && !(tree->RootItem() && fileView->ViewsEnabled())) PumpFor(20);
    HTREEITEM media = tree->RootItem();
    HTREEITEM bigItem = media ? ChildNamed(tree, media, L"Big") : nullptr;
    if (!bigItem) {
        std::printf("  the device did not show a folder \"Big\"\n");
        return;
    }

    std::vector<double> clickMs, leaveMs, openMs;
    int shown = 0;
    for (int round = 0; round < setup.rounds; ++round) {
        double a = NowMs();
        tree->SelectItem(bigItem);
        ::UpdateWindow(list->hwnd());
        clickMs.push_back(NowMs() - a);
        shown = list->RowCount();
        PumpFor(50);
        a = NowMs();
        tree->SelectItem(media);
        ::UpdateWindow(list->hwnd());
        leaveMs.push_back(NowMs() - a);
        PumpFor(50);
        // The same folder opened by a double-click on its row.
        int row = -1;
        for (int r = 0; r < list->RowCount(); ++r)
            if (list->Row(r).name == L"Big") row = r;
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        list->SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
        PumpFor(50);
        a = NowMs();
        fileView->OnEvent(FileOp_OpenFolder, reinterpret_cast<INT_PTR>(list->hwnd()), 0, 0);
        ::UpdateWindow(list->hwnd());
        openMs.push_back(NowMs() - a);
        PumpFor(50);
        tree->SelectItem(media);
        PumpFor(50);
    }
    double click = Median(clickMs);
    std::printf("whole path: %d files, Config.dll + executive + Shuttle.dll + Handset.dll (folder), median of %d\n",
                setup.files, setup.rounds);
    std::printf("  tree click to rows shown:              %8.1f ms  (rows: %d)\n", click, shown);
    std::printf("  double-click on the row to rows shown: %8.1f ms\n", Median(openMs));
    std::printf("  leaving (click on the parent):         %8.1f ms\n", Median(leaveMs));
    if (setup.bareMs > 0)
        std::printf("  ratio tree click / bare list fill:     %8.2f  (bare fill %.1f ms; goal: at most 1.5)\n",
                    click / setup.bareMs, setup.bareMs);

    // Sorting the big folder by each column, both ways.
    tree->SelectItem(bigItem);
    PumpFor(50);
    for (int column = kNameColumn; column < kFileListColumnCount; ++column) {
        for (bool ascending : {true, false}) {
            double a = NowMs();
            list->SetSort(column, ascending);
            double took = NowMs() - a;
            std::printf("  sort %d rows by column %d %s: %8.1f ms\n", list->RowCount(), column,
                        ascending ? "ascending " : "descending", took);
        }
    }
    list->SetSort(kNameColumn, true);
    tree->SelectItem(media);
    PumpFor(50);

    if (setup.probe) {
        // Another process knocks every 100 ms while the folder is opened and left again.
        HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, kStopProbe);
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(self) + L"\" probe " +
                               std::to_wstring(reinterpret_cast<UINT_PTR>(setup.host));
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                             &process)) {
            PumpFor(500);
            double a = NowMs();
            tree->SelectItem(bigItem);
            ::UpdateWindow(list->hwnd());
            double in = NowMs() - a;
            PumpFor(300);
            a = NowMs();
            tree->SelectItem(media);
            ::UpdateWindow(list->hwnd());
            double out = NowMs() - a;
            PumpFor(500);
            ::SetEvent(stop);
            ::WaitForSingleObject(process.hProcess, 15000);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
            std::printf("  with the probe: opening %.1f ms, leaving %.1f ms\n", in, out);
        }
        ::CloseHandle(stop);
    }
    bus.UninitializeModules();
}

}  // namespace bench
