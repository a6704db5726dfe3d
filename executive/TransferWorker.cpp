// Whole jobs through the library's transfer interface: planning, the free
// space check, the sink the worker runs with, and the texts the user reads
// while the job runs and after it.
#include <windows.h>
// The platform headers below need the types of <windows.h>.
#include <shlwapi.h>

#include <algorithm>

#include "app/Applog.h"
#include "executive/CopyJob.h"

namespace {

// A file costs about as much as this many bytes beyond its own, so a job of
// many small files does not read as nearly done while most files are still to come.
constexpr std::uint64_t kPerFileBytes = 256 * 1024;
// What the progress bar is given: done of this many units.
constexpr std::uint64_t kProgressUnits = 1000000;
constexpr ULONGLONG kReportEveryMs = 250;  // at most 4 status updates a second
constexpr size_t kNamesInSummary = 10;
constexpr size_t kStatusNameMax = 60;

std::uint64_t Weighted(std::uint64_t bytes, std::uint64_t files) { return bytes + files * kPerFileBytes; }

std::wstring Size(std::uint64_t bytes) {
    wchar_t text[64] = {};
    ::StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 64);
    return text;
}

std::wstring Count(std::uint64_t n) {
    std::wstring digits = std::to_wstring(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), L",");
    return digits;
}

std::wstring Duration(ULONGLONG ms) {
    const ULONGLONG s = (ms + 999) / 1000;
    if (s < 60) return std::to_wstring(s) + L" s";
    if (s < 3600) return std::to_wstring(s / 60) + L" min " + std::to_wstring(s % 60) + L" s";
    return std::to_wstring(s / 3600) + L" h " + std::to_wstring(s % 3600 / 60) + L" min";
}

std::wstring Files(std::uint64_t n) { return Count(n) + (n == 1 ? L" file" : L" files"); }

const wchar_t* Reason(TransferError why) {
    switch (why) {
        case TransferError::Unreadable: return L"unreadable";
        case TransferError::NameNotAllowed: return L"name not allowed";
        case TransferError::NoSpace: return L"no space";
        case TransferError::DeviceRemoved: return L"device removed";
        case TransferError::LinkLeftOut: return L"link to a folder already copied, left out";
        case TransferError::TooLong: return L"path too long";
        // What the library cannot name otherwise is the target's refusal.
        default: return L"refused where it was to be written";
    }
}

