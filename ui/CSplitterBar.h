// CSplitterBar: the bar between the folder tree and the file list. It keeps
// its width and follows the main window's height; the user drags it sideways
// and the window it lies in moves the panes beside it.
#pragma once
#include "ui/CSkinDialogEx.h"

// Sent by the main window to its views on every resize; lParam points at the
// new client rectangle.
constexpr UINT WM_PELICAN_LAYOUT = WM_USER + 103;
// Sent by the bar to its parent while it is dragged: wParam the x its left
// edge asks for (parent client coordinates), lParam 1 when the drag ended.
constexpr UINT WM_PELICAN_SPLITTER_MOVED = WM_USER + 105;

class CSplitterBar : public CSkinDialogEx {
public:
    CSplitterBar();

    bool CreateChild(const RECT& rect, HWND parent, const wchar_t* param, UINT templateId) override;
    int BarWidth() const { return width_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FollowParent(const RECT* client);
    void ReportDrag(POINT pt, bool done);

    int width_ = 0;
    bool dragging_ = false;
    int grab_ = 0;  // where in the bar the drag took hold
};
