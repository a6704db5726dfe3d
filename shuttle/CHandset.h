// What the plain notification function needs: the bound device library and
// the command executive to tell. One per process, shared by the modules.
#pragma once
#include <windows.h>

#include <atomic>

#include "framework/ICommandExecutive.h"
#include "platform/Handles.h"
#include "shuttle/IHandsetInteraction.h"
#include "shuttle/IHandsetTransfer.h"

class CHandset final {
public:
    CHandset() = default;
    ~CHandset() = default;
    CHandset(const CHandset&) = delete;
    CHandset& operator=(const CHandset&) = delete;

    // Guarded forwarders: nothing reaches the library while it is unbound or
    // no device is attached (null, resp. -1, then).
    virtual tag_DirectoryFileTree* GetDirectoryTree(const wchar_t* folder, int depth);
    virtual int QueryPathList(const wchar_t* const* devicePaths);

    IHandsetInteraction* device = nullptr;  // as the factory returned it
    IHandsetTransfer* transfer = nullptr;   // the library's companion, when it offers one
    platform::UniqueLibrary library;
    std::atomic<ICommandExecutive*> commandTarget{nullptr};  // not owned; read on the library's thread
    BYTE available = 0;                                      // 1 once binding fully succeeded

    // Notifications being delivered right now, so that the target is never
    // let go while the library's thread is still inside it.
    std::atomic<int> delivering{0};

    // Modules sharing this sink; the last one to go closes and unloads.
    int users = 0;
};
