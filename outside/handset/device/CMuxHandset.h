// The handset backend: a real handset reached through the usbmux service,
// its lockdown service and AFC.
#pragma once
#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "fileview/DirectoryFileTree.h"
#include "outside/handset/TreeFill.h"
#include "outside/handset/device/CMuxTransfer.h"
#include "outside/handset/device/DeviceLink.h"
#include "outside/handset/device/DeviceRoute.h"
#include "outside/handset/wire/Socket.h"
#include "outside/handset/wire/Usbmux.h"
#include "platform/Handles.h"
#include "shuttle/IHandsetInteraction.h"

namespace handset::device {

// Notification values beyond arrival (1) and removal (2).
constexpr int kServiceMissing = 10;  // the usbmux service cannot be reached
constexpr int kNotTrusted = 11;      // attached, but no pairing record or the session is refused

class CMuxHandset final : public IHandsetInteraction {
public:
    explicit CMuxHandset(const wire::MuxAddress& address);
    CMuxHandset(const CMuxHandset&) = delete;
    CMuxHandset& operator=(const CMuxHandset&) = delete;

    // Starts the watcher on the first call.
    bool SetNotificationCallback(NotificationCallback callback) override;
    bool IsConnected() override;
    bool CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback progress) override;
    bool CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder, ProgressCallback progress) override;
    bool CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback progress) override;
    bool CreateFolder(const wchar_t* devicePath) override;
    bool DeletePath(const wchar_t* devicePath) override;
    bool RenamePath(const wchar_t* oldPath, const wchar_t* newPath) override;
    bool PathExists(const wchar_t* devicePath) override;
    tag_DirectoryFileTree* GetDirectoryTree(const wchar_t* folder, int depth) override;
    // The number of the listed paths that exist; -1 for no list.
    int QueryPathList(const wchar_t* const* devicePaths) override;
    // Ends the watcher at once, fails running copies, and ends the object.
    void Close() override;
    // The whole-job transfers of this handset, owned by it.
    IHandsetTransfer* Transfer() { return &transfer_; }

private:
    ~CMuxHandset();

    // The connected handset for one call, or null.
    std::shared_ptr<DeviceLink> Link();
    // Resolves a path to a route with a connection; false when refused or gone.
    bool Reach(const std::shared_ptr<DeviceLink>& link, const std::wstring& path, Route* route,
               DeviceLink::Lease* lease);
    bool ResolveNewEntry(const std::shared_ptr<DeviceLink>& link, const std::wstring& path, Route* parent,
                         std::wstring* name, DeviceLink::Lease* lease);
    bool ExistsOn(const std::shared_ptr<DeviceLink>& link, const std::wstring& path);
    bool Going(const std::shared_ptr<DeviceLink>& link) const { return !closing_ && !link->IsShutDown(); }
    bool ListForTree(const std::shared_ptr<DeviceLink>& link, const std::wstring& path,
                     std::vector<ListedEntry>* entries);
    void KeepOrphans(Service service, const std::vector<std::string>& paths);
    void RemoveOrphans(const std::shared_ptr<DeviceLink>& link);

    // The watcher (MuxWatch.cpp).
    static DWORD WINAPI WatchThread(void* self);
    void Watch();
    void WatchListen(wire::Connection* listen);
    bool TryConnect(const wire::MuxDevice& device, bool* notTrusted);
    void Disconnect();
    void Notify(int event);
    bool Stopping() const;

    wire::WinsockUser winsock_;
    const wire::MuxClient mux_;
    CMuxTransfer transfer_;
    std::atomic<bool> closing_{false};
    std::atomic<int> calls_{0};
    std::mutex mutex_;  // guards everything below
    NotificationCallback callback_ = nullptr;
    std::shared_ptr<DeviceLink> link_;    // the connected handset
    wire::Connection* listen_ = nullptr;  // the watcher's, aborted by Close
    bool announce_ = false;               // a new callback hears of a handset already connected
    std::vector<std::pair<Service, std::string>> orphans_;
    std::map<DWORD, std::unique_ptr<tag_DirectoryFileTree>> trees_;  // the last tree per calling thread
    platform::UniqueHandle stop_;
    platform::UniqueHandle thread_;
};

}  // namespace handset::device
