// CMuxHandset: the contract's operations on a handset through AFC.
#include "outside/handset/device/CMuxHandset.h"

#include "outside/handset/FileCopy.h"
#include "outside/handset/TransferRunner.h"
#include "outside/handset/DevicePaths.h"
#include "outside/handset/device/CMuxTransfer.h"
#include "outside/handset/wire/Utf8.h"

namespace handset::device {

namespace {

// Counts a public call for its duration; Close waits until none is left.
class CallGuard {
public:
    explicit CallGuard(std::atomic<int>* calls) : calls_(calls) { ++*calls_; }
    ~CallGuard() { --*calls_; }
    CallGuard(const CallGuard&) = delete;
    CallGuard& operator=(const CallGuard&) = delete;

private:
    std::atomic<int>* calls_;
};

std::string Parent(const std::string& afcPath) {
    const size_t cut = afcPath.find_last_of('/');
    return cut == 0 || cut == std::string::npos ? "/" : afcPath.substr(0, cut);
}

std::string ChildPath(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The last name of a device path.
std::wstring SplitName(const std::wstring& devicePath) {
    std::vector<std::wstring> names;
    return SplitDevicePath(devicePath, &names) && !names.empty() ? names.back() : std::wstring();
}

std::wstring DevicePathOf(const std::vector<std::wstring>& names) {
    std::wstring path;
    for (const std::wstring& name : names) path += L"/" + name;
    return path.empty() ? L"/" : path;
}

bool IsAfcFolder(afc::AfcClient& afc, const std::string& path) {
    afc::FileInfo info;
    return afc.GetFileInfo(path, &info) == afc::kSuccess && info.folder;
}

// Removes a folder's contents one by one, for handsets without the one-call removal.
bool RemoveTree(afc::AfcClient& afc, const std::string& path, int depth) {
    afc::FileInfo info;
    if (afc.GetFileInfo(path, &info) != afc::kSuccess) return false;
    if (info.folder && depth < 64) {
        std::vector<std::string> names;
        if (afc.ReadDirectory(path, &names) != afc::kSuccess) return false;
        for (const std::string& name : names)
            if (!RemoveTree(afc, ChildPath(path, name), depth + 1)) return false;
    }
    return afc.Remove(path) == afc::kSuccess;
}

}  // namespace

CMuxHandset::CMuxHandset(const wire::MuxAddress& address)
    : mux_(address),
      transfer_([this] { return Link(); },
                [this](Service service, const std::string& path) { KeepOrphans(service, {path}); }),
      stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CMuxHandset::~CMuxHandset() = default;

std::shared_ptr<DeviceLink> CMuxHandset::Link() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closing_ || !link_ || link_->IsShutDown()) return nullptr;
    return link_;
}

bool CMuxHandset::IsConnected() { return Link() != nullptr; }

bool CMuxHandset::Reach(const std::shared_ptr<DeviceLink>& link, const std::wstring& path, Route* route,
                        DeviceLink::Lease* lease) {
    *route = RoutePath(path, link->HasRoot());
    if (route->kind == Route::Kind::Virtual) return true;
    if (route->kind != Route::Kind::Afc) return false;
    *lease = link->Acquire(route->service);
    return static_cast<bool>(*lease);
}

// A new entry's folder must exist on the same service; a service's own root is never a new entry.
bool CMuxHandset::ResolveNewEntry(const std::shared_ptr<DeviceLink>& link, const std::wstring& path, Route* route,
                                  std::wstring* name, DeviceLink::Lease* lease) {
    if (!Reach(link, path, route, lease) || route->kind != Route::Kind::Afc || route->afcPath == "/") return false;
    *name = route->names.back();
    if (IsPartialName(*name)) return false;
    return IsAfcFolder(**lease, Parent(route->afcPath));
}

