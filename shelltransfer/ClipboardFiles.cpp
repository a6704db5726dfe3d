// Reading the clipboard's file list.
#include "shelltransfer/ClipboardFiles.h"

#include <shlobj.h>

#include <cstring>

namespace {

// The list is a run of terminated paths closed by an empty one.
template <class Char>
bool ListEndsInside(const BYTE* start, size_t bytes) {
    const size_t count = bytes / sizeof(Char);
    Char previous = 1;
    for (size_t i = 0; i < count; ++i) {
        Char c;
        std::memcpy(&c, start + i * sizeof(Char), sizeof(Char));
        if (c == 0 && previous == 0) return true;
        // An empty list is the terminator alone.
        if (c == 0 && i == 0) return true;
        previous = c;
    }
    return false;
}

}  // namespace

bool IsWellFormedFileDrop(const void* block, size_t bytes) {
    if (!block || bytes < sizeof(DROPFILES)) return false;
    DROPFILES header;
    std::memcpy(&header, block, sizeof(header));
    if (header.pFiles < sizeof(DROPFILES) || header.pFiles >= bytes) return false;
    const BYTE* list = static_cast<const BYTE*>(block) + header.pFiles;
    const size_t left = bytes - header.pFiles;
    return header.fWide ? ListEndsInside<wchar_t>(list, left) : ListEndsInside<char>(list, left);
}

HGLOBAL CopyClipboardFileDrop(HWND owner) {
    // Another program may hold the clipboard open for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !(open = ::OpenClipboard(owner)); ++attempt) ::Sleep(20);
    if (!open) return nullptr;
    HGLOBAL copy = nullptr;
    if (HANDLE data = ::GetClipboardData(CF_HDROP)) {
        const SIZE_T bytes = ::GlobalSize(data);
        if (const void* from = ::GlobalLock(data)) {
            if (IsWellFormedFileDrop(from, bytes) && (copy = ::GlobalAlloc(GMEM_MOVEABLE, bytes))) {
                std::memcpy(::GlobalLock(copy), from, bytes);
                ::GlobalUnlock(copy);
            }
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return copy;
}
