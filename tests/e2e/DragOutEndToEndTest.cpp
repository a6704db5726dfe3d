// The real Pelican.exe with the hand of a user on the real pointer and keys
// (xdotool under Xvfb): two photos dragged out of the list onto a drop target
// in a process of its own, and PC files pasted into the device with Ctrl+V.
#include <gtest/gtest.h>

#include <windows.h>
// The shell headers need the types of <windows.h>.
#include <commctrl.h>
#include <shlobj.h>

#include <cwchar>
#include <string>
#include <vector>

#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/RemoteControls.h"

namespace e2e {
namespace {

using namespace testsupport;

// Runs xdotool (a Linux program) and waits for it. Wine starts a Unix program
// by its path but hands back no process to wait on, so a shell around it
// leaves xdotool's exit status in a file that is waited for instead.
bool Xdotool(const std::wstring& args) {
    static int calls = 0;
    const std::wstring done =
        L"/tmp/pelican-xdotool-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++calls);
    std::wstring command = L"/bin/sh -c \"/usr/bin/xdotool " + args + L"; echo $? > " + done + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "xdotool not started (error " << ::GetLastError() << ")";
        return false;
    }
    if (pi.hThread) ::CloseHandle(pi.hThread);
    if (pi.hProcess) ::CloseHandle(pi.hProcess);
    std::wstring status = L"Z:" + done;
    for (wchar_t& c : status)
        if (c == L'/') c = L'\\';
    std::string code;
    WaitFor([&] { return (code = ReadFileBytes(status)).find('\n') != std::string::npos; }, 20000);
    ::DeleteFileW(status.c_str());
    EXPECT_EQ("0\n", code) << "xdotool " << Narrow(args);
    return code == "0\n";
}

std::wstring At(POINT p) { return std::to_wstring(p.x) + L" " + std::to_wstring(p.y); }

class DragOutEndToEnd : public MainWindowFixture {};

TEST_F(DragOutEndToEnd, TwoPhotosDraggedOutAndPcFilesPastedWithCtrlV) {
    const std::wstring device = scratch_.path() + L"device";
    ASSERT_TRUE(CopyTree(SourceDirectory() + L"demo\\device", device));
    ASSERT_NO_FATAL_FAILURE(Start({L"PELICAN_DEVICE_ROOT=" + device}));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"DCIM"); })) << Narrow(Status());
    DoubleClickRow(Row(L"DCIM"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"100APPLE"); }));
    DoubleClickRow(Row(L"100APPLE"));
    ASSERT_TRUE(WaitFor([&] { return ListCount(list_) >= 2 && !HasRow(L"100APPLE"); }));
    const std::wstring album = device + L"\\var\\mobile\\Media\\DCIM\\100APPLE\\";

    // The drop target beside the main window.
    RECT window{};
    ::GetWindowRect(main_, &window);
    const POINT targetAt = window.right + 220 < 1280 ? POINT{window.right + 10, window.top + 40}
                                                     : POINT{40, window.bottom + 10 < 870 ? window.bottom + 10 : 860};
    const std::wstring dropped = scratch_.path() + L"dropped", report = scratch_.path() + L"report.txt";
    ASSERT_TRUE(::CreateDirectoryW(dropped.c_str(), nullptr));
    RunningProgram target(TestDirectory() + L"droptarget.exe", {},
                          L"drop \"" + dropped + L"\" \"" + report + L"\" " + At(targetAt));
    ASSERT_NE(nullptr, target.WaitWindow(L"Drop target", kWaitMs));

    // Click the first photo, Ctrl+click the second, and drag them out by the second.
    auto rowPoint = [&](int row) {
        RECT rc = ListItemRect(list_, row);
        POINT p{rc.left + 60, (rc.top + rc.bottom) / 2};
        ::ClientToScreen(list_, &p);
        return p;
    };
    const POINT first = rowPoint(0), second = rowPoint(1);
    const POINT drop{targetAt.x + 100, targetAt.y + 75};
    ASSERT_TRUE(Xdotool(L"mousemove " + At(first) + L" click 1 sleep 0.3 keydown ctrl mousemove " + At(second) +
                        L" click 1 keyup ctrl sleep 0.3"));
    ASSERT_TRUE(WaitFor([&] { return ListSelected(list_) == std::vector<int>{0, 1}; }, 3000));
    const std::vector<std::wstring> photos = {ListText(list_, 0, kName), ListText(list_, 1, kName)};
    ASSERT_TRUE(Xdotool(L"mousemove " + At(second) + L" mousedown 1 sleep 0.3 mousemove " +
                        At({second.x + 8, second.y + 8}) + L" sleep 0.3 mousemove " +
                        At({second.x + 40, second.y + 30}) + L" sleep 0.3 mousemove " + At(drop) +
                        L" sleep 0.4 mousemove " + At({drop.x + 5, drop.y + 5}) + L" sleep 0.4 mouseup 1"));
    ASSERT_TRUE(target.WaitExit(30000)) << "nothing was dropped on the target";
    const std::string lines = ReadFileBytes(report);
    for (const std::wstring& photo : photos) {
        EXPECT_NE(std::string::npos, lines.find("file " + Narrow(photo) + " ")) << lines;
        EXPECT_EQ(ReadFileBytes(album + photo), ReadFileBytes(dropped + L"\\" + photo)) << Narrow(photo);
    }
    EXPECT_NE(std::string::npos, lines.find("async 1")) << "the target read on its own thread";
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowEnabled(Button(L"CopyToPC")); })) << "commands back after the read";
    EXPECT_EQ(0, Progress());

    // Two PC files copied in Explorer land on the clipboard; Ctrl+V in the list pastes them here.
    ASSERT_TRUE(WriteFileBytes(pc_ + L"\\paste1.txt", "first paste"));
    ASSERT_TRUE(WriteFileBytes(pc_ + L"\\paste2.txt", "second paste"));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ASSERT_NE(nullptr, ::SetClipboardData(CF_HDROP, testsupport::MakeDrop({pc_ + L"\\paste1.txt", pc_ + L"\\paste2.txt"})));
    ::CloseClipboard();
    ASSERT_TRUE(Xdotool(L"mousemove " + At(first) + L" click 1 sleep 0.3 key ctrl+v"));
    ExpectCopyFinished();
    EXPECT_EQ("first paste", ReadFileBytes(album + L"paste1.txt"));
    EXPECT_EQ("second paste", ReadFileBytes(album + L"paste2.txt"));
    EXPECT_TRUE(WaitFor([&] { return HasRow(L"paste1.txt") && HasRow(L"paste2.txt"); }));

    ExpectCloseWithCode7();
}

}  // namespace
}  // namespace e2e
