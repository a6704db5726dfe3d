// CPelicanDlg: the application's main window (template 102, skin section
// "MAINDLG"). It turns the transfer worker's posted messages into commands,
// lays out its views on resize and schedules the update check.
#pragma once
#include "ui/CSkinDialogEx.h"

// Private messages of the main window.
constexpr UINT WM_PELICAN_COPY_PROGRESS = WM_USER + 101;  // wParam total, lParam done (posted)
constexpr UINT WM_PELICAN_COPY_FINISHED = WM_USER + 102;  // wParam 1 success, 0 failure (posted)
constexpr UINT WM_PELICAN_SHOW_ABOUT = WM_USER + 104;     // wParam a show command for the "About" button

class CPelicanDlg : public CSkinDialogEx {
public:
    static constexpr UINT_PTR kUpdateTimer = 1;
    static constexpr UINT kUpdateDelayMs = 3000;
    static constexpr long long kCheckIntervalDays = 30;

    CPelicanDlg();

    HRESULT ReloadSkin() override;
    // Hosted views first, then the window's own controls; the flag is not used.
    virtual HRESULT UpdateUIWithViews(const wchar_t* names, int flag);

    const RECT& TitleArea() const { return titleArea_; }
    nsSkin::CSkinProgress* AnchoredControl() const { return anchored_; }
    POINT AnchorOffset() const { return POINT{anchorX_, anchorY_}; }
    // Neither pane beside the splitter gets narrower than this.
    static constexpr int kMinTreeWidth = 120;
    static constexpr int kMinListWidth = 200;
    // The splitter bar's left edge (client coordinates); -1 while the skin's place holds.
    int SplitPosition() const { return splitX_; }
    // The bar of the skin is thin: a press this close beside it takes hold of it too.
    static constexpr int kSplitterReach = 3;
    HWND SplitterWindow() const;
    bool NearSplitter(POINT screen) const;
    // The update-check step that timer 1 runs once, 3 s after start.
    void RunUpdateCheckSchedule();

protected:
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnSkinButtonClicked(const std::wstring& name) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnPaint() override;
    void OnClose() override;
    // Escape reaches the dialog as IDCANCEL: it stops a running copy.
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;
    void OnLButtonDblClk(UINT flags, POINT pt) override;

private:
    void LayOutViews(int width, int height);
    // Moves the splitter to the split position and the tree and list beside it.
    void ApplySplit();
    void OnSplitterMoved(int x, bool done);
    // The views' border zones belong to the window, so it can be resized there.
    void PrepareViews();
    void CentreAboutButton(int width);
    void PaintMinimized();

    HICON icon_ = nullptr;  // shared resource icon: not destroyed
    RECT titleArea_{};
    nsSkin::CSkinProgress* anchored_ = nullptr;
    int anchorX_ = -1;
    int anchorY_ = -1;
    int splitX_ = -1;
};
