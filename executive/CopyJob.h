// The one copy job of the command executive and the work its thread does.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/CommandArgs.h"
#include "platform/Handles.h"
#include "shuttle/IShuttle.h"

// Posted to the main window: progress (wParam total, lParam done) and the end
// of a job (wParam 1 success, 0 failure).
inline constexpr UINT WM_COPY_PROGRESS = WM_USER + 101;
inline constexpr UINT WM_COPY_FINISHED = WM_USER + 102;
// Sent to the main window around the maximize toggle (wParam a show command).
inline constexpr UINT WM_SHOW_ABOUT_BUTTON = WM_USER + 104;

// What a running job's worker and the user-interface thread share. The worker
// writes it, under the lock; the user-interface thread reads it for the status
// line and the end summary, and sets `cancel`.
struct JobState {
    std::atomic<bool> cancel{false};
    std::mutex lock;
    // Set when the job ran through the library's transfer interface.
    bool whole = false;
    TransferTotals totals;
    TransferProgress progress;  // its name pointer is not kept; see `currentName`
    std::wstring currentName;
    std::vector<std::pair<std::wstring, TransferError>> failures;
    TransferOutcome outcome = TransferOutcome::Completed;
    // Free space that was missing before the start (bytes needed, bytes free).
    std::optional<std::pair<std::uint64_t, std::uint64_t>> noSpace;
    // The library refused the whole job before it started: where it was to be
    // written cannot take files. Every item is then among `failures`.
    enum class Refusal { None, PcFolder, DeviceFolder } refusal = Refusal::None;
    // A clash choice the user gave "for all remaining conflicts".
    std::optional<TransferClashChoice> forAll;
    ULONGLONG startTick = 0;
};

struct CopyJob {
    int kind = FileOp_Idle;  // 9 idle, 5 drop, 11 PC file, 12 PC folder, 16 device items to the PC
    std::wstring source;
    std::wstring destination;
    std::vector<std::wstring> pcPaths;
    std::vector<std::wstring> devicePaths;
    IShuttle* shuttle = nullptr;
    platform::UniqueHandle thread;  // the worker while it runs
    std::shared_ptr<JobState> state;  // from the start of a job until the next one starts

    // The worker's own copy: it never reads the record the executive keeps.
    CopyJob Snapshot() const;
};

// Runs the job's copy calls on the calling thread; true when the job succeeded.
// Device paths that do not fit the 260-character buffers fail their item.
bool RunCopyJob(CopyJob& job, ProgressCallback progress);

// Where the worker asks its questions and sends its reports.
struct JobChannel {
    HWND asker = nullptr;  // a window of the user-interface thread that answers kAskClash; null: nobody asks
    std::function<void(WPARAM total, LPARAM done)> post;  // a progress report for the main window
    // Whether an item of the job is at its target already; asked only when the free space is short.
    std::function<bool()> targetHoldsAnItem;
};
// Sent by the worker to `asker`: lParam points at a ClashQuestion; the answer is written into it.
inline constexpr UINT kAskClash = WM_APP + 3;
struct ClashQuestion {
    const TransferClash* clash;
    TransferClashChoice choice = TransferClashChoice::KeepBoth;
    bool forAll = false;
    bool cancel = false;
};

// Plans the job through the library's transfer interface, checks the free
// space and runs it with `state` as the sink's record. Empty when the library
// has no such interface (then RunCopyJob does the job), else whether it succeeded.
std::optional<bool> RunWholeJob(CopyJob& job, JobState& state, const JobChannel& channel);

// Whether one of the job's items exists where it is to go: then clash answers
// (skip what is complete, replace) may need far less room than the whole job,
// as when a stopped copy is resumed. `device` answers for device paths.
bool TargetHoldsAnItem(const CopyJob& job, IHandsetInteraction* device);

// The progress function handed to the device side: posts WM_COPY_PROGRESS to
// the main window. It returns 1 whatever became of the post: a lost report
// must not look like a request to stop.
int PostCopyProgress(int total, int done);

// The status line while a whole job runs, and the end summary after it.
std::wstring JobStatusText(const JobState& state, ULONGLONG now);
struct JobSummary {
    std::wstring text;
    bool success;
};
JobSummary JobSummaryText(const JobState& state, const std::wstring& target, ULONGLONG now);
// Every failed item with its reason, for the log (the summary names only the first ones).
void LogJobFailures(const JobState& state);

// A progress report as a whole percentage (totals above 1000 are scaled by 1000 first).
LONG CopyPercent(UINT total, UINT done);

// The characters a device path buffer holds, terminator included.
inline constexpr size_t kPathBuffer = 260;
inline bool FitsPathBuffer(const std::wstring& path) { return path.size() < kPathBuffer; }

// The application's main window right now, or null.
HWND MainWindowHandle();
