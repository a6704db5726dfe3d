// Chunked, all-or-nothing file copies with progress in KiB.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "shuttle/IHandsetInteraction.h"

namespace handset {

// One source entry and what it becomes. A whole job is planned before anything
// is written, so a target inside its own source is never copied into itself.
struct CopyNode {
    std::wstring source;      // extended-length path
    std::wstring targetName;  // name in the target folder
    bool folder = false;
    bool unreadable = false;  // listed but could not be opened or listed
    std::uint64_t size = 0;
    std::vector<CopyNode> children;
};

// Plans a file or folder. With `toPc` names get their PC spelling. Adds the
// bytes to `total`. False when the source does not exist.
bool PlanCopy(const std::wstring& source, const std::wstring& targetName, bool toPc, CopyNode* node,
              std::uint64_t* total);

// The units of the plain progress function. The program's percentage rule
// divides totals above 1000 by 1000, so KiB make a 1.5 MiB job jump from 0 to
// 100; bytes (halved until the total fits an int) move it smoothly.
enum class ProgressUnit { KiB, Bytes };

// Counts bytes from any thread; reports (total, done) on the thread that owns
// it, every 50 ms or MiB at most, and at the end.
class ProgressMeter {
public:
    ProgressMeter(ProgressCallback callback, std::uint64_t totalBytes, ProgressUnit unit = ProgressUnit::KiB);
    // Any thread.
    void Advance(std::uint64_t bytes);
    // The owning thread only.
    void Poll() { Report(false); }
    void Finish();
    std::uint64_t DoneBytes() const;

private:
    void Report(bool force);
    int Units(std::uint64_t bytes, bool roundUp) const;

    ProgressCallback callback_;
    ProgressUnit unit_;
    int shift_ = 0;  // Bytes: how often the byte counts are halved
    std::uint64_t total_;
    std::atomic<std::uint64_t> done_{0};
    ULONGLONG lastTick_ = 0;
    int lastDone_ = -1;
    std::uint64_t lastDoneBytes_ = 0;
};

class CopyEngine {
public:
    // `present` answers whether the device is still there; it is asked after
    // every MiB and between files (at most every 100 ms), and a "no" ends the job.
    CopyEngine(ProgressMeter* meter, std::function<bool()> present);
    CopyEngine(const CopyEngine&) = delete;
    CopyEngine& operator=(const CopyEngine&) = delete;

    // Copies planned nodes into an existing folder (extended-length path). A
    // file whose name is taken is written under a numbered name; a folder
    // whose name is taken by a folder is merged into it. Folders are made in
    // order first; large files are copied on the calling thread, small ones
    // also by a few helper threads, since for them the cost is waiting on the
    // file system, not moving bytes. Progress is reported on the calling thread.
    bool Run(const std::vector<CopyNode>& nodes, const std::wstring& targetFolder);

    bool Aborted() const { return aborted_; }
    // Unfinished copies that could not be deleted because the device vanished;
    // the device removes them when it is back.
    const std::vector<std::wstring>& Orphans() const { return orphans_; }

private:
    struct FileJob {
        const CopyNode* node;
        std::wstring folder;
    };

    void Prepare(const CopyNode& node, const std::wstring& targetFolder);
    bool CopyFile(const FileJob& job, std::vector<char>* buffer, bool reporting);
    bool MakeFolder(const std::wstring& targetFolder, const std::wstring& name, std::wstring* made);
    void Skip(const CopyNode& node);
    void Fail() { failed_ = true; }
    bool StillPresent(bool force);
    // Takes small jobs until none is left.
    void DrainSmall(std::vector<char>* buffer, bool reporting);

    ProgressMeter* meter_;
    std::function<bool()> present_;
    std::vector<FileJob> large_;
    std::vector<FileJob> small_;
    std::atomic<size_t> nextSmall_{0};
    std::atomic<bool> aborted_{false};
    std::atomic<bool> failed_{false};
    std::atomic<ULONGLONG> lastCheck_{0};
    std::mutex orphansLock_;
    std::vector<std::wstring> orphans_;
};

// A fresh name under which an unfinished copy is written (kPartialPrefix...).
std::wstring PartialName();
// Marks an open file for deletion when its handle closes.
void DiscardOpenFile(HANDLE file);

// Gives a file's handle a new full name (extended-length path); without
// `replace`, false when the name is taken. False when the rename fails.
bool RenameOpenFile(HANDLE file, const std::wstring& newPath, bool replace = false);

}  // namespace handset
