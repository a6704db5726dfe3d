// The end-to-end tests' shared driver of Pelican's main window.
#include "tests/e2e/MainWindowFixture.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "skin/SkinProfile.h"
#include "tests/support/RemoteControls.h"

namespace e2e {

using namespace testsupport;

bool WaitFor(const std::function<bool()>& condition, DWORD ms) {
    DWORD start = ::GetTickCount();
    do {
        if (condition()) return true;
        ::Sleep(50);
    } while (::GetTickCount() - start < ms);
    return condition();
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::wstring TextOf(HWND wnd) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(wnd, text, 1024);
    return text;
}

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((from + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else
            ok = ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return ok;
}

bool StageDemoDevice(const std::wstring& device, const std::function<bool(const std::wstring&)>& prepare) {
    const std::wstring staged = device + L"-staged";
    return CopyTree(SourceDirectory() + L"demo\\device", staged) && (!prepare || prepare(staged)) &&
           ::MoveFileW(staged.c_str(), device.c_str());
}

namespace {
constexpr const wchar_t* kShellFolderKeys[] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
}  // namespace

DesktopRedirect::DesktopRedirect(const std::wstring& folder) {
    for (const wchar_t* key : kShellFolderKeys) {
        HKEY k = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr)) continue;
        wchar_t old[1024] = {};
        DWORD bytes = sizeof(old) - sizeof(wchar_t), type = REG_SZ;
        bool had = ::RegQueryValueExW(k, L"Desktop", nullptr, &type, reinterpret_cast<BYTE*>(old), &bytes) == 0;
        saved_.push_back({key, had ? std::wstring(old) : std::wstring(), type, had});
        ::RegSetValueExW(k, L"Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                         static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(k);
    }
}

DesktopRedirect::~DesktopRedirect() {
    for (const auto& s : saved_) {
        HKEY k = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, s.key, 0, KEY_ALL_ACCESS, &k)) continue;
        if (s.had)
            ::RegSetValueExW(k, L"Desktop", 0, s.type, reinterpret_cast<const BYTE*>(s.value.c_str()),
                             static_cast<DWORD>((s.value.size() + 1) * sizeof(wchar_t)));
        else
            ::RegDeleteValueW(k, L"Desktop");
        ::RegCloseKey(k);
    }
}

void MainWindowFixture::SetUp() {
    pc_ = scratch_.path() + L"pc";
    desktop_ = scratch_.path() + L"desktop";
    ::CreateDirectoryW(pc_.c_str(), nullptr);
    ::CreateDirectoryW(desktop_.c_str(), nullptr);
    copy_.UseOwnLog(4);
    nsSkin::CSkinProfile profile(copy_.dir() + L"skins\\default\\skin.ini");
    buttons_ = nsSkin::ReadButtons(profile, L"MAINDLG");
    labels_ = nsSkin::ReadLabels(profile, L"MAINDLG");
    combos_ = nsSkin::ReadComboBoxes(profile, L"MAINDLG");
    progress_ = nsSkin::ReadProgressBars(profile, L"MAINDLG");
}

void MainWindowFixture::Start(const std::vector<std::wstring>& env) {
    app_ = std::make_unique<RunningProgram>(copy_.dir() + L"Pelican.exe", env);
    ASSERT_TRUE(app_->started());
    main_ = app_->WaitWindow(L"EmberPelican", kWaitMs);
    ASSERT_NE(nullptr, main_);
    tree_ = ChildrenOfClass(main_, WC_TREEVIEWW).at(0);
    list_ = ChildrenOfClass(main_, WC_LISTVIEWW).at(0);
}

HWND MainWindowFixture::ControlAt(const RECT& r) const {
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return ::ChildWindowFromPointEx(main_, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
}

void MainWindowFixture::ChooseRoot(int row) {
    HWND combo = Named(combos_, L"SpecifyFolder");
    ASSERT_NE(nullptr, combo);
    RECT rc{};
    ::GetClientRect(combo, &rc);
    Click(combo, POINT{rc.right / 2, rc.bottom / 2});
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (popup = ::FindWindowW(L"PelicanSkinListPopup", nullptr)) != nullptr; }));
    ::GetClientRect(popup, &rc);
    int rowHeight = (rc.bottom - 2) / 2;  // the root list has two rows
    Click(popup, POINT{rc.right / 2, 1 + row * rowHeight + rowHeight / 2});
}

// Wine starts Unix programs but gives no handle to wait on, so the command
// leaves a marker file when it is done. The handles it returns for such a
// program are not real: closing them closed handles of this process (its
// standard output among them), so they are left alone.
bool MainWindowFixture::XdoTool(const std::wstring& arguments) {
    std::wstring marker = L"/tmp/pelican-e2e-xdo-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++xdoCommands_);
    std::wstring command = L"/bin/sh -c \"xdotool " + arguments + L"; touch " + marker + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    std::wstring seen = L"Z:" + marker;
    for (wchar_t& c : seen)
        if (c == L'/') c = L'\\';
    bool done = WaitFor([&] { return testsupport::FileExists(seen); }, 5000);
    ::DeleteFileW(seen.c_str());
    return done;
}

void MainWindowFixture::Click(HWND wnd, POINT at) {
    ::ClientToScreen(wnd, &at);
    // "mousemove --sync" to where the pointer already is waits for ever: a second
    // click on the same button would hang, so the pointer leaves it first.
    EXPECT_TRUE(XdoTool(L"mousemove 0 0 mousemove --sync " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) +
                        L" click 1"))
        << "xdotool did not run";
}

