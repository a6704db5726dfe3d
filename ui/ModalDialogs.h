// The program's modal questions to the user, behind one replaceable seam so
// that command handlers can be tested without anybody at the keyboard.
#pragma once
#include <windows.h>

#include <string>

class IModalDialogs {
public:
    virtual ~IModalDialogs() = default;
    // The folder browser; true with the chosen file-system folder.
    virtual bool BrowseForFolder(HWND owner, const std::wstring& title, UINT flags, std::wstring* folder) = 0;
    // The platform's file-open dialog; true with the chosen file.
    virtual bool OpenFile(HWND owner, std::wstring* file) = 0;
    // The name box: *name holds the initial text on entry; true when closed
    // with OK, the accepted name then in *name (possibly empty).
    virtual bool AskName(HWND owner, const std::wstring& title, std::wstring* name) = 0;
    virtual void ShowAbout(HWND owner) = 0;
};

// The dialogs in force: the real ones unless a test replaced them.
IModalDialogs& ModalDialogs();

class ScopedModalDialogs {
public:
    explicit ScopedModalDialogs(IModalDialogs& replacement);
    ~ScopedModalDialogs();
    ScopedModalDialogs(const ScopedModalDialogs&) = delete;
    ScopedModalDialogs& operator=(const ScopedModalDialogs&) = delete;

private:
    IModalDialogs* previous_;
};
