// The skinned controls driven by synthesized mouse and keyboard messages.
#include <gtest/gtest.h>

#include <fstream>

#include "skin/HistoryRecord.h"
#include "tests/skinui/SkinUiFixture.h"

namespace {

using namespace skinuitest;
using nsSkin::CBitmapBtn;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

void Click(HWND wnd, int x, int y) {
    ::SendMessageW(wnd, WM_MOUSEMOVE, 0, At(x, y));
    ::SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    ::SendMessageW(wnd, WM_LBUTTONUP, 0, At(x, y));
}

TEST(SkinButton, AClickReportsItsIndexAndName) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    HWND close = dlg.FindButton(L"CLOSE")->hwnd();
    ::SendMessageW(close, WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(CBitmapBtn::kOver, dlg.FindButton(L"CLOSE")->GetState());
    EXPECT_EQ(close, ::GetCapture()) << "the button holds the capture while hovered";
    ASSERT_EQ(1u, dlg.moves.size());
    EXPECT_EQ(L"CLOSE 5,5", dlg.moves[0]) << "moves are reported in client coordinates";
    ::SendMessageW(close, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(CBitmapBtn::kPressed, dlg.FindButton(L"CLOSE")->GetState());
    ::SendMessageW(close, WM_LBUTTONUP, 0, At(5, 5));
    ASSERT_EQ(std::vector<int>{4}, dlg.buttonIndexes);
    ASSERT_FALSE(dlg.events.empty());
    EXPECT_EQ(L"click CLOSE", dlg.events.back());
    EXPECT_EQ(CBitmapBtn::kOver, dlg.FindButton(L"CLOSE")->GetState());
}

// A user's first click on a button of an inactive window arrives without a
// hover before it; the button must take it, and the clicks after it.
TEST(SkinButton, APressWithoutAHoverClicksAndLeavesTheButtonAlive) {
    for (bool activeWindow : {true, false}) {
        RecordingDialog dlg;
        ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
        RecordingDialog other;
        if (!activeWindow) {
            ASSERT_TRUE(other.Open(L"FRAMEDLG"));
            ASSERT_NE(dlg.hwnd(), ::GetActiveWindow());
        }
        HWND play = dlg.FindButton(L"PLAY")->hwnd();
        for (int click = 1; click <= 3; ++click) {
            ::SendMessageW(play, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
            EXPECT_EQ(CBitmapBtn::kPressed, dlg.FindButton(L"PLAY")->GetState()) << activeWindow << " " << click;
            ::SendMessageW(play, WM_LBUTTONUP, 0, At(5, 5));
            EXPECT_EQ(static_cast<size_t>(click), dlg.buttonIndexes.size()) << activeWindow;
        }
        // A press without a hover, released outside: no click, and no capture left behind.
        ::SendMessageW(play, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
        ::SendMessageW(play, WM_LBUTTONUP, 0, At(200, 150));
        EXPECT_EQ(3u, dlg.buttonIndexes.size());
        EXPECT_NE(play, ::GetCapture());
    }
}

// Space on a focused skin button clicks it; held down, it repeats nothing.
TEST(SkinButton, SpaceOnAFocusedButtonClicksOnce) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    HWND play = dlg.FindButton(L"PLAY")->hwnd();
    ::SetFocus(play);
    ::SendMessageW(play, WM_KEYDOWN, VK_SPACE, 0);
    ::SendMessageW(play, WM_KEYDOWN, VK_SPACE, 1 << 30);
    EXPECT_TRUE(dlg.buttonIndexes.empty());
    ::SendMessageW(play, WM_KEYUP, VK_SPACE, 0xC0000000);
    EXPECT_EQ(std::vector<int>{0}, dlg.buttonIndexes);
    EXPECT_EQ(CBitmapBtn::kNormal, dlg.FindButton(L"PLAY")->GetState());
}

TEST(SkinButton, AReleaseOutsideReportsNothing) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    HWND play = dlg.FindButton(L"PLAY")->hwnd();
    ::SendMessageW(play, WM_MOUSEMOVE, 0, At(5, 5));
    ::SendMessageW(play, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::SendMessageW(play, WM_MOUSEMOVE, MK_LBUTTON, At(120, 90));
    ::SendMessageW(play, WM_LBUTTONUP, 0, At(120, 90));
    EXPECT_TRUE(dlg.buttonIndexes.empty());
    EXPECT_EQ(CBitmapBtn::kNormal, dlg.FindButton(L"PLAY")->GetState());
    EXPECT_NE(play, ::GetCapture());
}

TEST(SkinButton, AToggleNeverFadesAndShowsThePressedPictureWhileOn) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    nsSkin::CSkinButton* toggle = dlg.FindButton(L"TOGGLE");
    ASSERT_TRUE(toggle->IsToggle());
    toggle->SetOn(true);
    EXPECT_EQ(CBitmapBtn::kPressed, toggle->GetState());
    ::SendMessageW(toggle->hwnd(), WM_MOUSEMOVE, 0, At(5, 5));
    Click(toggle->hwnd(), 5, 5);
    EXPECT_FALSE(toggle->IsFadeRunning());
    EXPECT_EQ(std::vector<int>{1}, dlg.buttonIndexes) << "a toggle that is on can be clicked off";
    ::RedrawWindow(toggle->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Capture shot(toggle->hwnd(), Capture::How::WindowDC);
    EXPECT_EQ(RGB(10, 200, 10), shot.At(5, 5)) << "the Down picture";
    toggle->SetOn(false);
    ::RedrawWindow(toggle->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Capture off(toggle->hwnd(), Capture::How::WindowDC);
    EXPECT_EQ(RGB(10, 100, 10), off.At(5, 5)) << "the Main picture";

    // An ordinary button of the same window does fade.
    nsSkin::CSkinButton* play = dlg.FindButton(L"PLAY");
    ::SendMessageW(play->hwnd(), WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_TRUE(play->IsFadeRunning());
}

// Records the frames a fade blends instead of drawing them.
class FadeProbe : public CBitmapBtn {
public:
    std::vector<std::pair<HBITMAP, int>> frames;

protected:
    void DrawFadeFrame(HDC, HBITMAP picture, BYTE alpha) override { frames.emplace_back(picture, alpha); }
};

TEST(BitmapButton, TheFadeHasFiveStepsWithTheKnownAlphas) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"BAREDLG"));
    FadeProbe button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE, RECT{20, 20, 60, 40}, dlg.hwnd(), 0));
    button.SetFadeEnabled(true);
    auto solid = [](COLORREF c) {
        platform::WindowDC screen(nullptr);
        platform::UniqueBitmap bmp(::CreateCompatibleBitmap(screen.get(), 40, 20));
        platform::UniqueMemoryDC mem(::CreateCompatibleDC(nullptr));
        platform::SelectGuard sel(mem.get(), bmp.get());
        platform::UniqueBrush brush(::CreateSolidBrush(c));
        RECT rc{0, 0, 40, 20};
        ::FillRect(mem.get(), &rc, brush.get());
        return bmp;
    };
    button.SetStateBitmaps(solid(RGB(1, 1, 1)), solid(RGB(2, 2, 2)), solid(RGB(3, 3, 3)), solid(RGB(4, 4, 4)));
    HBITMAP normal = button.StateBitmap(0), over = button.StateBitmap(1);
    ::SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, At(5, 5));
    ASSERT_TRUE(button.IsFadeRunning());
    for (int tick = 0; tick < 6; ++tick) ::SendMessageW(button.hwnd(), WM_TIMER, CBitmapBtn::kFadeTimer, 0);
    std::vector<std::pair<HBITMAP, int>> expected{{normal, 255}, {normal, 135}, {normal, 15}, {over, 106}, {over, 226}};
    EXPECT_EQ(expected, button.frames);
    EXPECT_FALSE(button.IsFadeRunning()) << "the sixth tick ends the fade";

    BYTE alpha = 0;
    EXPECT_FALSE(CBitmapBtn::FadeStepAlpha(0, &alpha));
    EXPECT_EQ(255, alpha);
    EXPECT_TRUE(CBitmapBtn::FadeStepAlpha(240, &alpha));
    EXPECT_EQ(226, alpha);
    button.DestroyWindow();
}

