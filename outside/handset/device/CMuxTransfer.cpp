// CMuxTransfer: jobs between the PC and the handset, run by TransferRunner.
#include "outside/handset/device/CMuxTransfer.h"

#include <new>

#include "outside/handset/DevicePaths.h"
#include "outside/handset/TransferRunner.h"
#include "outside/handset/Win32Side.h"

namespace handset::device {

ITransferJob* CMuxTransfer::PlanToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder) {
    std::shared_ptr<DeviceLink> link = link_();
    if (!devicePaths || !devicePaths[0] || !pcFolder || !link) return nullptr;
    const std::wstring target = ExtendedPath(pcFolder);
    if (target.empty() || !IsFolder(target)) return nullptr;
    std::vector<TransferItem> items;
    for (const wchar_t* const* p = devicePaths; *p; ++p) {
        TransferItem item;
        // One that cannot be reached is named in the job's report, the others are copied.
        item.source = AfcSide::Normalized(*p);
        const Route route = RoutePath(item.source, link->HasRoot());
        if (route.kind != Route::Kind::Afc || route.names.empty()) item.source.clear();
        item.name = route.names.empty() ? std::wstring(*p) : route.names.back();
        items.push_back(std::move(item));
    }
    return new (std::nothrow) TransferRunner(std::make_unique<AfcSide>(link, orphans_), Win32Side::Pc(), items, target);
}

ITransferJob* CMuxTransfer::PlanNamedToDevice(const std::vector<std::pair<std::wstring, std::wstring>>& pcItems,
                                              const std::wstring& deviceFolder) {
    std::shared_ptr<DeviceLink> link = link_();
    const std::wstring folder = AfcSide::Normalized(deviceFolder);
    if (!link || folder.empty() || pcItems.empty()) return nullptr;
    auto side = std::make_unique<AfcSide>(link, orphans_);
    SideEntry entry;
    if (RoutePath(folder, link->HasRoot()).kind != Route::Kind::Afc || !side->Stat(folder, &entry) || !entry.folder)
        return nullptr;
    std::vector<TransferItem> items;
    for (const auto& pcItem : pcItems) items.push_back({ExtendedPath(pcItem.first), pcItem.second});
    return new (std::nothrow) TransferRunner(Win32Side::Pc(), std::move(side), items, folder);
}

ITransferJob* CMuxTransfer::PlanToDevice(const wchar_t* const* pcPaths, const wchar_t* deviceFolder) {
    if (!pcPaths || !pcPaths[0] || !deviceFolder) return nullptr;
    std::vector<std::pair<std::wstring, std::wstring>> items;
    for (const wchar_t* const* p = pcPaths; *p; ++p) items.emplace_back(*p, LastName(*p));
    return PlanNamedToDevice(items, deviceFolder);
}

bool CMuxTransfer::DeviceFreeBytes(std::uint64_t* bytes) {
    std::shared_ptr<DeviceLink> link = link_();
    if (!bytes || !link) return false;
    DeviceLink::Lease lease = link->Acquire(Service::Media);
    return lease && lease->FreeBytes(bytes) == afc::kSuccess;
}

}  // namespace handset::device
