// CDC: a drawing context wrapper with the drawing operations the program uses.
// It does not own its HDC; derived classes that create one release it.
#pragma once
#include <windows.h>

#include <string>

namespace platform {

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC dc) : dc_(dc) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return dc_; }
    operator HDC() const { return dc_; }
    void Attach(HDC dc) { dc_ = dc; }
    HDC Detach() {
        HDC dc = dc_;
        dc_ = nullptr;
        return dc;
    }

    bool IsPrinting() const;
    // True on a palette-based display.
    bool IsPaletteDevice() const;
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(dc_, index); }

    void FillSolidRect(const RECT& rect, COLORREF color);
    void FillRect(const RECT& rect, HBRUSH brush) { ::FillRect(dc_, &rect, brush); }
    // A one-pixel frame in one colour.
    void FrameRect(const RECT& rect, COLORREF color);
    void Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
    bool DrawEdge(RECT rect, UINT edge, UINT flags) { return ::DrawEdge(dc_, &rect, edge, flags) != 0; }
    void DrawLine(int x0, int y0, int x1, int y1, COLORREF color);

    int DrawText(const std::wstring& text, RECT rect, UINT format);
    SIZE GetTextExtent(const std::wstring& text) const;
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(dc_, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(dc_, color); }
    int SetBkMode(int mode) { return ::SetBkMode(dc_, mode); }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(dc_, object); }

    bool BitBlt(int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
        return ::BitBlt(dc_, x, y, width, height, source, sx, sy, rop) != 0;
    }
    POINT SetWindowOrg(int x, int y);
    int SaveDC() { return ::SaveDC(dc_); }
    bool RestoreDC(int saved) { return ::RestoreDC(dc_, saved) != 0; }

protected:
    HDC dc_ = nullptr;
};

}  // namespace platform
