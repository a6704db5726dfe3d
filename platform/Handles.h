// Move-only owners for kernel, library and GDI handles, with live counters per
// kind so tests can prove that what was created is gone again (Wine's
// GetGuiResources always answers 0).
#pragma once
#include <windows.h>
#include <atomic>
#include <utility>

namespace platform {

// Counts the live owned handles of one kind.
struct HandleCounter {
    std::atomic<long> live{0};
};

template <class H, class Traits>
class UniqueHandleT {
public:
    UniqueHandleT() = default;
    explicit UniqueHandleT(H h) : handle_(h) { Count(+1); }
    ~UniqueHandleT() { reset(); }
    UniqueHandleT(const UniqueHandleT&) = delete;
    UniqueHandleT& operator=(const UniqueHandleT&) = delete;
    UniqueHandleT(UniqueHandleT&& other) noexcept : handle_(other.release()) { Count(+1); }
    UniqueHandleT& operator=(UniqueHandleT&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    H get() const { return handle_; }
    explicit operator bool() const { return Traits::Valid(handle_); }

    // Gives up ownership; the caller becomes responsible for the handle.
    H release() {
        H h = handle_;
        if (Traits::Valid(h)) Count(-1);
        handle_ = Traits::Invalid();
        return h;
    }
    void reset(H h = Traits::Invalid()) {
        if (Traits::Valid(handle_)) {
            Traits::Close(handle_);
            Count(-1);
        }
        handle_ = h;
        Count(+1);
    }

    static long Live() { return Traits::Counter().live.load(); }

private:
    void Count(long delta) {
        if (Traits::Valid(handle_)) Traits::Counter().live += delta;
    }
    H handle_ = Traits::Invalid();
};

// A counter lives in exactly one translation unit per kind (Handles.cpp).
#define PELICAN_HANDLE_TRAITS(Name, Type, InvalidValue, CloseExpr)          \
    struct Name {                                                          \
        static Type Invalid() { return InvalidValue; }                     \
        static bool Valid(Type h) { return h != InvalidValue; }            \
        static void Close(Type h) { CloseExpr; }                           \
        static HandleCounter& Counter();                                   \
    };

PELICAN_HANDLE_TRAITS(KernelTraits, HANDLE, nullptr, ::CloseHandle(h))
PELICAN_HANDLE_TRAITS(FileTraits, HANDLE, INVALID_HANDLE_VALUE, ::CloseHandle(h))
PELICAN_HANDLE_TRAITS(LibraryTraits, HMODULE, nullptr, ::FreeLibrary(h))
PELICAN_HANDLE_TRAITS(BitmapTraits, HBITMAP, nullptr, ::DeleteObject(h))
PELICAN_HANDLE_TRAITS(RegionTraits, HRGN, nullptr, ::DeleteObject(h))
PELICAN_HANDLE_TRAITS(FontTraits, HFONT, nullptr, ::DeleteObject(h))
PELICAN_HANDLE_TRAITS(BrushTraits, HBRUSH, nullptr, ::DeleteObject(h))
PELICAN_HANDLE_TRAITS(PenTraits, HPEN, nullptr, ::DeleteObject(h))
PELICAN_HANDLE_TRAITS(MemoryDcTraits, HDC, nullptr, ::DeleteDC(h))
PELICAN_HANDLE_TRAITS(IconTraits, HICON, nullptr, ::DestroyIcon(h))
PELICAN_HANDLE_TRAITS(CursorTraits, HCURSOR, nullptr, ::DestroyCursor(h))
PELICAN_HANDLE_TRAITS(MenuTraits, HMENU, nullptr, ::DestroyMenu(h))
#undef PELICAN_HANDLE_TRAITS

using UniqueHandle = UniqueHandleT<HANDLE, KernelTraits>;
using UniqueFile = UniqueHandleT<HANDLE, FileTraits>;
using UniqueLibrary = UniqueHandleT<HMODULE, LibraryTraits>;
using UniqueBitmap = UniqueHandleT<HBITMAP, BitmapTraits>;
using UniqueRegion = UniqueHandleT<HRGN, RegionTraits>;
using UniqueFont = UniqueHandleT<HFONT, FontTraits>;
using UniqueBrush = UniqueHandleT<HBRUSH, BrushTraits>;
using UniquePen = UniqueHandleT<HPEN, PenTraits>;
using UniqueMemoryDC = UniqueHandleT<HDC, MemoryDcTraits>;
using UniqueIcon = UniqueHandleT<HICON, IconTraits>;
using UniqueCursor = UniqueHandleT<HCURSOR, CursorTraits>;
using UniqueMenu = UniqueHandleT<HMENU, MenuTraits>;

// Selects a GDI object into a DC and puts the previous one back on scope exit.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() {
        if (old_) ::SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// GetDC/ReleaseDC pair for one window.
class WindowDC {
public:
    explicit WindowDC(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) { Counter().live += dc_ ? 1 : 0; }
    ~WindowDC() {
        if (dc_) {
            ::ReleaseDC(wnd_, dc_);
            --Counter().live;
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    static HandleCounter& Counter();

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint/EndPaint pair.
class PaintDC {
public:
    explicit PaintDC(HWND wnd) : wnd_(wnd), dc_(::BeginPaint(wnd, &ps_)) {}
    ~PaintDC() { ::EndPaint(wnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return ps_; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace platform
