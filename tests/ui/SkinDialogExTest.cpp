// The skinned application dialog on a generated skin: control events as
// commands, local show/hide commands, hosted views, refreshes, the minimum
// size and the splitter bar.
#include <gtest/gtest.h>

#include "app/resource.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CSkinDialogEx.h"
#include "ui/CSplitterBar.h"
#include "platform/SystemServices.h"

namespace {

using namespace uitest;

// Opens the protected event handlers to the tests that cannot reach a control.
class TestDialog : public CSkinDialogEx {
public:
    TestDialog() : CSkinDialogEx(IDD_PELICAN_DIALOG) {}
    using CSkinDialogEx::OnSkinProgressChanged;
};

RECT RectInParent(HWND wnd) {
    RECT rc{};
    ::GetWindowRect(wnd, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(wnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class SkinDialogExTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestSkin(scratch_.path());
        config_.strings[L"CurrentSkinPath"] = scratch_.path();
        dlg_.SetLinks(&sink_, &factory_, &config_, nullptr);
        ASSERT_TRUE(dlg_.Create(nullptr));
        dlg_.LoadDialogSkin(L"TESTDLG");
        dlg_.ShowWindow(SW_SHOW);
        FlushEvents();
        sink_.calls.clear();
        sink_.asked.clear();
    }
    void TearDown() override {
        if (dlg_.hwnd()) dlg_.DestroyWindow();
        FlushEvents();
    }

    testsupport::ScratchFolder scratch_{L"skinex"};
    MemoryConfig config_;
    RecordingSink sink_;
    RecordingFactory factory_;
    TestDialog dlg_;
};

TEST_F(SkinDialogExTest, ControlEventsArriveAsCommandsWithTheirWords) {
    const INT_PTR self = reinterpret_cast<INT_PTR>(dlg_.hwnd());
    ASSERT_NE(nullptr, dlg_.FindButton(L"PLAY"));
    dlg_.OnButtonIndexClicked(0);  // what the button calls on a click
    ASSERT_EQ(1u, sink_.calls.size());
    const Invocation& click = sink_.calls[0];
    EXPECT_EQ(L"PLAY", click.name);
    EXPECT_EQ(0, click.param);
    EXPECT_EQ(self, click.words[0]);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, click.words[1]) << "cursor position in screen coordinates";
    EXPECT_EQ(cursor.y, click.words[2]);
    EXPECT_EQ(0, click.words[3] | click.words[4] | click.words[5]);

    // Slider codes: end of tracking 4, thumb position 3, anything else 2.
    nsSkin::CSkinSlider* slider = dlg_.FindSlider(L"volume");
    ASSERT_NE(nullptr, slider);
    slider->SetPos(40);
    sink_.calls.clear();
    for (int code : {TB_ENDTRACK, TB_THUMBPOSITION, TB_LINEDOWN})
        ::SendMessageW(dlg_.hwnd(), WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(slider->hwnd()));
    ASSERT_EQ(3u, sink_.calls.size());
    const LONG params[] = {4, 3, 2};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(L"VOLUME", sink_.calls[i].name);
        EXPECT_EQ(params[i], sink_.calls[i].param);
        EXPECT_EQ(self, sink_.calls[i].words[0]);
        EXPECT_EQ(40, sink_.calls[i].words[3]);
        EXPECT_EQ(0, sink_.calls[i].words[1] | sink_.calls[i].words[2] | sink_.calls[i].words[5]);
    }

    sink_.calls.clear();
    static_cast<nsSkin::CSkinDialog&>(dlg_).OnSkinProgressChanged(L"CopyProgress", 77);
    ASSERT_EQ(1u, sink_.calls.size());
    EXPECT_EQ(L"CopyProgress", sink_.calls[0].name);
    EXPECT_EQ(77, sink_.calls[0].words[3]);
    EXPECT_EQ(self, sink_.calls[0].words[0]);

    sink_.calls.clear();
    sink_.textWord4 = true;
    dlg_.FindComboBox(L"Root")->SetCurSel(1);
    ASSERT_EQ(1u, sink_.Named(L"Root").size());
    const Invocation sel = sink_.Named(L"Root")[0];
    EXPECT_EQ(1, sel.words[3]);
    EXPECT_EQ(L"Device", sel.text4);
    EXPECT_EQ(self, sel.words[0]);

