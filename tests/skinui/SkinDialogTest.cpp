// The skinned dialog on a test skin: frame pieces, mask shape, control
// placement and anchoring, reloads, static texts, border zones and resizing.
#include <gtest/gtest.h>

#include "tests/skinui/SkinUiFixture.h"

namespace {

using namespace skinuitest;
using nsSkin::CSkinDialog;

constexpr COLORREF kInterior = RGB(230, 230, 230);
constexpr COLORREF kStringColor = RGB(16, 32, 48);

// Under Wine, PrintWindow answers with the window's own drawing (WM_PRINT);
// a copy from the window DC needs the window on screen. Both are tried.
Capture CaptureOf(HWND wnd) {
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    FlushEvents();
    return Capture(wnd, Capture::How::WindowDC);
}

TEST(SkinDialogFrame, BorderPiecesSitAtTheirPlacesAtSkinSizeAndAfterGrowing) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    EXPECT_EQ(0, dlg.WindowType());
    EXPECT_EQ(0, ::GetWindowLongW(dlg.hwnd(), GWL_STYLE) & WS_CAPTION) << "a frame window has no system caption";
    Capture shot = CaptureOf(dlg.hwnd());
    Capture printed(dlg.hwnd(), Capture::How::PrintWindow);
    EXPECT_EQ(RGB(200, 0, 0), printed.At(5, 5)) << "PrintWindow sees the same pieces";
    EXPECT_EQ(RGB(0, 0, 60), printed.At(295, 195));
    ASSERT_EQ(300, shot.Width());
    EXPECT_EQ(RGB(200, 0, 0), shot.At(5, 5)) << "top-left corner";
    EXPECT_EQ(RGB(0, 200, 0), shot.At(35, 5)) << "first top tile";
    EXPECT_EQ(RGB(0, 0, 200), shot.At(60, 5)) << "top middle";
    EXPECT_EQ(RGB(200, 200, 0), shot.At(165, 5)) << "second top tile";
    EXPECT_EQ(RGB(0, 200, 200), shot.At(250, 5)) << "top-right corner";
    EXPECT_EQ(RGB(120, 0, 0), shot.At(5, 30)) << "left upper piece";
    EXPECT_EQ(RGB(0, 120, 0), shot.At(5, 55)) << "left tile";
    EXPECT_EQ(RGB(0, 0, 120), shot.At(5, 150)) << "left lower piece";
    EXPECT_EQ(RGB(60, 0, 0), shot.At(26, 185)) << "bottom-left corner";
    EXPECT_EQ(RGB(0, 60, 0), shot.At(150, 195)) << "bottom tile";
    EXPECT_EQ(RGB(0, 0, 60), shot.At(295, 195)) << "bottom-right corner";
    EXPECT_EQ(RGB(0, 120, 120), shot.At(295, 55)) << "right tile";
    // The last static text's colour became the fill colour inside the borders.
    EXPECT_EQ(kStringColor, dlg.OtherColor());
    EXPECT_EQ(kStringColor, shot.At(150, 175));

    ::SetWindowPos(dlg.hwnd(), nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER);
    Capture grown = CaptureOf(dlg.hwnd());
    EXPECT_EQ(RGB(200, 0, 0), grown.At(5, 5));
    EXPECT_EQ(RGB(0, 200, 0), grown.At(80, 5)) << "the free width is shared by both tiles";
    EXPECT_EQ(RGB(0, 0, 200), grown.At(100, 5)) << "the middle piece moved to the centre";
    EXPECT_EQ(RGB(200, 200, 0), grown.At(215, 5));
    EXPECT_EQ(RGB(0, 200, 200), grown.At(395, 5)) << "top-right corner at the right edge";
    EXPECT_EQ(RGB(0, 120, 120), grown.At(395, 80)) << "the side tile stretches the right strip";
    EXPECT_EQ(RGB(120, 0, 120), grown.At(395, 200)) << "right lower piece ends above the bottom";
    EXPECT_EQ(RGB(0, 0, 60), grown.At(395, 255)) << "bottom-right corner in the corner";
    EXPECT_EQ(RGB(0, 60, 0), grown.At(300, 255)) << "bottom tile repeated";
}

