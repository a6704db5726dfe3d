// Listing the offered device entries and describing them to the shell.
#include "shelltransfer/VirtualFiles.h"

#include <shlobj.h>

#include <cstring>

#include "fileview/DirectoryFileTree.h"
#include "shuttle/IShuttle.h"

namespace {

struct Entry {
    std::wstring name;
    bool folder;
    std::uint64_t size;
    std::uint64_t modified;
};

// The children of a device folder, copied out at once: the library keeps the
// tree only until its next call on this thread.
bool ListFolder(IShuttle& shuttle, const std::wstring& folder, std::vector<Entry>* entries) {
    const tag_DirectoryFileTree* tree = shuttle.GetDirectoryTree(folder.c_str(), 1);
    if (!tree) return false;
    entries->clear();
    for (const tag_DirectoryFileTree& child : tree->children)
        entries->push_back({child.name, child.isDirectory != 0, child.size, child.modified});
    return true;
}

class Lister {
public:
    Lister(IShuttle& shuttle, std::vector<VirtualFile>* files, std::wstring* problem)
        : shuttle_(shuttle), files_(files), problem_(problem) {}

    bool Add(const std::wstring& devicePath, const std::wstring& relative, const Entry& entry) {
        // The descriptor holds 260 characters, terminator included; a longer path is refused, never cut.
        if (relative.size() >= MAX_PATH)
            return Fail(L"The path is too long to copy (at most 259 characters):\n" + relative);
        if (files_->size() >= kMaxVirtualFiles) return Fail(L"Too many files to copy at once.");
        files_->push_back({devicePath, relative, entry.folder, entry.folder ? 0 : entry.size, entry.modified});
        if (!entry.folder) return true;
        std::vector<Entry> children;
        if (!ListFolder(shuttle_, devicePath + L"/", &children))
            return Fail(L"The handset folder could not be read:\n" + devicePath);
        for (const Entry& child : children)
            if (!Add(devicePath + L"/" + child.name, relative + L"\\" + PcName(child.name), child)) return false;
        return true;
    }
    bool Fail(const std::wstring& text) {
        *problem_ = text;
        return false;
    }

private:
    IShuttle& shuttle_;
    std::vector<VirtualFile>* files_;
    std::wstring* problem_;
};

}  // namespace

std::wstring PcName(const std::wstring& deviceName) {
    std::wstring name = deviceName;
    for (wchar_t& c : name)
        if (c < 32 || std::wcschr(L"<>:\"/\\|?*", c)) c = L'_';
    // Windows drops trailing dots and blanks, which would merge two names.
    if (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.back() = L'_';
    return name.empty() ? L"_" : name;
}

bool ListVirtualFiles(IShuttle& shuttle, const std::vector<std::wstring>& selected, std::vector<VirtualFile>* files,
                      std::wstring* problem) {
    files->clear();
    Lister lister(shuttle, files, problem);
    std::wstring listedFolder;
    std::vector<Entry> siblings;
    for (const std::wstring& path : selected) {
        const size_t slash = path.find_last_of(L'/');
        if (slash == std::wstring::npos || slash + 1 == path.size())
            return lister.Fail(L"Not a handset entry:\n" + path);
        const std::wstring folder = path.substr(0, slash + 1);
        const std::wstring name = path.substr(slash + 1);
        if (folder != listedFolder) {
            if (!ListFolder(shuttle, folder, &siblings))
                return lister.Fail(L"The handset folder could not be read:\n" + folder);
            listedFolder = folder;
        }
        const Entry* found = nullptr;
        for (const Entry& entry : siblings)
            if (entry.name == name) found = &entry;
        if (!found) return lister.Fail(L"This entry is no longer on the handset:\n" + path);
        // The folder's own path without the doubled separator the current folder may bring.
        std::wstring devicePath = folder;
        while (devicePath.size() > 1 && devicePath.back() == L'/') devicePath.pop_back();
        devicePath = (devicePath == L"/" ? L"" : devicePath) + L"/" + name;
        if (!lister.Add(devicePath, PcName(name), *found)) return false;
    }
    return true;
}

HGLOBAL MakeFileGroupDescriptor(const std::vector<VirtualFile>& files) {
    if (files.size() > kMaxVirtualFiles) return nullptr;
    const size_t bytes =
        sizeof(FILEGROUPDESCRIPTORW) + (files.empty() ? 0 : files.size() - 1) * sizeof(FILEDESCRIPTORW);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!block) return nullptr;
    auto* group = static_cast<FILEGROUPDESCRIPTORW*>(::GlobalLock(block));
    group->cItems = static_cast<UINT>(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        FILEDESCRIPTORW& d = group->fgd[i];
        const VirtualFile& file = files[i];
        d.dwFlags = FD_ATTRIBUTES | FD_PROGRESSUI | (file.folder ? 0 : FD_FILESIZE);
        d.dwFileAttributes = file.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        d.nFileSizeHigh = static_cast<DWORD>(file.size >> 32);
        d.nFileSizeLow = static_cast<DWORD>(file.size & 0xFFFFFFFFu);
        if (file.modified) {
            d.dwFlags |= FD_WRITESTIME;
            d.ftLastWriteTime.dwHighDateTime = static_cast<DWORD>(file.modified >> 32);
            d.ftLastWriteTime.dwLowDateTime = static_cast<DWORD>(file.modified & 0xFFFFFFFFu);
        }
        // Checked when listed: the path fits with its terminator.
        std::memcpy(d.cFileName, file.relativePath.c_str(), (file.relativePath.size() + 1) * sizeof(wchar_t));
    }
    ::GlobalUnlock(block);
    return block;
}
