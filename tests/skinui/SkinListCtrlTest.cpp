// The skinned list and header controls, the off-screen context and the stock
// control wrappers they build on.
#include <gtest/gtest.h>

#include "platform/Controls.h"
#include "skin/controls/MemDC.h"
#include "skin/controls/SkinListCtrl.h"
#include "tests/skinui/SkinUiFixture.h"

namespace {

using namespace skinuitest;

TEST(SkinListCtrl, RowsAlternateTheirColoursAndTheHeaderIsSkinned) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"BAREDLG"));
    nsSkin::CSkinListCtrl list;
    ASSERT_TRUE(list.Create(WS_VISIBLE, RECT{10, 10, 290, 190}, dlg.hwnd(), 4105));
    ASSERT_NE(nullptr, list.Header().hwnd()) << "the header is taken over at creation";
    list.InsertColumn(0, L"Name", LVCFMT_LEFT, 150);
    list.InsertColumn(1, L"Size", LVCFMT_RIGHT, 80);
    for (int i = 0; i < 4; ++i) list.InsertItem(i, L"row " + std::to_wstring(i));
    list.SetItemText(1, 1, L"12KB");
    EXPECT_EQ(L"12KB", list.GetItemText(1, 1));
    EXPECT_EQ(L"row 3", list.GetItemText(3, 0));
    EXPECT_EQ(2, list.Header().GetItemCount());
    EXPECT_EQ(L"Size", list.Header().GetItemText(1));
    EXPECT_EQ(nsSkin::CSkinListCtrl::kEvenRowColor, list.RowColor(0));
    EXPECT_EQ(nsSkin::CSkinListCtrl::kOddRowColor, list.RowColor(1));
    list.SetRowColors(RGB(200, 220, 240), RGB(250, 250, 200));
    EXPECT_EQ(RGB(200, 220, 240), static_cast<COLORREF>(list.SendMessage(LVM_GETBKCOLOR)));

    ::RedrawWindow(list.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Capture shot(list.hwnd(), Capture::How::WindowDC);
    RECT row0{}, row1{};
    row0.left = row1.left = LVIR_BOUNDS;
    list.SendMessage(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));
    list.SendMessage(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row1));
    // Right of the texts, inside the second column: only the row colour is there.
    EXPECT_EQ(RGB(200, 220, 240), shot.At(160, (row0.top + row0.bottom) / 2 + 2));
    EXPECT_EQ(RGB(250, 250, 200), shot.At(160, (row1.top + row1.bottom) / 2 + 2));
    RECT header = list.Header().GetWindowRect();
    ::MapWindowPoints(nullptr, list.hwnd(), reinterpret_cast<POINT*>(&header), 2);
    EXPECT_EQ(RGB(0x4C, 0x55, 0x76), shot.At(header.right - 3, header.top + 2)) << "the header's fill colour";
}

TEST(MemDC, DrawingReachesTheTargetOnlyWhenItGoes) {
    platform::WindowDC screen(nullptr);
    platform::UniqueMemoryDC target(::CreateCompatibleDC(screen.get()));
    platform::UniqueBitmap canvas(::CreateCompatibleBitmap(screen.get(), 40, 40));
    platform::SelectGuard sel(target.get(), canvas.get());
    platform::UniqueBrush white(::CreateSolidBrush(RGB(255, 255, 255)));
    RECT all{0, 0, 40, 40};
    ::FillRect(target.get(), &all, white.get());
    long bitmaps = platform::UniqueBitmap::Live();
    {
        nsSkin::CMemDC mem(target.get(), RECT{10, 10, 30, 30});
        EXPECT_NE(target.get(), mem.GetSafeHdc());
        EXPECT_EQ(bitmaps + 1, platform::UniqueBitmap::Live());
        platform::UniqueBrush red(::CreateSolidBrush(RGB(255, 0, 0)));
        RECT inner{12, 12, 20, 20};  // the target's coordinates
        ::FillRect(mem.GetSafeHdc(), &inner, red.get());
        EXPECT_EQ(RGB(255, 255, 255), ::GetPixel(target.get(), 15, 15)) << "not yet";
    }
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(target.get(), 15, 15));
    EXPECT_EQ(RGB(255, 255, 255), ::GetPixel(target.get(), 5, 5)) << "outside the rectangle: untouched";
    EXPECT_EQ(bitmaps, platform::UniqueBitmap::Live());
}

TEST(PlatformControls, ListBoxAndEditWrappersTalkToTheirStockControls) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Open(L"BAREDLG", false));
    platform::CListBox box;
    ASSERT_TRUE(box.Create(WS_CHILD | WS_VISIBLE | LBS_SORT, RECT{0, 0, 100, 100}, dlg.hwnd(), 11));
    box.AddString(L"beta");
    box.AddString(L"alpha");
    EXPECT_EQ(2, box.GetCount());
    EXPECT_EQ(L"alpha", box.GetText(0));
    EXPECT_EQ(L"", box.GetText(7));
    box.SetCurSel(1);
    EXPECT_EQ(1, box.GetCurSel());
    platform::CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, RECT{0, 100, 100, 120}, dlg.hwnd(), 12));
    EXPECT_FALSE(edit.IsReadOnly());
    edit.SetReadOnly(true);
    EXPECT_TRUE(edit.IsReadOnly());
    platform::CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE, RECT{0, 120, 100, 140}, dlg.hwnd(), 13));
    slider.SetRange(10, 20);
    slider.SetPos(30);
    EXPECT_EQ(20, slider.GetPos()) << "the stock trackbar clamps";
}

}  // namespace
