// CPathBar.
#include "fileview/CPathBar.h"

#include "platform/DC.h"
#include "platform/Handles.h"

namespace {
constexpr const wchar_t* kClassName = L"PelicanPathBar";
constexpr const wchar_t* kSeparator = L" > ";
constexpr int kPadding = 6;

HFONT BarFont(HWND wnd) {
    HWND parent = ::GetParent(wnd);
    HFONT font = parent ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
    return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}
}  // namespace

bool CPathBar::Create(HWND parent, const RECT& rect) {
    if (!RegisterWindowClass(kClassName, 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), ::LoadCursorW(nullptr, IDC_HAND)))
        return false;
    return CreateEx(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, parent, 0);
}

void CPathBar::SetPath(const std::wstring& rootPath, const std::wstring& rootLabel, const std::wstring& currentPath) {
    pieces_.clear();
    if (!rootPath.empty() && currentPath.compare(0, rootPath.size(), rootPath) == 0) {
        pieces_.push_back(rootLabel);
        std::wstring rest = currentPath.substr(rootPath.size());
        size_t start = 0;
        while (start < rest.size()) {
            size_t slash = rest.find(L'/', start);
            if (slash == std::wstring::npos) slash = rest.size();
            if (slash > start) pieces_.push_back(rest.substr(start, slash - start));
            start = slash + 1;
        }
    }
    Measure();
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void CPathBar::Measure() {
    rects_.clear();
    if (!hwnd_) return;
    platform::WindowDC dc(hwnd_);
    platform::SelectGuard font(dc.get(), BarFont(hwnd_));
    RECT client = GetClientRect();
    SIZE separator{};
    ::GetTextExtentPoint32W(dc.get(), kSeparator, 3, &separator);
    int x = kPadding;
    for (const std::wstring& piece : pieces_) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc.get(), piece.c_str(), static_cast<int>(piece.size()), &size);
        rects_.push_back(RECT{x, client.top, x + size.cx, client.bottom});
        x += size.cx + separator.cx;
    }
}

RECT CPathBar::PieceRect(int piece) const {
    return piece >= 0 && piece < static_cast<int>(rects_.size()) ? rects_[static_cast<size_t>(piece)] : RECT{};
}

void CPathBar::OnPaint() {
    platform::PaintDC paint(hwnd_);
    RECT client = GetClientRect();
    ::FillRect(paint.get(), &client, ::GetSysColorBrush(COLOR_WINDOW));
    platform::SelectGuard font(paint.get(), BarFont(hwnd_));
    ::SetBkMode(paint.get(), TRANSPARENT);
    for (size_t i = 0; i < pieces_.size() && i < rects_.size(); ++i) {
        RECT at = rects_[i];
        // The current folder in the text colour, the ones above it as links.
        ::SetTextColor(paint.get(), ::GetSysColor(i + 1 == pieces_.size() ? COLOR_WINDOWTEXT : COLOR_HOTLIGHT));
        ::DrawTextW(paint.get(), pieces_[i].c_str(), -1, &at, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (i + 1 < pieces_.size()) {
            RECT gap{at.right, at.top, client.right, at.bottom};
            ::SetTextColor(paint.get(), ::GetSysColor(COLOR_GRAYTEXT));
            ::DrawTextW(paint.get(), kSeparator, -1, &gap, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
}

void CPathBar::OnLButtonUp(UINT, POINT point) {
    for (size_t i = 0; i < rects_.size(); ++i) {
        if (!::PtInRect(&rects_[i], point)) continue;
        if (onClick_) onClick_(static_cast<int>(rects_.size() - 1 - i));
        return;
    }
}