TEST(SkinLabel, ATextThatFitsDoesNotScrollAndALongOneDoes) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    EXPECT_FALSE(dlg.FindLabel(L"SHORT")->IsScrolling());
    EXPECT_FALSE(dlg.FindLabel(L"QUIET")->IsScrolling()) << "scrolling switched off in the skin";
    nsSkin::CSkinLabel* longLabel = dlg.FindLabel(L"LONG");
    ASSERT_TRUE(longLabel->IsScrolling());
    ::SendMessageW(longLabel->hwnd(), WM_TIMER, nsSkin::CAnimatedLabel::kScrollTimer, 0);
    EXPECT_EQ(1u, longLabel->ScrollOffset());
    std::wstring shown = longLabel->ShownText();
    EXPECT_EQ(0u, shown.find(L" much longer text")) << "the front character is gone";
    for (int tick = 1; tick < 30; ++tick)
        ::SendMessageW(longLabel->hwnd(), WM_TIMER, nsSkin::CAnimatedLabel::kScrollTimer, 0);
    EXPECT_EQ(L" fitA much", longLabel->ShownText().substr(0, 10)) << "near the end the text repeats behind itself";
    for (int tick = 0; tick < 4; ++tick)
        ::SendMessageW(longLabel->hwnd(), WM_TIMER, nsSkin::CAnimatedLabel::kScrollTimer, 0);
    EXPECT_EQ(0u, longLabel->ScrollOffset()) << "past the end it starts again";
    longLabel->SetText(L"ok");
    EXPECT_FALSE(longLabel->IsScrolling());

    // Not scrolling, a path too long for the label keeps its last part, the middle goes.
    nsSkin::CSkinLabel* quiet = dlg.FindLabel(L"QUIET");
    quiet->SetText(L"C:\\Users\\Ann\\Pictures\\Holiday\\IMG.JPG");
    const std::wstring fitted = quiet->ShownText();
    EXPECT_NE(std::wstring::npos, fitted.find(L"...\\IMG.JPG")) << fitted;
    quiet->SetText(L"A&B");
    EXPECT_EQ(L"A&B", quiet->ShownText());
    ::SendMessageW(longLabel->hwnd(), WM_LBUTTONUP, 0, At(3, 3));
    EXPECT_EQ(L"label LONG", dlg.events.back());
}