TEST(SkinDialogFrame, ControlsSitAtTheirSkinRectsAndFollowTheAnchors) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    auto rectOf = [&](const wchar_t* name) { return RectInParent(dlg.FindButton(name)->hwnd()); };
    ASSERT_NE(nullptr, dlg.FindButton(L"close"));
    EXPECT_EQ((RECT{40, 30, 80, 50}), rectOf(L"PLAY"));
    EXPECT_EQ((RECT{275, 2, 291, 18}), rectOf(L"CLOSE"));
    EXPECT_EQ((RECT{40, 80, 140, 96}), RectInParent(dlg.FindSlider(L"VOLUME")->hwnd()));
    EXPECT_EQ((RECT{130, 152, 220, 170}), RectInParent(dlg.FindComboBox(L"SEARCH")->hwnd()))
        << "the group drop-down moves to its second rect";

    ::SetWindowPos(dlg.hwnd(), nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ((RECT{40, 30, 80, 50}), rectOf(L"PLAY")) << "inside the window: stays";
    EXPECT_EQ((RECT{375, 2, 391, 18}), rectOf(L"CLOSE")) << "top-right zone follows the right edge";
    EXPECT_EQ((RECT{2, 242, 22, 256}), rectOf(L"CORNER")) << "bottom-left zone follows the bottom";
    EXPECT_EQ((RECT{1, 100, 9, 108}), rectOf(L"LEFTMID")) << "middle of the left border: stays";
    EXPECT_EQ((RECT{150, 2, 170, 16}), rectOf(L"MIDTOP")) << "top band: centred with the middle piece";
    EXPECT_EQ(dlg.AnchorRect(RECT{275, 2, 291, 18}), rectOf(L"CLOSE"));
}

TEST(SkinDialogMask, TheShapeIsTheMaskMovedByTheOffsetAndTheWindowIsTaller) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"MASKDLG"));
    EXPECT_EQ(1, dlg.WindowType());
    RECT wr = dlg.GetWindowRect();
    EXPECT_EQ(120, wr.right - wr.left);
    EXPECT_EQ(80 + 30, wr.bottom - wr.top) << "MaskOffsetSize 0, 30 adds 30 pixels";
    platform::UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, ::GetWindowRgn(dlg.hwnd(), shape.get()));
    RECT box{};
    ::GetRgnBox(shape.get(), &box);
    EXPECT_EQ((RECT{10, 40, 110, 100}), box) << "the kept rectangle 10..110 x 10..70, 30 pixels lower";
    EXPECT_FALSE(::PtInRegion(shape.get(), 15, 15));
    EXPECT_TRUE(::PtInRegion(shape.get(), 15, 45));

    // With the panel shown the region is not moved.
    EXPECT_EQ(1, dlg.SetPanelMask(L"MaskWithAdvancedPanel"));
    EXPECT_TRUE(dlg.AdvancedPanel());
    ::GetWindowRgn(dlg.hwnd(), shape.get());
    ::GetRgnBox(shape.get(), &box);
    EXPECT_EQ((RECT{0, 0, 120, 60}), box);
    EXPECT_EQ(0, dlg.SetPanelMask(L"NoSuchKey"));
}

TEST(SkinDialogReload, AHiddenWindowStaysHiddenAndAShownOneComesBack) {
    RecordingDialog hidden;
    ASSERT_TRUE(hidden.Open(L"FRAMEDLG", false));
    EXPECT_FALSE(hidden.IsWindowVisible());
    HWND oldPlay = hidden.FindButton(L"PLAY")->hwnd();
    hidden.LoadSkin();
    EXPECT_FALSE(hidden.IsWindowVisible());
    EXPECT_FALSE(::IsWindow(oldPlay)) << "a reload recreates the controls";
    ASSERT_NE(nullptr, hidden.FindButton(L"PLAY"));

    RecordingDialog shown;
    ASSERT_TRUE(shown.Open(L"FRAMEDLG"));
    shown.LoadSkin();
    EXPECT_TRUE(shown.IsWindowVisible());
}

