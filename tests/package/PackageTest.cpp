// The packages as a Windows user gets them, in a fresh Wine prefix: the
// installer's whole life, the portable zip in an awkward folder, and the
// updater against a local HTTP server (run_package_tests.sh sets it all up).
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "app/FileVersion.h"
#include "skin/SkinProfile.h"
#include "skin/SkinReader.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TestPaths.h"

namespace {

using namespace testsupport;

constexpr DWORD kWaitMs = 30000;
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelican";
constexpr wchar_t kUpdateTitle[] = L"Pelican Update";

std::wstring Env(const wchar_t* name) {
    wchar_t value[4096] = {};
    DWORD n = ::GetEnvironmentVariableW(name, value, 4096);
    return n < 4096 ? std::wstring(value, n) : std::wstring();
}

std::string Narrow(const std::wstring& w) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
    return out;
}

bool WaitFor(const std::function<bool()>& condition, DWORD ms = kWaitMs) {
    DWORD start = ::GetTickCount();
    do {
        if (condition()) return true;
        ::Sleep(100);
    } while (::GetTickCount() - start < ms);
    return condition();
}

std::wstring Folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

std::wstring InstallFolder() { return Folder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Pelican\\"; }
std::wstring Shortcut() { return Folder(CSIDL_PROGRAMS) + L"\\Pelican.lnk"; }
std::wstring LogFolder() { return Folder(CSIDL_COMMON_APPDATA) + L"\\Pelican"; }

std::wstring UninstallValue(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
        ERROR_SUCCESS)
        return {};
    return value;
}

DWORD UninstallNumber(const wchar_t* name) {
    DWORD value = 0, bytes = sizeof(value);
    ::RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes);
    return value;
}

bool UninstallKeyExists() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// Runs a program to its end; its exit code, or -1.
long RunToEnd(const std::wstring& exe, const std::wstring& arguments, DWORD ms = 120000) {
    RunningProgram run(exe, {}, arguments);
    DWORD code = 0;
    if (!run.started() || !run.WaitExit(ms, &code)) return -1;
    return static_cast<long>(code);
}

long InstallSilently() { return RunToEnd(Env(L"PELICAN_SETUP"), L"/S"); }

// The uninstaller hands over to a copy of itself in the temporary folder and
// ends at once; what counts is that copy's work, so wait for its result.
bool UninstallSilently() {
    if (RunToEnd(InstallFolder() + L"Uninstall.exe", L"/S") != 0) return false;
    return WaitFor([] { return !UninstallKeyExists() && !FileExists(InstallFolder() + L"Uninstall.exe"); });
}

std::vector<std::wstring> FilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const std::wstring& f : FilesBelow(folder + name + L"\\")) out.push_back(name + L"\\" + f);
        } else {
            out.push_back(name);
        }
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return out;
}

// Wine shows the build machine's own files as drive Z:; no shipped or
// written file of the program may point there, in 8-bit or UTF-16 text.
std::wstring BuildMachinePathIn(const std::wstring& folder) {
    const std::string ascii = "Z:\\";
    const std::string wide("Z\0:\0\\\0", 6);
    const std::string wideLower("z\0:\0\\\0", 6);
    for (const std::wstring& f : FilesBelow(folder)) {
        std::string bytes = ReadFileBytes(folder + f);
        if (bytes.find(ascii) != std::string::npos || bytes.find(wide) != std::string::npos ||
            bytes.find(wideLower) != std::string::npos)
            return f;
    }
    return {};
}