TEST(SkinProgress, ABufferedLimitOf50IgnoresAClickAt70) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    nsSkin::CSkinProgress* seek = dlg.FindProgress(L"SEEK");
    seek->SetBufferedLimit(50);
    ::SendMessageW(seek->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(70, 6));
    ::SendMessageW(seek->hwnd(), WM_LBUTTONUP, 0, At(70, 6));
    EXPECT_EQ(0, seek->GetPos());
    EXPECT_TRUE(dlg.events.empty());
    EXPECT_FALSE(seek->IsDragging());

    ::SendMessageW(seek->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(30, 6));
    ::SendMessageW(seek->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, At(40, 6));
    ::SendMessageW(seek->hwnd(), WM_LBUTTONUP, 0, At(45, 6));
    EXPECT_EQ(45, seek->GetPos());
    std::vector<std::wstring> expected{L"progress SEEK 40", L"progress SEEK 45"};
    EXPECT_EQ(expected, dlg.events);

    seek->SetPos(80);
    EXPECT_EQ(50, seek->GetPos()) << "set positions are clamped to the buffered limit";
    seek->SetBufferedLimit(65535);
    seek->SetPos(180);
    EXPECT_EQ(100, seek->GetPos()) << "65535 is no limit; the range still holds";
    EXPECT_EQ(100, ::SendMessageW(seek->hwnd(), PBM_GETPOS, 0, 0)) << "answers as a progress bar would";
    EXPECT_EQ(100, ::SendMessageW(seek->hwnd(), PBM_GETRANGE, FALSE, 0));
}

TEST(SkinProgress, AVerticalBarFillsFromTheBottomAndCanReportOnlyOnRelease) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    nsSkin::CSkinProgress* plain = dlg.FindProgress(L"PLAIN");
    ASSERT_FALSE(plain->IsHorizontal());
    ::SendMessageW(plain->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 9));
    ::SendMessageW(plain->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, At(5, 6));
    EXPECT_TRUE(dlg.events.empty()) << "token 10 \"0\": no reports while dragging";
    ::SendMessageW(plain->hwnd(), WM_LBUTTONUP, 0, At(5, 3));
    EXPECT_EQ(75, plain->GetPos());
    EXPECT_EQ(std::vector<std::wstring>{L"progress PLAIN 75"}, dlg.events);
}

