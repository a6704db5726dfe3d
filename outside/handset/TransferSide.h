// One side of a whole-job transfer: the PC, or the device as a backend stores
// it. The job runner (TransferRunner.h) plans, asks about clashes, writes under
// temporary names and counts progress; a side only reads and writes. Paths are
// the side's own spelling; the runner only joins them through the side.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shuttle/IHandsetTransfer.h"

namespace handset {

struct SideEntry {
    std::wstring name;  // as the user sees it
    std::wstring path;  // the side's path of the entry
    bool folder = false;
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // FILETIME ticks, UTC; 0 when unknown
};

// A small file for WriteMany: its bytes, where it goes, and whether it got there.
struct SmallFile {
    std::string bytes;
    std::wstring folder;  // where its temporary name is made
    std::wstring finalPath;
    std::uint64_t modified = 0;
    // The job made the folder and gave out every name in it: nothing else can
    // stand at the final name, so it need not be looked for first.
    bool fresh = false;
    bool placed = false;
};

class ISideReader {
public:
    virtual ~ISideReader() = default;
    // False on a read error; *got 0 at the end.
    virtual bool Read(void* buffer, std::size_t capacity, std::size_t* got) = 0;
    // The same, but a reader that holds the bytes already may point *data at
    // them (valid until its next call) instead of copying them into `buffer`.
    virtual bool ReadChunk(char* buffer, std::size_t capacity, const char** data, std::size_t* got) {
        *data = buffer;
        return Read(buffer, capacity, got);
    }
};

// A file being written under a temporary name. Destroyed without a successful
// Commit, it removes what it wrote.
class ISideWriter {
public:
    virtual ~ISideWriter() = default;
    virtual bool Write(const void* data, std::size_t size) = 0;
    // Gives the file its modification time and its final path. Without
    // `replace` an existing entry there makes it fail; with it, an existing
    // file is replaced in one step, so it is never lost before the new one is whole.
    virtual bool Commit(const std::wstring& finalPath, std::uint64_t modified, bool replace) = 0;
};

class ITransferSide {
public:
    virtual ~ITransferSide() = default;

    // Reading. Both follow links: an entry is what it points at.
    virtual bool Stat(const std::wstring& path, SideEntry* entry) = 0;
    virtual bool List(const std::wstring& folder, std::vector<SideEntry>* entries) = 0;
    // Something equal for two paths of the same folder and different otherwise
    // (a volume and file number); empty when the side cannot tell.
    virtual std::string FolderIdentity(const std::wstring& folder) = 0;
    virtual std::unique_ptr<ISideReader> OpenRead(const std::wstring& path) = 0;
    // Several small files at once (null for one that cannot be opened). They
    // must be read in order, each to its end or dropped, before the next; a
    // reader that meets more than one chunk fails its read.
    virtual std::vector<std::unique_ptr<ISideReader>> OpenReadMany(const std::vector<std::wstring>& paths) {
        std::vector<std::unique_ptr<ISideReader>> readers;
        for (const std::wstring& path : paths) readers.push_back(OpenRead(path));
        return readers;
    }

    // Writing.
    virtual std::wstring Join(const std::wstring& folder, const std::wstring& name) = 0;
    // The name under which an entry of the other side is stored here.
    virtual std::wstring StoredName(const std::wstring& name) = 0;
    // False when the entry does not exist; *entry then untouched.
    virtual bool Lookup(const std::wstring& path, SideEntry* entry) = 0;
    virtual bool MakeFolder(const std::wstring& path) = 0;
    virtual std::unique_ptr<ISideWriter> CreateTemporary(const std::wstring& folder) = 0;
    // Several small files at once, each put in place only whole and only where
    // nothing stands (written under a temporary name, or under its own name
    // pending deletion until whole); what was not placed is removed.
    virtual void WriteMany(std::vector<SmallFile>* files) {
        for (SmallFile& file : *files) {
            std::unique_ptr<ISideWriter> writer = CreateTemporary(file.folder);
            file.placed = writer && (file.bytes.empty() || writer->Write(file.bytes.data(), file.bytes.size())) &&
                          writer->Commit(file.finalPath, file.modified, false);
        }
    }
    virtual bool SetFolderTime(const std::wstring& path, std::uint64_t modified) = 0;
    // A path as the user knows it, for questions and reports.
    virtual std::wstring Shown(const std::wstring& path) = 0;
    // Why the last failed operation of this side failed.
    virtual TransferError LastError() = 0;
    // False once the side has gone (the device removed).
    virtual bool Present() = 0;
    // The same side for another thread, with its own connections and errors;
    // null when it cannot be had.
    virtual std::unique_ptr<ITransferSide> Fork() { return nullptr; }
};

}  // namespace handset