void MainWindowFixture::Drag(POINT from, POINT by) {
    auto at = [](LONG x, LONG y) { return std::to_wstring(x) + L" " + std::to_wstring(y); };
    EXPECT_TRUE(XdoTool(L"mousemove --sync " + at(from.x, from.y) + L" mousedown 1 mousemove --sync " +
                        at(from.x + by.x / 2, from.y + by.y / 2) + L" mousemove --sync " +
                        at(from.x + by.x, from.y + by.y) + L" mouseup 1"))
        << "xdotool did not run";
}

void MainWindowFixture::ClickButton(const wchar_t* name) {
    HWND b = Button(name);
    ASSERT_NE(nullptr, b) << Narrow(name);
    RECT rc{};
    ::GetClientRect(b, &rc);
    Click(b, POINT{rc.right / 2, rc.bottom / 2});
}

void MainWindowFixture::DoubleClickRow(int row) {
    RECT rc = ListItemRect(list_, row);
    POINT at{rc.left + 20, (rc.top + rc.bottom) / 2};
    LPARAM lp = MAKELPARAM(at.x, at.y);
    ::PostMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    ::PostMessageW(list_, WM_LBUTTONUP, 0, lp);
    ::PostMessageW(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
    ::PostMessageW(list_, WM_LBUTTONUP, 0, lp);
}

std::wstring MainWindowFixture::Answer(const wchar_t* title, int button) {
    HWND box = WaitDialog(title);
    EXPECT_NE(nullptr, box) << Narrow(title);
    if (!box) return {};
    std::wstring text = ChildTexts(box);
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitFor([&] { return !::IsWindow(box); });
    return text;
}

void MainWindowFixture::EnterName(const wchar_t* title, const std::wstring& name) {
    HWND box = WaitDialog(title);
    ASSERT_NE(nullptr, box) << Narrow(title);
    HWND edit = ::GetDlgItem(box, 1002);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, 1003)));
}

void MainWindowFixture::ExpectCentredOverMain(HWND dialog) const {
    auto offCentre = [&] {
        RECT d{}, m{};
        ::GetWindowRect(dialog, &d);
        ::GetWindowRect(main_, &m);
        return std::max(std::abs((d.left + d.right) - (m.left + m.right)),
                        std::abs((d.top + d.bottom) - (m.top + m.bottom))) / 2;
    };
    EXPECT_TRUE(WaitFor([&] { return offCentre() <= 1; }, 2000))
        << Narrow(TextOf(dialog)) << " is " << offCentre() << " px off the main window's centre";
}

void MainWindowFixture::ConfirmBrowser() {
    HWND browser = WaitDialog(L"Browse for Folder");
    ASSERT_NE(nullptr, browser) << "the folder browser";
    ExpectCentredOverMain(browser);
    ::PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void MainWindowFixture::ChooseFile(const std::wstring& path) {
    HWND open = WaitDialog(L"Open");
    ASSERT_NE(nullptr, open) << "the file-open dialog";
    ExpectCentredOverMain(open);
    std::vector<HWND> edits = ChildrenOfClass(open, L"Edit");
    ASSERT_FALSE(edits.empty());
    ::SendMessageW(edits.back(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

std::vector<std::wstring> MainWindowFixture::Rows() const { return ListColumn(list_, kName); }

int MainWindowFixture::Row(const std::wstring& name) const { return ListFind(list_, name, kName); }

int MainWindowFixture::Progress() const {
    return progress_.empty() ? -1
                             : static_cast<int>(::SendMessageW(Named(progress_, progress_[0].name.c_str()),
                                                               PBM_GETPOS, 0, 0));
}

void MainWindowFixture::ExpectCopyFinished() {
    HWND box = WaitDialog(L"Handset Larkbox");
    ASSERT_NE(nullptr, box) << "no \"Copy Finished!\" box";
    EXPECT_NE(std::wstring::npos, ChildTexts(box).find(L"Copy Finished!"));
    EXPECT_EQ(100, Progress());
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
    EXPECT_TRUE(WaitFor([&] { return Progress() == 0; }));
}

void MainWindowFixture::SaveScreenshot(const std::wstring& path) {
    RECT rc{};
    ::GetWindowRect(main_, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    ::SelectObject(mem, old);
    DWORD stride = ((w * 3 + 3) & ~3), size = stride * h;
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof(fh) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                        static_cast<DWORD>(sizeof(fh) + sizeof(BITMAPINFOHEADER))};
    std::string data(reinterpret_cast<char*>(&fh), sizeof(fh));
    data.append(reinterpret_cast<char*>(&bi.bmiHeader), sizeof(BITMAPINFOHEADER));
    data.append(static_cast<char*>(bits), size);
    WriteFileBytes(path, data);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
}

std::vector<COLORREF> MainWindowFixture::ClientPixels(HWND wnd, const RECT& area) const {
    POINT origin{area.left, area.top};
    ::ClientToScreen(wnd, &origin);
    const int w = area.right - area.left, h = area.bottom - area.top;
    std::vector<COLORREF> pixels;
    if (w <= 0 || h <= 0) return pixels;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    ::SelectObject(mem, old);
    for (int i = 0; i < w * h; ++i) {
        const DWORD bgrx = static_cast<const DWORD*>(bits)[i];
        pixels.push_back(RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF));
    }
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

HWND MainWindowFixture::FocusedControl() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(main_, nullptr), &info);
    HWND combo = Named(combos_, L"SpecifyFolder");
    return (info.hwndFocus && combo && ::IsChild(combo, info.hwndFocus)) ? combo : info.hwndFocus;
}

void MainWindowFixture::ExpectCloseWithCode7() {
    ::PostMessageW(main_, WM_CLOSE, 0, 0);
    DWORD code = 0;
    ASSERT_TRUE(app_->WaitExit(kWaitMs, &code));
    EXPECT_EQ(7u, code);
}

}  // namespace e2e
