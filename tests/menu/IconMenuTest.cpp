// Owner-drawn menus: system class and theme, colour blends, item records,
// measuring and drawing in both styles.
#include <gtest/gtest.h>

#include <string>

#include "menu/IconMenu.h"
#include "menu/IconMenuMemDC.h"
#include "platform/SystemServices.h"

namespace {

// Answers a chosen system version.
class VersionServices : public platform::ISystemServices {
public:
    VersionServices(DWORD major, DWORD minor) : major_(major), minor_(minor) {}
    int MessageBox(HWND, const std::wstring&, const std::wstring&, UINT) override { return IDOK; }
    bool StartProcess(const std::wstring&, const std::wstring&) override { return false; }
    SYSTEMTIME LocalTime() override { return SYSTEMTIME{}; }
    DWORD TickCount() override { return 0; }
    long long UnixTime() override { return 0; }
    DWORD OsMajorVersion() override { return major_; }
    DWORD OsMinorVersion() override { return minor_; }

private:
    DWORD major_, minor_;
};

constexpr wchar_t kThemeKey[] = L"Software\\Microsoft\\Plus!\\Themes\\Current";

// Sets the desktop theme value for the test and removes it afterwards.
class ThemeValue {
public:
    explicit ThemeValue(const wchar_t* value) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kThemeKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
            ::RegCloseKey(key);
        }
        IconMenu::ResetThemeCache();
    }
    ~ThemeValue() {
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kThemeKey);
        IconMenu::ResetThemeCache();
    }
};

// One 32-bit memory surface to draw items into.
class Surface {
public:
    Surface(int width, int height) : dc_(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        old_ = ::SelectObject(dc_.get(), bitmap_.get());
        RECT all{0, 0, width, height};
        ::FillRect(dc_.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    ~Surface() { ::SelectObject(dc_.get(), old_); }
    HDC dc() const { return dc_.get(); }
    COLORREF At(int x, int y) const { return ::GetPixel(dc_.get(), x, y); }

private:
    platform::UniqueMemoryDC dc_;
    platform::UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

class IconMenuTest : public ::testing::Test {
protected:
    // Picks the system version and the desktop theme for one test.
    void UseSystem(DWORD major, DWORD minor) {
        scope_.reset();
        services_ = std::make_unique<VersionServices>(major, minor);
        scope_ = std::make_unique<platform::ScopedSystemServices>(*services_);
        IconMenu::InitOsClass();
    }
    void TearDown() override {
        scope_.reset();
        IconMenu::InitOsClass();
    }

    DRAWITEMSTRUCT DrawRecord(HDC dc, const IconMenuData* data, UINT state, RECT rect) {
        DRAWITEMSTRUCT d{};
        d.CtlType = ODT_MENU;
        d.itemID = static_cast<UINT>(data ? data->command : 0);
        d.itemAction = ODA_DRAWENTIRE;
        d.itemState = state;
        d.hDC = dc;
        d.rcItem = rect;
        d.itemData = reinterpret_cast<ULONG_PTR>(data);
        return d;
    }

    std::unique_ptr<VersionServices> services_;
    std::unique_ptr<platform::ScopedSystemServices> scope_;
};

MENUITEMINFOW ItemInfo(HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
    ::GetMenuItemInfoW(menu, position, TRUE, &info);
    return info;
}

}  // namespace

TEST(IconMenuColours, LightenAndDarken) {
    EXPECT_EQ(IconMenu::LightenColor(0.6, RGB(100, 150, 200)), RGB(193, 213, 233));
    EXPECT_EQ(IconMenu::DarkenColor(0.02, RGB(255, 255, 255)), RGB(249, 249, 249));
    EXPECT_EQ(IconMenu::LightenColor(1.0, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(IconMenu::DarkenColor(1.0, RGB(1, 2, 3)), RGB(0, 0, 0));
    for (double f : {0.0, -0.5, 1.01, 7.0}) {
        EXPECT_EQ(IconMenu::LightenColor(f, RGB(10, 20, 30)), RGB(10, 20, 30)) << f;
        EXPECT_EQ(IconMenu::DarkenColor(f, RGB(10, 20, 30)), RGB(10, 20, 30)) << f;
    }
}

TEST(IconMenuSystem, OperatingSystemClasses) {
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_NT, 4, 0), 5);
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_NT, 5, 0), 6);
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_NT, 5, 1), 7);
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_NT, 5, 2), 1);
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_NT, 6, 0), 1);
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_NT, 10, 0), 1);
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_WINDOWS, 3, 95), 0);
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_WINDOWS, 4, 10), 3);
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_WINDOWS, 4, 90), 4);
    EXPECT_EQ(IconMenu::ComputeOsClass(VER_PLATFORM_WIN32_WINDOWS, 4, 0), 2);
}

