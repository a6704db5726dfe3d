// The device-access library's object (Handset.dll), by slot. Slots the
// program never calls are declared, with empty bodies, so that the numbering holds.
#pragma once
#include <windows.h>

struct tag_DirectoryFileTree;

// 1 a device arrived, 2 the device was removed; other values are ignored.
using NotificationCallback = int (*)(int event);
// A total and the amount done so far, in the library's units (KiB here).
using ProgressCallback = int (*)(int total, int done);

class IHandsetInteraction {
public:
    virtual void Reserved0() {}
    virtual bool SetNotificationCallback(NotificationCallback callback) = 0;  // 1
    virtual void Reserved2() {}
    virtual void Reserved3() {}
    virtual bool IsConnected() = 0;  // 4
    virtual void Reserved5() {}
    virtual void Reserved6() {}
    virtual void Reserved7() {}
    virtual void Reserved8() {}
    virtual void Reserved9() {}
    virtual void Reserved10() {}
    virtual void Reserved11() {}
    // The device path buffer is writable and holds 260 characters.
    virtual bool CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback progress) = 0;  // 12
    virtual void Reserved13() {}
    // devicePaths: a null-terminated sequence of at least one path.
    virtual bool CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder,
                          ProgressCallback progress) = 0;  // 14
    virtual bool CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath,
                                    ProgressCallback progress) = 0;  // 15
    virtual bool CreateFolder(const wchar_t* devicePath) = 0;        // 16
    virtual bool DeletePath(const wchar_t* devicePath) = 0;          // 17
    virtual bool RenamePath(const wchar_t* oldPath, const wchar_t* newPath) = 0;  // 18
    virtual bool PathExists(const wchar_t* devicePath) = 0;          // 19
    virtual void Reserved20() {}
    // The tree stays owned by the library until the next call or Close.
    virtual tag_DirectoryFileTree* GetDirectoryTree(const wchar_t* folder, int depth) = 0;  // 21
    virtual int QueryPathList(const wchar_t* const* devicePaths) = 0;  // 22
    virtual void Close() = 0;                                          // 23
};

// Handset.dll's export number 1.
using HandsetCreateObjectFn = IHandsetInteraction* (*)();
