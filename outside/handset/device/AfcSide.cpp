// AfcSide: the transfer runner's reads and writes on the handset.
#include "outside/handset/device/AfcSide.h"

#include <algorithm>
#include <cstring>

#include "outside/handset/FileCopy.h"
#include "outside/handset/DevicePaths.h"
#include "outside/handset/wire/Utf8.h"

namespace handset::device {

namespace {

std::string ChildPath(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

void FillEntry(const std::wstring& path, const std::wstring& name, const afc::FileInfo& info, SideEntry* entry) {
    entry->name = name;
    entry->path = path;
    entry->folder = info.folder;
    entry->size = info.folder ? 0 : info.size;
    entry->modified = afc::FileTimeFromNs(info.modifiedNs);
}

// Reads ahead: while one chunk is written on the PC, the handset reads the next.
class AfcReader final : public ISideReader {
public:
    AfcReader(afc::AfcClient* afc, std::uint64_t handle) : afc_(afc), handle_(handle) {}
    // One of several opened together, its first chunk already asked for. It
    // reads that chunk only: a next one would be answered after the others'.
    AfcReader(afc::AfcClient* afc, std::uint64_t handle, bool)
        : afc_(afc), handle_(handle), posted_(true), single_(true) {}
    ~AfcReader() override {
        if (posted_ && !afc_->Broken()) afc_->CollectRead(want_, &chunk_);
        // Its answer is collected with the next request: one round trip less per file.
        if (!afc_->Broken()) afc_->PostClose(handle_, false);
    }
    bool Read(void* buffer, std::size_t capacity, std::size_t* got) override {
        const char* data = nullptr;
        if (!ReadChunk(static_cast<char*>(buffer), capacity, &data, got)) return false;
        if (*got) std::memcpy(buffer, data, *got);
        return true;
    }
    bool ReadChunk(char*, std::size_t capacity, const char** data, std::size_t* got) override {
        *got = 0;
        if (ended_) return true;
        if (single_ && capacity < want_) return false;
        if (!single_) want_ = std::min(capacity, afc::kChunk);
        if (!posted_ && afc_->PostRead(handle_, want_) != afc::kSuccess) return false;
        posted_ = false;
        if (afc_->CollectRead(want_, &chunk_) != afc::kSuccess) return false;
        if (chunk_.size() < want_) {
            ended_ = true;  // a short read is the end of the file: no request for the empty rest
        } else if (single_) {
            return false;
        } else {
            posted_ = afc_->PostRead(handle_, want_) == afc::kSuccess;
        }
        *data = chunk_.data();
        *got = chunk_.size();
        return true;
    }

private:
    afc::AfcClient* afc_;
    std::uint64_t handle_;
    std::string chunk_;  // kept, so its room is reused for every chunk
    std::size_t want_ = afc::kChunk;
    bool posted_ = false;  // the next chunk is asked for
    bool single_ = false;
    bool ended_ = false;
};

// Writes behind: a chunk's answer is collected when the next one goes, so the
// PC reads the next chunk while the handset writes this one.
class AfcWriter final : public ISideWriter {
public:
    AfcWriter(afc::AfcClient* afc, std::uint64_t handle, std::string path, Service service, OrphanSink orphans)
        : afc_(afc), handle_(handle), path_(std::move(path)), service_(service), orphans_(std::move(orphans)) {}
    ~AfcWriter() override {
        if (committed_) return;
        if (pending_ && !afc_->Broken()) afc_->CollectStatus();
        if (open_ && !afc_->Broken()) afc_->Close(handle_);
        if (afc_->Broken() || afc_->Remove(path_) != afc::kSuccess) orphans_(service_, path_);
    }
    bool Write(const void* data, std::size_t size) override {
        if (!Settle()) return false;
        pending_ = afc_->PostWrite(handle_, static_cast<const char*>(data), size) == afc::kSuccess;
        return pending_;
    }
    bool Commit(const std::wstring& finalPath, std::uint64_t modified, bool replace) override {
        const Route route = RoutePath(finalPath, true);
        if (route.kind != Route::Kind::Afc || route.service != service_) return false;
        // The last chunk's answer, the close, the date and the look at the final
        // name come back together: one round trip, not four. The handset answers
        // in order, so a failed write is known before anything is put in place.
        const bool writing = pending_, closing = open_;
        pending_ = open_ = false;
        const std::uint64_t ns = afc::NsFromFileTime(modified);
        if ((closing && afc_->PostClose(handle_, true) != afc::kSuccess) ||
            (ns && afc_->PostSetModificationTime(path_, ns) != afc::kSuccess) ||
            (!replace && afc_->PostGetFileInfo(route.afcPath) != afc::kSuccess))
            return false;
        bool ok = !writing || afc_->CollectStatus() == afc::kSuccess;
        ok = (!closing || afc_->CollectStatus() == afc::kSuccess) && ok;
        if (ns) afc_->CollectStatus();  // a date the handset does not take is no reason to fail
        afc::FileInfo info;
        // AFC's rename replaces what it meets, in one step: asked for only with `replace`.
        if (!replace && afc_->CollectFileInfo(&info) != afc::kObjectNotFound) ok = false;
        if (!ok) return false;
        committed_ = afc_->Rename(path_, route.afcPath) == afc::kSuccess;
        return committed_;
    }

private:
    // The answer to the last chunk sent.
    bool Settle() {
        if (!pending_) return true;
        pending_ = false;
        return afc_->CollectStatus() == afc::kSuccess;
    }

    afc::AfcClient* afc_;
    std::uint64_t handle_;
    std::string path_;
    Service service_;
    OrphanSink orphans_;
    bool open_ = true;
    bool pending_ = false;
    bool committed_ = false;
};

}  // namespace

std::wstring AfcSide::Normalized(const std::wstring& devicePath) {
    std::vector<std::wstring> names;
    if (!SplitDevicePath(devicePath, &names)) return {};
    std::wstring path;
    for (const std::wstring& name : names) path += L"/" + name;
    return path.empty() ? L"/" : path;
}

bool AfcSide::Present() { return !link_->IsShutDown(); }

afc::AfcClient* AfcSide::Client(const Route& route) {
    DeviceLink::Lease& lease = leases_[route.service == Service::Root ? 1 : 0];
    if (lease && lease->Broken()) lease = DeviceLink::Lease();
    if (!lease) lease = link_->Acquire(route.service);
    return lease ? &*lease : nullptr;
}

bool AfcSide::Failed(std::int64_t status) {
    switch (status) {
        case afc::kTransportFailed:
            lastError_ = TransferError::DeviceRemoved;
            break;
        case afc::kObjectNotFound:
            lastError_ = TransferError::Unreadable;
            break;
        case afc::kNoSpaceLeft:
            lastError_ = TransferError::NoSpace;
            break;
        case 7:
            lastError_ = TransferError::NameNotAllowed;
            break;  // invalid argument
        default:
            lastError_ = TransferError::Other;
    }
    if (status == afc::kTransportFailed && !Present()) lastError_ = TransferError::DeviceRemoved;
    return false;
}

bool AfcSide::StatRoute(const Route& route, const std::wstring& path, SideEntry* entry) {
    const std::wstring name = route.names.empty() ? L"/" : route.names.back();
    if (route.kind == Route::Kind::Virtual) {
        afc::FileInfo folder;
        folder.folder = true;
        FillEntry(path, name, folder, entry);
        return true;
    }
    afc::AfcClient* afc = route.kind == Route::Kind::Afc ? Client(route) : nullptr;
    if (!afc) return Failed(route.kind == Route::Kind::Afc ? afc::kTransportFailed : afc::kObjectNotFound);
    afc::FileInfo info;
    const std::int64_t status = afc->GetFileInfo(route.afcPath, &info);
    if (status != afc::kSuccess) return Failed(status);
    FillEntry(path, name, info, entry);
    return true;
}

bool AfcSide::Stat(const std::wstring& path, SideEntry* entry) {
    if (path.empty()) return Failed(afc::kObjectNotFound);
    return StatRoute(RoutePath(path, link_->HasRoot()), path, entry);
}

bool AfcSide::Lookup(const std::wstring& path, SideEntry* entry) {
    SideEntry found;
    if (!Stat(path, &found)) return false;
    *entry = found;
    return true;
}

bool AfcSide::List(const std::wstring& folder, std::vector<SideEntry>* entries) {
    entries->clear();
    const Route route = RoutePath(folder, link_->HasRoot());
    if (route.kind == Route::Kind::Virtual) {
        if (const wchar_t* child = VirtualChild(route.names.size())) {
            SideEntry entry;
            entry.name = child;
            entry.path = Join(folder, child);
            entry.folder = true;
            entries->push_back(entry);
        }
        return true;
    }
    afc::AfcClient* afc = route.kind == Route::Kind::Afc ? Client(route) : nullptr;
    if (!afc) return Failed(afc::kObjectNotFound);
    std::vector<std::string> names;
    const std::int64_t status = afc->ReadDirectory(route.afcPath, &names);
    if (status != afc::kSuccess) return Failed(status);
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names) paths.push_back(ChildPath(route.afcPath, name));
    std::vector<std::int64_t> found;
    std::vector<afc::FileInfo> infos;
    if (afc->GetFileInfos(paths, &found, &infos) == afc::kTransportFailed) return Failed(afc::kTransportFailed);
    entries->reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        SideEntry entry;
        entry.name = wire::FromUtf8(names[i]);
        if (IsPartialName(entry.name)) continue;
        // One that cannot be asked about is listed without a path: it cannot be read.
        if (found[i] == afc::kSuccess) FillEntry(Join(folder, entry.name), entry.name, infos[i], &entry);
        entries->push_back(std::move(entry));
    }
    return true;
}

