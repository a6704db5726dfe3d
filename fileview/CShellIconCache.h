// Small-icon indexes of the system image list, asked of the shell once per
// extension: a folder of many files of few kinds costs a handful of look-ups.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_map>

class CShellIconCache {
public:
    // The system image list of small icons; shared, never destroyed by us.
    static HIMAGELIST SystemSmallImages();

    // The icon of the Windows directory, used for every device folder.
    int FolderIcon();
    // The icon the shell gives for an extension (".jpg", or a whole dot-less
    // name; all dot-less names share one answer).
    int FileIcon(const std::wstring& extension);

    // How many times the shell was asked (for tests and the benchmark).
    unsigned ShellQueries() const { return queries_; }

private:
    int Query(const wchar_t* path, DWORD attributes, UINT flags);

    std::unordered_map<std::wstring, int> byExtension_;
    int folderIcon_ = -1;
    bool folderKnown_ = false;
    unsigned queries_ = 0;
};

// The part of a name from its last "." to the end, or the whole name without one.
std::wstring ExtensionOf(const std::wstring& name);
