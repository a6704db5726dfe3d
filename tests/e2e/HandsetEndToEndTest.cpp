// Pelican with a handset, as a user meets it: the real Pelican.exe, Shuttle.dll
// and Handset.dll on its handset backend, against the stand-in handset (usbmux,
// lockdown with TLS, AFC), which this program runs beside (tests/standin/
// with_standin.sh). The handset is plugged in and out through the stand-in's
// state file; every step is checked in the handset's folder on disk.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/RemoteControls.h"

namespace e2e {
namespace {

using namespace testsupport;

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
    return n < 1024 ? std::wstring(value, n) : std::wstring();
}

std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) names.push_back(fd.cFileName);
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// Last write time in seconds (a copy keeps it to the second at least).
ULONGLONG WriteSeconds(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime) / 10000000;
}

// A file of this size that takes no disk space: the stand-in serves it with its true size.
bool MakeSparse(const std::wstring& path, LONGLONG size) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at;
    at.QuadPart = size;
    bool ok = ::SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && ::SetEndOfFile(f);
    ::CloseHandle(f);
    return ok;
}

class HandsetEndToEnd : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        standin_ = Env(L"PELICAN_STANDIN_DIR");
        ASSERT_FALSE(standin_.empty()) << "run beside the stand-in handset: tests/standin/with_standin.sh -- ...";
        media_ = standin_ + L"\\device\\var\\mobile\\Media";
        // The shipped Handset.ini names no device folder: the library looks for a handset on the usbmux
        // address in USBMUXD_SOCKET_ADDRESS, which the wrapper set.
        ASSERT_TRUE(WriteFileBytes(copy_.dir() + L"Handset.ini", "[Device]\r\n"));
        ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", nullptr);
    }
    void Plug(bool in) {
        std::wstring flag = standin_ + L"\\plugged";
        if (in)
            ASSERT_TRUE(WriteFileBytes(flag, ""));
        else
            ASSERT_TRUE(::DeleteFileW(flag.c_str()));
    }
    std::wstring standin_, media_;
};

