// CAppModuleShuttle and the one CHandset of the process.
#include "shuttle/CAppModuleShuttle.h"

#include <atomic>
#include <mutex>
#include <new>
#include <vector>

#include "platform/SystemServices.h"

namespace {

// The process-wide sink the plain notification function reads.
std::atomic<CHandset*> g_handset{nullptr};
std::mutex g_handsetLock;  // guards creating and ending the sink

// The library keeps its own list; the strings stay the caller's.
std::vector<const wchar_t*> CopyList(const wchar_t* const* list) {
    std::vector<const wchar_t*> copy;
    for (const wchar_t* const* p = list; *p; ++p) copy.push_back(*p);
    copy.push_back(nullptr);
    return copy;
}

bool IsEmptyList(const wchar_t* const* list) { return !list || !list[0]; }

}  // namespace

tag_DirectoryFileTree* CHandset::GetDirectoryTree(const wchar_t* folder, int depth) {
    if (!available || !device || !device->IsConnected()) return nullptr;
    return device->GetDirectoryTree(folder, depth);
}

int CHandset::QueryPathList(const wchar_t* const* devicePaths) {
    if (!available || !device || IsEmptyList(devicePaths) || !device->IsConnected()) return -1;
    std::vector<const wchar_t*> copy = CopyList(devicePaths);
    return device->QueryPathList(copy.data());
}

CAppModuleShuttle::CAppModuleShuttle() {
    std::lock_guard<std::mutex> lock(g_handsetLock);
    CHandset* sink = g_handset.load();
    if (!sink) {
        sink = new CHandset();
        g_handset.store(sink);
    }
    ++sink->users;
    sink_ = sink;
}

CAppModuleShuttle::~CAppModuleShuttle() {
    std::lock_guard<std::mutex> lock(g_handsetLock);
    if (--sink_->users > 0) return;
    // The library's watcher must be stopped before its code goes away.
    if (sink_->device) sink_->device->Close();
    sink_->device = nullptr;
    sink_->transfer = nullptr;
    sink_->library.reset();
    if (g_handset.load() == sink_) g_handset.store(nullptr);
    delete sink_;
}

HRESULT STDMETHODCALLTYPE CAppModuleShuttle::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (ember::SameGuid(iid, ember::IID_IShuttle)) {
        *out = static_cast<IShuttle*>(this);
        return S_OK;
    }
    if (ember::SameGuid(iid, ember::IID_IHandsetInteraction)) {
        *out = device_;  // null without a library, and that is no error
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CAppModuleShuttle::Initialize() {
    ICommandExecutive* executive = nullptr;
    HRESULT hr = LookUp(ember::MID_CmdExecutive, ember::IID_ICommandExecutive, &executive);
    if (hr < 0) return hr;
    sink_->commandTarget = executive;
    if (sink_->available) {  // another module of this process bound it already
        device_ = sink_->device;
        return S_OK;
    }
    if (!BindLibrary()) {
        sink_->available = 0;
        device_ = nullptr;
        platform::System().MessageBox(
            nullptr, L"It seems that you don't have iTunes installed. Please install iTunes 7.6 or higher First!",
            L"Handset", MB_OK);
        return S_OK;
    }
    return S_OK;
}

bool CAppModuleShuttle::BindLibrary() {
    if (sink_->library) return false;  // bound before and refused: stay unavailable
    platform::UniqueLibrary library(::LoadLibraryW(L"Handset.dll"));
    if (!library) {
        ::OutputDebugStringW(L"Load Handset.dll Failed.");
        return false;
    }
    auto create = reinterpret_cast<HandsetCreateObjectFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), MAKEINTRESOURCEA(1))));
    if (!create) {
        ::OutputDebugStringW(L"DllCreateObject is NULL.\n");
        return false;
    }
    IHandsetInteraction* device = create();
    if (!device) {
        ::OutputDebugStringW(L"IHandsetInteraction is NULL.");
        return false;
    }
    sink_->device = device;
    // Optional: a library without it copies through the plain slots.
    auto transfer = reinterpret_cast<HandsetTransferFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), kHandsetTransferExport)));
    sink_->transfer = transfer ? transfer(device) : nullptr;
    sink_->library = std::move(library);
    // Ready before the library may report a device: its arrival comes at once,
    // on its own thread, and the executive lists the device straight away.
    sink_->available = 1;
    device_ = device;
    if (!device->SetNotificationCallback(&CAppModuleShuttle::Notify)) {
        ::OutputDebugStringW(L"Set Notification Callback Failed.");
        sink_->available = 0;
        device_ = nullptr;
        return false;  // the library and its object stay, to be closed at destruction
    }
    return true;
}

