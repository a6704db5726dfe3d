// What the end-to-end tests share: the real Pelican.exe from a scratch copy of
// the program folder, its main window's controls found where the skin puts
// them, clicks as real pointer input, and dialogs answered as they appear.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/SkinReader.h"
#include "tests/support/ProcessDriver.h"

namespace e2e {

constexpr DWORD kWaitMs = 15000;

bool WaitFor(const std::function<bool()>& condition, DWORD ms = kWaitMs);
std::string Narrow(const std::wstring& w);
std::wstring TextOf(HWND wnd);
// Copies a folder with everything in it; false when anything failed.
bool CopyTree(const std::wstring& from, const std::wstring& to);
// Puts a copy of the demo device at `device` whole, as a real handset arrives:
// staged beside it (where `prepare` may add to it), then renamed into place.
bool StageDemoDevice(const std::wstring& device,
                     const std::function<bool(const std::wstring& staged)>& prepare = nullptr);

// Points the Wine user's Desktop at a folder for the object's lifetime: the
// folder browser opens on the Desktop, and Wine's browser ignores typed paths.
class DesktopRedirect {
public:
    explicit DesktopRedirect(const std::wstring& folder);
    ~DesktopRedirect();
    DesktopRedirect(const DesktopRedirect&) = delete;
    DesktopRedirect& operator=(const DesktopRedirect&) = delete;

private:
    struct Saved {
        const wchar_t* key;
        std::wstring value;
        DWORD type;
        bool had;
    };
    std::vector<Saved> saved_;
};

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // Starts the program copy with extra environment and waits for its main window and views.
    void Start(const std::vector<std::wstring>& env);

    // The control of the main window under the centre of a skin rectangle.
    HWND ControlAt(const RECT& r) const;
    template <class Records>
    HWND Named(const Records& records, const wchar_t* name) const {
        for (const auto& r : records)
            if (_wcsicmp(r.name.c_str(), name) == 0) return ControlAt(r.rect);
        return nullptr;
    }
    HWND Button(const wchar_t* name) const { return Named(buttons_, name); }
    std::wstring Status() const { return TextOf(Named(labels_, L"Information")); }
    // Chooses a row of the root drop-down with the mouse, as a user would.
    void ChooseRoot(int row);

    // Real input: xdotool moves the pointer and presses on the X display Wine
    // draws on. Nothing activates the window first: the click must do that,
    // as a user's first click on an inactive window does. False when xdotool
    // did not run.
    bool XdoTool(const std::wstring& arguments);
    void Click(HWND wnd, POINT at);
    // Presses at `from` (screen), moves by `by` in two steps and releases.
    void Drag(POINT from, POINT by);
    void ClickButton(const wchar_t* name);
    void DoubleClickRow(int row);

    // A top-level dialog of the program whose caption is `title`, once visible.
    HWND WaitDialog(const wchar_t* title) { return app_->WaitWindow(title, kWaitMs); }
    // Answers a message box with `title` after checking its text; returns the text.
    std::wstring Answer(const wchar_t* title, int button);
    // Types into the name box and presses OK.
    void EnterName(const wchar_t* title, const std::wstring& name);
    // The system's dialogs open over the middle of the main window, as the program's own boxes do.
    void ExpectCentredOverMain(HWND dialog) const;
    // Confirms the folder browser on its initial folder (the redirected Desktop).
    void ConfirmBrowser();
    // Types a PC file into the file-open dialog and confirms it.
    void ChooseFile(const std::wstring& path);

    // Column 1 holds the name; column 0 is the icon column.
    static constexpr int kName = 1;
    std::vector<std::wstring> Rows() const;
    int Row(const std::wstring& name) const;
    bool HasRow(const std::wstring& name) const { return Row(name) >= 0; }
    int Progress() const;
    // Waits for the end of a copy job: the progress bar at 100 while the
    // "Copy Finished!" box is up, back at 0 after it.
    void ExpectCopyFinished();
    void SaveScreenshot(const std::wstring& path);
    // The screen's pixels in a rectangle of a window's client area, row by row.
    std::vector<COLORREF> ClientPixels(HWND wnd, const RECT& area) const;
    // The control of the program that has the keyboard focus (the drop-down for its edit box).
    HWND FocusedControl() const;
    // Closing the window ends the program with exit code 7.
    void ExpectCloseWithCode7();

    testsupport::ScratchFolder scratch_{L"e2e"};
    testsupport::ProgramCopy copy_;
    std::wstring pc_, desktop_;
    std::vector<nsSkin::SkinButtonRecord> buttons_;
    std::vector<nsSkin::SkinLabelRecord> labels_;
    std::vector<nsSkin::SkinComboBoxRecord> combos_;
    std::vector<nsSkin::SkinProgressRecord> progress_;
    std::unique_ptr<testsupport::RunningProgram> app_;
    HWND main_ = nullptr, tree_ = nullptr, list_ = nullptr;
    int xdoCommands_ = 0;
};

}  // namespace e2e