// Pelican's main window and the skin it is drawn from.
class PelicanWindow {
public:
    PelicanWindow(const std::wstring& programFolder, HWND main) : main_(main) {
        nsSkin::CSkinProfile profile(programFolder + L"skins\\default\\skin.ini");
        labels_ = nsSkin::ReadLabels(profile, L"MAINDLG");
        buttons_ = nsSkin::ReadButtons(profile, L"MAINDLG");
    }
    std::wstring Status() const {
        for (const auto& l : labels_)
            if (_wcsicmp(l.name.c_str(), L"Information") == 0) {
                wchar_t text[256] = {};
                ::GetWindowTextW(At(l.rect), text, 256);
                return text;
            }
        return {};
    }
    // Skin buttons found where the skin puts them: a window without its skin has none.
    size_t ButtonsInPlace() const {
        size_t n = 0;
        for (const auto& b : buttons_) {
            HWND w = At(b.rect);
            if (w && w != main_) ++n;
        }
        return n;
    }
    size_t ButtonCount() const { return buttons_.size(); }
    // A click on a skin button; the first click of a user also brings the window forward.
    bool Click(const wchar_t* name) const {
        for (const auto& b : buttons_) {
            if (_wcsicmp(b.name.c_str(), name) != 0) continue;
            HWND w = At(b.rect);
            if (!w || w == main_) return false;
            // Skinned buttons take clicks only in the active window.
            if (::GetForegroundWindow() != main_) {
                ::SetForegroundWindow(main_);
                if (!WaitFor([&] { return ::GetForegroundWindow() == main_; }, 3000)) return false;
            }
            RECT rc{};
            ::GetClientRect(w, &rc);
            LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
            ::PostMessageW(w, WM_MOUSEMOVE, 0, at);
            ::PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
            ::PostMessageW(w, WM_LBUTTONUP, 0, at);
            return true;
        }
        return false;
    }

private:
    HWND At(const RECT& r) const {
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        return ::ChildWindowFromPointEx(main_, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    }
    HWND main_;
    std::vector<nsSkin::SkinLabelRecord> labels_;
    std::vector<nsSkin::SkinButtonRecord> buttons_;
};

// Starts Pelican from a folder, checks that it shows its skin and finds the
// demo handset, and closes it as a user does.
void RunPelicanOnce(const std::wstring& folder) {
    RunningProgram app(folder + L"Pelican.exe");
    ASSERT_TRUE(app.started()) << Narrow(folder);
    HWND main = app.WaitWindow(L"EmberPelican", kWaitMs);
    ASSERT_NE(nullptr, main) << "no main window from " << Narrow(folder);
    PelicanWindow window(folder, main);
    ASSERT_GT(window.ButtonCount(), 0u);
    EXPECT_EQ(window.ButtonCount(), window.ButtonsInPlace()) << "the skin's buttons";
    EXPECT_TRUE(WaitFor([&] { return window.Status() == L"Handset Connected."; })) << Narrow(window.Status());
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.WaitExit(kWaitMs));
}

TEST(Installer, InstallsPerUserRunsKeepsSettingsOnUpgradeAndUninstallsCleanly) {
    ASSERT_FALSE(UninstallKeyExists()) << "a fresh prefix";
    ASSERT_EQ(0, InstallSilently());
    const std::wstring dir = InstallFolder();
    for (const wchar_t* f : {L"Pelican.exe", L"Caretaker.exe", L"Shuttle.dll", L"Handset.dll", L"Config.dll",
                             L"Almanac.dll", L"SkinScrollBar.dll", L"Pelican.exe.cfg", L"README.txt",
                             L"skins\\default\\skin.ini", L"Uninstall.exe"})
        EXPECT_TRUE(FileExists(dir + f)) << Narrow(f);
    EXPECT_TRUE(FileExists(Shortcut()));
    FileVersion version;
    ASSERT_TRUE(ReadFileVersion(dir + L"Pelican.exe", &version));
    EXPECT_EQ(L"Pelican", UninstallValue(L"DisplayName"));
    EXPECT_EQ(VersionText(version), UninstallValue(L"DisplayVersion"));
    EXPECT_FALSE(UninstallValue(L"Publisher").empty());
    EXPECT_EQ(dir + L"Pelican.exe,0", UninstallValue(L"DisplayIcon"));
    EXPECT_GT(UninstallNumber(L"EstimatedSize"), 1000u) << "KiB";

    const std::wstring settings = dir + L"config\\Settings.ini";
    wchar_t address[256] = {};
    ::GetPrivateProfileStringW(L"Settings", L"CheckupdateWeb", L"", address, 256, settings.c_str());
    EXPECT_STREQ(L"https://updates.example/pelican.txt", address) << "the publisher's, from scripts/package";
    RunPelicanOnce(dir);
    ASSERT_TRUE(FileExists(LogFolder() + L"\\Pelican.log"));
    ::WritePrivateProfileStringW(L"Settings", L"CheckupdateWeb", L"https://mirror.example/mine.txt", settings.c_str());
    const std::string before = ReadFileBytes(settings);
    EXPECT_EQ(L"", BuildMachinePathIn(dir));

    ASSERT_EQ(0, InstallSilently()) << "over the installed copy";
    EXPECT_EQ(before, ReadFileBytes(settings)) << "the user's settings stay";

    // A file of the user's in the program folder is not the uninstaller's to take.
    ASSERT_TRUE(WriteFileBytes(dir + L"config\\mine.txt", "the user's"));
    ASSERT_TRUE(UninstallSilently()) << "the uninstall entry is left";
    EXPECT_EQ(std::vector<std::wstring>{L"config\\mine.txt"}, FilesBelow(dir));
    EXPECT_FALSE(FileExists(Shortcut()));
    EXPECT_FALSE(FileExists(LogFolder()));
    ::DeleteFileW((dir + L"config\\mine.txt").c_str());
    ::RemoveDirectoryW((dir + L"config").c_str());
    ::RemoveDirectoryW(dir.c_str());
}

