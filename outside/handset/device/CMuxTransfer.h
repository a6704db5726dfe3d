// The handset backend's whole-job transfers (Handset.dll's "HandsetTransfer").
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "outside/handset/device/AfcSide.h"
#include "shuttle/IHandsetTransfer.h"

namespace handset::device {

class CMuxTransfer final : public IHandsetTransfer {
public:
    // `link` gives the connected handset (null when none); `orphans` hears of
    // unfinished copies left on a handset that went away.
    CMuxTransfer(std::function<std::shared_ptr<DeviceLink>()> link, OrphanSink orphans)
        : link_(std::move(link)), orphans_(std::move(orphans)) {}
    CMuxTransfer(const CMuxTransfer&) = delete;
    CMuxTransfer& operator=(const CMuxTransfer&) = delete;

    ITransferJob* PlanToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder) override;
    ITransferJob* PlanToDevice(const wchar_t* const* pcPaths, const wchar_t* deviceFolder) override;
    bool DeviceFreeBytes(std::uint64_t* bytes) override;

    // A job of PC items into a device folder, each under the name given.
    ITransferJob* PlanNamedToDevice(const std::vector<std::pair<std::wstring, std::wstring>>& pcItems,
                                    const std::wstring& deviceFolder);

private:
    std::function<std::shared_ptr<DeviceLink>()> link_;
    OrphanSink orphans_;
};

}  // namespace handset::device
