// DeviceReadSession.
#include "shelltransfer/DeviceReadSession.h"

#include <algorithm>
#include <atomic>
#include <climits>

#include "shuttle/IShuttle.h"

namespace {

std::uint64_t KiB(std::uint64_t bytes) { return (bytes + 1023) / 1024; }

int Clamp(std::uint64_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

// The fetch runs before the target reads anything; the bar follows the reads.
int KeepFetching(int, int) { return 1; }

// A report for every half percent at most: a target reading in small pieces
// would otherwise flood the window's queue.
constexpr std::uint64_t kReportSteps = 200;

std::atomic<unsigned> gScratchCounter{0};

}  // namespace

DeviceReadSession::DeviceReadSession(IShuttle* shuttle, HWND noticeWindow, UINT noticeMessage,
                                     ProgressCallback progress, std::uint64_t totalBytes)
    : shuttle_(shuttle),
      noticeWindow_(noticeWindow),
      noticeMessage_(noticeMessage),
      progress_(progress),
      totalBytes_(totalBytes) {}

void DeviceReadSession::Begin() {
    std::lock_guard<std::mutex> lock(countMutex_);
    if (active_++ > 0) return;
    allOk_ = true;
    std::lock_guard<std::mutex> progress(progressMutex_);
    servedBytes_ = 0;
    reportedKiB_ = 0;
    if (noticeWindow_) ::PostMessageW(noticeWindow_, noticeMessage_, 1, 0);
}

void DeviceReadSession::End(bool ok) {
    std::lock_guard<std::mutex> lock(countMutex_);
    allOk_ = allOk_ && ok;
    if (active_ == 0 || --active_ > 0) return;
    if (noticeWindow_) ::PostMessageW(noticeWindow_, noticeMessage_, 0, allOk_ ? 1 : 0);
}

void DeviceReadSession::Served(std::uint64_t bytes) {
    if (!bytes || !progress_) return;
    const std::uint64_t totalKiB = KiB(totalBytes_);
    // Reported under the lock, so that reports of two reading threads arrive in order.
    std::lock_guard<std::mutex> lock(progressMutex_);
    servedBytes_ += bytes;
    // Whole only when every byte is read: rounded down until then.
    const std::uint64_t doneKiB = servedBytes_ >= totalBytes_ ? totalKiB : servedBytes_ / 1024;
    const std::uint64_t step = std::max<std::uint64_t>(1, totalKiB / kReportSteps);
    if (doneKiB == reportedKiB_ || (doneKiB / step == reportedKiB_ / step && doneKiB < totalKiB)) return;
    reportedKiB_ = doneKiB;
    progress_(Clamp(totalKiB), Clamp(doneKiB));
}

bool DeviceReadSession::Fetch(const std::wstring& devicePath, const std::wstring& pcFolder) {
    std::lock_guard<std::mutex> lock(deviceMutex_);
    if (!shuttle_ || pcFolder.empty()) return false;
    const wchar_t* list[] = {devicePath.c_str(), nullptr};
    return shuttle_->CopyToPC(list, pcFolder.c_str(), &KeepFetching);
}

void DeviceReadSession::Disconnect() {
    std::lock_guard<std::mutex> lock(deviceMutex_);
    shuttle_ = nullptr;
}

std::wstring DeviceReadSession::MakeScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return L"";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring folder = std::wstring(temp) + L"Pelican-read-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++gScratchCounter);
        if (folder.size() >= MAX_PATH) return L"";
        if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return L"";
    }
    return L"";
}
