// The window wrapper, dialogs, handle owners and the system seam.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "platform/SystemServices.h"
#include "platform/WinApp.h"

namespace {

using platform::CWnd;

// Pumps what is queued, never waiting for more.
void FlushEvents() {
    MSG msg;
    for (int i = 0; i < 1000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

TEST(Handles, OwnersCountLiveObjectsAndMoveOwnership) {
    long before = platform::UniqueBitmap::Live();
    {
        platform::UniqueBitmap a(::CreateBitmap(4, 4, 1, 32, nullptr));
        ASSERT_TRUE(a);
        EXPECT_EQ(before + 1, platform::UniqueBitmap::Live());
        platform::UniqueBitmap b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        EXPECT_EQ(before + 1, platform::UniqueBitmap::Live());
        platform::UniqueBitmap c(::CreateBitmap(2, 2, 1, 32, nullptr));
        c = std::move(b);  // c's own bitmap is deleted here
        EXPECT_EQ(before + 1, platform::UniqueBitmap::Live());
        HBITMAP raw = c.release();
        EXPECT_EQ(before, platform::UniqueBitmap::Live());
        ::DeleteObject(raw);
    }
    EXPECT_EQ(before, platform::UniqueBitmap::Live());
    static_assert(!std::is_copy_constructible_v<platform::UniqueRegion>);
    static_assert(!std::is_copy_assignable_v<platform::UniqueFont>);
}

TEST(Handles, SelectGuardPutsThePreviousObjectBack) {
    platform::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    platform::UniqueBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
    HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_BRUSH);
    {
        platform::SelectGuard guard(dc.get(), brush.get());
        EXPECT_EQ(brush.get(), ::GetCurrentObject(dc.get(), OBJ_BRUSH));
    }
    EXPECT_EQ(original, ::GetCurrentObject(dc.get(), OBJ_BRUSH));
}

// Records the messages that reach its handlers.
class ProbeWindow : public CWnd {
public:
    std::vector<UINT> seen;
    bool reflectedColor = false;

protected:
    int OnCreate(CREATESTRUCTW*) override {
        seen.push_back(WM_CREATE);
        return 0;
    }
    void OnSize(UINT, int, int) override { seen.push_back(WM_SIZE); }
    void OnDestroy() override { seen.push_back(WM_DESTROY); }
};

// A stock static control taken over by subclassing; answers its own colour.
class ColorStatic : public CWnd {
public:
    int asked = 0;

protected:
    bool OnReflectedMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
        if (msg != WM_CTLCOLORSTATIC) return false;
        ++asked;
        *result = reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH));
        return true;
    }
};

TEST(Window, LinksAtCreationAndUnlinksAtDestruction) {
    ASSERT_TRUE(CWnd::RegisterWindowClass(L"PelicanProbe"));
    ProbeWindow wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"PelicanProbe", L"probe", WS_OVERLAPPEDWINDOW, RECT{0, 0, 200, 100}, nullptr, 0));
    HWND h = wnd.hwnd();
    EXPECT_EQ(&wnd, CWnd::FromHandle(h));
    ::SetWindowPos(h, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(L"probe", wnd.GetWindowText());
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(nullptr, wnd.hwnd());
    EXPECT_EQ(nullptr, CWnd::FromHandle(h));
    ASSERT_GE(wnd.seen.size(), 3u);
    EXPECT_EQ(static_cast<UINT>(WM_CREATE), wnd.seen.front());
    EXPECT_EQ(static_cast<UINT>(WM_DESTROY), wnd.seen.back());
}

TEST(Window, AWrapperDestroyedFirstTakesItsWindowWithIt) {
    ASSERT_TRUE(CWnd::RegisterWindowClass(L"PelicanProbe"));
    HWND h = nullptr;
    {
        ProbeWindow wnd;
        ASSERT_TRUE(wnd.CreateEx(0, L"PelicanProbe", L"", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
        h = wnd.hwnd();
    }
    EXPECT_FALSE(::IsWindow(h));
}

TEST(Window, NotificationsAreReflectedToTheChildThatSentThem) {
    ASSERT_TRUE(CWnd::RegisterWindowClass(L"PelicanProbe"));
    ProbeWindow parent;
    ASSERT_TRUE(parent.CreateEx(0, L"PelicanProbe", L"", WS_OVERLAPPEDWINDOW, RECT{0, 0, 200, 100}, nullptr, 0));
    ColorStatic label;
    ASSERT_TRUE(label.CreateEx(0, L"STATIC", L"text", WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 20}, parent.hwnd(), 7));
    EXPECT_EQ(&label, CWnd::FromHandle(label.hwnd())) << "stock controls are linked by subclassing";
    HDC dc = ::GetDC(label.hwnd());
    LRESULT brush = ::SendMessageW(parent.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(label.hwnd()));
    ::ReleaseDC(label.hwnd(), dc);
    EXPECT_EQ(1, label.asked);
    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH)), brush);
    parent.DestroyWindow();
    EXPECT_EQ(nullptr, label.hwnd()) << "the child was unlinked when its window went";
}

class ProbeDialog : public platform::CDialog {
public:
    ProbeDialog() : CDialog(200) {}
    bool initialized = false;
    int oks = 0;

protected:
    bool OnInitDialog() override {
        initialized = true;
        return true;
    }
    void OnOK() override {
        ++oks;
        CDialog::OnOK();
    }
};

TEST(Dialog, ModelessFromATemplateRoutesOkAndIsDestroyedByEndDialog) {
    ProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    EXPECT_TRUE(dlg.initialized);
    EXPECT_EQ(&dlg, CWnd::FromHandle(dlg.hwnd()));
    EXPECT_NE(nullptr, ::GetDlgItem(dlg.hwnd(), 1001));
    HWND h = dlg.hwnd();
    ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(h, IDOK)));
    EXPECT_EQ(1, dlg.oks);
    EXPECT_FALSE(::IsWindow(h));
}

TEST(Dialog, ModalRunReturnsTheEndCode) {
    ProbeDialog dlg;
    // Close the dialog from inside its own loop once it is up.
    ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        HWND box = ::FindWindowW(L"#32770", L"Probe");
        if (box) ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(IDOK, dlg.DoModal(nullptr));
    EXPECT_EQ(1, dlg.oks);
    FlushEvents();
}

TEST(Dialog, AMissingTemplateFailsCleanly) {
    platform::CDialog dlg(4242);
    EXPECT_FALSE(dlg.Create(nullptr));
    EXPECT_EQ(nullptr, dlg.hwnd());
}

class CountingSystem : public platform::RealSystemServices {
public:
    int boxes = 0;
    int MessageBox(HWND, const std::wstring&, const std::wstring&, UINT) override {
        ++boxes;
        return IDYES;
    }
};

TEST(SystemServices, AScopedReplacementIsUsedAndThenRestored) {
    CountingSystem fake;
    {
        platform::ScopedSystemServices seam(fake);
        EXPECT_EQ(IDYES, platform::System().MessageBox(nullptr, L"q", L"c", MB_YESNO));
    }
    EXPECT_EQ(1, fake.boxes);
    EXPECT_NE(static_cast<platform::ISystemServices*>(&fake), &platform::System());
    EXPECT_GE(platform::System().OsMajorVersion(), 5u);
}

}  // namespace