std::string AfcSide::FolderIdentity(const std::wstring& folder) {
    // AFC shows no links as folders, so a folder's path is its identity.
    return wire::ToUtf8(Normalized(folder));
}

std::unique_ptr<ISideReader> AfcSide::OpenRead(const std::wstring& path) {
    const Route route = RoutePath(path, link_->HasRoot());
    afc::AfcClient* afc = route.kind == Route::Kind::Afc ? Client(route) : nullptr;
    if (!afc) {
        Failed(afc::kObjectNotFound);
        return nullptr;
    }
    std::uint64_t handle = 0;
    const std::int64_t status = afc->Open(route.afcPath, afc::kReadOnly, &handle);
    if (status != afc::kSuccess) {
        Failed(status);
        return nullptr;
    }
    return std::make_unique<AfcReader>(afc, handle);
}

std::vector<std::unique_ptr<ISideReader>> AfcSide::OpenReadMany(const std::vector<std::wstring>& paths) {
    std::vector<Route> routes;
    for (const std::wstring& path : paths) {
        routes.push_back(RoutePath(path, link_->HasRoot()));
        if (routes.back().kind != Route::Kind::Afc || routes.back().service != routes.front().service)
            return ITransferSide::OpenReadMany(paths);
    }
    std::vector<std::unique_ptr<ISideReader>> readers(paths.size());
    afc::AfcClient* afc = routes.empty() ? nullptr : Client(routes.front());
    if (!afc) return readers;
    for (const Route& route : routes)
        if (afc->PostOpen(route.afcPath, afc::kReadOnly) != afc::kSuccess) return readers;
    std::vector<std::uint64_t> handles(paths.size());
    std::vector<bool> opened(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::int64_t status = afc->CollectOpen(&handles[i]);
        if (status == afc::kTransportFailed) return readers;
        opened[i] = status == afc::kSuccess;
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!opened[i]) continue;
        if (afc->PostRead(handles[i], afc::kChunk, false) != afc::kSuccess) break;
        readers[i] = std::make_unique<AfcReader>(afc, handles[i], true);
    }
    return readers;
}

