// CSplitterBar: the bar between the folder tree and the file list. It keeps
// its width and its distance from the left edge and follows the main
// window's height; the user does not drag it.
#pragma once
#include "ui/CSkinDialogEx.h"

// Sent by the main window to its views on every resize; lParam points at the
// new client rectangle.
constexpr UINT WM_PELICAN_LAYOUT = WM_USER + 103;

class CSplitterBar : public CSkinDialogEx {
public:
    CSplitterBar();

    bool CreateChild(const RECT& rect, HWND parent, const wchar_t* param, UINT templateId) override;
    int BarWidth() const { return width_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FollowParent(const RECT* client);

    int width_ = 0;
};