TEST_F(HandsetEndToEnd, PlugBrowseCopyManageUnplugMidCopyAndClose) {
    ASSERT_TRUE(CopyTree(SourceDirectory() + L"demo\\device\\var\\mobile\\Media", media_));
    const std::wstring album = media_ + L"\\DCIM\\100APPLE\\";
    ASSERT_TRUE(MakeSparse(album + L"ZZ_long.mov", 5ll << 30));
    DesktopRedirect desktop(desktop_);
    ASSERT_NO_FATAL_FAILURE(Start({}));

    // No handset yet.
    EXPECT_TRUE(WaitFor([&] { return Status() == L"Waiting for Handset..."; })) << Narrow(Status());
    EXPECT_FALSE(::IsWindowEnabled(Button(L"CopyToPC")));

    // Plugged in: the media folder appears.
    Plug(true);
    ASSERT_TRUE(WaitFor([&] { return Status() == L"Handset Connected."; })) << Narrow(Status());
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"DCIM"); }));
    EXPECT_TRUE(::IsWindowEnabled(Button(L"CopyToPC")));

    // Into DCIM and 100APPLE.
    DoubleClickRow(Row(L"DCIM"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"100APPLE"); })) << "DCIM opened";
    DoubleClickRow(Row(L"100APPLE"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"ZZ_long.mov"); })) << "100APPLE opened";
    std::vector<std::wstring> photos = Rows();
    photos.erase(std::remove(photos.begin(), photos.end(), L"ZZ_long.mov"), photos.end());
    ASSERT_GE(photos.size(), 2u);

    // Two photos to the PC.
    ListSelect(list_, {Row(photos[0]), Row(photos[1])});
    ClickButton(L"CopyToPC");
    ASSERT_NO_FATAL_FAILURE(ConfirmBrowser());
    ExpectCopyFinished();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ReadFileBytes(album + photos[i]), ReadFileBytes(desktop_ + L"\\" + photos[i])) << Narrow(photos[i]);
        EXPECT_FALSE(ReadFileBytes(desktop_ + L"\\" + photos[i]).empty());
        EXPECT_EQ(WriteSeconds(album + photos[i]), WriteSeconds(desktop_ + L"\\" + photos[i])) << "date kept";
    }

    // A PC file and a PC folder (the browser's Desktop) to the handset.
    ASSERT_TRUE(WriteFileBytes(pc_ + L"\\note.txt", "a note from the PC\n"));
    {
        HANDLE note = ::CreateFileW((pc_ + L"\\note.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
        FILETIME lastYear{0xD53E8000, 0x01D9F1A0};  // some day in 2023
        ASSERT_TRUE(::SetFileTime(note, nullptr, nullptr, &lastYear));
        ::CloseHandle(note);
    }
    ClickButton(L"CopyFileToDevice");
    ASSERT_NO_FATAL_FAILURE(ChooseFile(pc_ + L"\\note.txt"));
    ExpectCopyFinished();
    EXPECT_EQ("a note from the PC\n", ReadFileBytes(album + L"note.txt"));
    EXPECT_EQ(WriteSeconds(pc_ + L"\\note.txt"), WriteSeconds(album + L"note.txt")) << "date kept";
    EXPECT_TRUE(WaitFor([&] { return HasRow(L"note.txt"); }));
    // Enough small files that helpers copy them, several to a connection.
    ASSERT_TRUE(::CreateDirectoryW((desktop_ + L"\\many").c_str(), nullptr));
    for (int i = 0; i < 24; ++i)
        ASSERT_TRUE(WriteFileBytes(desktop_ + L"\\many\\s" + std::to_wstring(i) + L".txt", std::string(3000 + i, 'm')));
    ClickButton(L"CopyFolderToDevice");
    ASSERT_NO_FATAL_FAILURE(ConfirmBrowser());
    ExpectCopyFinished();
    EXPECT_EQ(ReadFileBytes(album + photos[0]), ReadFileBytes(album + L"desktop\\" + photos[0]));
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(std::string(3000 + i, 'm'), ReadFileBytes(album + L"desktop\\many\\s" + std::to_wstring(i) + L".txt"));
    EXPECT_TRUE(WaitFor([&] { return HasRow(L"desktop"); }));

    // New folder, renamed, deleted.
    ClickButton(L"CreateFolder");
    EnterName(L"New Folder", L"Holiday");
    ASSERT_TRUE(WaitFor([&] { return FileExists(album + L"Holiday") && HasRow(L"Holiday"); }));
    ListSelect(list_, {Row(L"Holiday")});
    ClickButton(L"RenamePath");
    EnterName(L"Rename", L"Holiday 2026");
    ASSERT_TRUE(WaitFor([&] { return FileExists(album + L"Holiday 2026") && HasRow(L"Holiday 2026"); }));
    EXPECT_FALSE(FileExists(album + L"Holiday"));
    ListSelect(list_, {Row(L"Holiday 2026"), Row(L"desktop")});
    ClickButton(L"DeleteFromDevice");
    EXPECT_NE(std::wstring::npos, Answer(L"Delete", IDYES).find(L"Are you sure to remove the selected item(s)?"));
    EXPECT_TRUE(WaitFor([&] { return !FileExists(album + L"Holiday 2026") && !FileExists(album + L"desktop"); }));
    EXPECT_TRUE(WaitFor([&] { return !HasRow(L"Holiday 2026") && !HasRow(L"desktop"); }));

    // Pulled out while a 5 GiB file comes to the PC: the copy fails, nothing of it stays on the PC.
    const std::vector<std::wstring> before = Names(desktop_);
    ListSelect(list_, {Row(L"ZZ_long.mov")});
    ClickButton(L"CopyToPC");
    ASSERT_NO_FATAL_FAILURE(ConfirmBrowser());
    ASSERT_TRUE(WaitFor([&] { return Progress() > 0; })) << "the copy never got going";
    Plug(false);
    DWORD pulled = ::GetTickCount();
    EXPECT_NE(std::wstring::npos, Answer(L"Pelican", IDOK).find(L"Copy Failed."));
    EXPECT_LT(::GetTickCount() - pulled, 5000u) << "the failure took too long to show";
    EXPECT_TRUE(WaitFor([&] { return Status() == L"Waiting for Handset..."; })) << Narrow(Status());
    EXPECT_TRUE(WaitFor([&] { return TreeCount(tree_) == 0 && ListCount(list_) == 0; }));
    EXPECT_TRUE(WaitFor([&] { return Names(desktop_) == before; })) << "a partial file stayed on the PC";

    // Plugged in again: back, with what the earlier steps left on the handset.
    Plug(true);
    ASSERT_TRUE(WaitFor([&] { return Status() == L"Handset Connected."; })) << Narrow(Status());
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"DCIM"); }));
    EXPECT_TRUE(FileExists(album + L"note.txt"));

    // "/" of a handset without the root service holds nothing but the way down:
    // a file added there is refused, and the box says which and why.
    ChooseRoot(1);
    EXPECT_NE(std::wstring::npos,
              Answer(L"Root Folder", IDOK).find(L"Root files corrupted may cause Handset unavailable!"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"var") && !HasRow(L"DCIM"); }));
    ClickButton(L"CopyFileToDevice");
    ASSERT_NO_FATAL_FAILURE(ChooseFile(pc_ + L"\\note.txt"));
    const std::wstring refused = Answer(L"Pelican", IDOK);
    EXPECT_NE(std::wstring::npos, refused.find(L"Copy Failed. / on the handset cannot take files")) << Narrow(refused);
    EXPECT_NE(std::wstring::npos, refused.find(L"\n" + pc_ + L"\\note.txt: refused where it was to be written"))
        << Narrow(refused);

    ExpectCloseWithCode7();
}

}  // namespace
}  // namespace e2e
