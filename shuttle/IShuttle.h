// The device transfer module's guarded operations on the device file system.
#pragma once
#include <cstdint>

#include "shuttle/IHandsetInteraction.h"
#include "shuttle/IHandsetTransfer.h"

class IShuttle {
public:
    virtual bool CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder, ProgressCallback progress) = 0;
    virtual bool CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback progress) = 0;
    virtual bool CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback progress) = 0;
    virtual bool DeletePath(const wchar_t* devicePath) = 0;
    virtual bool CreateFolder(const wchar_t* devicePath) = 0;
    virtual bool RenamePath(const wchar_t* oldPath, const wchar_t* newPath) = 0;
    virtual tag_DirectoryFileTree* GetDirectoryTree(const wchar_t* folder, int depth) = 0;
    // -1 when nothing was asked.
    virtual int QueryPathList(const wchar_t* const* devicePaths) = 0;

    // Whole-job transfers, when the library offers them: null (false) when it
    // does not, and while no device is attached. The job is the caller's to Release.
    virtual ITransferJob* PlanToPC(const wchar_t* const*, const wchar_t*) { return nullptr; }
    virtual ITransferJob* PlanToDevice(const wchar_t* const*, const wchar_t*) { return nullptr; }
    virtual bool DeviceFreeBytes(std::uint64_t*) { return false; }
    // True while a device is attached and the library offers whole jobs: a
    // null plan then means the library refused the job, not that it cannot plan.
    virtual bool OffersWholeJobs() { return false; }
};
