// Win32Side: reading and writing through the Win32 file functions.
#include "outside/handset/Win32Side.h"

#include <windows.h>

#include "outside/handset/FileCopy.h"
#include "outside/handset/DevicePaths.h"
#include "platform/Handles.h"

namespace handset {

namespace {

// Another program may hold a source open for writing: it is read as CopyFileW reads it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::uint64_t Ticks(const FILETIME& t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

bool SetModified(HANDLE file, std::uint64_t ticks) {
    const FILETIME t{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return ::SetFileTime(file, nullptr, nullptr, &t) != 0;
}

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    DWORD written = 0;
    return ::WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// Opens what a path names, following links, to ask about it.
platform::UniqueFile OpenForInfo(const std::wstring& path, DWORD access) {
    return platform::UniqueFile(
        ::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

TransferError ErrorOf(DWORD code) {
    switch (code) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return TransferError::NoSpace;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
            return TransferError::NameNotAllowed;
        case ERROR_FILENAME_EXCED_RANGE:
            return TransferError::TooLong;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_SHARING_VIOLATION:
            return TransferError::Unreadable;
        default:
            return TransferError::Other;
    }
}

class FileReader final : public ISideReader {
public:
    explicit FileReader(platform::UniqueFile file) : file_(std::move(file)) {}
    bool Read(void* buffer, std::size_t capacity, std::size_t* got) override {
        DWORD n = 0;
        const DWORD want = capacity > 0x40000000 ? 0x40000000 : static_cast<DWORD>(capacity);
        if (!::ReadFile(file_.get(), buffer, want, &n, nullptr)) return false;
        *got = n;
        return true;
    }

private:
    platform::UniqueFile file_;
};

class FileWriter final : public ISideWriter {
public:
    FileWriter(platform::UniqueFile file, std::wstring path, Win32Side* side)
        : file_(std::move(file)), path_(std::move(path)), side_(side) {}
    ~FileWriter() override {
        if (committed_ || !file_) return;
        DiscardOpenFile(file_.get());
        file_.reset();
        // Wine forgets a delete-on-close whose folder was moved away meanwhile.
        ::DeleteFileW(path_.c_str());
        if (!side_->Present() || Attributes(path_) != INVALID_FILE_ATTRIBUTES) side_->Orphaned(path_);
    }
    bool Write(const void* data, std::size_t size) override { return WriteAll(file_.get(), data, size); }
    bool Commit(const std::wstring& finalPath, std::uint64_t modified, bool replace) override {
        if (modified) SetModified(file_.get(), modified);
        // A Replace must meet the name there whatever its case: Windows' own spelling.
        committed_ = RenameOpenFile(file_.get(), replace ? finalPath : side_->Direct(finalPath), replace);
        if (committed_) file_.reset();
        return committed_;
    }

private:
    platform::UniqueFile file_;
    std::wstring path_;
    Win32Side* side_;
    bool committed_ = false;
};

}  // namespace

std::unique_ptr<Win32Side> Win32Side::Pc() { return std::unique_ptr<Win32Side>(new Win32Side(L"")); }

std::unique_ptr<Win32Side> Win32Side::Device(const std::wstring& root, std::function<bool()> present,
                                             std::function<void(const std::wstring&)> orphaned) {
    auto side = std::unique_ptr<Win32Side>(new Win32Side(root));
    side->present_ = std::move(present);
    side->orphaned_ = std::move(orphaned);
    return side;
}

void Win32Side::Orphaned(const std::wstring& path) {
    if (orphaned_) orphaned_(path);
}

bool Win32Side::Present() { return !present_ || present_(); }

std::wstring Win32Side::Shown(const std::wstring& path) {
    if (deviceRoot_.empty()) {
        if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
        return path.compare(0, 4, L"\\\\?\\") == 0 ? path.substr(4) : path;
    }
    if (path.compare(0, deviceRoot_.size(), deviceRoot_) != 0) return path;
    std::wstring shown = path.substr(deviceRoot_.size());
    for (wchar_t& c : shown)
        if (c == L'\\') c = L'/';
    return shown.empty() ? L"/" : shown;
}

bool Win32Side::Failed() {
    lastError_ = ErrorOf(::GetLastError());
    return false;
}

bool Win32Side::Stat(const std::wstring& path, SideEntry* entry) {
    platform::UniqueFile file = OpenForInfo(path, FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !::GetFileInformationByHandle(file.get(), &info)) return Failed();
    entry->name = LastName(path);
    entry->path = path;
    entry->folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->size = entry->folder ? 0 : (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    entry->modified = Ticks(info.ftLastWriteTime);
    return true;
}

bool Win32Side::List(const std::wstring& folder, std::vector<SideEntry>* entries) {
    std::vector<FolderEntry> listed;
    if (!ListFolder(folder, &listed)) return Failed();
    entries->clear();
    entries->reserve(listed.size());
    for (FolderEntry& e : listed) {
        if (IsPartialName(e.name)) continue;
        SideEntry entry;
        entry.name = std::move(e.name);
        entry.folder = e.folder;
        entry.size = e.size;
        entry.modified = e.modified;
        if (!e.address.empty()) entry.path = JoinPath(folder, e.address);
        // A link is taken for what it points at; one that points nowhere cannot be read.
        if (e.link && !entry.path.empty()) {
            SideEntry target;
            if (Stat(entry.path, &target)) {
                entry.folder = target.folder;
                entry.size = target.size;
                entry.modified = target.modified;
            } else {
                entry.path.clear();
            }
        }
        entries->push_back(std::move(entry));
    }
    return true;
}

std::string Win32Side::FolderIdentity(const std::wstring& folder) { return FileIdentity(folder); }

std::unique_ptr<ISideReader> Win32Side::OpenRead(const std::wstring& path) {
    platform::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        Failed();
        return nullptr;
    }
    return std::make_unique<FileReader>(std::move(file));
}

std::wstring Win32Side::Join(const std::wstring& folder, const std::wstring& name) { return JoinPath(folder, name); }

std::wstring Win32Side::StoredName(const std::wstring& name) { return deviceRoot_.empty() ? PcSafeName(name) : name; }

bool Win32Side::Lookup(const std::wstring& path, SideEntry* entry) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    entry->name = LastName(path);
    entry->path = path;
    entry->folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->size = entry->folder ? 0 : (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry->modified = Ticks(data.ftLastWriteTime);
    return true;
}

bool Win32Side::MakeFolder(const std::wstring& path) { return ::CreateDirectoryW(path.c_str(), nullptr) || Failed(); }

std::unique_ptr<ISideWriter> Win32Side::CreateTemporary(const std::wstring& folder) {
    std::wstring path = JoinPath(folder, PartialName());
    platform::UniqueFile file(::CreateFileW(newFiles_.Direct(folder, path).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        Failed();
        return nullptr;
    }
    return std::make_unique<FileWriter>(std::move(file), std::move(path), this);
}

void Win32Side::WriteMany(std::vector<SmallFile>* files) {
    // The device's folder may go away while a file is written, and a file left
    // under its final name would pass for whole: it keeps its temporary names.
    if (!deviceRoot_.empty()) return ITransferSide::WriteMany(files);
    for (SmallFile& file : *files) {
        file.placed = false;
        platform::UniqueFile out = newFiles_.Create(file.folder, file.finalPath);
        if (!out) continue;  // copied again by the job's thread, which finds out why
        if (!file.bytes.empty() && !WriteAll(out.get(), file.bytes.data(), file.bytes.size())) continue;
        if (file.modified) SetModified(out.get(), file.modified);
        file.placed = NewFiles::Keep(out.get());
    }
}

std::wstring Win32Side::Direct(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? path : newFiles_.Direct(path.substr(0, cut), path);
}

bool Win32Side::SetFolderTime(const std::wstring& path, std::uint64_t modified) {
    platform::UniqueFile folder = OpenForInfo(path, FILE_WRITE_ATTRIBUTES);
    return (folder && SetModified(folder.get(), modified)) || Failed();
}

}  // namespace handset
