// New files of copies: small ones made under their final names, and new names
// spelled so that Wine need not search their folder.
#pragma once
#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace handset {

// A small file is created where it belongs, pending deletion until whole: a
// copy cut short (by a failure, a cancel or the program's end) leaves nothing
// behind, and no temporary name and rename are needed per file.
//
// Under Wine every new name costs a case-insensitive scan of its whole folder,
// with a short name made for each entry there: a thousand photos into one
// folder spend most of their time in these scans. Wine's names for Unix paths
// skip them; they are used only for a folder shown to be the same folder, and
// only for plain names, which the caller has already compared with the folder's
// names regardless of case.
class NewFiles {
public:
    // Open for writing; null when the name is taken or the file cannot be made
    // (GetLastError says why).
    platform::UniqueFile Create(const std::wstring& folder, const std::wstring& path);
    // Ends the pending deletion of a file that is whole.
    static bool Keep(HANDLE file);
    // How to spell `path`, a new name in `folder`, to create it or rename to
    // it without replacing anything: under Wine its Unix name where it has one.
    std::wstring Direct(const std::wstring& folder, const std::wstring& path);

private:
    std::wstring UnixFolder(const std::wstring& folder);

    std::wstring folder_;  // the folder last asked about, and its Unix name (empty: none)
    std::wstring unixFolder_;
    bool known_ = false;
};

}  // namespace handset