TEST(SkinDialogReload, StaticTextsAreRebuiltFromTheNewMain) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    ASSERT_EQ(1u, dlg.StaticTexts().size());
    const nsSkin::_STRING_INFO& before = *dlg.StaticTexts()[0];
    EXPECT_EQ(L"Stat", before.text);
    EXPECT_EQ((RECT{200, 130, 260, 144}), before.rect);
    EXPECT_EQ(kInterior, PixelOf(before.background.get(), 0, 0));

    dlg.SetSkin(AltSkinFile(), L"FRAMEDLG");
    dlg.LoadSkin();
    ASSERT_EQ(1u, dlg.StaticTexts().size());
    EXPECT_EQ(RGB(90, 20, 160), PixelOf(dlg.StaticTexts()[0]->background.get(), 0, 0));
    EXPECT_TRUE(dlg.Buttons().empty()) << "the other skin declares no buttons";
}

TEST(SkinDialogFrame, WithoutMainTheWindowIsFilledWithBKColorAndStillResizable) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"BAREDLG"));
    Capture shot = CaptureOf(dlg.hwnd());
    EXPECT_EQ(RGB(0, 0, 128), shot.At(150, 100));
    RECT wr = dlg.GetWindowRect();
    EXPECT_EQ(HTBOTTOMRIGHT, dlg.HitTestBorder(POINT{wr.right - 4, wr.bottom - 4})) << "5-pixel corners";
    EXPECT_EQ(0, dlg.HitTestBorder(POINT{wr.right - 6 - ::GetSystemMetrics(SM_CXDLGFRAME), wr.top + 100}));
    EXPECT_EQ(HTTOPLEFT, dlg.HitTestBorder(POINT{wr.left + 2, wr.top + 2}));
}

TEST(SkinDialogFrame, BorderZonesUseTheBorderWidths) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    RECT wr = dlg.GetWindowRect();
    EXPECT_EQ(HTBOTTOMRIGHT, dlg.HitTestBorder(POINT{wr.right - 9, wr.bottom - 19}));
    EXPECT_EQ(HTTOPRIGHT, dlg.HitTestBorder(POINT{wr.right - 9, wr.top + 19})) << "top corners use B";
    EXPECT_EQ(HTBOTTOMLEFT, dlg.HitTestBorder(POINT{wr.left + 9, wr.bottom - 1}));
    EXPECT_EQ(HTRIGHT, dlg.HitTestBorder(POINT{wr.right - 1, wr.top + 100}));
    EXPECT_EQ(HTBOTTOM, dlg.HitTestBorder(POINT{wr.left + 150, wr.bottom - 1}));
    EXPECT_EQ(0, dlg.HitTestBorder(POINT{wr.left + 150, wr.top + 100}));
    EXPECT_EQ(HTBOTTOMRIGHT,
              ::SendMessageW(dlg.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(wr.right - 2, wr.bottom - 2)));
    EXPECT_TRUE(::SendMessageW(dlg.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(dlg.hwnd()),
                               MAKELPARAM(HTBOTTOMRIGHT, WM_MOUSEMOVE)));
    EXPECT_EQ(::LoadCursorW(nullptr, IDC_SIZENWSE), ::GetCursor());
    ::SendMessageW(dlg.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(wr.right - 1, wr.top + 100));
    ::SendMessageW(dlg.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(dlg.hwnd()), MAKELPARAM(HTRIGHT, WM_MOUSEMOVE));
    EXPECT_EQ(::LoadCursorW(nullptr, IDC_SIZEWE), ::GetCursor());
}