std::wstring AfcSide::Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'/' ? folder + name : folder + L"/" + name;
}

bool AfcSide::MakeFolder(const std::wstring& path) {
    const Route route = RoutePath(path, link_->HasRoot());
    afc::AfcClient* afc = route.kind == Route::Kind::Afc && route.afcPath != "/" ? Client(route) : nullptr;
    if (!afc) return Failed(7);
    const std::int64_t status = afc->MakeDirectory(route.afcPath);
    return status == afc::kSuccess || Failed(status);
}

std::unique_ptr<ISideWriter> AfcSide::CreateTemporary(const std::wstring& folder) {
    const Route route = RoutePath(Join(folder, PartialName()), link_->HasRoot());
    afc::AfcClient* afc = route.kind == Route::Kind::Afc ? Client(route) : nullptr;
    if (!afc) {
        Failed(7);
        return nullptr;
    }
    std::uint64_t handle = 0;
    const std::int64_t status = afc->Open(route.afcPath, afc::kWriteOnlyCreate, &handle);
    if (status != afc::kSuccess) {
        Failed(status);
        return nullptr;
    }
    return std::make_unique<AfcWriter>(afc, handle, route.afcPath, route.service, orphans_);
}

void AfcSide::WriteMany(std::vector<SmallFile>* files) {
    struct Entry {
        SmallFile* file;
        std::string temporary;
        std::string final;
        std::uint64_t handle = 0;
        bool open = false;
    };
    std::vector<Entry> entries;
    Service service = Service::Media;
    for (SmallFile& file : *files) {
        const Route temporary = RoutePath(Join(file.folder, PartialName()), link_->HasRoot());
        const Route final = RoutePath(file.finalPath, link_->HasRoot());
        if (temporary.kind != Route::Kind::Afc || final.kind != Route::Kind::Afc || final.service != temporary.service ||
            (!entries.empty() && temporary.service != service))
            return ITransferSide::WriteMany(files);
        service = temporary.service;
        entries.push_back({&file, temporary.afcPath, final.afcPath});
        file.placed = false;
    }
    Route route;
    route.kind = Route::Kind::Afc;
    route.service = service;
    afc::AfcClient* afc = entries.empty() ? nullptr : Client(route);
    auto finish = [&] {
        // What was opened and not put in place goes; after a broken connection (when any
        // open may have reached the handset unanswered), at the next arrival.
        for (Entry& entry : entries) {
            if (entry.file->placed) continue;
            if (afc->Broken())
                orphans_(service, entry.temporary);
            else if (entry.open && afc->Remove(entry.temporary) != afc::kSuccess)
                orphans_(service, entry.temporary);
        }
    };
    // Whatever fails here is left Failed, and the caller copies it again on its own, finding out why.
    if (!afc) return;
    for (Entry& entry : entries)
        if (afc->PostOpen(entry.temporary, afc::kWriteOnlyCreate) != afc::kSuccess) return finish();
    for (Entry& entry : entries) {
        const std::int64_t status = afc->CollectOpen(&entry.handle);
        if (status == afc::kTransportFailed) return finish();
        entry.open = status == afc::kSuccess;
    }
    for (Entry& entry : entries) {
        if (!entry.open) continue;
        const SmallFile& file = *entry.file;
        const std::uint64_t ns = afc::NsFromFileTime(file.modified);
        if ((!file.bytes.empty() && afc->PostWrite(entry.handle, file.bytes.data(), file.bytes.size()) != afc::kSuccess) ||
            afc->PostClose(entry.handle, true) != afc::kSuccess ||
            (ns && afc->PostSetModificationTime(entry.temporary, ns) != afc::kSuccess) ||
            (!file.fresh && afc->PostGetFileInfo(entry.final) != afc::kSuccess))
            return finish();
    }
    std::vector<Entry*> ready;
    for (Entry& entry : entries) {
        if (!entry.open) continue;
        std::int64_t status = entry.file->bytes.empty() ? afc::kSuccess : afc->CollectStatus();
        const std::int64_t closed = afc->CollectStatus();
        if (status == afc::kSuccess) status = closed;
        if (afc::NsFromFileTime(entry.file->modified)) afc->CollectStatus();  // a date not taken is no failure
        afc::FileInfo info;
        const std::int64_t there = entry.file->fresh ? afc::kObjectNotFound : afc->CollectFileInfo(&info);
        if (afc->Broken()) return finish();
        if (status == afc::kSuccess && there == afc::kObjectNotFound) ready.push_back(&entry);
    }
    for (Entry* entry : ready)
        if (afc->PostRename(entry->temporary, entry->final) != afc::kSuccess) return finish();
    for (Entry* entry : ready) {
        const std::int64_t status = afc->CollectStatus();
        if (status == afc::kTransportFailed) return finish();
        entry->file->placed = status == afc::kSuccess;
    }
    finish();
}

bool AfcSide::SetFolderTime(const std::wstring& path, std::uint64_t modified) {
    const Route route = RoutePath(path, link_->HasRoot());
    afc::AfcClient* afc = route.kind == Route::Kind::Afc ? Client(route) : nullptr;
    const std::uint64_t ns = afc::NsFromFileTime(modified);
    if (!afc || !ns) return false;
    const std::int64_t status = afc->SetModificationTime(route.afcPath, ns);
    return status == afc::kSuccess || Failed(status);
}

}  // namespace handset::device