TEST_F(IconMenuTest, VersionComesFromTheSystemSeam) {
    UseSystem(6, 1);
    EXPECT_EQ(IconMenu::OsClass(), 1);
    EXPECT_FALSE(IconMenu::UseFlatStyle());
    UseSystem(5, 1);
    EXPECT_EQ(IconMenu::OsClass(), 7);
}

TEST(IconMenuTheme, ClassicThemeNameInAnyCase) {
    EXPECT_TRUE(IconMenu::IsClassicThemeName(L"C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme"));
    EXPECT_TRUE(IconMenu::IsClassicThemeName(L"c:\\themes\\WINDOWS CLASSIC.THEME"));
    EXPECT_TRUE(IconMenu::IsClassicThemeName(L"Windows Classic.theme"));
    EXPECT_FALSE(IconMenu::IsClassicThemeName(L"C:\\Themes\\Luna.theme"));
    EXPECT_FALSE(IconMenu::IsClassicThemeName(L"Windows Classic.theme.bak"));
    EXPECT_FALSE(IconMenu::IsClassicThemeName(L""));
}

TEST_F(IconMenuTest, ThemeFromTheRegistryDecidesTheStyleOn51) {
    UseSystem(5, 1);
    {
        ThemeValue theme(L"%WinDir%\\Resources\\Themes\\WINDOWS classic.Theme");
        EXPECT_TRUE(IconMenu::IsClassicTheme());
        EXPECT_FALSE(IconMenu::UseFlatStyle());
    }
    {
        ThemeValue theme(L"C:\\WINDOWS\\Resources\\Themes\\Luna.theme");
        EXPECT_FALSE(IconMenu::IsClassicTheme());
        EXPECT_TRUE(IconMenu::UseFlatStyle());
    }
    // No key: not classic.
    EXPECT_FALSE(IconMenu::IsClassicTheme());
}

TEST_F(IconMenuTest, CommandZeroIsAlwaysASeparator) {
    long menusBefore = platform::UniqueMenu::Live();
    {
        IconMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        EXPECT_TRUE(menu.AppendODMenu(10, L"Copy to PC"));
        EXPECT_TRUE(menu.AppendODMenu(0, L"Not shown", MF_STRING | MF_GRAYED | MF_MENUBREAK));
        EXPECT_TRUE(menu.AppendODMenu(15, L"Rename", MF_STRING | MF_GRAYED));
        ASSERT_EQ(menu.ItemCount(), 3u);
        EXPECT_EQ(menu.GetMenuItemCount(), 3);

        MENUITEMINFOW separator = ItemInfo(menu, 1);
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
        EXPECT_TRUE(separator.fType & MFT_OWNERDRAW);
        EXPECT_TRUE(separator.fType & MFT_MENUBREAK);
        EXPECT_EQ(menu.Item(1)->flags, static_cast<UINT>(MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBREAK));

        MENUITEMINFOW rename = ItemInfo(menu, 2);
        EXPECT_TRUE(rename.fType & MFT_OWNERDRAW);
        EXPECT_TRUE(rename.fState & MFS_GRAYED);
        EXPECT_EQ(rename.wID, 15u);
        EXPECT_EQ(rename.dwItemData, reinterpret_cast<ULONG_PTR>(menu.Item(2)));
        EXPECT_EQ(menu.Item(2)->text, L"Rename");
        EXPECT_EQ(menu.Item(2)->imageIndex, -1);
        EXPECT_EQ(menu.Item(2)->sharedImageIndex, -1);
        EXPECT_EQ(menusBefore + 1, platform::UniqueMenu::Live());
    }
    EXPECT_EQ(menusBefore, platform::UniqueMenu::Live());
}