TEST(SkinSlider, PressDragAndReleaseReportTrackCodes) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG", false));
    nsSkin::CSkinSlider* volume = dlg.FindSlider(L"VOLUME");
    HWND wnd = volume->hwnd();
    ::SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 8));
    EXPECT_TRUE(volume->IsDragging());
    ::SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, At(96, 8));
    ::SendMessageW(wnd, WM_LBUTTONUP, 0, At(96, 8));
    EXPECT_EQ(100, volume->GetPos());
    ASSERT_GE(dlg.events.size(), 3u);
    EXPECT_EQ(L"slider VOLUME 4 0", dlg.events[0]) << "the press, then the trackbar's own scroll message";
    EXPECT_EQ(L"slider VOLUME 5 0", dlg.events[1]);
    EXPECT_EQ(L"slider VOLUME 8 100", dlg.events.back());
    dlg.events.clear();
    ::SendMessageW(wnd, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(100, volume->GetPos()) << "keys are swallowed";
    EXPECT_TRUE(dlg.events.empty());
}

TEST(SkinEdit, TextChangesAndFocusAreReported) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    nsSkin::CSkinEdit* name = dlg.FindEdit(L"NAME");
    EXPECT_EQ(RGB(0, 0, 128), name->GetTextColor());
    name->SetWindowText(L"Ann");
    ASSERT_FALSE(dlg.events.empty());
    EXPECT_EQ(L"text NAME Ann", dlg.events.back());
    ::SetFocus(name->hwnd());
    EXPECT_EQ(L"edit focus", dlg.events.back());
    ::SetFocus(dlg.hwnd());
    EXPECT_EQ(L"edit blur", dlg.events.back());
}

TEST(SkinComboBox, ChoosingFromTheListReportsTheSelection) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    nsSkin::CSkinComboBox* kind = dlg.FindComboBox(L"KIND");
    EXPECT_EQ(3, kind->GetCount());
    EXPECT_EQ(-1, kind->GetCurSel());
    EXPECT_FALSE(kind->IsEditable());
    Click(kind->hwnd(), 10, 9);
    HWND list = kind->ListPopup();
    ASSERT_NE(nullptr, list);
    auto* popup = dynamic_cast<nsSkin::CSkinListPopup*>(platform::CWnd::FromHandle(list));
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(3u, popup->Count());
    RECT lr{}, kr = kind->GetWindowRect();
    ::GetWindowRect(list, &lr);
    EXPECT_EQ(kr.bottom, lr.top) << "the list opens under the drop-down";
    EXPECT_EQ(kr.right - kr.left, lr.right - lr.left) << "at the drop-down's width";
    ::SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    ::SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    FlushEvents();
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_EQ(1, kind->GetCurSel());
    EXPECT_EQ(L"combo KIND 1 Beta", dlg.events.back());
    EXPECT_EQ(L"Beta", kind->GetWindowText()) << "the caption shows the selected item";

    EXPECT_EQ(1, kind->SetCurSel(1)) << "already selected";
    EXPECT_EQ(L"combo KIND 1 Beta", dlg.events.back()) << "reported even when it was selected";
    size_t before = dlg.events.size();
    EXPECT_EQ(E_INVALIDARG, kind->SetCurSel(3));
    EXPECT_EQ(before, dlg.events.size());
    EXPECT_EQ(1, kind->GetCurSel());
}

TEST(SkinComboBox, AClickOutsideTheListClosesItWithoutAChoice) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    nsSkin::CSkinComboBox* kind = dlg.FindComboBox(L"KIND");
    kind->OpenList();
    HWND list = kind->ListPopup();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(list, ::GetCapture()) << "the open list holds the capture";
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, At(-50, -50));
    FlushEvents();
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_EQ(-1, kind->GetCurSel());
    EXPECT_TRUE(dlg.events.empty());
}

class EditableComboTest : public ::testing::Test {
protected:
    testsupport::ScratchFolder scratch{L"hist"};
    std::wstring file = scratch.path() + L"HistroyRecord.bin";
    nsSkin::ScopedHistoryPath redirect{file};

    std::string ReadHistory() { return testsupport::ReadFileBytes(file); }
};

