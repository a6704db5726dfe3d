// CFolderHandset: device operations on the backing folder, and the watcher.
#include "outside/handset/CFolderHandset.h"

#include <shlwapi.h>

#include <algorithm>
#include <cwchar>

#include "outside/handset/DevicePaths.h"
#include "outside/handset/TreeFill.h"

namespace handset {

namespace {

constexpr DWORD kPollMs = 200;  // well inside the one second a user waits for
// The folder lister of the common tree builder: addresses are backing paths.
bool ListForTree(const std::wstring& folder, std::vector<ListedEntry>* listed) {
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, &entries)) return false;
    listed->clear();
    listed->reserve(entries.size());
    for (const FolderEntry& e : entries)
        listed->push_back({e.name, e.address.empty() ? std::wstring() : JoinPath(folder, e.address), e.folder, e.size,
                           e.modified});
    return true;
}

bool IsLinkItself(const std::wstring& path) {
    const std::string link = FileIdentity(path, FILE_FLAG_OPEN_REPARSE_POINT);
    return !link.empty() && link != FileIdentity(path);
}

bool DeleteTree(const std::wstring& path, DWORD attrs) {
    if (attrs & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) return ::DeleteFileW(path.c_str()) != 0;
    // A link is removed itself; what it points at may lie outside the device.
    if (!(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
        std::vector<FolderEntry> entries;
        if (!ListFolder(path, &entries)) return false;
        // One entry that resists does not keep the others.
        bool all = true;
        for (const FolderEntry& e : entries) {
            std::wstring child = JoinPath(path, e.address);
            all = !e.address.empty() && DeleteTree(child, Attributes(child)) && all;
        }
        if (!all) return false;
        return ::RemoveDirectoryW(path.c_str()) != 0;
    }
    // Wine opens a host's link as its target even when asked for the link, and
    // its RemoveDirectory would then remove an empty target: only a link that
    // can be told from its target is removed.
    return IsLinkItself(path) && ::RemoveDirectoryW(path.c_str());
}

}  // namespace

CFolderHandset::CFolderHandset(const std::wstring& root)
    : root_(root.empty() ? std::wstring() : ExtendedPath(root)),
      stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      wake_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CFolderHandset::~CFolderHandset() = default;

bool CFolderHandset::Present() const { return !closing_ && !root_.empty() && IsFolder(root_); }

bool CFolderHandset::Resolve(const std::wstring& devicePath, std::wstring* pcPath) const {
    std::vector<std::wstring> names;
    if (root_.empty() || !SplitDevicePath(devicePath, &names)) return false;
    std::wstring path = root_;
    for (const std::wstring& name : names) {
        if (IsPlainName(name)) {
            path = JoinPath(path, name);
            continue;
        }
        // An unusual name counts only as an entry its folder really holds; so a
        // drive, a stream or a device name never reaches the file system.
        std::vector<FolderEntry> entries;
        if (!ListFolder(path, &entries)) return false;
        auto it = std::find_if(entries.begin(), entries.end(), [&](const FolderEntry& e) { return e.name == name; });
        if (it == entries.end() || it->address.empty()) return false;
        path = JoinPath(path, it->address);
    }
    *pcPath = path;
    return true;
}

bool CFolderHandset::ResolveNew(const std::wstring& devicePath, std::wstring* folder, std::wstring* name) const {
    std::vector<std::wstring> names;
    if (!SplitDevicePath(devicePath, &names) || names.empty() || !IsPlainName(names.back())) return false;
    *name = names.back();
    std::wstring parent;
    for (size_t i = 0; i + 1 < names.size(); ++i) parent += L"/" + names[i];
    return Resolve(parent, folder) && IsFolder(*folder);
}

bool CFolderHandset::SetNotificationCallback(NotificationCallback callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!stop_ || !wake_) return false;
    if (!thread_) {
        thread_.reset(::CreateThread(nullptr, 0, &CFolderHandset::WatchThread, this, 0, nullptr));
        if (!thread_) return false;
    }
    callback_ = callback;
    reported_ = 0;
    ::SetEvent(wake_.get());
    return true;
}

DWORD WINAPI CFolderHandset::WatchThread(void* self) {
    static_cast<CFolderHandset*>(self)->Watch();
    return 0;
}

void CFolderHandset::Watch() {
    const HANDLE waits[] = {stop_.get(), wake_.get()};
    for (;;) {
        if (::WaitForMultipleObjects(2, waits, FALSE, kPollMs) == WAIT_OBJECT_0) return;
        const int state = Present() ? 1 : 2;
        NotificationCallback callback = nullptr;
        int event = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (callback_ && state != reported_) {
                // A device that was never there is not reported as removed.
                if (reported_ != 0 || state == 1) event = state;
                reported_ = state;
                callback = callback_;
            }
        }
        if (event == 1) RemoveOrphans();
        // Called without the lock: the receiver may well call back into us.
        if (event) callback(event);
    }
}

void CFolderHandset::RemoveOrphans() {
    std::vector<std::wstring> orphans;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        orphans.swap(orphans_);
    }
    for (const std::wstring& path : orphans) ::DeleteFileW(path.c_str());
}

void CFolderHandset::AddOrphan(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    orphans_.push_back(path);
}

bool CFolderHandset::IsConnected() { return Present(); }