bool CMuxHandset::ExistsOn(const std::shared_ptr<DeviceLink>& link, const std::wstring& path) {
    Route route;
    DeviceLink::Lease lease;
    if (!Reach(link, path, &route, &lease)) return false;
    if (route.kind == Route::Kind::Virtual) return true;
    afc::FileInfo info;
    return lease->GetFileInfo(route.afcPath, &info) == afc::kSuccess;
}

bool CMuxHandset::PathExists(const wchar_t* devicePath) {
    CallGuard guard(&calls_);
    std::shared_ptr<DeviceLink> link = Link();
    return devicePath && link && ExistsOn(link, devicePath);
}

int CMuxHandset::QueryPathList(const wchar_t* const* devicePaths) {
    CallGuard guard(&calls_);
    if (!devicePaths || !devicePaths[0]) return -1;
    std::shared_ptr<DeviceLink> link = Link();
    int found = 0;
    for (const wchar_t* const* p = devicePaths; *p && link; ++p)
        if (ExistsOn(link, *p)) ++found;
    return found;
}

bool CMuxHandset::ListForTree(const std::shared_ptr<DeviceLink>& link, const std::wstring& path,
                              std::vector<ListedEntry>* entries) {
    entries->clear();
    Route route;
    DeviceLink::Lease lease;
    if (!Reach(link, path, &route, &lease)) return false;
    const std::wstring base = DevicePathOf(route.names);
    const std::wstring prefix = base == L"/" ? L"/" : base + L"/";
    if (route.kind == Route::Kind::Virtual) {
        const wchar_t* child = VirtualChild(route.names.size());
        if (child) entries->push_back({child, prefix + child, true, 0, 0});
        return true;
    }
    std::vector<std::string> names;
    if (lease->ReadDirectory(route.afcPath, &names) != afc::kSuccess) return false;
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names) paths.push_back(ChildPath(route.afcPath, name));
    std::vector<std::int64_t> found;
    std::vector<afc::FileInfo> infos;
    if (lease->GetFileInfos(paths, &found, &infos) == afc::kTransportFailed) return false;
    entries->reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        ListedEntry e;
        e.name = wire::FromUtf8(names[i]);
        if (IsPartialName(e.name)) continue;
        if (found[i] == afc::kSuccess) {
            e.folder = infos[i].folder;
            e.size = infos[i].folder ? 0 : infos[i].size;
            e.modified = afc::FileTimeFromNs(infos[i].modifiedNs);
        }
        if (e.folder) e.address = prefix + e.name;
        entries->push_back(std::move(e));
    }
    return true;
}

tag_DirectoryFileTree* CMuxHandset::GetDirectoryTree(const wchar_t* folder, int depth) {
    CallGuard guard(&calls_);
    std::unique_ptr<tag_DirectoryFileTree> tree;
    std::shared_ptr<DeviceLink> link = Link();
    if (folder && link) {
        Route route;
        DeviceLink::Lease lease;
        if (Reach(link, folder, &route, &lease) &&
            (route.kind == Route::Kind::Virtual || IsAfcFolder(*lease, route.afcPath))) {
            lease = DeviceLink::Lease();  // back to the pool for the listing
            tree = std::make_unique<tag_DirectoryFileTree>(route.names.empty() ? L"/" : route.names.back(), 0, true);
            FillTree(tree.get(), DevicePathOf(route.names), depth,
                     [&](const std::wstring& path, std::vector<ListedEntry>* entries) {
                         return ListForTree(link, path, entries);
                     });
        }
    }
    tag_DirectoryFileTree* result = tree.get();
    std::lock_guard<std::mutex> lock(mutex_);
    trees_[::GetCurrentThreadId()] = std::move(tree);
    return result;
}

bool CMuxHandset::CreateFolder(const wchar_t* devicePath) {
    CallGuard guard(&calls_);
    std::shared_ptr<DeviceLink> link = Link();
    Route route;
    std::wstring name;
    DeviceLink::Lease lease;
    if (!devicePath || !link || !ResolveNewEntry(link, devicePath, &route, &name, &lease)) return false;
    afc::FileInfo info;
    // The handset makes nothing of a folder that is already there; the caller must hear of it.
    if (lease->GetFileInfo(route.afcPath, &info) != afc::kObjectNotFound) return false;
    return lease->MakeDirectory(route.afcPath) == afc::kSuccess;
}

