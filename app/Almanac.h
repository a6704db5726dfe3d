// The version-information library's string export (Almanac.dll).
#pragma once
#include <windows.h>

#include <string>

// AL_GetStringValue(section, key, buffer, capacity, flag): non-negative on success.
using AlGetStringValueFn = HRESULT(__cdecl*)(const wchar_t* section, const wchar_t* key, wchar_t* buffer,
                                             int capacity, int flag);

// Loads Almanac.dll from the directory of `module`, asks once and unloads it.
// A missing library or export, or a failing call, gives an empty answer.
std::wstring AlmanacString(HMODULE module, const wchar_t* section, const wchar_t* key, int capacity, int flag);