// The copy slots run whole jobs as the transfer interface does, with clashes
// keeping both names and progress in KiB.
bool CFolderHandset::CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder, ProgressCallback progress) {
    CallGuard guard(this);
    if (!Present()) return false;
    return RunWithPlainProgress(transfer_.PlanToPC(devicePaths, pcFolder), progress, ProgressUnit::KiB);
}

bool CFolderHandset::CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback progress) {
    CallGuard guard(this);
    std::wstring device, folder, name;
    if (!pcFile || !ReadPathBuffer(devicePath, &device) || !Present() || !ResolveNew(device, &folder, &name)) return false;
    const std::wstring source = ExtendedPath(pcFile);
    if (source.empty() || Attributes(source) == INVALID_FILE_ATTRIBUTES || IsFolder(source)) return false;
    return RunWithPlainProgress(transfer_.Plan(false, {{source, name}}, folder), progress, ProgressUnit::KiB);
}

bool CFolderHandset::CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback progress) {
    CallGuard guard(this);
    std::wstring device, folder;
    if (!pcFolder || !ReadPathBuffer(devicePath, &device) || !Present() || !Resolve(device, &folder) || !IsFolder(folder))
        return false;
    const std::wstring source = ExtendedPath(pcFolder);
    const std::wstring name = LastName(source);
    if (source.empty() || !IsPlainName(name) || !IsFolder(source)) return false;
    return RunWithPlainProgress(transfer_.Plan(false, {{source, name}}, folder), progress, ProgressUnit::KiB);
}

bool CFolderHandset::CreateFolder(const wchar_t* devicePath) {
    CallGuard guard(this);
    std::wstring folder, name;
    if (!devicePath || !Present() || !ResolveNew(devicePath, &folder, &name)) return false;
    return ::CreateDirectoryW(JoinPath(folder, name).c_str(), nullptr) != 0;
}

bool CFolderHandset::DeletePath(const wchar_t* devicePath) {
    CallGuard guard(this);
    std::wstring path;
    if (!devicePath || !Present() || !Resolve(devicePath, &path) || path == root_) return false;
    DWORD attrs = Attributes(path);
    if (attrs == INVALID_FILE_ATTRIBUTES) return false;
    DeleteTree(path, attrs);
    return Attributes(path) == INVALID_FILE_ATTRIBUTES;
}

bool CFolderHandset::RenamePath(const wchar_t* oldPath, const wchar_t* newPath) {
    CallGuard guard(this);
    std::wstring from, folder, name;
    if (!oldPath || !newPath || !Present() || !Resolve(oldPath, &from) || from == root_ ||
        Attributes(from) == INVALID_FILE_ATTRIBUTES || !ResolveNew(newPath, &folder, &name))
        return false;
    const std::wstring to = JoinPath(folder, name);
    if (to == from) return true;
    if (Attributes(to) == INVALID_FILE_ATTRIBUTES) return ::MoveFileExW(from.c_str(), to.c_str(), 0) != 0;
    // Never onto another entry; only a change of letter case may meet the old name itself.
    if (::CompareStringOrdinal(to.c_str(), -1, from.c_str(), -1, TRUE) != CSTR_EQUAL) return false;
    // Wine takes such a rename for a move onto itself and changes nothing, so
    // the entry goes by way of a unique name.
    const std::wstring between =
        JoinPath(folder, std::wstring(kPartialPrefix) + L"rename-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                             std::to_wstring(::GetTickCount64()));
    if (!::MoveFileExW(from.c_str(), between.c_str(), 0)) return false;
    if (::MoveFileExW(between.c_str(), to.c_str(), 0)) return true;
    ::MoveFileExW(between.c_str(), from.c_str(), 0);
    return false;
}

bool CFolderHandset::PathExists(const wchar_t* devicePath) {
    CallGuard guard(this);
    std::wstring path;
    return devicePath && Present() && Resolve(devicePath, &path) && Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

tag_DirectoryFileTree* CFolderHandset::GetDirectoryTree(const wchar_t* folder, int depth) {
    CallGuard guard(this);
    std::unique_ptr<tag_DirectoryFileTree> tree;
    std::wstring path;
    std::vector<std::wstring> names;
    if (folder && Present() && SplitDevicePath(folder, &names) && Resolve(folder, &path) && IsFolder(path)) {
        tree = std::make_unique<tag_DirectoryFileTree>(names.empty() ? L"/" : names.back(), 0, true);
        FillTree(tree.get(), path, depth, &ListForTree);
    }
    tag_DirectoryFileTree* result = tree.get();
    std::lock_guard<std::mutex> lock(mutex_);
    trees_[::GetCurrentThreadId()] = std::move(tree);
    return result;
}

int CFolderHandset::QueryPathList(const wchar_t* const* devicePaths) {
    CallGuard guard(this);
    if (!devicePaths || !devicePaths[0]) return -1;
    int found = 0;
    for (const wchar_t* const* p = devicePaths; *p; ++p)
        if (PathExists(*p)) ++found;
    return found;
}

void CFolderHandset::Close() {
    closing_ = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        callback_ = nullptr;
    }
    if (thread_) {
        ::SetEvent(stop_.get());
        WaitPumping(thread_.get());
    }
    // A copy on another thread sees the device gone, cleans up and returns.
    WaitForCalls(calls_);
    delete this;
}

}  // namespace handset
