// DeviceReadSession.
#include "shelltransfer/DeviceReadSession.h"

#include <climits>
#include <vector>

#include "shuttle/IShuttle.h"

namespace {

std::uint64_t KiB(std::uint64_t bytes) { return (bytes + 1023) / 1024; }

int Clamp(std::uint64_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

// The library's progress function takes no context: the fetch in progress on
// this thread is found here.
struct FetchContext {
    DeviceReadSession* session;
    std::uint64_t baseKiB;
};
thread_local FetchContext* tCurrentFetch = nullptr;

std::atomic<unsigned> gScratchCounter{0};

}  // namespace

DeviceReadSession::DeviceReadSession(IShuttle* shuttle, HWND noticeWindow, UINT noticeMessage,
                                     ProgressCallback progress, std::uint64_t totalBytes)
    : shuttle_(shuttle),
      noticeWindow_(noticeWindow),
      noticeMessage_(noticeMessage),
      progress_(progress),
      totalKiB_(KiB(totalBytes)) {}

void DeviceReadSession::Begin() {
    std::lock_guard<std::mutex> lock(countMutex_);
    if (active_++ > 0) return;
    allOk_ = true;
    doneKiB_ = 0;
    if (noticeWindow_) ::PostMessageW(noticeWindow_, noticeMessage_, 1, 0);
}

void DeviceReadSession::End(bool ok) {
    std::lock_guard<std::mutex> lock(countMutex_);
    allOk_ = allOk_ && ok;
    if (active_ == 0 || --active_ > 0) return;
    if (noticeWindow_) ::PostMessageW(noticeWindow_, noticeMessage_, 0, allOk_ ? 1 : 0);
}

int DeviceReadSession::OnLibraryProgress(int, int done) {
    FetchContext* fetch = tCurrentFetch;
    if (fetch && done >= 0) fetch->session->Report(fetch->baseKiB + static_cast<std::uint64_t>(done));
    return 1;
}

void DeviceReadSession::Report(std::uint64_t doneKiB) {
    if (progress_) progress_(Clamp(totalKiB_), Clamp(doneKiB < totalKiB_ ? doneKiB : totalKiB_));
}

bool DeviceReadSession::Fetch(const std::wstring& devicePath, const std::wstring& pcFolder, std::uint64_t size) {
    std::lock_guard<std::mutex> lock(deviceMutex_);
    if (!shuttle_ || pcFolder.empty()) return false;
    FetchContext context{this, doneKiB_.load()};
    tCurrentFetch = &context;
    const wchar_t* list[] = {devicePath.c_str(), nullptr};
    const bool ok = shuttle_->CopyToPC(list, pcFolder.c_str(), &OnLibraryProgress);
    tCurrentFetch = nullptr;
    if (ok) {
        doneKiB_ += KiB(size);
        Report(doneKiB_);
    }
    return ok;
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
