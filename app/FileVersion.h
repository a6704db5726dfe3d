// The four-part version of a program file, as its version resource gives it.
#pragma once
#include <windows.h>

#include <string>

struct FileVersion {
    WORD part[4] = {};
};

// Reads the fixed version of a file's version resource; false when it has none.
bool ReadFileVersion(const std::wstring& path, FileVersion* version);
// "1.2.3.4".
std::wstring VersionText(const FileVersion& version);
// Parses "1.2.3.4" (one to four numbers up to 65535; missing parts are 0).
bool ParseVersion(const std::wstring& text, FileVersion* version);
// Negative, zero or positive as a is older than, equal to or newer than b.
int CompareVersions(const FileVersion& a, const FileVersion& b);