bool CMuxHandset::DeletePath(const wchar_t* devicePath) {
    CallGuard guard(&calls_);
    std::shared_ptr<DeviceLink> link = Link();
    Route route;
    DeviceLink::Lease lease;
    if (!devicePath || !link || !Reach(link, devicePath, &route, &lease) || route.kind != Route::Kind::Afc ||
        route.afcPath == "/")
        return false;
    afc::FileInfo info;
    if (lease->GetFileInfo(route.afcPath, &info) != afc::kSuccess) return false;
    const std::int64_t status = lease->RemoveAll(route.afcPath);
    if (status == afc::kOperationNotSupported) RemoveTree(*lease, route.afcPath, 0);
    return lease->GetFileInfo(route.afcPath, &info) == afc::kObjectNotFound;
}

bool CMuxHandset::RenamePath(const wchar_t* oldPath, const wchar_t* newPath) {
    CallGuard guard(&calls_);
    std::shared_ptr<DeviceLink> link = Link();
    Route from, to;
    std::wstring name;
    DeviceLink::Lease lease, newLease;
    if (!oldPath || !newPath || !link || !Reach(link, oldPath, &from, &lease) || from.kind != Route::Kind::Afc ||
        from.afcPath == "/" || !ResolveNewEntry(link, newPath, &to, &name, &newLease) || to.service != from.service)
        return false;
    newLease = DeviceLink::Lease();
    afc::FileInfo info;
    if (lease->GetFileInfo(from.afcPath, &info) != afc::kSuccess) return false;
    if (to.afcPath == from.afcPath) return true;
    // Never onto another entry: AFC's rename would replace it.
    if (lease->GetFileInfo(to.afcPath, &info) != afc::kObjectNotFound) return false;
    return lease->Rename(from.afcPath, to.afcPath) == afc::kSuccess;
}

void CMuxHandset::KeepOrphans(Service service, const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& path : paths) orphans_.emplace_back(service, path);
}

void CMuxHandset::RemoveOrphans(const std::shared_ptr<DeviceLink>& link) {
    std::vector<std::pair<Service, std::string>> orphans;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        orphans.swap(orphans_);
    }
    for (const auto& orphan : orphans) {
        DeviceLink::Lease lease = link->Acquire(orphan.first);
        if (lease) lease->Remove(orphan.second);
    }
}

bool CMuxHandset::CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder, ProgressCallback progress) {
    CallGuard guard(&calls_);
    return RunWithPlainProgress(transfer_.PlanToPC(devicePaths, pcFolder), progress, ProgressUnit::Bytes);
}

bool CMuxHandset::CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback progress) {
    CallGuard guard(&calls_);
    std::wstring device;
    std::vector<std::wstring> names;
    if (!pcFile || !ReadPathBuffer(devicePath, &device) || !SplitDevicePath(device, &names) || names.empty() ||
        IsPartialName(names.back()))
        return false;
    const std::wstring source = ExtendedPath(pcFile);
    if (source.empty() || handset::IsFolder(source) || Attributes(source) == INVALID_FILE_ATTRIBUTES) return false;
    names.pop_back();
    return RunWithPlainProgress(transfer_.PlanNamedToDevice({{pcFile, SplitName(device)}}, DevicePathOf(names)),
                                progress, ProgressUnit::Bytes);
}

bool CMuxHandset::CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback progress) {
    CallGuard guard(&calls_);
    std::wstring device;
    if (!pcFolder || !ReadPathBuffer(devicePath, &device) || !handset::IsFolder(ExtendedPath(pcFolder))) return false;
    const wchar_t* items[] = {pcFolder, nullptr};
    return RunWithPlainProgress(transfer_.PlanToDevice(items, device.c_str()), progress, ProgressUnit::Bytes);
}

}  // namespace handset::device
