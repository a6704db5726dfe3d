// CSkinProfile: reads skin.ini through the system's private-profile functions.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace nsSkin {

class CSkinProfile {
public:
    // One value is read into this many wide characters (terminator included).
    static constexpr DWORD kValueBuffer = 4096;
    // All key names of one section, each with its terminator, share this buffer.
    static constexpr DWORD kKeyNamesBuffer = 16384;

    CSkinProfile() = default;
    // path must be a full path: the system looks for a bare file name in the Windows folder.
    explicit CSkinProfile(std::wstring path) : path_(std::move(path)) {}

    const std::wstring& Path() const { return path_; }
    void SetPath(std::wstring path) { path_ = std::move(path); }
    // True when the description file is there (a missing file leaves a window unskinned).
    bool Exists() const;

    // The value of section/key (at most 4095 characters), or the default when the key is missing.
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue = std::wstring()) const;
    // Fills names with the key names of the section; true when there is at least one.
    bool GetKeyNames(const std::wstring& section, std::vector<std::wstring>& names) const;

private:
    std::wstring path_;
};

// The folder that holds a skin description (with a trailing backslash): the path
// itself when it is a folder, else the path without its last component.
std::wstring SkinFolderOf(const std::wstring& path);

}  // namespace nsSkin