TEST(SkinDialogFrame, DraggingTheBottomRightCornerResizesAndRelaysOut) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    RECT wr = dlg.GetWindowRect();
    POINT grip{wr.right - 2, wr.bottom - 2};
    ASSERT_EQ(HTBOTTOMRIGHT, ::SendMessageW(dlg.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)));
    ::SendMessageW(dlg.hwnd(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(grip.x, grip.y));
    EXPECT_EQ(dlg.hwnd(), ::GetCapture());
    POINT to{wr.left + 350, wr.top + 240};
    POINT client = to;
    ::ScreenToClient(dlg.hwnd(), &client);
    ::SendMessageW(dlg.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    ::SendMessageW(dlg.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    EXPECT_NE(dlg.hwnd(), ::GetCapture());
    RECT now = dlg.GetWindowRect();
    EXPECT_EQ(350, now.right - now.left);
    EXPECT_EQ(240, now.bottom - now.top);
    EXPECT_EQ((RECT{325, 2, 341, 18}), RectInParent(dlg.FindButton(L"CLOSE")->hwnd()));
}

TEST(SkinDialogFrame, APressOnTheBackgroundMovesTheWindowByItsCaption) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    ::SendMessageW(dlg.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 175));
    MSG msg{};
    // Taken off the queue unhandled: the system move loop would wait for the mouse.
    ASSERT_TRUE(::PeekMessageW(&msg, dlg.hwnd(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), msg.wParam);
    RECT wr = dlg.GetWindowRect();
    EXPECT_EQ(MAKELPARAM(wr.left + 150, wr.top + 175), msg.lParam);
}

TEST(SkinDialogLookups, NamesMatchInAnyCaseAndEnableOnlyChangesWhatDiffers) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    EXPECT_EQ(8u, dlg.Buttons().size());
    EXPECT_EQ(dlg.FindButton(L"PLAY"), dlg.FindButton(L"play"));
    EXPECT_EQ(L"TOGGLE", dlg.Buttons()[1]->Name()) << "button names are upper-cased";
    EXPECT_EQ(nullptr, dlg.FindSlider(L"BROKEN")) << "a trackbar without all thumbs is not registered";
    EXPECT_EQ(1u, dlg.Sliders().size());
    EXPECT_EQ(25, dlg.FindSlider(L"volume")->GetPos());
    EXPECT_NE(nullptr, dlg.FindLabel(L"short"));
    EXPECT_NE(nullptr, dlg.FindProgress(L"seek"));
    EXPECT_NE(nullptr, dlg.FindEdit(L"name"));
    EXPECT_NE(nullptr, dlg.FindListBox(L"list"));
    EXPECT_EQ(100, dlg.FindListBox(L"LIST")->GetCount());
    EXPECT_EQ(nullptr, dlg.FindButton(L"nothing"));

    dlg.EnableSkinButton(L"play", false);
    EXPECT_FALSE(::IsWindowEnabled(dlg.FindButton(L"PLAY")->hwnd()));
    EXPECT_EQ(nsSkin::CBitmapBtn::kDisabled, dlg.FindButton(L"PLAY")->GetState());
    dlg.EnableSkinButton(L"PLAY", true);
    EXPECT_EQ(nsSkin::CBitmapBtn::kNormal, dlg.FindButton(L"PLAY")->GetState());
    dlg.EnableSkinSlider(L"Volume", false);
    EXPECT_FALSE(::IsWindowEnabled(dlg.FindSlider(L"VOLUME")->hwnd()));
    dlg.EnableSkinButton(L"nothing", false);  // changes nothing, does not crash
}

TEST(SkinDialogButtons, SetButtonImagesTakesStripsSinglesAndTheWindowPictures) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    nsSkin::CSkinButton* play = dlg.FindButton(L"PLAY");
    EXPECT_EQ(RGB(10, 100, 10), PixelOf(play->StateBitmap(0), 5, 5));
    EXPECT_EQ(RGB(10, 150, 10), PixelOf(play->StateBitmap(1), 5, 5));

    dlg.SetButtonImages(L"play", L"STRIP", L"", L"", L"");
    EXPECT_EQ(RGB(255, 128, 0), PixelOf(play->StateBitmap(0), 5, 5)) << "first quarter";
    EXPECT_EQ(RGB(255, 0, 128), PixelOf(play->StateBitmap(1), 5, 5));
    EXPECT_EQ(RGB(128, 255, 0), PixelOf(play->StateBitmap(2), 5, 5));
    EXPECT_EQ(RGB(0, 128, 255), PixelOf(play->StateBitmap(3), 5, 5));
    RECT size = play->GetClientRect();
    EXPECT_EQ(40, size.right);

    dlg.SetButtonImages(L"PLAY", L"ALONE", L"S1", L"", L"S3");
    for (int s = 0; s < 4; ++s) EXPECT_EQ(RGB(255, 128, 0), PixelOf(play->StateBitmap(s), 5, 5)) << s;

    dlg.SetButtonImages(L"PLAY", L"", L"", L"", L"");
    EXPECT_EQ(RGB(10, 200, 10), PixelOf(play->StateBitmap(2), 5, 5)) << "back to the window's Down picture";
}

