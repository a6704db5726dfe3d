// Chunked, all-or-nothing file copies with progress in KiB.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
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

// Reports progress as (total KiB, done KiB), every 50 ms or MiB at most, and at the end.
class ProgressMeter {
public:
    ProgressMeter(ProgressCallback callback, std::uint64_t totalBytes);
    void Advance(std::uint64_t bytes);
    void Finish();
    std::uint64_t DoneBytes() const { return done_; }

private:
    void Report(bool force);

    ProgressCallback callback_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
    ULONGLONG lastTick_ = 0;
    int lastDone_ = -1;
};

class CopyEngine {
public:
    // `present` answers whether the device is still there; it is asked between
    // chunks, and a "no" ends the whole job.
    CopyEngine(ProgressMeter* meter, std::function<bool()> present);

    // Copies a planned node into an existing folder (extended-length path). A
    // file whose name is taken is written under a numbered name; a folder
    // whose name is taken by a folder is merged into it.
    bool Copy(const CopyNode& node, const std::wstring& targetFolder);

    bool Aborted() const { return aborted_; }
    // Unfinished copies that could not be deleted because the device vanished;
    // the device removes them when it is back.
    const std::vector<std::wstring>& Orphans() const { return orphans_; }

private:
    bool CopyFile(const CopyNode& node, const std::wstring& targetFolder);
    bool MakeFolder(const std::wstring& targetFolder, const std::wstring& name, std::wstring* made);
    void Skip(const CopyNode& node);

    ProgressMeter* meter_;
    std::function<bool()> present_;
    std::vector<char> buffer_;
    bool aborted_ = false;
    std::vector<std::wstring> orphans_;
};

// Gives a file's handle a new full name (extended-length path) without
// replacing anything; false when the name is taken or the rename fails.
bool RenameOpenFile(HANDLE file, const std::wstring& newPath);

}  // namespace handset