TEST_F(IconMenuTest, DestroyMenuFreesItemsAndTheHandleWithSubmenus) {
    IconMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    HMENU submenu = ::CreatePopupMenu();
    ASSERT_TRUE(::AppendMenuW(submenu, MF_STRING, 42, L"Inner"));
    EXPECT_TRUE(menu.AppendODMenu(reinterpret_cast<UINT_PTR>(submenu), L"More", MF_POPUP));
    HMENU handle = menu.GetSafeHmenu();
    EXPECT_EQ(menu.GetSubMenu(0), submenu);
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_EQ(menu.ItemCount(), 0u);
    EXPECT_FALSE(menu.GetSafeHmenu());
    EXPECT_FALSE(::IsMenu(handle));
    EXPECT_FALSE(::IsMenu(submenu));
    EXPECT_FALSE(menu.DestroyMenu());  // twice is harmless
    EXPECT_FALSE(menu.AppendODMenu(1, L"no menu"));
}

TEST_F(IconMenuTest, LoadMenuMakesEveryItemOwnerDrawn) {
    IconMenu menu;
    ASSERT_TRUE(menu.LoadMenu(300u));
    ASSERT_EQ(menu.GetMenuItemCount(), 4);
    EXPECT_EQ(menu.GetMenuItemID(0), 10u);
    EXPECT_TRUE(ItemInfo(menu, 1).fType & MFT_SEPARATOR);
    MENUITEMINFOW more = ItemInfo(menu, 2);
    ASSERT_TRUE(more.hSubMenu);
    EXPECT_TRUE(more.fType & MFT_OWNERDRAW);
    MENUITEMINFOW inner = ItemInfo(more.hSubMenu, 0);
    EXPECT_TRUE(inner.fType & MFT_OWNERDRAW);
    EXPECT_EQ(reinterpret_cast<const IconMenuData*>(inner.dwItemData)->text, L"Rename");
    EXPECT_TRUE(ItemInfo(menu, 3).fState & MFS_GRAYED);
    EXPECT_FALSE(IconMenu().LoadMenu(999u));
}

TEST_F(IconMenuTest, MeasureSeparatorsAndTextInBothStyles) {
    IconMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendODMenu(0, L"");
    menu.AppendODMenu(10, L"Copy to PC");
    const int cyMenu = ::GetSystemMetrics(SM_CYMENU);

    UseSystem(6, 0);  // class 1: classic style, text measured in the context's own font
    MEASUREITEMSTRUCT sep{ODT_MENU, 0, 0, 99, 99, reinterpret_cast<ULONG_PTR>(menu.Item(0))};
    menu.MeasureItem(&sep);
    EXPECT_EQ(sep.itemWidth, 0u);
    EXPECT_EQ(sep.itemHeight, static_cast<UINT>(std::max(9, cyMenu / 2)));
    MEASUREITEMSTRUCT text{ODT_MENU, 0, 10, 0, 0, reinterpret_cast<ULONG_PTR>(menu.Item(1))};
    menu.MeasureItem(&text);
    HDC screen = ::GetDC(::GetDesktopWindow());
    SIZE plain{};
    ::GetTextExtentPoint32W(screen, L"Copy to PC", 10, &plain);
    ::ReleaseDC(::GetDesktopWindow(), screen);
    EXPECT_EQ(text.itemWidth, static_cast<UINT>(plain.cx + 33));
    EXPECT_EQ(text.itemHeight, static_cast<UINT>(std::max(19, cyMenu)));

    UseSystem(5, 1);  // class 7 on a themed desktop: flat style, menu font selected
    ThemeValue theme(L"Luna.theme");
    menu.MeasureItem(&sep);
    EXPECT_EQ(sep.itemHeight, 3u);
    menu.MeasureItem(&text);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    platform::UniqueFont font(::CreateFontIndirectW(&metrics.lfMenuFont));
    screen = ::GetDC(::GetDesktopWindow());
    HGDIOBJ old = ::SelectObject(screen, font.get());
    SIZE inMenuFont{};
    ::GetTextExtentPoint32W(screen, L"Copy to PC", 10, &inMenuFont);
    ::SelectObject(screen, old);
    ::ReleaseDC(::GetDesktopWindow(), screen);
    EXPECT_EQ(text.itemWidth, static_cast<UINT>(inMenuFont.cx + 7 + 24));
    EXPECT_EQ(text.itemHeight, static_cast<UINT>(std::max(22, cyMenu)));
}

