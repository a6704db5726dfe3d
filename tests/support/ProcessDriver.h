// Runs the real Pelican.exe from a scratch copy of the program folder and
// finds its windows, for tests that drive the program as a user would.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/TestPaths.h"

namespace testsupport {

// Copies folder `from` into `to` (both ending in "\\"), less the top-level names in leaveOut.
void CopyFolder(const std::wstring& from, const std::wstring& to, std::initializer_list<const wchar_t*> leaveOut = {});

// A copy of build\bin in a scratch folder, less the files named.
class ProgramCopy {
public:
    explicit ProgramCopy(std::initializer_list<const wchar_t*> leaveOut = {});
    const std::wstring& dir() const { return scratch_.path(); }
    // Writes Pelican.exe.cfg so this copy logs everything to its own file.
    void UseOwnLog(int level = 4);
    // The log file of this copy (in the common application-data folder).
    std::wstring LogPath() const { return logPath_; }
    std::string ReadLog() const { return ReadFileBytes(logPath_); }

private:
    ScratchFolder scratch_;
    std::wstring logPath_;
};

class RunningProgram {
public:
    // Starts exe with extra environment variables ("NAME=value") and arguments.
    RunningProgram(const std::wstring& exe, const std::vector<std::wstring>& env = {},
                   const std::wstring& arguments = L"");
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_; }
    // Waits for the process to end; false on time-out.
    bool WaitExit(DWORD ms, DWORD* exitCode = nullptr);
    // The first visible top-level window of the process with this title (any title when null).
    HWND FindWindow(const wchar_t* title) const;
    HWND WaitWindow(const wchar_t* title, DWORD ms) const;
    // All top-level windows of the process.
    std::vector<HWND> Windows() const;

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// The texts of a window's children, joined with '\n' (reads a message box).
std::wstring ChildTexts(HWND wnd);

}  // namespace testsupport
