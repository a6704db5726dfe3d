// Which backend the library uses and where: the environment, else Handset.ini beside the library.
#pragma once
#include <string>

namespace handset {

// PELICAN_DEVICE_ROOT wins when set; otherwise "[Device] Root=" of the INI file.
// Environment strings are expanded; a relative folder is taken from `baseDir`.
// Empty when neither names a folder.
std::wstring ConfiguredRoot(const std::wstring& environmentValue, const std::wstring& iniFile,
                            const std::wstring& baseDir);

// The usbmux service's address: `environmentValue` (USBMUXD_SOCKET_ADDRESS)
// when it is "host:port", else "[Device] Mux=" of the INI file, else empty
// (the caller uses 127.0.0.1:27015).
std::wstring ConfiguredMux(const std::wstring& environmentValue, const std::wstring& iniFile);

}  // namespace handset