TEST(PortableZip, StartsFromAFolderWithNonAsciiCharactersAndBlanksAndShowsItsSkin) {
    // Copied inside Wine, so the name is exactly these characters whatever the
    // build machine's locale.
    ScratchFolder scratch(L"zip");
    const std::wstring folder = scratch.path() + L"Pelican \x00dcn\x00efc\x00f8" L"d\x00e9 \x041f\x0440\x0438\x043c\x0435\x0440\\";
    CopyFolder(Env(L"PELICAN_PORTABLE") + L"\\", folder);
    ASSERT_TRUE(FileExists(folder + L"Pelican.exe"));
    // As a zip made without an update address: Pelican writes its settings file itself.
    ::DeleteFileW((folder + L"config\\Settings.ini").c_str());
    RunPelicanOnce(folder);
    // The second start reads the skin folder the first one stored.
    RunPelicanOnce(folder);
    EXPECT_FALSE(FileExists(folder + L"Uninstall.exe"));
}

// Caretaker.exe with the command line Pelican gives it.
class Updater : public ::testing::Test {
protected:
    std::wstring Address(const std::wstring& path) const {
        return L"http://127.0.0.1:" + Env(L"PELICAN_UPDATE_PORT") + L"/" + path;
    }
    void Serve(const std::wstring& name, const std::string& text) const {
        ASSERT_TRUE(WriteFileBytes(Env(L"PELICAN_UPDATE_ROOT") + L"\\" + name, text));
    }
    std::string Manifest(const std::string& version, const std::string& sha) const {
        return "; test manifest\nversion=" + version + "\ninstaller=" + Narrow(Address(L"setup.exe")) +
               "\nsha256=" + sha + "\nzip=https://downloads.example/Pelican-" + version +
               "-win64.zip\nnotes=Faster copies.\n";
    }
    std::string CurrentVersion(const std::wstring& program) const {
        FileVersion v;
        ReadFileVersion(program, &v);
        return Narrow(VersionText(v));
    }
    std::unique_ptr<RunningProgram> Start(const std::wstring& folder, const std::wstring& address, const wchar_t* flag,
                                          DWORD pid, bool interactive) const {
        std::wstring args = L"\"" + address + L"\" " + flag + L" " + std::to_wstring(pid) + L" \"" + folder +
                            L"Pelican.exe\" " + (interactive ? L"interactive" : L"");
        return std::make_unique<RunningProgram>(folder + L"Caretaker.exe", std::vector<std::wstring>{}, args);
    }
    // Waits for the updater's message box, returns its text and presses `button`.
    // One updater runs at a time, so its box is found by its title.
    static std::wstring Answer(int button) {
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = ::FindWindowW(nullptr, kUpdateTitle)) && ::IsWindowVisible(box); }))
            return L"(no message)";
        std::wstring text = ChildTexts(box);
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        WaitFor([&] { return !::IsWindow(box); });
        return text;
    }
};

