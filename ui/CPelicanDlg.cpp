// CPelicanDlg.
#include "ui/CPelicanDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Applog.h"
#include "app/resource.h"
#include "platform/SystemServices.h"
#include "skin/SkinProfile.h"
#include "skin/SkinTokens.h"
#include "ui/CSplitterBar.h"
#include "ui/ModalDialogs.h"

using nsSkin::EqualsNoCase;

namespace {
constexpr wchar_t kMainSection[] = L"MAINDLG";
constexpr int kVersionNameCapacity = 1024;
constexpr int kLayoutViewNameCapacity = 64;
constexpr long long kSecondsPerDay = 86400;

bool IsListView(const wchar_t* name) { return EqualsNoCase(name, L"FileListView") || EqualsNoCase(name, L"FileListCtrl"); }

RECT RectInParent(HWND wnd) {
    RECT rc{};
    ::GetWindowRect(wnd, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(wnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// A view over an edge of the main window lets the window's border zone through.
LRESULT CALLBACK BorderZoneThrough(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR owner) {
    if (msg == WM_NCHITTEST) {
        POINT screen{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        auto* window = reinterpret_cast<CPelicanDlg*>(owner);
        if ((!::IsZoomed(window->hwnd()) && window->HitTestBorder(screen)) || window->NearSplitter(screen))
            return HTTRANSPARENT;
    } else if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(wnd, &BorderZoneThrough, id);
    }
    return ::DefSubclassProc(wnd, msg, wp, lp);
}

bool IsLaidOutByParent(const wchar_t* name) {
    return EqualsNoCase(name, L"FileTreeView") || EqualsNoCase(name, L"FileListView") ||
           EqualsNoCase(name, L"SplitterBar");
}
}  // namespace

CPelicanDlg::CPelicanDlg() : CSkinDialogEx(IDD_PELICAN_DIALOG) {
    icon_ = ::LoadIconW(platform::CurrentModule(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

bool CPelicanDlg::OnInitDialog() {
    CSkinDialogEx::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    if (config_) {
        wchar_t name[kVersionNameCapacity] = {};
        config_->GetStringValue(L"VersionName", name, kVersionNameCapacity, 0);
        SetWindowText(name[0] ? name : L"HandsetLarkbox");
    }
    ReloadSkin();
    LONG style = ::GetWindowLongW(hwnd_, GWL_STYLE);
    ::SetWindowLongW(hwnd_, GWL_STYLE, (style & ~WS_CAPTION) | WS_MINIMIZEBOX);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    style = ::GetWindowLongW(hwnd_, GWL_STYLE);
    ::SetWindowLongW(hwnd_, GWL_STYLE, style & ~WS_CLIPCHILDREN);
    // The update check waits until the window is up and the device had its chance to arrive.
    ::SetTimer(hwnd_, kUpdateTimer, kUpdateDelayMs, nullptr);
    anchored_ = ProgressBars().empty() ? nullptr : ProgressBars().front().get();
    if (anchored_) {
        RECT wr = GetWindowRect();
        RECT cr = anchored_->GetWindowRect();
        anchorX_ = wr.right - cr.left;
        anchorY_ = wr.bottom - cr.top;
    }
    return true;
}

HRESULT CPelicanDlg::ReloadSkin() {
    // The reload deletes the bars and resizes the window before it is done:
    // no resize may reach the old bar.
    const bool anchored = anchored_ != nullptr;
    anchored_ = nullptr;
    if (!LoadDialogSkin(kMainSection)) return E_FAIL;
    if (anchored) anchored_ = ProgressBars().empty() ? nullptr : ProgressBars().front().get();
    PrepareViews();
    if (config_) splitX_ = config_->GetIntValue(L"SplitterPosition", -1, 0);
    ApplySplit();
    std::wstring area = nsSkin::CSkinProfile(SkinPath()).ReadString(kMainSection, L"TitleDBClkArea");
    if (!SkinPath().empty() && !area.empty()) {
        std::wstring_view rest(area);
        titleArea_ = nsSkin::ParseSkinRect(rest);
    }
    return S_OK;
}

HRESULT CPelicanDlg::UpdateUIWithViews(const wchar_t* names, int) {
    std::vector<IEmberAppModuleView*> views = hosted_;
    for (IEmberAppModuleView* view : views) view->RefreshView(0, names ? names : L"");
    return UpdateUI(names);
}

void CPelicanDlg::OnSkinButtonClicked(const std::wstring& name) {
    PelicanLog(4, L"Pelican button pressed = %s!\n", name.c_str());
    CSkinDialogEx::OnSkinButtonClicked(name);
}

LRESULT CPelicanDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Unlike other skinned windows, the hosted views are not given every
    // message: they are laid out by WM_USER+103 on resize.
    // WM_NOTIFY goes to the scroll-bar library first, in SkinWindowProc.
    if (msg == platform::TaskbarButtonCreatedMessage()) {
        platform::System().TaskbarButtonCreated(hwnd_);
        return 0;
    }
    switch (msg) {
        case WM_PELICAN_COPY_PROGRESS:
            if (commands_) {
                CommandArgs args;
                args.words[4] = static_cast<INT_PTR>(wp);
                args.words[5] = lp;
                commands_->InvokeCommand(L"UpdateCopyProgress", 0, &args);
            }
            return 0;
        case WM_PELICAN_COPY_FINISHED:
            if (commands_) {
                CommandArgs args;
                args.words[3] = static_cast<INT_PTR>(wp);
                commands_->InvokeCommand(L"CopyFinished", 0, &args);
            }
            return 0;
        case WM_PELICAN_SHOW_ABOUT:
            if (nsSkin::CSkinButton* about = FindButton(L"About")) about->ShowWindow(static_cast<int>(wp));
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            ApplyMinimumSize(info);
            RECT work{};
            if (info && ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
                info->ptMaxTrackSize = POINT{work.right, work.bottom};
            return DefWindowProc(msg, wp, lp);
        }
        case WM_SETCURSOR: {
            POINT cursor{};
            ::GetCursorPos(&cursor);
            if (reinterpret_cast<HWND>(wp) == hwnd_ && NearSplitter(cursor)) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
                return TRUE;
            }
            break;
        }
        case WM_LBUTTONDOWN: {
            // A press beside the thin bar takes hold of it, as a press on it does.
            POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            ::ClientToScreen(hwnd_, &at);
            if (HWND bar = NearSplitter(at) ? SplitterWindow() : nullptr) {
                ::ScreenToClient(bar, &at);
                ::SendMessageW(bar, WM_LBUTTONDOWN, wp, MAKELPARAM(at.x, at.y));
                return 0;
            }
            break;
        }
        case WM_PELICAN_SPLITTER_MOVED:
            OnSplitterMoved(static_cast<int>(static_cast<INT_PTR>(wp)), lp != 0);
            return 0;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(icon_);
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == 0x10) {
                ModalDialogs().ShowAbout(hwnd_);
                return 0;
            }
            break;
        default:
            break;
    }
    return SkinWindowProc(msg, wp, lp);
}

void CPelicanDlg::OnClose() {
    // The executive ends the application; the window is not closed here.
    if (commands_) commands_->InvokeCommand(L"Power_Off", 0, nullptr);
}

void CPelicanDlg::OnCancel() {
    if (commands_ && commands_->IsCommandEnabled(L"CancelCopy")) commands_->InvokeCommand(L"CancelCopy", 0, nullptr);
}

void CPelicanDlg::OnLButtonDblClk(UINT, POINT pt) {
    if (commands_ && ::PtInRect(&titleArea_, pt)) commands_->InvokeCommand(L"Maximize", 0, nullptr);
    Default();
}

void CPelicanDlg::OnTimer(UINT_PTR id) {
    if (id == kUpdateTimer) RunUpdateCheckSchedule();
    Default();
}

void CPelicanDlg::RunUpdateCheckSchedule() {
    if (hwnd_) ::KillTimer(hwnd_, kUpdateTimer);
    if (!config_ || !commands_) return;
    // The setting holds the low 32 bits of the time; read back unsigned.
    long long last = static_cast<DWORD>(config_->GetIntValue(L"LastTimeCheckUpdate", 0, 0));
    long long now = platform::System().UnixTime();
    if (last != 0 && (now - last) / kSecondsPerDay < kCheckIntervalDays) {
        // Only the record's presence is passed on to the updater.
        CommandArgs args;
        commands_->InvokeCommand(L"CheckUpdate", 0, &args);
        return;
    }
    config_->SetIntValue(L"LastTimeCheckUpdate", static_cast<LONG>(static_cast<DWORD>(now)), 0);
    commands_->InvokeCommand(L"CheckUpdate", 0, nullptr);
}

void CPelicanDlg::OnSize(UINT type, int cx, int cy) {
    CSkinDialogEx::OnSize(type, cx, cy);
    if (type != SIZE_RESTORED && type != SIZE_MAXIMIZED) return;
    LayOutViews(cx, cy);
    ApplySplit();
    titleArea_.right = cx;
    CentreAboutButton(cx);
    if (anchored_ && anchorX_ != -1 && anchorY_ != -1) {
        const RECT& skin = anchored_->id.rect;
        ::MoveWindow(anchored_->hwnd(), cx - anchorX_, cy - anchorY_, skin.right - skin.left, skin.bottom - skin.top,
                     TRUE);
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    if (commands_) commands_->InvokeCommand(L"UpdateUI", 0, nullptr);
}

void CPelicanDlg::LayOutViews(int width, int height) {
    RECT client{0, 0, width, height};
    std::vector<IEmberAppModuleView*> views = hosted_;
    for (IEmberAppModuleView* view : views) {
        HWND wnd = view->GetViewWindow();
        if (!wnd) continue;
        wchar_t name[kLayoutViewNameCapacity] = {};
        if (view->GetViewName(name, kLayoutViewNameCapacity) < 0) continue;
        if (IsLaidOutByParent(name)) ::SendMessageW(wnd, WM_PELICAN_LAYOUT, 0, reinterpret_cast<LPARAM>(&client));
    }
}

HWND CPelicanDlg::SplitterWindow() const {
    for (IEmberAppModuleView* view : hosted_) {
        wchar_t name[kLayoutViewNameCapacity] = {};
        if (view->GetViewName(name, kLayoutViewNameCapacity) >= 0 && EqualsNoCase(name, L"SplitterBar"))
            return view->GetViewWindow();
    }
    return nullptr;
}

bool CPelicanDlg::NearSplitter(POINT screen) const {
    HWND bar = SplitterWindow();
    RECT rc{};
    if (!bar || !::IsWindowVisible(bar) || !::GetWindowRect(bar, &rc)) return false;
    ::InflateRect(&rc, kSplitterReach, 0);
    return ::PtInRect(&rc, screen) != FALSE;
}

void CPelicanDlg::ApplySplit() {
    if (splitX_ < 0) return;
    HWND tree = nullptr, bar = nullptr, list = nullptr;
    for (IEmberAppModuleView* view : hosted_) {
        wchar_t name[kLayoutViewNameCapacity] = {};
        if (!view->GetViewWindow() || view->GetViewName(name, kLayoutViewNameCapacity) < 0) continue;
        if (EqualsNoCase(name, L"FileTreeView")) tree = view->GetViewWindow();
        if (EqualsNoCase(name, L"SplitterBar")) bar = view->GetViewWindow();
        if (IsListView(name)) list = view->GetViewWindow();
    }
    if (!tree || !bar || !list) return;
    RECT t = RectInParent(tree), b = RectInParent(bar), l = RectInParent(list);
    const int barWidth = b.right - b.left;
    const int lowest = t.left + kMinTreeWidth;
    const int highest = std::max<int>(lowest, l.right - barWidth - kMinListWidth);
    const int x = std::clamp(splitX_, lowest, highest);
    ::MoveWindow(tree, t.left, t.top, x - t.left, t.bottom - t.top, TRUE);
    ::MoveWindow(bar, x, b.top, barWidth, b.bottom - b.top, TRUE);
    ::MoveWindow(list, x + barWidth, l.top, l.right - x - barWidth, l.bottom - l.top, TRUE);
}

// The position is kept as asked; only where it is drawn is clamped, so a
// window made narrow and wide again gives the panes back.
void CPelicanDlg::OnSplitterMoved(int x, bool done) {
    splitX_ = std::max(0, x);
    ApplySplit();
    if (!done || !config_) return;
    // What the user sees is what is stored.
    if (HWND bar = SplitterWindow()) splitX_ = RectInParent(bar).left;
    config_->SetIntValue(L"SplitterPosition", splitX_, 0);
}

// The folder tree and the file list are reached with Tab (the skinned
// containers among the views are not controls).
void CPelicanDlg::PrepareViews() {
    for (IEmberAppModuleView* view : hosted_) {
        HWND wnd = view->GetViewWindow();
        if (!wnd) continue;
        ::SetWindowSubclass(wnd, &BorderZoneThrough, 1, reinterpret_cast<DWORD_PTR>(this));
        if (!dynamic_cast<CSkinDialogEx*>(platform::CWnd::FromHandle(wnd)))
            ::SetWindowLongW(wnd, GWL_STYLE, ::GetWindowLongW(wnd, GWL_STYLE) | WS_TABSTOP);
    }
}

// The button keeps its skin distances to both edges, shared equally, so it
// stays centred in the title bar at any width.
void CPelicanDlg::CentreAboutButton(int width) {
    nsSkin::CSkinButton* about = FindButton(L"About");
    if (!about) return;
    const RECT& r = about->id.rect;
    int x = (r.left + width - r.right) / 2;
    int w = (r.right + width - r.left) / 2 - x;
    ::MoveWindow(about->hwnd(), x, r.top, w, r.bottom - r.top, TRUE);
    about->ShowWindow(SW_SHOW);
}

void CPelicanDlg::OnPaint() {
    if (!::IsIconic(hwnd_)) {
        CSkinDialogEx::OnPaint();
        return;
    }
    PaintMinimized();
}

void CPelicanDlg::PaintMinimized() {
    platform::PaintDC dc(hwnd_);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    RECT client = GetClientRect();
    int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.get(), x, y, icon_);
}
