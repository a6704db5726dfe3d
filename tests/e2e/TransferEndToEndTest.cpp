// Copies in the real Pelican.exe: the status line while a long one runs,
// Escape and the CancelCopy button, closing the window during it, and the
// question a name that exists asks, answered with real clicks.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "executive/ClashPrompt.h"
#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/RemoteControls.h"

namespace e2e {
namespace {

using namespace testsupport;

constexpr LONGLONG kHuge = 2048ll << 20;  // sparse: costs disk only as far as it is copied

// A key pressed on the X server, as a user's keyboard does it.
void PressKey(const wchar_t* key) {
    std::wstring line = std::wstring(L"Z:\\usr\\bin\\xdotool key ") + key;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(L"Z:\\usr\\bin\\xdotool", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &si, &pi));
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}

class TransferEndToEnd : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        device_ = scratch_.path() + L"device";
        ASSERT_TRUE(StageDemoDevice(device_, [](const std::wstring& staged) {
            return MakeSparseFile(staged + L"\\var\\mobile\\Media\\huge.mov", kHuge);
        }));
    }

    // Copies huge.mov to the PC and waits until the status line tells the speed.
    void StartLongCopy() {
        ListSelect(list_, {Row(L"huge.mov")});
        ClickButton(L"CopyToPC");
        ASSERT_NO_FATAL_FAILURE(ConfirmBrowser());
        ASSERT_TRUE(WaitFor([&] { return Status().find(L" left") != std::wstring::npos; })) << Narrow(Status());
    }

    bool NoPartialOnThePc() {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        HANDLE find = ::FindFirstFileW((desktop_ + L"\\*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return true;
        bool clean = true;
        do {
            const std::wstring n = fd.cFileName;
            if (n != L"." && n != L"..") clean = false;
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
        return clean;
    }

    std::wstring device_;
};

TEST_F(TransferEndToEnd, ALongCopyTellsWhereItStandsAndStopsOnEscapeTheButtonOrClose) {
    DesktopRedirect desktop(desktop_);
    ASSERT_NO_FATAL_FAILURE(Start({L"PELICAN_DEVICE_ROOT=" + device_}));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"huge.mov"); }));
    EXPECT_FALSE(::IsWindowEnabled(Button(L"CancelCopy"))) << "nothing to cancel yet";

    // The status line, read from the real window: name, count, bytes, speed, time left.
    ASSERT_NO_FATAL_FAILURE(StartLongCopy());
    const std::wstring status = Status();
    EXPECT_EQ(0u, status.find(L"huge.mov: 1 of 1 file, ")) << Narrow(status);
    EXPECT_NE(std::wstring::npos, status.find(L" of 2.00 GB, ")) << Narrow(status);
    EXPECT_NE(std::wstring::npos, status.find(L"/s, ")) << Narrow(status);
    EXPECT_TRUE(::IsWindowEnabled(Button(L"CancelCopy")));
    EXPECT_GT(Progress(), 0);

    // Escape, pressed on the keyboard.
    PressKey(L"Escape");
    std::wstring summary = Answer(L"Pelican", IDOK);
    EXPECT_NE(std::wstring::npos, summary.find(L"Copy cancelled.\nCopied 0 of 1 file to " + desktop_)) << Narrow(summary);
    EXPECT_TRUE(WaitFor([&] { return Status() == L"Handset Connected." && Progress() == 0; })) << Narrow(Status());
    EXPECT_TRUE(NoPartialOnThePc());
    EXPECT_FALSE(::IsWindowEnabled(Button(L"CancelCopy")));

    // The skin's button.
    ASSERT_NO_FATAL_FAILURE(StartLongCopy());
    ClickButton(L"CancelCopy");
    summary = Answer(L"Pelican", IDOK);
    EXPECT_NE(std::wstring::npos, summary.find(L"Copy cancelled.\n")) << Narrow(summary);
    EXPECT_TRUE(NoPartialOnThePc());

    // Closing during a copy asks; No keeps it running and the window answering.
    ASSERT_NO_FATAL_FAILURE(StartLongCopy());
    ::PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_NE(std::wstring::npos, Answer(L"Pelican", IDNO).find(L"A copy is in progress. Cancel it and quit?"));
    const std::wstring before = Status();
    EXPECT_TRUE(WaitFor([&] { return Status() != before && Status().find(L" left") != std::wstring::npos; }, 3000))
        << "still copying: " << Narrow(Status());
    DWORD_PTR result = 0;
    EXPECT_NE(0, ::SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result)) << "the window answers";

    // Yes stops the copy and ends the program with code 7, without a summary.
    ::PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_NE(std::wstring::npos, Answer(L"Pelican", IDYES).find(L"A copy is in progress. Cancel it and quit?"));
    DWORD code = 0;
    ASSERT_TRUE(app_->WaitExit(kWaitMs, &code));
    EXPECT_EQ(7u, code);
    EXPECT_TRUE(NoPartialOnThePc());
}