HRESULT STDMETHODCALLTYPE CAppModuleShuttle::Uninitialize() {
    sink_->commandTarget.store(nullptr);
    // A notice already under way finishes first; its handler may send to this
    // thread's windows, so sent messages are still answered while waiting.
    while (sink_->delivering.load() > 0) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        ::Sleep(5);
    }
    return S_OK;
}

int CAppModuleShuttle::Notify(int event) {
    const wchar_t* name = nullptr;
    switch (event) {
        case 1: name = L"DeviceArrival"; break;
        case 2: name = L"DeviceRemoved"; break;
        case 10: name = L"DeviceServiceMissing"; break;
        case 11: name = L"DeviceNotTrusted"; break;
        default: return 0;
    }
    CHandset* sink = g_handset.load();
    if (!sink) return 0;
    ++sink->delivering;
    ICommandExecutive* target = sink->commandTarget.load();
    int result = target ? target->InvokeCommand(name, 0, nullptr) : 0;
    --sink->delivering;
    return result;
}

IHandsetInteraction* CAppModuleShuttle::Connected() const {
    if (!sink_->available || !sink_->device || !sink_->device->IsConnected()) return nullptr;
    return sink_->device;
}

bool CAppModuleShuttle::CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder,
                                 ProgressCallback progress) {
    if (!sink_->available || IsEmptyList(devicePaths)) return false;
    IHandsetInteraction* device = Connected();
    if (!device) return false;
    std::vector<const wchar_t*> copy = CopyList(devicePaths);
    return device->CopyToPC(copy.data(), pcFolder, progress);
}

bool CAppModuleShuttle::CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback progress) {
    IHandsetInteraction* device = Connected();
    return device && device->CopyFileToDevice(pcFile, devicePath, progress);
}

bool CAppModuleShuttle::CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback progress) {
    IHandsetInteraction* device = Connected();
    return device && device->CopyFolderToDevice(pcFolder, devicePath, progress);
}

bool CAppModuleShuttle::DeletePath(const wchar_t* devicePath) {
    IHandsetInteraction* device = Connected();
    return device && device->DeletePath(devicePath);
}

bool CAppModuleShuttle::CreateFolder(const wchar_t* devicePath) {
    IHandsetInteraction* device = Connected();
    return device && device->CreateFolder(devicePath);
}

bool CAppModuleShuttle::RenamePath(const wchar_t* oldPath, const wchar_t* newPath) {
    IHandsetInteraction* device = Connected();
    return device && device->RenamePath(oldPath, newPath);
}

tag_DirectoryFileTree* CAppModuleShuttle::GetDirectoryTree(const wchar_t* folder, int depth) {
    return sink_->GetDirectoryTree(folder, depth);
}

int CAppModuleShuttle::QueryPathList(const wchar_t* const* devicePaths) { return sink_->QueryPathList(devicePaths); }

IHandsetTransfer* CAppModuleShuttle::ConnectedTransfer() const {
    return Connected() ? sink_->transfer : nullptr;
}

ITransferJob* CAppModuleShuttle::PlanToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder) {
    if (IsEmptyList(devicePaths) || !pcFolder) return nullptr;
    IHandsetTransfer* transfer = ConnectedTransfer();
    if (!transfer) return nullptr;
    std::vector<const wchar_t*> copy = CopyList(devicePaths);
    return transfer->PlanToPC(copy.data(), pcFolder);
}

ITransferJob* CAppModuleShuttle::PlanToDevice(const wchar_t* const* pcPaths, const wchar_t* deviceFolder) {
    if (IsEmptyList(pcPaths) || !deviceFolder) return nullptr;
    IHandsetTransfer* transfer = ConnectedTransfer();
    if (!transfer) return nullptr;
    std::vector<const wchar_t*> copy = CopyList(pcPaths);
    return transfer->PlanToDevice(copy.data(), deviceFolder);
}

bool CAppModuleShuttle::OffersWholeJobs() { return ConnectedTransfer() != nullptr; }

bool CAppModuleShuttle::DeviceFreeBytes(std::uint64_t* bytes) {
    IHandsetTransfer* transfer = ConnectedTransfer();
    return bytes && transfer && transfer->DeviceFreeBytes(bytes);
}
