// Where the program lives: module file names without the 260-character cut.
#pragma once
#include <windows.h>

#include <string>

// The full path of a module's file; empty on failure.
std::wstring ModuleFileName(HMODULE module);
// The module's directory with a trailing backslash; empty on failure.
std::wstring ModuleDirectory(HMODULE module);
