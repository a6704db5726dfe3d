// The device entries that a drag or a copy to the clipboard offers the shell:
// every file and folder with its path relative to the folder it is dropped in.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class IShuttle;

struct VirtualFile {
    std::wstring devicePath;    // "/"-separated
    std::wstring relativePath;  // "\"-separated, as the drop target creates it
    bool folder = false;
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // FILETIME ticks (UTC); 0 when the device does not tell
};

// More entries than this are refused: the descriptor block grows by ~600 bytes per entry.
inline constexpr size_t kMaxVirtualFiles = 65536;

// Lists the selected device paths (all of one folder) and everything below the
// selected folders, parents before their contents. False, with a message for the
// user, when an entry cannot be listed or its path would not fit a descriptor.
bool ListVirtualFiles(IShuttle& shuttle, const std::vector<std::wstring>& selected, std::vector<VirtualFile>* files,
                      std::wstring* problem);

// A device name as a PC folder can hold it: characters Windows refuses become "_".
std::wstring PcName(const std::wstring& deviceName);

// The files as a FILEGROUPDESCRIPTORW in a movable global block; null when out of memory.
HGLOBAL MakeFileGroupDescriptor(const std::vector<VirtualFile>& files);
