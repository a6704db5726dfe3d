// The update check's command line and the guards of the copy to the PC.
#pragma once
#include <windows.h>

#include <string>

// `dir` ends in "\"; `appName` is the program's base name without ".exe".
std::wstring BuildUpdaterCommandLine(const std::wstring& dir, const std::wstring& address, bool withRecord,
                                     DWORD processId, const std::wstring& appName);

// True when a file and a folder could be created and removed in `folder`.
// Only names that are free are used, so nothing of the user's is touched.
bool WriteProbe(const std::wstring& folder);

// True on Windows Vista and later.
bool IsVistaOrLater();
