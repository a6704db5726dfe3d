// What a device data object and its streams share: the one route to the
// device, the progress of the whole offer (what the target has read of it),
// and the notices that tell the window thread when the shell starts and
// stops reading.
#pragma once
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>

#include "shuttle/IHandsetInteraction.h"

class IShuttle;

class DeviceReadSession {
public:
    // Posted to the notice window: wParam 1 reading started; 0 reading ended, lParam 1 if every read succeeded.
    DeviceReadSession(IShuttle* shuttle, HWND noticeWindow, UINT noticeMessage, ProgressCallback progress,
                      std::uint64_t totalBytes);

    // One reason to be reading begins or ends (a drag in progress, an operation, a live stream).
    // The first begin and the last end are posted as notices.
    void Begin();
    void End(bool ok);

    // Copies one device file into an empty PC folder through the device module,
    // one copy at a time; false when it failed or the session was disconnected.
    bool Fetch(const std::wstring& devicePath, const std::wstring& pcFolder);

    // A stream handed the target bytes it had not read before.
    void Served(std::uint64_t bytes);

    // From now on every fetch fails; waits for a running one.
    void Disconnect();

    // A private, new, empty folder for one stream's copy, or empty.
    static std::wstring MakeScratchFolder();

private:
    std::mutex deviceMutex_;  // the library is not asked to run two copies at once
    IShuttle* shuttle_;
    HWND noticeWindow_;
    UINT noticeMessage_;
    ProgressCallback progress_;
    const std::uint64_t totalBytes_;

    std::mutex progressMutex_;
    std::uint64_t servedBytes_ = 0;
    std::uint64_t reportedKiB_ = 0;

    std::mutex countMutex_;
    int active_ = 0;
    bool allOk_ = true;
};
