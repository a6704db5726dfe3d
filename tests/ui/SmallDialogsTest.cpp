// The name box and the about box, driven through their real modal loops with
// posted keystrokes (synthesized input is unreliable under Xvfb).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/FileVersion.h"
#include "app/ProgramPaths.h"
#include "platform/SystemServices.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CAboutDlg.h"
#include "ui/CInputPathNameDlg.h"
#include "ui/ModalDialogs.h"

namespace {

using uitest::RecordingSystem;

// Runs one step per timer tick while a modal dialog titled `title` is up.
class ModalScript {
public:
    using Step = std::function<void(HWND dialog)>;
    ModalScript(const wchar_t* title, std::vector<Step> steps) : title_(title), steps_(std::move(steps)) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 30, &ModalScript::Tick);
    }
    ~ModalScript() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool finished() const { return next_ == steps_.size(); }

    static void Type(HWND dialog, const std::wstring& text) {
        HWND edit = ::GetDlgItem(dialog, 1002);
        for (wchar_t c : text) ::PostMessageW(edit, WM_CHAR, c, 1);
    }
    static void Press(HWND dialog, UINT key) {
        HWND edit = ::GetDlgItem(dialog, 1002);
        ::PostMessageW(edit, WM_KEYDOWN, key, 1);
        ::PostMessageW(edit, WM_KEYUP, key, 0xC0000001);
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* self = current_;
        if (!self || self->finished()) return;
        HWND dialog = ::FindWindowW(L"#32770", self->title_);
        if (!dialog || !::IsWindowVisible(dialog)) return;
        self->steps_[self->next_++](dialog);
    }

    static inline ModalScript* current_ = nullptr;
    const wchar_t* title_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

class NameBoxTest : public ::testing::Test {
protected:
    // Types `text`, presses Enter, then Escape in case the box stayed open.
    INT_PTR Enter(const std::wstring& text, wchar_t* buffer) {
        ModalScript script(L"New Folder", {[&](HWND d) { ModalScript::Type(d, text); },
                                           [](HWND d) { ModalScript::Press(d, VK_RETURN); },
                                           [](HWND d) { ModalScript::Press(d, VK_ESCAPE); }});
        CInputPathNameDlg box(L"New Folder", buffer);
        return box.DoModal(nullptr);
    }
    RecordingSystem system;
    platform::ScopedSystemServices seam{system};
};

TEST_F(NameBoxTest, SixtyFourCharactersAreAcceptedSixtyFiveAreRefusedAndEmptyTheResult) {
    wchar_t buffer[CInputPathNameDlg::kCapacity] = L"previous";
    std::wstring ok64(64, L'a');
    EXPECT_EQ(IDOK, Enter(ok64, buffer));
    EXPECT_EQ(ok64, buffer);
    EXPECT_TRUE(system.boxes.empty());

    std::wstring long65(65, L'b');
    EXPECT_EQ(IDCANCEL, Enter(long65, buffer)) << "the box stays open until cancelled";
    ASSERT_EQ(1u, system.boxes.size());
    EXPECT_EQ(L"The name is too long.", system.boxes[0]);
    EXPECT_STREQ(L"", buffer) << "emptied even though the user then cancelled";
}

TEST_F(NameBoxTest, ForbiddenCharactersAreRefusedWithoutTouchingTheResult) {
    for (const wchar_t* name : {L"a:b", L"a\\b", L"a/b", L"x*", L"q?", L"\"q\"", L"<", L">", L"a|b"}) {
        wchar_t buffer[CInputPathNameDlg::kCapacity] = L"kept";
        system.boxes.clear();
        EXPECT_EQ(IDCANCEL, Enter(name, buffer));
        ASSERT_EQ(1u, system.boxes.size());
        EXPECT_EQ(L"Invalid name.", system.boxes[0]);
        EXPECT_STREQ(L"kept", buffer);
    }
}

TEST_F(NameBoxTest, DotsSpacesAndAnEmptyNameAreAccepted) {
    wchar_t buffer[CInputPathNameDlg::kCapacity] = L"x";
    EXPECT_EQ(IDOK, Enter(L"my photos.2026 v1", buffer));
    EXPECT_STREQ(L"my photos.2026 v1", buffer);
    EXPECT_EQ(IDOK, Enter(L"", buffer));
    EXPECT_STREQ(L"", buffer);
    EXPECT_TRUE(system.boxes.empty());
}

TEST_F(NameBoxTest, TheSeamHandsTheInitialTextInAndTheAnswerOut) {
    std::wstring name = L"old.txt";
    ModalScript script(L"Rename", {[](HWND d) {
                                       HWND edit = ::GetDlgItem(d, 1002);
                                       wchar_t text[64] = {};
                                       ::GetWindowTextW(edit, text, 64);
                                       // Replace the initial text with the new name.
                                       ::SendMessageW(edit, EM_SETSEL, 0, -1);
                                       ModalScript::Type(d, std::wstring(text) == L"old.txt" ? L"new.txt" : L"?");
                                   },
                                   [](HWND d) { ModalScript::Press(d, VK_RETURN); }});
    EXPECT_TRUE(ModalDialogs().AskName(nullptr, L"Rename", &name));
    EXPECT_EQ(L"new.txt", name);
}

TEST_F(NameBoxTest, OpensOverTheMiddleOfItsOwnerAndStaysOnTheScreen) {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 480, 300, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    // The owner in the middle of the screen, then half off its right and bottom edges.
    for (POINT at : {POINT{work.left + 300, work.top + 200}, POINT{work.right - 100, work.bottom - 80}}) {
        ::SetWindowPos(owner, nullptr, at.x, at.y, 480, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT box{};
        ModalScript script(L"Rename", {[&](HWND d) {
                                           ::GetWindowRect(d, &box);
                                           ModalScript::Press(d, VK_ESCAPE);
                                       }});
        std::wstring name = L"a";
        EXPECT_FALSE(ModalDialogs().AskName(owner, L"Rename", &name));
        ASSERT_TRUE(script.finished());
        RECT ownerRect{};
        ::GetWindowRect(owner, &ownerRect);
        EXPECT_GE(box.left, work.left);
        EXPECT_GE(box.top, work.top);
        EXPECT_LE(box.right, work.right);
        EXPECT_LE(box.bottom, work.bottom);
        if (ownerRect.right <= work.right) {
            EXPECT_NEAR((ownerRect.left + ownerRect.right) / 2, (box.left + box.right) / 2, 1);
            EXPECT_NEAR((ownerRect.top + ownerRect.bottom) / 2, (box.top + box.bottom) / 2, 1);
        }
    }
    ::DestroyWindow(owner);
}

TEST(AboutBox, ShowsTheProductAndClosesWithOk) {
    std::wstring seen;
    ModalScript script(L"About Pelican", {[&](HWND d) {
                                              wchar_t text[256] = {};
                                              for (HWND c = ::GetWindow(d, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                                                  ::GetWindowTextW(c, text, 256);
                                                  seen += text;
                                                  seen += L"|";
                                              }
                                              ::PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                                          }});
    CAboutDlg about;
    EXPECT_EQ(IDOK, about.DoModal(nullptr));
    FileVersion version;
    ASSERT_TRUE(ReadFileVersion(ModuleFileName(nullptr), &version));
    EXPECT_NE(std::wstring::npos, seen.find(L"Pelican Version " + VersionText(version) + L"|"));
}

}  // namespace
