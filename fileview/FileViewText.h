// Text rules of the file views: size texts, skin parameter tokens, device paths.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// "%dBytes" below 1 KiB, "%.1fKB" below 1 MiB, "%.1fMB" from there on; the
// quotient is held in single precision.
std::wstring FormatSizeText(std::uint64_t size);

// A modification time (FILETIME ticks, UTC) in the user's short date and time
// format, local time; empty for 0 or a time the system cannot show.
std::wstring FormatModifiedText(std::uint64_t fileTimeUtc);

// Comma-separated tokens; blanks after each comma are skipped and the last
// token runs to the end of the text.
std::vector<std::wstring> SplitSkinTokens(const std::wstring& text);

// The header's three picture files joined to the skin folder, or nothing
// unless all three are named and exist (half a set would mix two looks).
bool HeaderPicturePaths(const std::wstring& skinFolder, const std::vector<std::wstring>& names,
                        std::wstring (&paths)[3]);

// What the folder tree's skin parameter gives: the background picture's file
// name and two colours.
struct TreeLook {
    std::wstring bitmapName;
    COLORREF textColour = 0;
    COLORREF backgroundColour = RGB(197, 197, 197);
};
// Without a comma the whole text names the picture and the colours are the
// defaults; with commas, "name r g b r g b" with every comma read as a blank.
TreeLook ParseTreeParam(const std::wstring& param);

// A device folder path given as root, with exactly one "/" appended when needed.
std::wstring WithTrailingSlash(const std::wstring& path);
