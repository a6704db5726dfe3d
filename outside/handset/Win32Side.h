// A transfer side on a Win32 file system: the PC, and the folder-backed device.
#pragma once
#include <functional>

#include "outside/handset/NewFiles.h"
#include "outside/handset/TransferSide.h"

namespace handset {

class Win32Side final : public ITransferSide {
public:
    // The PC: entries of the other side get their PC spelling.
    static std::unique_ptr<Win32Side> Pc();
    // The folder-backed device under `root` (extended-length); paths below it
    // are shown as device paths, and the side has gone when `present` says so.
    // `orphaned` is told of unfinished files that could not be removed (the
    // device went meanwhile), to be removed once it is back.
    static std::unique_ptr<Win32Side> Device(const std::wstring& root, std::function<bool()> present,
                                             std::function<void(const std::wstring&)> orphaned);

    bool Stat(const std::wstring& path, SideEntry* entry) override;
    bool List(const std::wstring& folder, std::vector<SideEntry>* entries) override;
    std::string FolderIdentity(const std::wstring& folder) override;
    std::unique_ptr<ISideReader> OpenRead(const std::wstring& path) override;
    std::wstring Join(const std::wstring& folder, const std::wstring& name) override;
    std::wstring StoredName(const std::wstring& name) override;
    bool Lookup(const std::wstring& path, SideEntry* entry) override;
    bool MakeFolder(const std::wstring& path) override;
    std::unique_ptr<ISideWriter> CreateTemporary(const std::wstring& folder) override;
    void WriteMany(std::vector<SmallFile>* files) override;
    bool SetFolderTime(const std::wstring& path, std::uint64_t modified) override;
    std::wstring Shown(const std::wstring& path) override;
    TransferError LastError() override { return lastError_; }
    bool Present() override;
    std::unique_ptr<ITransferSide> Fork() override { return std::unique_ptr<ITransferSide>(new Win32Side(*this)); }
    void Orphaned(const std::wstring& path);
    // A new name's spelling for creating it or renaming to it (see NewFiles).
    std::wstring Direct(const std::wstring& path);

private:
    explicit Win32Side(const std::wstring& deviceRoot) : deviceRoot_(deviceRoot) {}
    bool Failed();

    std::wstring deviceRoot_;  // empty for the PC
    std::function<bool()> present_;  // null for the PC
    std::function<void(const std::wstring&)> orphaned_;
    TransferError lastError_ = TransferError::Other;
    NewFiles newFiles_;
};

}  // namespace handset
