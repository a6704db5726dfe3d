// Where the device folder is: the environment, else Handset.ini beside the library.
#pragma once
#include <string>

namespace handset {

// PELICAN_DEVICE_ROOT wins when set; otherwise "[Device] Root=" of the INI file.
// Environment strings are expanded; a relative folder is taken from `baseDir`.
// Empty when neither names a folder.
std::wstring ConfiguredRoot(const std::wstring& environmentValue, const std::wstring& iniFile,
                            const std::wstring& baseDir);

}  // namespace handset
