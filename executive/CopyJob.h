// The one copy job of the command executive and the work its thread does.
#pragma once
#include <windows.h>

#include <string>
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

struct CopyJob {
    int kind = FileOp_Idle;  // 9 idle, 5 drop, 11 PC file, 12 PC folder, 16 device items to the PC
    std::wstring source;
    std::wstring destination;
    std::vector<std::wstring> pcPaths;
    std::vector<std::wstring> devicePaths;
    IShuttle* shuttle = nullptr;
    platform::UniqueHandle thread;  // the worker while it runs

    // The worker's own copy: it never reads the record the executive keeps.
    CopyJob Snapshot() const;
};

// Runs the job's copy calls on the calling thread; true when the job succeeded.
// Device paths that do not fit the 260-character buffers fail their item.
bool RunCopyJob(CopyJob& job, ProgressCallback progress);

// The progress function handed to the device side: posts WM_COPY_PROGRESS to
// the main window and returns the post's result.
int PostCopyProgress(int total, int done);

// A progress report as a whole percentage (totals above 1000 are scaled by 1000 first).
LONG CopyPercent(UINT total, UINT done);

// The characters a device path buffer holds, terminator included.
inline constexpr size_t kPathBuffer = 260;
inline bool FitsPathBuffer(const std::wstring& path) { return path.size() < kPathBuffer; }

// The application's main window right now, or null.
HWND MainWindowHandle();
