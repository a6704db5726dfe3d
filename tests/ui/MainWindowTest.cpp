// The main window on the generated skin: its title, the worker's messages,
// view layout on resize, the title-bar double-click, closing, the about box
// and the update-check schedule.
#include <gtest/gtest.h>

#include "platform/SystemServices.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CPelicanDlg.h"
#include "ui/ModalDialogs.h"

namespace {

using namespace uitest;

constexpr long long kDay = 86400;

class FixedClock : public platform::RealSystemServices {
public:
    long long UnixTime() override { return now; }
    long long now = 1'765'000'000;
};

class RecordingDialogs : public IModalDialogs {
public:
    bool BrowseForFolder(HWND, const std::wstring&, UINT, std::wstring*) override { return false; }
    bool OpenFile(HWND, std::wstring*) override { return false; }
    bool AskName(HWND, const std::wstring&, std::wstring*) override { return false; }
    void ShowAbout(HWND owner) override { aboutOwners.push_back(owner); }
    std::vector<HWND> aboutOwners;
};

RECT RectInParent(HWND wnd) {
    RECT rc{};
    ::GetWindowRect(wnd, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(wnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestSkin(scratch_.path());
        config_.strings[L"CurrentSkinPath"] = scratch_.path();
    }
    void Open() {
        dlg_.SetLinks(&sink_, &factory_, &config_, nullptr);
        ASSERT_TRUE(dlg_.Create(nullptr));
        FlushEvents();
    }
    void TearDown() override {
        if (dlg_.hwnd()) dlg_.DestroyWindow();
        FlushEvents();
    }
    // Resizes the client area and returns it.
    void Resize(int width, int height) {
        ::SetWindowPos(dlg_.hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        FlushEvents();
    }

    testsupport::ScratchFolder scratch_{L"maindlg"};
    MemoryConfig config_;
    RecordingSink sink_;
    RecordingFactory factory_;
    CPelicanDlg dlg_;
};

TEST_F(MainWindowTest, TitleComesFromTheVersionName) {
    config_.strings[L"VersionName"] = L"EmberPelican";
    Open();
    EXPECT_EQ(L"EmberPelican", dlg_.GetWindowText());
    EXPECT_EQ(0, ::GetWindowLongW(dlg_.hwnd(), GWL_STYLE) & WS_CAPTION);
    EXPECT_NE(0, ::GetWindowLongW(dlg_.hwnd(), GWL_STYLE) & WS_MINIMIZEBOX);
    EXPECT_EQ(L"MAINDLG", dlg_.SectionName());
}

TEST_F(MainWindowTest, EmptyVersionNameGivesTheDefaultTitle) {
    Open();
    EXPECT_EQ(L"HandsetLarkbox", dlg_.GetWindowText());
}

TEST_F(MainWindowTest, WorkerMessagesBecomeCommandsWithTheirWordsUnchanged) {
    Open();
    sink_.calls.clear();
    const WPARAM total = static_cast<WPARAM>(0x1'2345'6789LL);
    ::PostMessageW(dlg_.hwnd(), WM_USER + 101, total, 0x7654321);
    ::PostMessageW(dlg_.hwnd(), WM_USER + 102, 1, 0);
    FlushEvents();
    ASSERT_EQ(1u, sink_.Named(L"UpdateCopyProgress").size());
    const Invocation progress = sink_.Named(L"UpdateCopyProgress")[0];
    EXPECT_EQ(static_cast<INT_PTR>(total), progress.words[4]);
    EXPECT_EQ(0x7654321, progress.words[5]);
    EXPECT_EQ(0, progress.words[0] | progress.words[1] | progress.words[2] | progress.words[3]);
    ASSERT_EQ(1u, sink_.Named(L"CopyFinished").size());
    const Invocation finished = sink_.Named(L"CopyFinished")[0];
    EXPECT_EQ(1, finished.words[3]);
    EXPECT_EQ(0, finished.words[4] | finished.words[5] | finished.words[0]);

    // The executive hides and shows the "About" button around the maximize toggle.
    HWND about = dlg_.FindButton(L"About")->hwnd();
    ::SendMessageW(dlg_.hwnd(), WM_USER + 104, SW_HIDE, 0);
    EXPECT_FALSE(::IsWindowVisible(about));
    ::SendMessageW(dlg_.hwnd(), WM_USER + 104, SW_SHOW, 0);
    EXPECT_TRUE(::IsWindowVisible(about));
}

TEST_F(MainWindowTest, ResizeLaysOutViewsCentresAboutAndAnchorsTheProgressBar) {
    Open();
    ASSERT_EQ(3u, dlg_.HostedViews().size());
    nsSkin::CSkinProgress* bar = dlg_.AnchoredControl();
    ASSERT_NE(nullptr, bar);
    POINT offset = dlg_.AnchorOffset();
    for (auto& view : factory_.views) view->layouts.clear();
    sink_.calls.clear();

    Resize(500, 340);
    RECT client = dlg_.GetClientRect();
    const int w = client.right, h = client.bottom;
    for (const wchar_t* name : {L"FileTreeView", L"SplitterBar"}) {
        RecordingView* view = factory_.Find(name);
        ASSERT_FALSE(view->layouts.empty()) << name;
        EXPECT_EQ(w, view->layouts.back().right);
        EXPECT_EQ(h, view->layouts.back().bottom);
        EXPECT_EQ(0, view->layouts.back().left | view->layouts.back().top);
    }
    EXPECT_TRUE(factory_.Find(L"FileListCtrl")->layouts.empty())
        << "only FileTreeView, FileListView and SplitterBar are laid out by the window";
    EXPECT_TRUE(factory_.Find(L"FileTreeView")->parentMessages.empty())
        << "the main window does not copy its messages to its views";

    RECT about = RectInParent(dlg_.FindButton(L"About")->hwnd());
    const int x = (100 + w - 140) / 2;
    EXPECT_EQ(x, about.left);
    EXPECT_EQ(2, about.top);
    EXPECT_EQ((140 + w - 100) / 2 - x, about.right - about.left);
    EXPECT_EQ(16, about.bottom - about.top);

    RECT progress = RectInParent(bar->hwnd());
    EXPECT_EQ(w - offset.x, progress.left);
    EXPECT_EQ(h - offset.y, progress.top);
    EXPECT_EQ(80, progress.right - progress.left);
    EXPECT_EQ(w, dlg_.TitleArea().right);
    EXPECT_FALSE(sink_.Named(L"UpdateUI").empty());

    // Minimized: no layout messages and the "About" button stays put.
    for (auto& view : factory_.views) view->layouts.clear();
    ::ShowWindow(dlg_.hwnd(), SW_MINIMIZE);
    FlushEvents();
    for (auto& view : factory_.views) EXPECT_TRUE(view->layouts.empty());
    // Only the skinned base's own relayout runs; the window does not re-centre it.
    nsSkin::CSkinButton* aboutButton = dlg_.FindButton(L"About");
    EXPECT_EQ(dlg_.AnchorRect(aboutButton->id.rect).left, RectInParent(aboutButton->hwnd()).left);
}

TEST_F(MainWindowTest, DoubleClickInTheTitleAreaMaximizesAndCloseAsksForPowerOff) {
    Open();
    sink_.calls.clear();
    ::SendMessageW(dlg_.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(150, 100));
    EXPECT_TRUE(sink_.Named(L"Maximize").empty()) << "outside the title area";
    ::SendMessageW(dlg_.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 10));
    EXPECT_EQ(1u, sink_.Named(L"Maximize").size());
    EXPECT_FALSE(sink_.Named(L"Maximize")[0].hasArgs);

    ::SendMessageW(dlg_.hwnd(), WM_CLOSE, 0, 0);
    FlushEvents();
    EXPECT_EQ(1u, sink_.Named(L"Power_Off").size());
    EXPECT_TRUE(::IsWindow(dlg_.hwnd())) << "the executive ends the application, not the window";
}

TEST_F(MainWindowTest, SystemCommand0x10OpensTheAboutBoxAndMaxTrackIsTheWorkArea) {
    Open();
    RecordingDialogs dialogs;
    ScopedModalDialogs scoped(dialogs);
    ::SendMessageW(dlg_.hwnd(), WM_SYSCOMMAND, 0x10, 0);
    ::SendMessageW(dlg_.hwnd(), WM_SYSCOMMAND, 0x1F, 0);  // masked: still 0x10
    EXPECT_EQ((std::vector<HWND>{dlg_.hwnd(), dlg_.hwnd()}), dialogs.aboutOwners);

    MINMAXINFO info{};
    ::SendMessageW(dlg_.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.right, info.ptMaxTrackSize.x);
    EXPECT_EQ(work.bottom, info.ptMaxTrackSize.y);
}

// The splitter reports where the user drags it; the window keeps both panes
// usable, moves the tree and list beside the bar and keeps the position.
TEST_F(MainWindowTest, TheSplitterMovesThePanesWithinLimitsAndIsRemembered) {
    config_.ints[L"SplitterPosition"] = 100;
    Open();
    HWND tree = factory_.Find(L"FileTreeView")->hwnd();
    HWND bar = factory_.Find(L"SplitterBar")->hwnd();
    HWND list = factory_.Find(L"FileListCtrl")->hwnd();
    const int lowest = 10 + CPelicanDlg::kMinTreeWidth;  // the tree starts at 10
    EXPECT_EQ(lowest, RectInParent(bar).left) << "the stored place, kept clear of the tree's minimum";
    // A wider window, with the list grown to its right edge as the list does.
    Resize(800, 400);
    ::MoveWindow(list, RectInParent(list).left, 30, 780 - RectInParent(list).left, 140, FALSE);
    const int highest = 780 - 4 - CPelicanDlg::kMinListWidth;
    struct Case {
        int asked, shown;
    } cases[] = {{40, lowest}, {300, 300}, {1000, highest}};
    for (const Case& c : cases) {
        ::SendMessageW(dlg_.hwnd(), WM_USER + 105, static_cast<WPARAM>(c.asked), 1);
        EXPECT_EQ(c.shown, RectInParent(bar).left) << c.asked;
        EXPECT_EQ(c.shown, RectInParent(tree).right) << c.asked;
        EXPECT_EQ(c.shown + 4, RectInParent(list).left) << c.asked;
        EXPECT_EQ(780, RectInParent(list).right) << c.asked;
        EXPECT_EQ(c.shown, config_.ints[L"SplitterPosition"]) << c.asked;
    }
}

TEST_F(MainWindowTest, UpdateCheckRunsEveryThirtyDays) {
    Open();
    FixedClock clock;
    platform::ScopedSystemServices scoped(clock);

    // No earlier check: the time is stored and the check runs without a record.
    sink_.calls.clear();
    dlg_.RunUpdateCheckSchedule();
    ASSERT_EQ(1u, sink_.Named(L"CheckUpdate").size());
    EXPECT_FALSE(sink_.Named(L"CheckUpdate")[0].hasArgs);
    EXPECT_EQ(static_cast<LONG>(clock.now), config_.ints[L"LastTimeCheckUpdate"]);

    // 29 days and a bit later: a quiet check, with a record, nothing stored.
    sink_.calls.clear();
    long long stored = clock.now;
    clock.now = stored + 30 * kDay - 1;
    dlg_.RunUpdateCheckSchedule();
    ASSERT_EQ(1u, sink_.Named(L"CheckUpdate").size());
    EXPECT_TRUE(sink_.Named(L"CheckUpdate")[0].hasArgs);
    EXPECT_EQ(static_cast<LONG>(stored), config_.ints[L"LastTimeCheckUpdate"]);

    // Exactly 30 days: counts as 30, so the full check runs and the time is stored again.
    sink_.calls.clear();
    clock.now = stored + 30 * kDay;
    dlg_.RunUpdateCheckSchedule();
    ASSERT_EQ(1u, sink_.Named(L"CheckUpdate").size());
    EXPECT_FALSE(sink_.Named(L"CheckUpdate")[0].hasArgs);
    EXPECT_EQ(static_cast<LONG>(clock.now), config_.ints[L"LastTimeCheckUpdate"]);
}

TEST(MainWindowWithoutLinks, HandlersDoNothing) {
    CPelicanDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    EXPECT_EQ(L"", dlg.GetWindowText()) << "no configuration: the title is left alone";
    ::SendMessageW(dlg.hwnd(), WM_USER + 101, 10, 5);
    ::SendMessageW(dlg.hwnd(), WM_USER + 102, 1, 0);
    ::SendMessageW(dlg.hwnd(), WM_LBUTTONDBLCLK, 0, 0);
    ::SendMessageW(dlg.hwnd(), WM_CLOSE, 0, 0);
    dlg.RunUpdateCheckSchedule();
    EXPECT_TRUE(::IsWindow(dlg.hwnd()));
    EXPECT_EQ(nullptr, dlg.AnchoredControl()) << "an unskinned window has no progress bar";
    dlg.DestroyWindow();
}

}  // namespace
