// Where test programs find the program folder, the sources and scratch space.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace testsupport {

// The test program's own directory, with a trailing backslash.
std::wstring TestDirectory();
// The program folder as a user installs it (build\bin\), with a trailing backslash.
std::wstring ProgramDirectory();
// The source tree (from PELICAN_SOURCE, a Unix path mapped to Wine's Z: drive).
std::wstring SourceDirectory();
// A new empty scratch folder under the temp folder; removed by ScratchFolder's destructor.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& hint = L"t");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return path_; }  // with a trailing backslash

private:
    std::wstring path_;
};

// Recursively deletes a file or folder; true when it is gone.
bool RemoveTree(const std::wstring& path);
// Writes bytes to a file (creating it); true on success.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Reads a whole file; empty when missing.
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Every entry below `folder`, as paths relative to it ("a\\b"), folders included.
std::vector<std::wstring> TreeEntries(const std::wstring& folder);
// A new file of `size` bytes that holds no data yet (costs no disk until written).
bool MakeSparseFile(const std::wstring& path, long long size);

// A shell drop handle holding `paths`, as the shell hands one to a window or
// Explorer puts copied files on the clipboard.
HDROP MakeDrop(const std::vector<std::wstring>& paths);

}  // namespace testsupport