TEST_F(IconMenuTest, ClassicDrawing) {
    UseSystem(6, 1);
    IconMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendODMenu(0, L"");
    menu.AppendODMenu(10, L"Copy to PC\tCtrl+C");
    Surface surface(200, 40);
    const COLORREF menuColour = ::GetSysColor(COLOR_MENU);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);

    DRAWITEMSTRUCT selected = DrawRecord(surface.dc(), menu.Item(1), ODS_SELECTED, RECT{0, 0, 200, 20});
    menu.DrawItem(&selected);
    EXPECT_EQ(surface.At(2, 2), highlight);  // no check mark: the whole item is highlighted
    EXPECT_EQ(surface.At(198, 18), highlight);

    DRAWITEMSTRUCT checked = DrawRecord(surface.dc(), menu.Item(1), ODS_SELECTED | ODS_CHECKED, RECT{0, 0, 200, 20});
    menu.DrawItem(&checked);
    EXPECT_EQ(surface.At(21, 1), highlight);  // highlight starts 21 pixels in
    EXPECT_NE(surface.At(20, 1), highlight);

    DRAWITEMSTRUCT normal = DrawRecord(surface.dc(), menu.Item(1), 0, RECT{0, 20, 200, 40});
    menu.DrawItem(&normal);
    EXPECT_EQ(surface.At(2, 22), menuColour);
    EXPECT_EQ(surface.At(198, 38), menuColour);

    DRAWITEMSTRUCT separator = DrawRecord(surface.dc(), menu.Item(0), 0, RECT{0, 0, 200, 10});
    menu.DrawItem(&separator);
    EXPECT_EQ(surface.At(100, 2), menuColour);
    EXPECT_NE(surface.At(100, 5), menuColour);  // the etched line halfway down
}

TEST_F(IconMenuTest, FlatDrawing) {
    UseSystem(5, 1);
    ThemeValue theme(L"Luna.theme");
    IconMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendODMenu(10, L"Copy to PC");
    Surface surface(200, 44);
    const COLORREF background = IconMenu::DarkenColor(0.02, ::GetSysColor(COLOR_WINDOW));
    const COLORREF strip = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);

    DRAWITEMSTRUCT normal = DrawRecord(surface.dc(), menu.Item(0), 0, RECT{0, 0, 200, 22});
    menu.DrawItem(&normal);
    EXPECT_EQ(surface.At(10, 11), strip);
    EXPECT_EQ(surface.At(195, 11), background);

    DRAWITEMSTRUCT selected = DrawRecord(surface.dc(), menu.Item(0), ODS_SELECTED, RECT{0, 22, 200, 44});
    menu.DrawItem(&selected);
    EXPECT_EQ(surface.At(0, 22), highlight);  // the frame
    EXPECT_EQ(surface.At(10, 33), IconMenu::LightenColor(0.7, highlight));

    // A grayed item is never shown as selected; it is composed off-screen.
    DRAWITEMSTRUCT grayed = DrawRecord(surface.dc(), menu.Item(0), ODS_SELECTED | ODS_GRAYED, RECT{0, 22, 200, 44});
    menu.DrawItem(&grayed);
    EXPECT_EQ(surface.At(10, 33), strip);
    EXPECT_EQ(surface.At(195, 33), background);
}

TEST(IconMenuMemDCTest, DrawsOffScreenAndCopiesBack) {
    Surface surface(40, 40);
    {
        IconMenuMemDC memory(surface.dc(), RECT{10, 10, 30, 30});
        EXPECT_TRUE(memory.IsOffScreen());
        memory.FillSolidRect(RECT{10, 10, 30, 30}, RGB(1, 2, 3));  // the target's coordinates
        EXPECT_EQ(surface.At(15, 15), RGB(0, 0, 0));
    }
    EXPECT_EQ(surface.At(15, 15), RGB(1, 2, 3));
    EXPECT_EQ(surface.At(29, 29), RGB(1, 2, 3));
    EXPECT_EQ(surface.At(30, 30), RGB(0, 0, 0));
}