// DCIM copied to the PC a second time: the real question comes up, and the
// user ticks "Do this for all remaining conflicts" and presses "Skip identical".
TEST_F(TransferEndToEnd, TheClashQuestionIsAnsweredForAllWithRealClicks) {
    DesktopRedirect desktop(desktop_);
    ASSERT_NO_FATAL_FAILURE(Start({L"PELICAN_DEVICE_ROOT=" + device_}));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"DCIM"); }));
    const auto copyDcim = [&] {
        ListSelect(list_, {Row(L"DCIM")});
        ClickButton(L"CopyToPC");
        ConfirmBrowser();
    };
    ASSERT_NO_FATAL_FAILURE(copyDcim());
    ASSERT_NO_FATAL_FAILURE(ExpectCopyFinished());
    const std::wstring album = desktop_ + L"\\DCIM\\";
    const std::vector<std::wstring> copied = TreeEntries(album);
    ASSERT_EQ(6u, copied.size()) << "two folders, four photos";
    // One of them changed on the PC since: not identical, so it is kept beside the new one.
    ASSERT_TRUE(WriteFileBytes(album + L"101APPLE\\IMG_0101.JPG", "changed"));

    ASSERT_NO_FATAL_FAILURE(copyDcim());
    HWND question = WaitDialog(kClashCaption);
    ASSERT_NE(nullptr, question) << "the clash question";
    const std::wstring text = TextOf(::GetDlgItem(question, kClashText));
    EXPECT_NE(std::wstring::npos, text.find(L" already exists in " + album)) << Narrow(text);
    std::vector<std::wstring> controls;
    for (int id : {int(kClashReplace), int(kClashSkip), int(kClashKeepBoth), int(kClashSkipIdentical), IDCANCEL,
                   int(kClashForAll)}) {
        HWND control = ::GetDlgItem(question, id);
        controls.push_back(::IsWindowVisible(control) && ::IsWindowEnabled(control) ? TextOf(control) : L"(off)");
    }
    EXPECT_EQ((std::vector<std::wstring>{L"&Replace", L"&Skip", L"&Keep both", L"Skip &identical", L"Cancel copy",
                                         L"Do this for all remaining conflicts"}),
              controls);
    HWND forAll = ::GetDlgItem(question, kClashForAll);
    RECT rc{};
    ::GetClientRect(forAll, &rc);
    Click(forAll, POINT{8, rc.bottom / 2});
    EXPECT_TRUE(WaitFor([&] { return ::SendMessageW(forAll, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 3000));
    HWND skipIdentical = ::GetDlgItem(question, kClashSkipIdentical);
    ::GetClientRect(skipIdentical, &rc);
    Click(skipIdentical, POINT{rc.right / 2, rc.bottom / 2});

    // Asked once: the other clashes take the same answer.
    const std::wstring summary = Answer(L"Handset Larkbox", IDOK);
    EXPECT_NE(std::wstring::npos, summary.find(L"Copy Finished!\n1 file (")) << Narrow(summary);
    EXPECT_NE(std::wstring::npos, summary.find(L"\n3 files skipped.")) << Narrow(summary);
    EXPECT_EQ(nullptr, app_->FindWindow(kClashCaption));
    EXPECT_EQ(7u, TreeEntries(album).size());
    EXPECT_EQ("changed", ReadFileBytes(album + L"101APPLE\\IMG_0101.JPG"));
    const std::wstring source = device_ + L"\\var\\mobile\\Media\\DCIM\\";
    EXPECT_EQ(ReadFileBytes(source + L"101APPLE\\IMG_0101.JPG"), ReadFileBytes(album + L"101APPLE\\IMG_0101 (2).JPG"));
    for (const std::wstring& name : copied) {
        if (name == L"101APPLE\\IMG_0101.JPG") continue;
        EXPECT_EQ(ReadFileBytes(source + name), ReadFileBytes(album + name)) << Narrow(name);
    }
    ExpectCloseWithCode7();
}

}  // namespace
}  // namespace e2e
