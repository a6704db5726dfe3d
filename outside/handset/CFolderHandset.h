// The folder-backed device: a PC folder that holds the handset's file system.
#pragma once
#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fileview/DirectoryFileTree.h"
#include "outside/handset/CFolderTransfer.h"
#include "outside/handset/FileCopy.h"
#include "platform/Handles.h"
#include "shuttle/IHandsetInteraction.h"

namespace handset {

class CFolderHandset final : public IHandsetInteraction {
public:
    // `root` is the PC folder that stands for the device; empty means no device.
    explicit CFolderHandset(const std::wstring& root);
    CFolderHandset(const CFolderHandset&) = delete;
    CFolderHandset& operator=(const CFolderHandset&) = delete;
    // Starts the watcher; a device already there is reported as an arrival at once.
    bool SetNotificationCallback(NotificationCallback callback) override;
    bool IsConnected() override;
    bool CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback progress) override;
    bool CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder, ProgressCallback progress) override;
    bool CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback progress) override;
    bool CreateFolder(const wchar_t* devicePath) override;
    bool DeletePath(const wchar_t* devicePath) override;
    bool RenamePath(const wchar_t* oldPath, const wchar_t* newPath) override;
    bool PathExists(const wchar_t* devicePath) override;
    tag_DirectoryFileTree* GetDirectoryTree(const wchar_t* folder, int depth) override;
    // The number of the listed paths that exist; -1 for no list.
    int QueryPathList(const wchar_t* const* devicePaths) override;
    // Stops the watcher and ends the object: nothing may be called afterwards.
    void Close() override;

    // Whole-job transfers; lives as long as this object.
    IHandsetTransfer* Transfer() { return &transfer_; }

    // An unfinished file that could not be removed; it goes when the device is back.
    void AddOrphan(const std::wstring& path);

    // The backing folder in extended-length form (empty without a device).
    const std::wstring& Root() const { return root_; }
    // The backing path of a device path; false when the path is refused.
    bool Resolve(const std::wstring& devicePath, std::wstring* pcPath) const;

private:
    ~CFolderHandset();
    bool Present() const;
    // Resolves the folder of a new entry and checks the entry's name.
    bool ResolveNew(const std::wstring& devicePath, std::wstring* folder, std::wstring* name) const;
    void RemoveOrphans();
    void Watch();
    static DWORD WINAPI WatchThread(void* self);

    // Counts a public call for its duration; Close waits until none is left.
    class CallGuard {
    public:
        explicit CallGuard(CFolderHandset* owner) : owner_(owner) { ++owner_->calls_; }
        ~CallGuard() { --owner_->calls_; }
        CallGuard(const CallGuard&) = delete;
        CallGuard& operator=(const CallGuard&) = delete;

    private:
        CFolderHandset* owner_;
    };

    const std::wstring root_;
    std::atomic<bool> closing_{false};  // set by Close: running copies stop, new calls fail
    std::atomic<int> calls_{0};
    std::mutex mutex_;  // guards everything below
    NotificationCallback callback_ = nullptr;
    int reported_ = 0;  // last event given to the current callback; 0 none yet
    std::map<DWORD, std::unique_ptr<tag_DirectoryFileTree>> trees_;  // the last tree per calling thread
    std::vector<std::wstring> orphans_;
    platform::UniqueHandle stop_;
    platform::UniqueHandle wake_;
    platform::UniqueHandle thread_;
    CFolderTransfer transfer_{this};
};

}  // namespace handset
