// The folder-backed device's whole-job transfers (Handset.dll's "HandsetTransfer").
#pragma once
#include <functional>
#include <string>

#include "shuttle/IHandsetTransfer.h"

namespace handset {

class CFolderHandset;

class CFolderTransfer final : public IHandsetTransfer {
public:
    explicit CFolderTransfer(CFolderHandset* device) : device_(device) {}
    CFolderTransfer(const CFolderTransfer&) = delete;
    CFolderTransfer& operator=(const CFolderTransfer&) = delete;

    ITransferJob* PlanToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder) override;
    ITransferJob* PlanToDevice(const wchar_t* const* pcPaths, const wchar_t* deviceFolder) override;
    bool DeviceFreeBytes(std::uint64_t* bytes) override;

private:
    std::function<void(const std::wstring&)> Orphans();

    CFolderHandset* device_;
};

}  // namespace handset