// The name a PC or device path ends in, a folder's trailing separator aside.
std::wstring LastNameOf(std::wstring path) {
    while (path.size() > 1 && (path.back() == L'/' || path.back() == L'\\')) path.pop_back();
    const size_t cut = path.find_last_of(L"/\\");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

// The name a path ends in, for a status line that has room for one name.
std::wstring ShortName(const wchar_t* path) {
    if (!path) return {};
    std::wstring name = LastNameOf(path);
    if (name.size() > kStatusNameMax) name = name.substr(0, kStatusNameMax / 2 - 1) + L"..." +
                                             name.substr(name.size() - (kStatusNameMax / 2 - 2));
    return name;
}

// The first items with their reasons, under a heading; the log has them all.
std::wstring Named(const std::vector<std::pair<std::wstring, TransferError>>& items, const wchar_t* heading) {
    if (items.empty()) return {};
    std::wstring text = heading;
    for (size_t i = 0; i < items.size() && i < kNamesInSummary; ++i)
        text += L"\n" + items[i].first + L": " + Reason(items[i].second);
    if (items.size() > kNamesInSummary)
        text += L"\n... and " + Count(items.size() - kNamesInSummary) + L" more (see the log).";
    return text;
}

class JobSink final : public ITransferSink {
public:
    JobSink(JobState& state, const JobChannel& channel) : state_(state), channel_(channel) {}

    bool OnProgress(const TransferProgress& progress) override {
        {
            std::lock_guard<std::mutex> lock(state_.lock);
            state_.progress = progress;
            state_.progress.currentName = nullptr;
            if (progress.currentName) state_.currentName = progress.currentName;
        }
        const ULONGLONG now = ::GetTickCount64();
        // The last report always goes, so the bar ends full.
        const bool last = progress.filesDone >= progress.filesTotal && progress.bytesDone >= progress.bytesTotal;
        if (channel_.post && (posted_ == 0 || last || now - posted_ >= kReportEveryMs)) {
            posted_ = now;
            const std::uint64_t total = Weighted(progress.bytesTotal, progress.filesTotal);
            const std::uint64_t done = Weighted(std::min(progress.bytesDone, progress.bytesTotal),
                                                std::min(progress.filesDone, progress.filesTotal));
            channel_.post(static_cast<WPARAM>(kProgressUnits),
                          static_cast<LPARAM>(total ? done * kProgressUnits / total : kProgressUnits));
        }
        return !state_.cancel;
    }

    TransferClashChoice OnClash(const TransferClash& clash) override {
        {
            std::lock_guard<std::mutex> lock(state_.lock);
            if (state_.forAll) return *state_.forAll;
        }
        // Nobody to ask, or the user already stopped the job: keep both, as before.
        if (!channel_.asker || state_.cancel) return TransferClashChoice::KeepBoth;
        ClashQuestion question{&clash};
        // The question runs on the user-interface thread; this thread waits for the answer.
        if (!::SendMessageW(channel_.asker, kAskClash, 0, reinterpret_cast<LPARAM>(&question)))
            return TransferClashChoice::KeepBoth;
        if (question.cancel) {
            state_.cancel = true;
            return TransferClashChoice::Skip;
        }
        if (question.forAll) {
            std::lock_guard<std::mutex> lock(state_.lock);
            state_.forAll = question.choice;
        }
        return question.choice;
    }

    void OnItemFailed(const wchar_t* path, TransferError why) override {
        std::lock_guard<std::mutex> lock(state_.lock);
        state_.failures.emplace_back(path ? path : L"", why);
    }

private:
    JobState& state_;
    const JobChannel& channel_;
    ULONGLONG posted_ = 0;
};

std::wstring FolderOf(const std::wstring& devicePath) {
    const size_t slash = devicePath.find_last_of(L'/');
    return slash == std::wstring::npos ? devicePath : devicePath.substr(0, slash + 1);
}

std::vector<const wchar_t*> NullTerminated(const std::vector<std::wstring>& paths) {
    std::vector<const wchar_t*> list;
    for (const std::wstring& path : paths) list.push_back(path.c_str());
    list.push_back(nullptr);
    return list;
}

ITransferJob* Plan(const CopyJob& job) {
    switch (job.kind) {
        case FileOp_CopyToPC:
            if (job.pcPaths.empty() || job.devicePaths.empty()) return nullptr;
            return job.shuttle->PlanToPC(NullTerminated(job.devicePaths).data(), job.pcPaths.front().c_str());
        case FileOp_CopyFileToDevice:
            return job.shuttle->PlanToDevice(NullTerminated({job.source}).data(), FolderOf(job.destination).c_str());
        case FileOp_CopyFolderToDevice:
            return job.shuttle->PlanToDevice(NullTerminated({job.source}).data(), job.destination.c_str());
        case FileOp_DropFiles:
            if (job.pcPaths.empty() || job.devicePaths.empty()) return nullptr;
            return job.shuttle->PlanToDevice(NullTerminated(job.pcPaths).data(), job.devicePaths.front().c_str());
        default:
            return nullptr;
    }
}

// The items of a job as the user chose them; none when the job has no target.
std::vector<std::wstring> Items(const CopyJob& job) {
    switch (job.kind) {
        case FileOp_CopyToPC: return job.pcPaths.empty() ? std::vector<std::wstring>() : job.devicePaths;
        case FileOp_DropFiles: return job.devicePaths.empty() ? std::vector<std::wstring>() : job.pcPaths;
        case FileOp_CopyFileToDevice:
        case FileOp_CopyFolderToDevice: return {job.source};
        default: return {};
    }
}

std::wstring Joined(const std::wstring& folder, const std::wstring& name, wchar_t separator) {
    if (!folder.empty() && (folder.back() == L'/' || folder.back() == L'\\')) return folder + name;
    return folder + separator + name;
}

// Free bytes where the job writes; false when that cannot be told.
bool FreeBytes(const CopyJob& job, std::uint64_t* bytes) {
    if (job.kind != FileOp_CopyToPC) return job.shuttle->DeviceFreeBytes(bytes);
    ULARGE_INTEGER free{};
    if (job.pcPaths.empty() || !::GetDiskFreeSpaceExW(job.pcPaths.front().c_str(), &free, nullptr, nullptr))
        return false;
    *bytes = free.QuadPart;
    return true;
}

}  // namespace

std::optional<bool> RunWholeJob(CopyJob& job, JobState& state, const JobChannel& channel) {
    if (!job.shuttle) return std::nullopt;
    ITransferJob* transfer = Plan(job);
    if (!transfer) {
        const std::vector<std::wstring> items = Items(job);
        // The plain slots could do no better, and say nothing about why.
        if (!job.shuttle->OffersWholeJobs() || items.empty()) return std::nullopt;
        std::lock_guard<std::mutex> lock(state.lock);
        state.whole = true;
        state.refusal = job.kind == FileOp_CopyToPC ? JobState::Refusal::PcFolder : JobState::Refusal::DeviceFolder;
        state.outcome = TransferOutcome::Failed;
        for (const std::wstring& item : items) state.failures.emplace_back(item, TransferError::Other);
        return false;
    }
    TransferTotals totals;
    transfer->Totals(&totals);
    std::uint64_t free = 0;
    // Short of room, unless what is there already may make up for it.
    const bool shortOfSpace = FreeBytes(job, &free) && free < totals.bytes &&
                              !(channel.targetHoldsAnItem && channel.targetHoldsAnItem());
    {
        std::lock_guard<std::mutex> lock(state.lock);
        state.whole = true;
        state.totals = totals;
        state.progress.bytesTotal = totals.bytes;
        state.progress.filesTotal = totals.files;
        if (shortOfSpace) {
            state.noSpace = std::make_pair(totals.bytes, free);
            state.outcome = TransferOutcome::Failed;
        }
    }
    if (state.noSpace) {
        transfer->Release();
        return false;
    }
    JobSink sink(state, channel);
    const TransferOutcome outcome = transfer->Run(&sink);
    transfer->Release();
    std::lock_guard<std::mutex> lock(state.lock);
    state.outcome = outcome;
    return outcome == TransferOutcome::Completed;
}