TEST(SkinDialogTooltips, ControlsWithATooltipAreRegistered) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    ASSERT_NE(nullptr, dlg.ToolTipWindow());
    // PLAY, CLOSE, VOLUME, SEEK, KIND, SEARCH; the edit box has its own.
    EXPECT_EQ(6, ::SendMessageW(dlg.ToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0));
    wchar_t text[128] = {};
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = dlg.FindButton(L"PLAY")->hwnd();
    info.uId = 1;
    info.lpszText = text;
    ::SendMessageW(dlg.ToolTipWindow(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(L"Play it [PLAY]", text) << "the tooltip ends with the window's suffix";
    EXPECT_NE(nullptr, dlg.FindEdit(L"NAME")->ToolTipWindow());

    dlg.UpdateToolTip(info.hwnd, L"Pause");
    EXPECT_EQ(6, ::SendMessageW(dlg.ToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0));
    ::SendMessageW(dlg.ToolTipWindow(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(L"Pause", text);

    // Reloads rebuild the controls; their tools do not pile up.
    for (int i = 0; i < 5; ++i) dlg.LoadSkin();
    EXPECT_EQ(6, ::SendMessageW(dlg.ToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0));
}

// Border numbers that once made one repaint issue 2e9 blits (and every later
// start hang, as the skin folder is remembered): bounded by the picture, each
// repaint of a window of the default size stays short.
TEST(SkinDialogBounds, HostileBorderNumbersRepaintQuickly) {
    testsupport::ScratchFolder scratch(L"hostile");
    const std::wstring folder = testsupport::SourceDirectory() + L"tests\\skin\\ctl\\";
    ASSERT_TRUE(::CopyFileW((folder + L"main.bmp").c_str(), (scratch.path() + L"main.bmp").c_str(), FALSE));
    struct Case {
        const wchar_t* left;
        const wchar_t* bottom;
    } cases[] = {{L"1,0,88,1,0,0", L"960,-2000000000,0,0,0,0"},
                 {L"1,-2000000000,0,1,1,1", L"2147483647,2147483647,1,1,2,1"},
                 {L"2147483647,2147483647,0,1,0,0", L"1,1,0,1,2,1"}};
    for (const Case& c : cases) {
        std::wstring ini = L"[W]\r\nMain=main.bmp\r\nTopParam=300,20,0,1,2,1\r\nLeftParam=" + std::wstring(c.left) +
                           L"\r\nBottomParam=" + c.bottom + L"\r\nRightParam=" + c.left + L"\r\n";
        std::string bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(ini.c_str()), ini.size() * sizeof(wchar_t));
        ASSERT_TRUE(testsupport::WriteFileBytes(scratch.path() + L"skin.ini", bytes));
        RecordingDialog dlg;
        ASSERT_TRUE(dlg.Open(L"W", false, scratch.path() + L"skin.ini"));
        ::SetWindowPos(dlg.hwnd(), nullptr, 0, 0, 960, 620, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        DWORD best = ~0u;
        for (int round = 0; round < 3; ++round) {
            DWORD start = ::GetTickCount();
            dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(platform::WindowDC(dlg.hwnd()).get()));
            best = std::min<DWORD>(best, ::GetTickCount() - start);
        }
        EXPECT_LT(best, 50u) << "case " << (&c - cases);
    }
}

}  // namespace

namespace {

using namespace skinuitest;

TEST(SkinDialogResizingMask, TheWindowTakesTheMaskAndItsShapeStretchesAtTheCutLines) {
    RecordingDialog dlg;
    dlg.SetSkin(SkinFile(), L"RESIZEDLG");
    ASSERT_TRUE(dlg.Create(nullptr));
    EXPECT_TRUE(dlg.HasResizingMask());
    RECT wr = dlg.GetWindowRect();
    EXPECT_EQ(300, wr.right - wr.left) << "sized to the mask's bounding box";
    EXPECT_EQ(200, wr.bottom - wr.top);
    platform::UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, ::GetWindowRgn(dlg.hwnd(), shape.get()));
    EXPECT_FALSE(::PtInRegion(shape.get(), 297, 2));

    ::SetWindowPos(dlg.hwnd(), nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_NE(ERROR, ::GetWindowRgn(dlg.hwnd(), shape.get()));
    RECT box{};
    ::GetRgnBox(shape.get(), &box);
    EXPECT_EQ((RECT{0, 0, 400, 260}), box);
    EXPECT_FALSE(::PtInRegion(shape.get(), 397, 2)) << "the top-right cut moved with the right edge";
    EXPECT_FALSE(::PtInRegion(shape.get(), 2, 257)) << "the bottom-left cut moved with the bottom";
    EXPECT_TRUE(::PtInRegion(shape.get(), 397, 100));
    EXPECT_TRUE(::PtInRegion(shape.get(), 200, 257));
}

// Every text read from the skin passes through the hook.
class ShoutingDialog : public RecordingDialog {
protected:
    void LocalizeText(std::wstring& text, UINT) override {
        for (wchar_t& c : text) c = static_cast<wchar_t>(::towupper(c));
    }
};

TEST(SkinDialogLocalize, TextsFromTheSkinPassThroughLocalizeText) {
    ShoutingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    EXPECT_EQ(L"HI", dlg.FindLabel(L"SHORT")->GetText());
    EXPECT_EQ(L"STAT", dlg.StaticTexts()[0]->text);
    EXPECT_EQ(L"GO", dlg.FindButton(L"CAPT")->GetWindowText());
    EXPECT_EQ(L"ALPHA", dlg.FindComboBox(L"KIND")->GetItemText(0));
}

TEST(SkinDialogMissing, AMissingSkinFileLeavesTheDialogUnskinned) {
    RecordingDialog dlg;
    dlg.SetSkin(testsupport::SourceDirectory() + L"tests\\skin\\ctl\\nothing\\skin.ini", L"FRAMEDLG");
    ASSERT_TRUE(dlg.Create(nullptr));
    EXPECT_TRUE(dlg.Buttons().empty());
    EXPECT_EQ(nullptr, dlg.MainPicture());
    EXPECT_NE(nullptr, dlg.ToolTipWindow());
}

}  // namespace

namespace {

using namespace skinuitest;

HWND g_menuSeen = nullptr;
int g_menuWidth = 0;

TEST(SkinDialogMenu, ARightPressShowsTheOwnerDrawnMenuOfTheResource) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    g_menuSeen = nullptr;
    // The menu runs its own loop; a timer inside it looks and closes it.
    UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        g_menuSeen = ::FindWindowW(L"#32768", nullptr);
        ::EndMenu();
    });
    ::SendMessageW(dlg.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 175));
    EXPECT_EQ(nullptr, g_menuSeen) << "no menu without a menu resource";
    ::KillTimer(nullptr, timer);

    dlg.SetMenuId(301);
    ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        g_menuSeen = ::FindWindowW(L"#32768", nullptr);
        RECT rc{};
        ::GetWindowRect(g_menuSeen, &rc);
        g_menuWidth = rc.right - rc.left;
        ::EndMenu();
    });
    ::SendMessageW(dlg.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 175));
    EXPECT_NE(nullptr, g_menuSeen);
    // Unmeasured owner-drawn items would leave the menu a few pixels wide.
    EXPECT_GT(g_menuWidth, 50) << "IconMenu measured the items";
    FlushEvents();
}

}  // namespace
