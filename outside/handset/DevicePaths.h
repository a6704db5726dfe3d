// Device paths, backing-store paths and PC-safe names for the folder-backed device.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace handset {

// Splits a "/"-separated device path into its names. Repeated slashes and "."
// are tolerated; ".." or a backslash or NUL inside a name refuses the path.
bool SplitDevicePath(const std::wstring& devicePath, std::vector<std::wstring>* names);

// True for a name that the backing folder can hold as typed: no characters
// Windows reserves, no trailing dot or space, no device name, at most 255 long.
bool IsPlainName(const std::wstring& name);

// The spelling under which a device name is stored on a PC: reserved
// characters become their full-width look-alikes, a trailing dot or space is
// replaced, device names (CON, NUL, ...) get a "_". Never empty.
std::wstring PcSafeName(const std::wstring& name);

// A full path in extended-length form ("\\?\C:\..." or "\\?\UNC\...") without
// a trailing backslash (except for a drive root); empty when it cannot be had.
std::wstring ExtendedPath(const std::wstring& pcPath);
// The same path in the form the native rename call takes ("\??\C:\...").
std::wstring NativePath(const std::wstring& extendedPath);

// Joins a folder and a name with exactly one backslash.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// The last name of a path ("\" or "/" separated); the drive letter for a drive root.
std::wstring LastName(const std::wstring& path);

// "name (n).ext" for files, "name (n)" for folders; n from 2.
std::wstring NumberedName(const std::wstring& name, int n, bool folder);

// Attributes of a path, or INVALID_FILE_ATTRIBUTES.
unsigned long Attributes(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// What a path leads to, as its volume and file number ("" when it cannot be
// opened): two paths of one file or folder have the same. `flags` may add
// FILE_FLAG_OPEN_REPARSE_POINT, for a link itself.
std::string FileIdentity(const std::wstring& path, unsigned long flags = 0);

// One entry of a backing folder. `address` is the name to open it by: the
// name itself, or its short name when the name holds characters the Win32
// layer cannot pass (Wine shows such host names as they are); empty when the
// entry cannot be opened at all.
struct FolderEntry {
    std::wstring name;
    std::wstring address;
    bool folder = false;
    bool link = false;  // a reparse point: never descended into by a delete
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // FILETIME ticks, UTC
};
// The entries of a folder without "." and "..", unsorted; false when it cannot be listed.
bool ListFolder(const std::wstring& folder, std::vector<FolderEntry>* entries);

// Prefix of the names under which unfinished copies are written; such
// entries are hidden from listings and never copied.
extern const wchar_t kPartialPrefix[];
bool IsPartialName(const std::wstring& name);

// Reads a device path from the caller's writable buffer of 260 characters,
// never past it; false when it is null or holds no terminator.
bool ReadPathBuffer(const wchar_t* buffer, std::wstring* text);

// Waits for a thread to end while still answering messages sent to this
// thread, so a notification that sends to the closing thread's windows cannot deadlock.
void WaitPumping(void* thread);
// Waits until no public call of a closing library object is left, answering
// sent messages meanwhile for the same reason.
void WaitForCalls(const std::atomic<int>& calls);

// Sizes in KiB as the progress function reports them, cut at the largest int.
int KiBRoundedUp(std::uint64_t bytes);
int KiBRoundedDown(std::uint64_t bytes);

}  // namespace handset
