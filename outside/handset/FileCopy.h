// What the copies of both backends share: temporary names, renames of open
// files, and progress for the copy slots' plain function.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "shuttle/IHandsetInteraction.h"

namespace handset {

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

// A fresh name under which an unfinished copy is written (kPartialPrefix...).
std::wstring PartialName();
// Marks an open file for deletion when its handle closes, or (`discard`
// false) takes the mark back; false when that fails.
bool DiscardOpenFile(HANDLE file, bool discard = true);

// Gives a file's handle a new full name (extended-length path); without
// `replace`, false when the name is taken. False when the rename fails.
bool RenameOpenFile(HANDLE file, const std::wstring& newPath, bool replace = false);

}  // namespace handset
