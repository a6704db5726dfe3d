// The device transfer module of Shuttle.dll: binds Handset.dll, turns its
// arrival and removal notices into commands, and offers guarded device operations.
#pragma once
#include "framework/CEmberAppModuleBase.h"
#include "shuttle/CHandset.h"
#include "shuttle/IShuttle.h"

class CAppModuleShuttle : public CEmberAppModuleBase, public IShuttle {
public:
    CAppModuleShuttle();
    ~CAppModuleShuttle() override;
    CAppModuleShuttle(const CAppModuleShuttle&) = delete;
    CAppModuleShuttle& operator=(const CAppModuleShuttle&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE Initialize() override;
    // Lets go of the command executive, which is deleted before this module:
    // a device noticed during shutdown is no longer passed on.
    HRESULT STDMETHODCALLTYPE Uninitialize() override;

    bool CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder, ProgressCallback progress) override;
    bool CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback progress) override;
    bool CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback progress) override;
    bool DeletePath(const wchar_t* devicePath) override;
    bool CreateFolder(const wchar_t* devicePath) override;
    bool RenamePath(const wchar_t* oldPath, const wchar_t* newPath) override;
    tag_DirectoryFileTree* GetDirectoryTree(const wchar_t* folder, int depth) override;
    int QueryPathList(const wchar_t* const* devicePaths) override;
    ITransferJob* PlanToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder) override;
    ITransferJob* PlanToDevice(const wchar_t* const* pcPaths, const wchar_t* deviceFolder) override;
    bool DeviceFreeBytes(std::uint64_t* bytes) override;
    bool OffersWholeJobs() override;

    // The function handed to the library: 1 "DeviceArrival", 2 "DeviceRemoved",
    // 10 "DeviceServiceMissing", 11 "DeviceNotTrusted"; other values call nothing.
    static int Notify(int event);

private:
    // Loads Handset.dll into the sink; false (with a debugger line) on failure.
    bool BindLibrary();
    // The library object when it is bound and a device is attached, else null.
    IHandsetInteraction* Connected() const;
    // The library's transfer companion when it has one and a device is attached, else null.
    IHandsetTransfer* ConnectedTransfer() const;

    CHandset* sink_;
    IHandsetInteraction* device_ = nullptr;  // exposed; null unless bound
};