TEST_F(EditableComboTest, SuggestionsFollowTheCaseRulesAndTheHistoryIsSavedOnDestruction) {
    ASSERT_TRUE(testsupport::WriteFileBytes(file, "aBc\r\nAb\r\nzzz\r\n"));
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    nsSkin::CSkinComboBox* search = dlg.FindComboBox(L"search");
    ASSERT_TRUE(search->IsEditable());
    EXPECT_EQ(3u, search->History().size());
    HWND edit = search->EditWindow();
    EXPECT_EQ(static_cast<LONG_PTR>(nsSkin::CBitmapComboBox::kEditId), ::GetWindowLongPtrW(edit, GWLP_ID));

    ::SetWindowTextW(edit, L"Ab");
    EXPECT_EQ(std::vector<std::wstring>{L"aBc"}, search->Suggestions()) << "only entries longer than the text";
    HWND popup = nsSkin::CBitmapComboBox::SuggestionPopup();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(edit, ::GetFocus()) << "the focus stays in the edit field";

    // Enter with the cursor away from the list commits the text.
    ::SetCursorPos(1000, 900);
    ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    FlushEvents();
    EXPECT_EQ(nullptr, nsSkin::CBitmapComboBox::SuggestionPopup());
    EXPECT_EQ(L"text Search Ab", dlg.events.back());
    EXPECT_EQ(3u, search->History().size()) << "\"Ab\" was already there";

    ::SetWindowTextW(edit, L"New words");
    ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(L"text Search New words", dlg.events.back());
    ASSERT_EQ(4u, search->History().size());
    EXPECT_EQ(L"New words", search->History().back());

    // Saved when the drop-down goes, even if the file vanished meanwhile.
    ::DeleteFileW(file.c_str());
    dlg.DestroyWindow();
    std::string saved = ReadHistory();
    EXPECT_NE(std::string::npos, saved.find("New words\r\n"));
    EXPECT_NE(std::string::npos, saved.find("aBc\r\n"));
}

// Each drop-down's timer used to judge the one shared list against its own
// edit field, so a second editable drop-down closed the first one's list.
TEST_F(EditableComboTest, TwoEditableDropDownsLeaveEachOthersListsAlone) {
    ASSERT_TRUE(testsupport::WriteFileBytes(file, "alpha one\r\nalpha two\r\n"));
    RecordingDialog first, second;
    ASSERT_TRUE(first.Open(L"FRAMEDLG"));
    ASSERT_TRUE(second.Open(L"FRAMEDLG", false));
    ::SetWindowPos(second.hwnd(), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND edit = first.FindComboBox(L"SEARCH")->EditWindow();
    ::SetWindowTextW(edit, L"alp");
    HWND popup = nsSkin::CBitmapComboBox::SuggestionPopup();
    ASSERT_NE(nullptr, popup);
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 400) {
        FlushEvents();
        ::Sleep(10);
    }
    EXPECT_TRUE(::IsWindow(popup)) << "the other drop-down closed the list";

    // Over the edit field the cursor is the text cursor, not the skin's hand.
    ::SendMessageW(edit, WM_SETCURSOR, reinterpret_cast<WPARAM>(edit), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::LoadCursorW(nullptr, IDC_IBEAM), ::GetCursor());
}

TEST_F(EditableComboTest, ChoosingASuggestionPutsItIntoTheField) {
    ASSERT_TRUE(testsupport::WriteFileBytes(file, "alpha one\r\nalpha two\r\n"));
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"FRAMEDLG"));
    nsSkin::CSkinComboBox* search = dlg.FindComboBox(L"SEARCH");
    HWND edit = search->EditWindow();
    ::SetWindowTextW(edit, L"alp");
    ASSERT_EQ(2u, search->Suggestions().size());
    HWND popup = nsSkin::CBitmapComboBox::SuggestionPopup();
    ASSERT_NE(nullptr, popup);
    ::SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
    ::SendMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    FlushEvents();
    EXPECT_FALSE(::IsWindow(popup));
    wchar_t text[64] = {};
    ::GetWindowTextW(edit, text, 64);
    EXPECT_STREQ(L"alpha two", text) << "history order: the file's last line first";
    EXPECT_EQ(L"text Search alpha two", dlg.events.back()) << "drop-down names keep their case";
}

}  // namespace
