// The handset as a transfer side: device paths, reached through AFC.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "outside/handset/TransferSide.h"
#include "outside/handset/device/DeviceLink.h"
#include "outside/handset/device/DeviceRoute.h"

namespace handset::device {

// Told of an unfinished copy that could not be removed because the connection broke.
using OrphanSink = std::function<void(Service service, const std::string& afcPath)>;

class AfcSide final : public ITransferSide {
public:
    AfcSide(std::shared_ptr<DeviceLink> link, OrphanSink orphans)
        : link_(std::move(link)), orphans_(std::move(orphans)) {}

    // A device path in the form this side uses ("/var/mobile/Media/DCIM"); empty when malformed.
    static std::wstring Normalized(const std::wstring& devicePath);

    bool Stat(const std::wstring& path, SideEntry* entry) override;
    bool List(const std::wstring& folder, std::vector<SideEntry>* entries) override;
    std::string FolderIdentity(const std::wstring& folder) override;
    std::unique_ptr<ISideReader> OpenRead(const std::wstring& path) override;
    // The opens go out together, then the reads: two round trips for all.
    std::vector<std::unique_ptr<ISideReader>> OpenReadMany(const std::vector<std::wstring>& paths) override;
    std::wstring Join(const std::wstring& folder, const std::wstring& name) override;
    std::wstring StoredName(const std::wstring& name) override { return name; }
    bool Lookup(const std::wstring& path, SideEntry* entry) override;
    bool MakeFolder(const std::wstring& path) override;
    std::unique_ptr<ISideWriter> CreateTemporary(const std::wstring& folder) override;
    // Opens, then writes with closes, dates and looks at the final names, then
    // renames, each step for all files together: three round trips for all.
    void WriteMany(std::vector<SmallFile>* files) override;
    bool SetFolderTime(const std::wstring& path, std::uint64_t modified) override;
    std::wstring Shown(const std::wstring& path) override { return path; }
    TransferError LastError() override { return lastError_; }
    bool Present() override;
    std::unique_ptr<ITransferSide> Fork() override { return std::make_unique<AfcSide>(link_, orphans_); }

private:
    // The connection for a path's service (one per service, kept for the job).
    afc::AfcClient* Client(const Route& route);
    bool Failed(std::int64_t status);
    bool StatRoute(const Route& route, const std::wstring& path, SideEntry* entry);

    std::shared_ptr<DeviceLink> link_;
    OrphanSink orphans_;
    DeviceLink::Lease leases_[2];
    TransferError lastError_ = TransferError::Other;
};

}  // namespace handset::device