bool TargetHoldsAnItem(const CopyJob& job, IHandsetInteraction* device) {
    const auto onDevice = [device](const std::wstring& path) { return device && device->PathExists(path.c_str()); };
    switch (job.kind) {
        case FileOp_CopyToPC:
            if (job.pcPaths.empty()) return false;
            return std::any_of(job.devicePaths.begin(), job.devicePaths.end(), [&](const std::wstring& path) {
                const std::wstring target = Joined(job.pcPaths.front(), LastNameOf(path), L'\\');
                return ::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
            });
        case FileOp_CopyFileToDevice:
            return onDevice(job.destination);
        case FileOp_CopyFolderToDevice:
            return onDevice(Joined(job.destination, LastNameOf(job.source), L'/'));
        case FileOp_DropFiles:
            if (job.devicePaths.empty()) return false;
            return std::any_of(job.pcPaths.begin(), job.pcPaths.end(), [&](const std::wstring& path) {
                return onDevice(Joined(job.devicePaths.front(), LastNameOf(path), L'/'));
            });
        default:
            return false;
    }
}

std::wstring JobStatusText(const JobState& state, ULONGLONG now) {
    const TransferProgress& p = state.progress;
    std::wstring text;
    if (!state.currentName.empty()) text = ShortName(state.currentName.c_str()) + L": ";
    text += Count(std::min(p.filesDone + 1, p.filesTotal)) + L" of " + Files(p.filesTotal) + L", " + Size(p.bytesDone) +
            L" of " + Size(p.bytesTotal);
    const ULONGLONG elapsed = now > state.startTick ? now - state.startTick : 0;
    const std::uint64_t total = Weighted(p.bytesTotal, p.filesTotal);
    const std::uint64_t done = Weighted(std::min(p.bytesDone, p.bytesTotal), std::min(p.filesDone, p.filesTotal));
    // Before a second has passed the rate says nothing yet.
    if (elapsed >= 1000 && done > 0) {
        text += L", " + Size(p.bytesDone * 1000 / elapsed) + L"/s";
        const ULONGLONG left = static_cast<ULONGLONG>(static_cast<double>(elapsed) * (total - done) / done);
        text += L", " + Duration(left) + L" left";
    }
    return text;
}

JobSummary JobSummaryText(const JobState& state, const std::wstring& target, ULONGLONG now) {
    const TransferProgress& p = state.progress;
    const std::uint64_t copied = p.filesDone - std::min(p.filesDone, p.filesSkipped + p.filesFailed);
    const std::wstring took = Duration(now > state.startTick ? now - state.startTick : 0);
    if (state.noSpace) {
        const auto [needed, free] = *state.noSpace;
        return {L"Copy Failed. Not enough space in " + target + L": the copy needs " + Size(needed) + L", " +
                    Size(free) + L" is free (" + Size(needed - free) + L" missing). Nothing was copied.",
                false};
    }
    if (state.refusal != JobState::Refusal::None) {
        const wchar_t* why = state.refusal == JobState::Refusal::DeviceFolder
                                 ? L" on the handset cannot take files: it is gone, or the handset does not allow "
                                   L"writing there."
                                 : L" cannot take files: it is gone, or it is not a folder.";
        return {L"Copy Failed. " + target + why + L" Nothing was copied." + Named(state.failures, L"\nNot copied:"),
                false};
    }
    const std::uint64_t copiedBytes = p.bytesDone - std::min(p.bytesDone, p.bytesPassedOver);
    std::wstring copiedText = Files(copied) + L" (" + Size(copiedBytes) + L")";
    std::wstring skipped = p.filesSkipped ? L"\n" + Files(p.filesSkipped) + L" skipped." : L"";
    switch (state.outcome) {
        case TransferOutcome::Completed:
            return {L"Copy Finished!\n" + copiedText + L" copied to " + target + L" in " + took + L"." + skipped +
                        Named(state.failures, L"\nLeft out:"),
                    true};
        case TransferOutcome::Cancelled:
            return {L"Copy cancelled.\nCopied " + Count(copied) + L" of " + Files(p.filesTotal) + L" to " + target +
                        L" before the copy was stopped; nothing is left half-written." + skipped,
                    false};
        default:
            break;
    }
    std::wstring text = L"Copy Failed. ";
    if (state.outcome == TransferOutcome::DeviceRemoved) text += L"The handset was removed. ";
    text += L"Copied " + Count(copied) + L" of " + Files(p.filesTotal) + L" to " + target + L" in " + took + L"." +
            skipped;
    return {text + Named(state.failures, L"\nNot copied:"), false};
}

void LogJobFailures(const JobState& state) {
    for (const auto& [path, why] : state.failures) PelicanLog(0, L"Not copied: %s (%s)\n", path.c_str(), Reason(why));
}
