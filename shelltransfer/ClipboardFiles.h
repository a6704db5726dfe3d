// PC files and folders on the clipboard, as Explorer puts them there (CF_HDROP).
#pragma once
#include <windows.h>

#include <cstddef>

// True when a CF_HDROP block of `bytes` bytes holds its list of paths whole:
// the header fits, the list starts inside the block and ends (with an empty
// path) before the block does.
bool IsWellFormedFileDrop(const void* block, size_t bytes);

// A copy of the clipboard's file list that the caller owns (a drop handle, freed
// with DragFinish), or null when the clipboard holds none or a malformed one.
// The clipboard's own handle stays the clipboard's.
HGLOBAL CopyClipboardFileDrop(HWND owner);