TEST_F(Updater, TellsWhatItFindsAndNeverHangs) {
    const std::wstring portable = Env(L"PELICAN_PORTABLE") + L"\\";
    const std::string current = CurrentVersion(portable + L"Pelican.exe");
    Serve(L"same.txt", Manifest(current, std::string(64, 'a')));
    Serve(L"newer.txt", Manifest("9.0.0.0", std::string(64, 'a')));
    Serve(L"broken.txt", "version=9.0\ninstaller=http://elsewhere.example/setup.exe\n");
    struct Case {
        const wchar_t* path;
        const wchar_t* expected;
        int button;
    };
    const Case cases[] = {
        {L"same.txt", L"Pelican is up to date.", IDOK},
        {L"missing.txt", L"404", IDOK},
        {L"stall/manifest.txt", L"did not answer in time", IDOK},
        {L"broken.txt", L"not valid", IDOK},
        {L"127.0.0.1:1/manifest.txt", L"could not be reached", IDOK},
        // A copy without an uninstall entry is not reinstalled elsewhere.
        {L"newer.txt", L"https://downloads.example/Pelican-9.0.0.0-win64.zip", IDNO},
    };
    for (const Case& c : cases) {
        DWORD start = ::GetTickCount();
        // A path with a port of its own goes to that port: nothing listens on port 1.
        const std::wstring address = std::wstring(c.path).find(L':') == std::wstring::npos
                                         ? Address(c.path)
                                         : std::wstring(L"http://") + c.path;
        auto care = Start(portable, address, L"1", ::GetCurrentProcessId(), true);
        std::wstring text = Answer(c.button);
        EXPECT_NE(std::wstring::npos, text.find(c.expected)) << Narrow(c.path) << ": " << Narrow(text);
        EXPECT_TRUE(care->WaitExit(10000)) << Narrow(c.path);
        EXPECT_LT(::GetTickCount() - start, 15000u) << Narrow(c.path);
    }
    // At start-up it stays quiet unless there is news, and after a recent check it stays off the network.
    for (const wchar_t* flag : {L"0", L"1"}) {
        auto quiet = Start(portable, Address(flag[0] == L'0' ? L"same.txt" : L"stall/x"), flag, 0, false);
        DWORD code = 99;
        EXPECT_TRUE(quiet->WaitExit(10000, &code)) << Narrow(flag);
        EXPECT_EQ(0u, code);
    }
}

TEST_F(Updater, RefusesAWrongChecksumThenInstallsTheNewVersionAndStartsPelicanAgain) {
    ASSERT_EQ(0, InstallSilently());
    const std::wstring dir = InstallFolder();
    // The marker: a file the installer brings back.
    ASSERT_TRUE(::DeleteFileW((dir + L"README.txt").c_str()));
    std::string sha = Narrow(Env(L"PELICAN_SETUP_SHA256"));
    std::string wrong = sha;
    wrong[0] = wrong[0] == '0' ? '1' : '0';
    Serve(L"wrong.txt", Manifest("9.0.0.0", wrong));
    // A check a moment ago: the start-up check stays quiet, the button must ask.
    const std::wstring settings = dir + L"config\\Settings.ini";
    ::WritePrivateProfileStringW(L"Settings", L"CheckupdateWeb", Address(L"wrong.txt").c_str(), settings.c_str());
    ::WritePrivateProfileStringW(L"Settings", L"LastTimeCheckUpdate",
                                 std::to_wstring(static_cast<DWORD>(time(nullptr))).c_str(), settings.c_str());
    RunningProgram app(dir + L"Pelican.exe");
    HWND main = app.WaitWindow(L"EmberPelican", kWaitMs);
    ASSERT_NE(nullptr, main);
    PelicanWindow window(dir, main);
    ASSERT_TRUE(WaitFor([&] { return window.Status() == L"Handset Connected."; })) << "ready";
    ASSERT_TRUE(window.Click(L"CheckUpdateNow"));
    EXPECT_NE(std::wstring::npos, Answer(IDYES).find(L"Download and install it now?"));
    std::wstring refused = Answer(IDOK);
    EXPECT_NE(std::wstring::npos, refused.find(L"SHA-256")) << Narrow(refused);
    EXPECT_TRUE(WaitFor([] { return !::FindWindowW(nullptr, kUpdateTitle); }));
    EXPECT_FALSE(FileExists(dir + L"README.txt")) << "nothing installed";
    EXPECT_TRUE(::IsWindow(main)) << "Pelican left running";

    Serve(L"right.txt", Manifest("9.0.0.0", sha));
    auto care = Start(dir, Address(L"right.txt"), L"1", app.pid(), true);
    EXPECT_NE(std::wstring::npos, Answer(IDYES).find(L"Faster copies."));
    HWND ask = care->WaitWindow(kUpdateTitle, kWaitMs);
    ASSERT_NE(nullptr, ask);
    EXPECT_NE(std::wstring::npos, ChildTexts(ask).find(L"Please close it"));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitExit(kWaitMs));
    ::PostMessageW(ask, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD code = 99;
    EXPECT_TRUE(care->WaitExit(120000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(FileExists(dir + L"README.txt")) << "installed";
    HWND again = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (again = ::FindWindowW(nullptr, L"EmberPelican")) != nullptr; }))
        << "Pelican started again";
    if (again) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(again, &pid);
        EXPECT_NE(app.pid(), pid);
        ::PostMessageW(again, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(again); }));
    }
    // The updater that was replaced while it ran is gone with the rest.
    EXPECT_TRUE(UninstallSilently());
    EXPECT_FALSE(FileExists(dir));
}

}  // namespace
