// What copies share: temporary names, renames of open files, progress for the plain function.
#include "outside/handset/FileCopy.h"

#include <atomic>
#include <climits>
#include <cstring>
#include <vector>

#include "outside/handset/DevicePaths.h"

namespace handset {

std::wstring PartialName() {
    static std::atomic<unsigned> counter{0};
    return std::wstring(kPartialPrefix) + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) +
           L".part";
}

bool DiscardOpenFile(HANDLE file, bool discard) {
    FILE_DISPOSITION_INFO dispose{static_cast<BOOLEAN>(discard)};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof(dispose)) != 0;
}

bool RenameOpenFile(HANDLE file, const std::wstring& newPath, bool replace) {
    std::wstring native = NativePath(newPath);
    if (native.empty()) return false;
    std::vector<unsigned char> block(sizeof(FILE_RENAME_INFO) + native.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(block.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(native.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, native.data(), info->FileNameLength);
    return ::SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(block.size())) != 0;
}

ProgressMeter::ProgressMeter(ProgressCallback callback, std::uint64_t totalBytes, ProgressUnit unit)
    : callback_(callback), unit_(unit), total_(totalBytes) {
    while ((total_ >> shift_) > static_cast<std::uint64_t>(INT_MAX)) ++shift_;
    Report(true);
}

int ProgressMeter::Units(std::uint64_t bytes, bool roundUp) const {
    if (unit_ == ProgressUnit::KiB) return roundUp ? KiBRoundedUp(bytes) : KiBRoundedDown(bytes);
    return static_cast<int>(bytes >> shift_);
}

void ProgressMeter::Advance(std::uint64_t bytes) { done_ += bytes; }

std::uint64_t ProgressMeter::DoneBytes() const {
    std::uint64_t done = done_;
    return done > total_ ? total_ : done;  // a file that grew while it was copied
}

void ProgressMeter::Finish() {
    done_ = total_;
    if (lastDone_ != Units(total_, true)) Report(true);
}

void ProgressMeter::Report(bool force) {
    if (!callback_) return;
    ULONGLONG now = ::GetTickCount64();
    const std::uint64_t doneBytes = DoneBytes();
    int total = Units(total_, true);
    int done = doneBytes == total_ ? total : Units(doneBytes, false);
    // Often enough for a smooth bar, rarely enough that thousands of small
    // files do not flood the window with messages.
    if (!force && (done == lastDone_ || (now - lastTick_ < 50 && doneBytes - lastDoneBytes_ < (1u << 20)))) return;
    lastDoneBytes_ = doneBytes;
    lastTick_ = now;
    lastDone_ = done;
    // The program's function returns whether its message was posted; that
    // says nothing about the copy, so the answer is not used.
    callback_(total, done);
}

}  // namespace handset
