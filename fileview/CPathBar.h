// CPathBar: the current device folder above the file list, one clickable
// piece per folder from the root down ("Media > DCIM > 100APPLE").
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/Wnd.h"

class CPathBar : public platform::CWnd {
public:
    static constexpr int kHeight = 22;

    bool Create(HWND parent, const RECT& rect);
    // The pieces: the root's label, then each folder below the root.
    void SetPath(const std::wstring& rootPath, const std::wstring& rootLabel, const std::wstring& currentPath);
    const std::vector<std::wstring>& Pieces() const { return pieces_; }
    // Where a piece is drawn, in client coordinates (empty when out of range).
    RECT PieceRect(int piece) const;
    // Told how many levels above the current folder the clicked piece lies (0: the current one).
    void SetOnClick(std::function<void(int levelsUp)> onClick) { onClick_ = std::move(onClick); }

protected:
    void OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    void OnLButtonUp(UINT, POINT point) override;

private:
    void Measure();

    std::vector<std::wstring> pieces_;
    std::vector<RECT> rects_;
    std::function<void(int)> onClick_;
};
