// CFolderTransfer: jobs between the PC and the backing folder, run by TransferRunner.
#include "outside/handset/CFolderTransfer.h"

#include <new>
#include <string>
#include <vector>

#include "outside/handset/CFolderHandset.h"
#include "outside/handset/DevicePaths.h"
#include "outside/handset/TransferRunner.h"
#include "outside/handset/Win32Side.h"

namespace handset {

ITransferJob* CFolderTransfer::PlanToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder) {
    if (!devicePaths || !devicePaths[0] || !pcFolder || !device_->IsConnected()) return nullptr;
    const std::wstring target = ExtendedPath(pcFolder);
    if (target.empty() || !IsFolder(target)) return nullptr;
    std::vector<TransferItem> items;
    for (const wchar_t* const* p = devicePaths; *p; ++p) {
        std::vector<std::wstring> names;
        TransferItem item;
        // One that cannot be found is named in the job's report, the others are copied.
        if (!SplitDevicePath(*p, &names) || names.empty() || !device_->Resolve(*p, &item.source)) item.source.clear();
        item.name = names.empty() ? std::wstring(*p) : names.back();
        items.push_back(std::move(item));
    }
    return Plan(true, items, target);
}

ITransferJob* CFolderTransfer::PlanToDevice(const wchar_t* const* pcPaths, const wchar_t* deviceFolder) {
    std::wstring target;
    if (!pcPaths || !pcPaths[0] || !deviceFolder || !device_->IsConnected() ||
        !device_->Resolve(deviceFolder, &target) || !IsFolder(target))
        return nullptr;
    std::vector<TransferItem> items;
    for (const wchar_t* const* p = pcPaths; *p; ++p) {
        TransferItem item;
        item.source = ExtendedPath(*p);
        item.name = LastName(*p);
        items.push_back(std::move(item));
    }
    return Plan(false, items, target);
}

ITransferJob* CFolderTransfer::Plan(bool toPc, const std::vector<TransferItem>& items, const std::wstring& targetFolder) {
    CFolderHandset* device = device_;
    std::unique_ptr<ITransferSide> pc = Win32Side::Pc();
    std::unique_ptr<ITransferSide> folder =
        Win32Side::Device(device->Root(), [device] { return device->IsConnected(); },
                          [device](const std::wstring& path) { device->AddOrphan(path); });
    return toPc ? new (std::nothrow) TransferRunner(std::move(folder), std::move(pc), items, targetFolder)
                : new (std::nothrow) TransferRunner(std::move(pc), std::move(folder), items, targetFolder);
}

bool CFolderTransfer::DeviceFreeBytes(std::uint64_t* bytes) {
    ULARGE_INTEGER free{};
    if (!bytes || !device_->IsConnected() ||
        !::GetDiskFreeSpaceExW(device_->Root().c_str(), &free, nullptr, nullptr))
        return false;
    *bytes = free.QuadPart;
    return true;
}

}  // namespace handset
