// The folder-backed device's whole-job transfers (Handset.dll's "HandsetTransfer").
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "outside/handset/TransferRunner.h"
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

    // A job of items already found, into a folder already found (extended-length paths).
    ITransferJob* Plan(bool toPc, const std::vector<TransferItem>& items, const std::wstring& targetFolder);

private:

    CFolderHandset* device_;
};

}  // namespace handset