    sink_.calls.clear();
    sink_.textWord4 = false;
    sink_.textWord3 = true;
    dlg_.FindEdit(L"PATH")->SetWindowText(L"C:\\Music");
    FlushEvents();
    ASSERT_FALSE(sink_.Named(L"PATH").empty());
    const Invocation text = sink_.Named(L"PATH").back();
    EXPECT_EQ(L"C:\\Music", text.text3);
    EXPECT_EQ(13, text.words[5]);
    EXPECT_EQ(0, text.words[4]);
}

TEST_F(SkinDialogExTest, MouseMessagesPostedToASkinButtonClickIt) {
    // What a driving test does: hover, press and release at a point inside.
    ::SetForegroundWindow(dlg_.hwnd());
    HWND play = dlg_.FindButton(L"PLAY")->hwnd();
    ::PostMessageW(play, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ::PostMessageW(play, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(play, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    FlushEvents();
    ASSERT_EQ(1u, sink_.Named(L"PLAY").size());
    EXPECT_EQ(reinterpret_cast<INT_PTR>(dlg_.hwnd()), sink_.Named(L"PLAY")[0].words[0]);
}

TEST_F(SkinDialogExTest, LabelClicksStayAndBackgroundReleaseNamesTheWindow) {
    ::SendMessageW(dlg_.FindLabel(L"Information")->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(dlg_.FindLabel(L"Information")->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    FlushEvents();
    EXPECT_TRUE(sink_.Named(L"Information").empty()) << "label clicks are not forwarded";

    ::SendMessageW(dlg_.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(150, 190));
    ASSERT_EQ(1u, sink_.Named(L"TESTDLG").size());
    EXPECT_EQ(reinterpret_cast<INT_PTR>(dlg_.hwnd()), sink_.Named(L"TESTDLG")[0].words[0]);

    sink_.calls.clear();
    dlg_.SetCommandSink(nullptr);
    dlg_.OnButtonIndexClicked(0);
    ::SendMessageW(dlg_.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(150, 190));
    EXPECT_TRUE(sink_.calls.empty()) << "no sink: events are dropped";
    EXPECT_EQ(S_OK, dlg_.UpdateUI(L"PLAY"));
}

TEST_F(SkinDialogExTest, LocalShowHideTogglesAndOnlyTheNoticeReachesTheSink) {
    sink_.textWord4 = true;
    ASSERT_TRUE(dlg_.IsWindowVisible());
    dlg_.OnButtonIndexClicked(1);  // THIS.SHOWHIDE
    EXPECT_FALSE(dlg_.IsWindowVisible());
    dlg_.OnButtonIndexClicked(1);
    EXPECT_TRUE(dlg_.IsWindowVisible());
    ASSERT_EQ(2u, sink_.calls.size());
    for (const auto& call : sink_.calls) {
        EXPECT_EQ(L"ProcessWindowShowHide", call.name);
        EXPECT_EQ(L"TESTDLG", call.text4);
        EXPECT_EQ(0, call.words[0]);
    }
    EXPECT_EQ(SW_HIDE, sink_.calls[0].words[3]);
    EXPECT_EQ(SW_SHOW, sink_.calls[1].words[3]);

    sink_.calls.clear();
    dlg_.OnButtonIndexClicked(2);  // OTHERDLG.SHOWHIDE: another window's section
    ASSERT_EQ(1u, sink_.calls.size());
    EXPECT_EQ(L"OTHERDLG.SHOWHIDE", sink_.calls[0].name) << "invoked as an ordinary command";
    EXPECT_TRUE(dlg_.IsWindowVisible());

    sink_.calls.clear();
    dlg_.OnButtonIndexClicked(3);  // TESTDLG.Minimize: the section name as target
    EXPECT_TRUE(::IsIconic(dlg_.hwnd()));
    ASSERT_EQ(1u, sink_.calls.size());
    EXPECT_EQ(SW_MINIMIZE, sink_.calls[0].words[3]);

    EXPECT_EQ(0, dlg_.HandleLocalCommand(L"this.explode")) << "unknown action";
    EXPECT_EQ(0, dlg_.HandleLocalCommand(L"PLAY"));
    EXPECT_EQ(0, dlg_.HandleLocalCommand(L""));
}

TEST_F(SkinDialogExTest, AppViewsStopAtTheFirstGapAndKeepTheirParameter) {
    ASSERT_EQ(2u, factory_.requests.size()) << "key 4 follows a gap and is never read";
    EXPECT_EQ(L"FileTreeView", factory_.requests[0].name);
    EXPECT_TRUE(SameRect(RECT{12, 22, 112, 172}, factory_.requests[0].rect));
    EXPECT_EQ(L"", factory_.requests[0].param) << "name and four numbers only: empty parameter";
    EXPECT_EQ(L"BottomContainer", factory_.requests[1].name);
    EXPECT_TRUE(SameRect(RECT{120, 22, 170, 72}, factory_.requests[1].rect));
    EXPECT_EQ(L"mode=1,x", factory_.requests[1].param) << "the parameter keeps its commas";
    ASSERT_EQ(2u, dlg_.HostedViews().size());

    // Hosted views see the dialog's messages first.
    RecordingView* tree = factory_.Find(L"FileTreeView");
    ASSERT_NE(nullptr, tree);
    tree->parentMessages.clear();
    ::SetWindowPos(dlg_.hwnd(), nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_NE(tree->parentMessages.end(), std::find(tree->parentMessages.begin(), tree->parentMessages.end(), WM_SIZE));

    std::vector<IEmberAppModuleView*> before = dlg_.HostedViews();
    dlg_.DestroyHostedViews();
    EXPECT_TRUE(dlg_.HostedViews().empty());
    EXPECT_EQ(before, factory_.destroyed) << "handed back in creation order";

    // A view the factory refuses is skipped; the list goes on.
    factory_.requests.clear();
    factory_.refuse[L"FileTreeView"] = true;
    dlg_.LoadAppViews();
    EXPECT_EQ(2u, factory_.requests.size());
    ASSERT_EQ(1u, dlg_.HostedViews().size());
}

TEST_F(SkinDialogExTest, BorderedWindowsShiftTheirViewsByTheDialogFrame) {
    LONG style = ::GetWindowLongW(dlg_.hwnd(), GWL_STYLE);
    ::SetWindowLongW(dlg_.hwnd(), GWL_STYLE, style | WS_BORDER);
    factory_.requests.clear();
    dlg_.LoadAppViews();
    ASSERT_FALSE(factory_.requests.empty());
    const int dx = ::GetSystemMetrics(SM_CXDLGFRAME), dy = ::GetSystemMetrics(SM_CYDLGFRAME);
    EXPECT_TRUE(SameRect(RECT{12 - dx, 22 - dy, 112 - dx, 172 - dy}, factory_.requests[0].rect));
}

TEST(SkinDialogExDefaults, AnEmptySkinSettingPointsAtTheProgramsDefaultSkin) {
    MemoryConfig config;
    RecordingSink sink;
    TestDialog dlg;
    dlg.SetLinks(&sink, nullptr, &config, nullptr);
    ASSERT_TRUE(dlg.Create(nullptr));
    const std::wstring expected = testsupport::TestDirectory() + L"skins\\default\\";
    // No skin beside the program yet: nothing is stored, and the folder looked in is named.
    EXPECT_FALSE(dlg.LoadDialogSkin(L"MAINDLG"));
    EXPECT_EQ(expected, dlg.MissingSkin());
    EXPECT_EQ(0u, config.strings.count(L"CurrentSkinPath"));

    ::CreateDirectoryW((testsupport::TestDirectory() + L"skins").c_str(), nullptr);
    ::CreateDirectoryW(expected.c_str(), nullptr);
    ASSERT_TRUE(testsupport::WriteFileBytes(expected + L"skin.ini", "[MAINDLG]\r\n"));
    EXPECT_TRUE(dlg.LoadDialogSkin(L"MAINDLG"));
    EXPECT_EQ(expected, config.strings[L"CurrentSkinPath"]);
    EXPECT_EQ(expected, config.strings[L"SkinPath"]);
    EXPECT_EQ(expected + L"skin.ini", dlg.SkinPath());
    EXPECT_TRUE(dlg.HostedViews().empty()) << "no view factory: no views";
    dlg.DestroyWindow();
    testsupport::RemoveTree(testsupport::TestDirectory() + L"skins");
}

// A skin over the memory budget is refused with a message that names it, and
// the shipped skin is drawn instead; when the shipped skin is missing too,
// the folder looked in is named for the start-up to end.
TEST(SkinDialogExDefaults, ASkinOverItsBudgetIsRefusedForTheDefaultSkin) {
    testsupport::ScratchFolder scratch(L"huge");
    WriteTestSkin(scratch.path());
    std::string ini = testsupport::ReadFileBytes(scratch.path() + L"skin.ini");
    const std::string lastEnum = "3=PLAYCAPTIONS,0,1,1,Play,Pause\r\n";
    ini.insert(ini.find(lastEnum) + lastEnum.size(), "4=HUGE,0,0,65536," + std::string(4000, 'x') + "\r\n");
    ASSERT_TRUE(testsupport::WriteFileBytes(scratch.path() + L"skin.ini", ini));
    const std::wstring shipped = testsupport::TestDirectory() + L"skins\\default\\";
    for (bool shippedThere : {false, true}) {
        if (shippedThere) {
            ::CreateDirectoryW((testsupport::TestDirectory() + L"skins").c_str(), nullptr);
            ::CreateDirectoryW(shipped.c_str(), nullptr);
            WriteTestSkin(shipped);
        }
        RecordingSystem system;
        platform::ScopedSystemServices seam(system);
        MemoryConfig config;
        config.strings[L"CurrentSkinPath"] = scratch.path();
        RecordingSink sink;
        TestDialog dlg;
        dlg.SetLinks(&sink, nullptr, &config, nullptr);
        ASSERT_TRUE(dlg.Create(nullptr));
        EXPECT_EQ(shippedThere, dlg.LoadDialogSkin(L"TESTDLG"));
        ASSERT_EQ(1u, system.boxes.size());
        EXPECT_EQ(0u, system.boxes[0].find(L"The skin in \"" + scratch.path() + L"\" needs more than"));
        EXPECT_EQ(shippedThere ? std::wstring() : shipped, dlg.MissingSkin());
        EXPECT_TRUE(dlg.RefusedSkin().empty());
        if (shippedThere) {
            EXPECT_EQ(shipped + L"skin.ini", dlg.SkinPath());
            EXPECT_EQ(shipped, config.strings[L"CurrentSkinPath"]);
            EXPECT_NE(nullptr, dlg.FindButton(L"PLAY")) << "drawn from the shipped skin";
        }
        dlg.DestroyWindow();
    }
    testsupport::RemoveTree(testsupport::TestDirectory() + L"skins");
}

TEST_F(SkinDialogExTest, NamedRefreshTouchesOnlyThatName) {
    const wchar_t* ready = L"Ready";
    const wchar_t* other = L"zzz";
    sink_.values[L"INFORMATION"] = reinterpret_cast<INT_PTR>(ready);
    sink_.values[L"OTHER"] = reinterpret_cast<INT_PTR>(other);
    dlg_.UpdateUI(L"Information");
    EXPECT_EQ(L"Ready", dlg_.Labels()[0]->GetText());
    EXPECT_EQ(L"Ready", dlg_.Labels()[1]->GetText()) << "every label of the name, in any case";
    EXPECT_EQ(L"other", dlg_.Labels()[2]->GetText());
    ASSERT_EQ(1u, sink_.asked.size());
    EXPECT_EQ(L"Information", sink_.asked[0]);

    // A list: the rest after each comma is trimmed.
    sink_.asked.clear();
    sink_.disabled[L"PLAY"] = true;
    sink_.disabled[L"PATH"] = true;
    dlg_.UpdateUI(L"PLAY,  PATH ");
    EXPECT_EQ((std::vector<std::wstring>{L"PLAY", L"PATH"}), sink_.asked);
    EXPECT_FALSE(::IsWindowEnabled(dlg_.FindButton(L"PLAY")->hwnd()));
    EXPECT_TRUE(dlg_.FindEdit(L"PATH")->IsReadOnly());
    EXPECT_TRUE(::IsWindowEnabled(dlg_.FindEdit(L"PATH")->hwnd())) << "an edit box becomes read-only instead";

    // The window's own section shows or hides the window.
    sink_.values[L"TESTDLG"] = SW_HIDE;
    dlg_.UpdateUI(L"TESTDLG");
    EXPECT_FALSE(dlg_.IsWindowVisible());
    sink_.values[L"TESTDLG"] = SW_SHOW;
    dlg_.UpdateUI(L"TESTDLG");
    EXPECT_TRUE(dlg_.IsWindowVisible());

    // A hosted view of the name refreshes everything it shows.
    RecordingView* tree = factory_.Find(L"FileTreeView");
    ASSERT_NE(nullptr, tree);
    tree->refreshes.clear();
    dlg_.UpdateUI(L"filetreeview");
    EXPECT_EQ((std::vector<std::wstring>{L""}), tree->refreshes);
}

TEST_F(SkinDialogExTest, PulledValuesReachEachControlKind) {
    // Progress: high word the maximum, low word the position.
    sink_.values[L"COPYPROGRESS"] = (100 << 16) | 50;
    sink_.seconds[L"COPYPROGRESS"] = 0;
    dlg_.UpdateUI(L"CopyProgress");
    nsSkin::CSkinProgress* bar = dlg_.FindProgress(L"CopyProgress");
    EXPECT_EQ(100, bar->GetRangeMax());
    EXPECT_EQ(50, bar->GetPos());
    // The executive keeps its progress row disabled; the bar still moves.
    sink_.disabled[L"COPYPROGRESS"] = true;
    sink_.values[L"COPYPROGRESS"] = 42;
    dlg_.UpdateUI(L"CopyProgress");
    EXPECT_FALSE(::IsWindowEnabled(bar->hwnd()));
    EXPECT_EQ(42, bar->GetPos());
    EXPECT_EQ(100, bar->GetRangeMax()) << "no high word: the maximum stays";
    sink_.values[L"COPYPROGRESS"] = 50;
    dlg_.UpdateUI(L"CopyProgress");
    // A limit below the new position holds the bar back.
    sink_.values[L"COPYPROGRESS"] = (100 << 16) | 80;
    sink_.seconds[L"COPYPROGRESS"] = 60;
    dlg_.UpdateUI(L"CopyProgress");
    EXPECT_EQ(50, bar->GetPos());

    sink_.values[L"VOLUME"] = 30;
    sink_.values[L"ROOT"] = 1;
    sink_.values[L"PATH"] = reinterpret_cast<INT_PTR>(L"D:\\Books");
    sink_.calls.clear();
    dlg_.UpdateUI(L"VOLUME,Root,PATH");
    EXPECT_EQ(30, dlg_.FindSlider(L"VOLUME")->GetPos());
    EXPECT_EQ(1, dlg_.FindComboBox(L"Root")->GetCurSel());
    EXPECT_TRUE(sink_.Named(L"Root").empty()) << "a pulled selection is not reported as a user's choice";
    EXPECT_EQ(L"D:\\Books", dlg_.FindEdit(L"PATH")->GetWindowText());
    sink_.values[L"ROOT"] = 7;
    sink_.values[L"PATH"] = -1;
    dlg_.UpdateUI(L"Root,PATH");
    EXPECT_EQ(1, dlg_.FindComboBox(L"Root")->GetCurSel()) << "an index outside the items is ignored";
    EXPECT_EQ(L"", dlg_.FindEdit(L"PATH")->GetWindowText()) << "-1 stands for an empty text";

    // A button without state pictures shows pressed exactly at 1.
    nsSkin::CSkinButton* play = dlg_.FindButton(L"PLAY");
    sink_.values[L"PLAY"] = 1;
    dlg_.UpdateUI(L"PLAY");
    EXPECT_TRUE(play->IsOn());
    sink_.values[L"PLAY"] = 0;
    dlg_.UpdateUI(L"PLAY");
    EXPECT_FALSE(play->IsOn());
    EXPECT_FALSE(play->IsToggle()) << "a push button stays a push button";

    // With state pictures: the enum items give pictures, tooltip and caption.
    nsSkin::CSkinButton* mode = dlg_.FindButton(L"MODE");
    sink_.values[L"MODE"] = 1;
    dlg_.UpdateUI(L"");
    EXPECT_EQ(1, mode->GetStateIndex());
    EXPECT_EQ(L"Pause", mode->GetWindowText());
    // The state picture now comes from the image list, not from the window picture.
    HBITMAP picture = mode->StateBitmap(nsSkin::CBitmapBtn::kNormal);
    ASSERT_NE(nullptr, picture);
    HDC mem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, picture);
    EXPECT_EQ(RGB(40, 80, 120), ::GetPixel(mem, 1, 1));
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
}

TEST_F(SkinDialogExTest, EnterAndEscapeNeverCloseTheWindow) {
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        MSG msg{dlg_.hwnd(), WM_KEYDOWN, key, 0x00010001, 0, {}};
        static_cast<platform::CWnd&>(dlg_).PreTranslateMessage(&msg);
        FlushEvents();
    }
    ::SendMessageW(dlg_.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::SendMessageW(dlg_.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    FlushEvents();
    EXPECT_TRUE(::IsWindow(dlg_.hwnd()));
    EXPECT_TRUE(dlg_.IsWindowVisible());
}

TEST_F(SkinDialogExTest, MinimumSizeComesFromTheBorderPieces) {
    MINMAXINFO info{};
    ::SendMessageW(dlg_.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    // Width: bottom corners 30 + 260 beat the top's 30 + 160 + 90; tiles not counted.
    EXPECT_EQ(290, info.ptMinTrackSize.x);
    // Height: 20 + 20 + right pieces 20 + 130 + tile 10 beat the left's 20 + 70 + 10 + 10.
    EXPECT_EQ(200, info.ptMinTrackSize.y);
    RECT wr = dlg_.GetWindowRect();
    EXPECT_EQ(320, wr.right - wr.left) << "InitSize";
    EXPECT_EQ(220, wr.bottom - wr.top);
}

TEST_F(SkinDialogExTest, SplitterKeepsItsWidthAndFollowsTheHeight) {
    CSplitterBar bar;
    ASSERT_TRUE(bar.CreateChild(RECT{110, 30, 114, 170}, dlg_.hwnd(), L"", IDD_SPLITTER));
    bar.SetLinks(&sink_, &factory_, &config_, nullptr);
    bar.LoadDialogSkin(L"SplitterBar");
    EXPECT_EQ(4, bar.BarWidth());
    RECT grown{0, 0, 600, 400};
    ::SendMessageW(bar.hwnd(), WM_USER + 103, 0, reinterpret_cast<LPARAM>(&grown));
    // Margins from a 320 x 220 parent: right 206, bottom 50.
    EXPECT_TRUE(SameRect(RECT{110, 30, 114, 350}, RectInParent(bar.hwnd())));
    RECT shrunk{0, 0, 300, 200};
    ::SendMessageW(bar.hwnd(), WM_USER + 103, 0, reinterpret_cast<LPARAM>(&shrunk));
    EXPECT_TRUE(SameRect(RECT{110, 30, 114, 150}, RectInParent(bar.hwnd())));
    ::SendMessageW(bar.hwnd(), WM_USER + 103, 0, 0);
    EXPECT_TRUE(SameRect(RECT{110, 30, 114, 150}, RectInParent(bar.hwnd()))) << "no rectangle: ignored";
    wchar_t name[32] = {};
    EXPECT_EQ(S_OK, bar.GetViewName(name, 32));
    EXPECT_STREQ(L"SplitterBar", name);
    EXPECT_EQ(E_POINTER, bar.GetViewName(nullptr, 32));
}

TEST_F(SkinDialogExTest, AnchoredContainerFollowsItsParentsEdges) {
    CSkinDialogEx box;
    EXPECT_EQ(1, box.AutoAnchor()) << "built without a template of its own";
    ASSERT_TRUE(box.CreateChild(RECT{10, 20, 110, 120}, dlg_.hwnd(), nullptr, 0));
    ::SetWindowPos(dlg_.hwnd(), nullptr, 0, 0, 420, 320, SWP_NOMOVE | SWP_NOZORDER);
    box.OnParentMessage(dlg_.hwnd(), WM_SIZE, 0, 0);
    // Margins right 210, bottom 100 kept from the 320 x 220 parent.
    EXPECT_TRUE(SameRect(RECT{10, 20, 210, 220}, RectInParent(box.hwnd())));
    box.SetAutoAnchor(0);
    ::SetWindowPos(dlg_.hwnd(), nullptr, 0, 0, 320, 220, SWP_NOMOVE | SWP_NOZORDER);
    box.OnParentMessage(dlg_.hwnd(), WM_SIZE, 0, 0);
    EXPECT_TRUE(SameRect(RECT{10, 20, 210, 220}, RectInParent(box.hwnd())));
}

}  // namespace
