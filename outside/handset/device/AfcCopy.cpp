// Copies through AFC in 1 MiB chunks.
#include "outside/handset/device/AfcCopy.h"

#include <windows.h>

#include "outside/handset/DevicePaths.h"
#include "outside/handset/wire/Utf8.h"
#include "platform/Handles.h"

namespace handset::device {

namespace {

constexpr int kMaxDepth = 64;
constexpr std::uint64_t kEpochTicks = 116444736000000000ull;  // 1970-01-01 in FILETIME ticks

std::string Child(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool PlanNode(afc::AfcClient& afc, const std::string& afcPath, const std::wstring& targetName, int depth,
              DeviceNode* node, std::uint64_t* total) {
    node->afcPath = afcPath;
    node->targetName = targetName;
    afc::FileInfo info;
    if (afc.GetFileInfo(afcPath, &info) != afc::kSuccess) {
        node->unreadable = true;
        return false;
    }
    node->folder = info.folder;
    node->size = info.folder ? 0 : info.size;
    node->modifiedNs = info.modifiedNs;
    *total += node->size;
    if (!node->folder) return true;
    std::vector<std::string> names;
    if (depth >= kMaxDepth || afc.ReadDirectory(afcPath, &names) != afc::kSuccess) {
        node->unreadable = true;
        return !afc.Broken();
    }
    for (const std::string& name : names) {
        const std::wstring wide = wire::FromUtf8(name);
        if (IsPartialName(wide)) continue;
        DeviceNode child;
        if (!PlanNode(afc, Child(afcPath, name), PcSafeName(wide), depth + 1, &child, total)) {
            if (afc.Broken()) return false;
            child.unreadable = true;
        }
        node->children.push_back(std::move(child));
    }
    return true;
}

}  // namespace

bool PlanFromDevice(afc::AfcClient& afc, const std::string& afcPath, const std::wstring& targetName, DeviceNode* node,
                    std::uint64_t* total) {
    return PlanNode(afc, afcPath, targetName, 0, node, total);
}

std::uint64_t FileTimeFromUnixNs(std::uint64_t ns) { return ns == 0 ? 0 : ns / 100 + kEpochTicks; }

std::uint64_t UnixNsFromFileTime(std::uint64_t ticks) {
    return ticks <= kEpochTicks ? 0 : (ticks - kEpochTicks) * 100;
}

bool AfcCopier::Going() {
    if (!stopped_ && (afc_->Broken() || !going_())) stopped_ = true;
    return !stopped_;
}

bool AfcCopier::ToPc(const std::vector<DeviceNode>& nodes, const std::wstring& pcFolder) {
    bool ok = true;
    for (const DeviceNode& node : nodes)
        if (!NodeToPc(node, pcFolder)) ok = false;
    return ok && !stopped_;
}

bool AfcCopier::NodeToPc(const DeviceNode& node, const std::wstring& folder) {
    if (!Going()) return false;
    if (node.unreadable && !node.folder) {
        Skip(node.size);
        return false;
    }
    if (!node.folder) return FileToPc(node, folder);
    std::wstring made;
    if (!MakeFolderIn(folder, node.targetName, &made)) return false;
    bool ok = !node.unreadable;
    for (const DeviceNode& child : node.children)
        if (!NodeToPc(child, made)) ok = false;
    return ok;
}

bool AfcCopier::FileToPc(const DeviceNode& node, const std::wstring& folder) {
    std::uint64_t handle = 0;
    if (afc_->Open(node.afcPath, afc::kReadOnly, &handle) != afc::kSuccess) {
        Skip(node.size);
        return false;
    }
    const std::wstring partialPath = JoinPath(folder, PartialName());
    platform::UniqueFile target(::CreateFileW(partialPath.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!target) {
        afc_->Close(handle);
        Skip(node.size);
        return false;
    }
    std::uint64_t copied = 0;
    bool ok = true;
    std::string chunk;
    for (;;) {
        if (afc_->Read(handle, afc::kChunk, &chunk) != afc::kSuccess) {
            ok = false;
            break;
        }
        if (chunk.empty()) break;
        DWORD written = 0;
        if (!::WriteFile(target.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) ||
            written != chunk.size()) {
            ok = false;
            break;
        }
        copied += chunk.size();
        meter_->Advance(chunk.size());
        meter_->Poll();
        if (!Going()) {
            ok = false;
            break;
        }
        // A short read is the end: saves asking once more for every small file.
        if (chunk.size() < afc::kChunk && copied >= node.size) break;
    }
    if (!afc_->Broken()) afc_->Close(handle);
    if (ok && node.modifiedNs) {
        const std::uint64_t ticks = FileTimeFromUnixNs(node.modifiedNs);
        FILETIME written{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        ::SetFileTime(target.get(), nullptr, nullptr, &written);
    }
    if (ok && CommitPartialFile(target.get(), folder, node.targetName)) {
        if (copied < node.size) Skip(node.size - copied);  // the file shrank meanwhile
        return true;
    }
    if (copied < node.size) Skip(node.size - copied);
    DiscardOpenFile(target.get());
    target.reset();
    // Wine forgets a delete-on-close whose folder was moved away meanwhile.
    if (Attributes(partialPath) != INVALID_FILE_ATTRIBUTES) ::DeleteFileW(partialPath.c_str());
    return false;
}

bool AfcCopier::ToDevice(const std::vector<CopyNode>& nodes, const std::string& afcFolder) {
    bool ok = true;
    for (const CopyNode& node : nodes)
        if (!NodeToDevice(node, afcFolder)) ok = false;
    return ok && !stopped_;
}

bool AfcCopier::MakeDeviceFolder(const std::string& parent, const std::wstring& name, std::string* made) {
    for (int n = 1; n < 10000; ++n) {
        *made = Child(parent, wire::ToUtf8(n == 1 ? name : NumberedName(name, n, true)));
        afc::FileInfo info;
        const std::int64_t status = afc_->GetFileInfo(*made, &info);
        if (status == afc::kSuccess) {
            if (info.folder) return true;  // merge into it
            continue;
        }
        if (status != afc::kObjectNotFound) return false;
        return afc_->MakeDirectory(*made) == afc::kSuccess;
    }
    return false;
}

bool AfcCopier::NodeToDevice(const CopyNode& node, const std::string& folder) {
    if (!Going()) return false;
    if (node.unreadable && !node.folder) {
        Skip(node.size);
        return false;
    }
    if (!node.folder) return FileToDevice(node, folder);
    std::string made;
    if (!MakeDeviceFolder(folder, node.targetName, &made)) return false;
    bool ok = !node.unreadable;
    for (const CopyNode& child : node.children)
        if (!NodeToDevice(child, made)) ok = false;
    return ok;
}

bool AfcCopier::FileToDevice(const CopyNode& node, const std::string& folder) {
    platform::UniqueFile source(::CreateFileW(node.source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source) {
        Skip(node.size);
        return false;
    }
    const std::string partial = Child(folder, wire::ToUtf8(PartialName()));
    std::uint64_t handle = 0;
    if (afc_->Open(partial, afc::kWriteOnlyCreate, &handle) != afc::kSuccess) {
        Skip(node.size);
        return false;
    }
    if (buffer_.empty()) buffer_.resize(afc::kChunk);
    std::uint64_t copied = 0;
    bool ok = true;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(source.get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        if (afc_->Write(handle, buffer_.data(), got) != afc::kSuccess) {
            ok = false;
            break;
        }
        copied += got;
        meter_->Advance(got);
        meter_->Poll();
        if (!Going()) {
            ok = false;
            break;
        }
    }
    if (!afc_->Broken() && afc_->Close(handle) != afc::kSuccess) ok = false;
    FILETIME created, accessed, lastWrite;
    if (ok && ::GetFileTime(source.get(), &created, &accessed, &lastWrite)) {
        const std::uint64_t ns =
            UnixNsFromFileTime((std::uint64_t(lastWrite.dwHighDateTime) << 32) | lastWrite.dwLowDateTime);
        if (ns) afc_->SetModificationTime(partial, ns);
    }
    if (ok) {
        ok = false;
        for (int n = 1; n < 10000; ++n) {
            const std::string target =
                Child(folder, wire::ToUtf8(n == 1 ? node.targetName : NumberedName(node.targetName, n, false)));
            afc::FileInfo info;
            const std::int64_t status = afc_->GetFileInfo(target, &info);
            if (status == afc::kSuccess) continue;  // taken: never written over
            if (status == afc::kObjectNotFound) ok = afc_->Rename(partial, target) == afc::kSuccess;
            break;
        }
    }
    if (copied < node.size) Skip(node.size - copied);
    if (ok) return true;
    if (afc_->Broken() || afc_->Remove(partial) != afc::kSuccess) deviceOrphans_.push_back(partial);
    return false;
}

}  // namespace handset::device
