// The UI main module on a real soft bus with recording executive and
// configuration modules: the main window, views by name, the log lines, the
// executive face and the keyboard hook.
#include <gtest/gtest.h>

#include "app/Applog.h"
#include "app/ProgramPaths.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/CEmberSoftBus.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CAppModuleUIMain.h"
#include "ui/CSplitterBar.h"

namespace {

using namespace uitest;

class ExecutiveModule : public CEmberAppModuleBase, public RecordingSink {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (ember::SameGuid(iid, ember::IID_ICommandExecutive)) {
            *out = static_cast<ICommandExecutive*>(this);
            return S_OK;
        }
        return CEmberAppModuleBase::QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return CEmberAppModuleBase::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
};

class ConfigModule : public CEmberAppModuleBase, public MemoryConfig {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (ember::SameGuid(iid, ember::IID_IConfigSettings)) {
            *out = static_cast<IConfigSettings*>(this);
            return S_OK;
        }
        return CEmberAppModuleBase::QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return CEmberAppModuleBase::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
};

// The process log at tracing level, written to a file the test reads back.
class TracingLog {
public:
    TracingLog() {
        settings_ = ModuleFileName(nullptr) + L".cfg";
        std::string name = "uimain-" + std::to_string(::GetCurrentProcessId()) + ".log";
        testsupport::WriteFileBytes(settings_,
                                    "[LogSetting]\r\nMask=1\r\nLevel=4\r\nEnableTimeStamp=0\r\nFile=" + name);
        StartAppLog(::GetModuleHandleW(nullptr));
        if (auto* log = static_cast<CApplog*>(AppLog())) path_ = log->LogFilePath();
    }
    ~TracingLog() {
        EndAppLog();
        ::DeleteFileW(path_.c_str());
        ::DeleteFileW(settings_.c_str());
    }
    std::string Text() const { return testsupport::ReadFileBytes(path_); }

private:
    std::wstring settings_, path_;
};

class UIMainModuleTest : public ::testing::Test {
protected:
    void Start(bool withExecutive = true) {
        WriteTestSkin(scratch_.path());
        config_ = new ConfigModule;
        config_->strings[L"CurrentSkinPath"] = scratch_.path();
        config_->strings[L"VersionName"] = L"EmberPelican";
        bus_.RegisterModule(&ember::MID_ConfigModule, config_, nullptr);
        ui_ = new CAppModuleUIMain;
        bus_.RegisterModule(&ember::MID_UIMain, ui_, nullptr);
        if (withExecutive) {
            executive_ = new ExecutiveModule;
            bus_.RegisterModule(&ember::MID_CmdExecutive, executive_, nullptr);
        }
        ASSERT_GE(bus_.InitializeModules(), 0);
        FlushEvents();
    }
    void TearDown() override {
        bus_.UninitializeModules();
        FlushEvents();
    }

    TracingLog log_;
    testsupport::ScratchFolder scratch_{L"uimain"};
    CEmberSoftBus bus_;
    ConfigModule* config_ = nullptr;
    ExecutiveModule* executive_ = nullptr;
    CAppModuleUIMain* ui_ = nullptr;
};

TEST_F(UIMainModuleTest, InitializeOpensTheSkinnedMainWindowWithItsOwnViews) {
    Start();
    HWND main = ui_->MainWindow();
    ASSERT_TRUE(::IsWindow(main));
    EXPECT_EQ(main, ::FindWindowW(nullptr, L"EmberPelican")) << "the title a second instance looks for";
    EXPECT_EQ(L"MAINDLG", ui_->MainDialog().SectionName());
    // The splitter is made here; the file views need the file view module, which is absent.
    ASSERT_EQ(1u, ui_->MainDialog().HostedViews().size());
    IEmberAppModuleView* splitter = ui_->MainDialog().HostedViews()[0];
    wchar_t name[64] = {};
    splitter->GetViewName(name, 64);
    EXPECT_STREQ(L"SplitterBar", name);
    HWND bar = splitter->GetViewWindow();
    EXPECT_EQ(main, ::GetParent(bar));
    std::string text = log_.Text();
    EXPECT_NE(std::string::npos, text.find("Pelican find UI SplitterBar!")) << text;
    EXPECT_NE(std::string::npos, text.find("Don't find view FileTreeView! hr=0x")) << text;

    // The splitter keeps its width and follows the window's height.
    ::SetWindowPos(main, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    FlushEvents();
    RECT client{}, rc{};
    ::GetClientRect(main, &client);
    ::GetWindowRect(bar, &rc);
    EXPECT_EQ(4, rc.right - rc.left);
    EXPECT_EQ(client.bottom - (200 - 170) - 30, rc.bottom - rc.top) << "bottom margin 30 from the 300 x 200 skin";

    bus_.UninitializeModules();
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_FALSE(::IsWindow(bar)) << "the hosted views go with the window";
}

TEST_F(UIMainModuleTest, ViewNamesAreMatchedInAnyCaseAndUnknownNamesAreLogged) {
    Start();
    HWND main = ui_->MainWindow();
    IEmberAppModuleView* view = nullptr;
    EXPECT_EQ(S_OK, ui_->CreateView(L"splitterBAR", main, RECT{20, 20, 26, 120}, L"", &view));
    ASSERT_NE(nullptr, view);
    EXPECT_NE(nullptr, dynamic_cast<CSplitterBar*>(view));
    EXPECT_EQ(S_OK, ui_->DestroyView(view));

    view = nullptr;
    EXPECT_EQ(S_OK, ui_->CreateView(L"bottomcontainer", main, RECT{0, 150, 300, 200}, L"", &view));
    ASSERT_NE(nullptr, view);
    auto* box = dynamic_cast<CSkinDialogEx*>(view);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0, box->AutoAnchor()) << "made views do not re-anchor themselves";
    EXPECT_TRUE(::IsWindowVisible(box->hwnd()));
    EXPECT_EQ(S_OK, ui_->DestroyView(view));

    view = nullptr;
    EXPECT_EQ(E_FAIL, ui_->CreateView(L"NoSuchView", main, RECT{0, 0, 1, 1}, L"", &view));
    EXPECT_EQ(nullptr, view);
    EXPECT_NE(std::string::npos, log_.Text().find("Don't find view NoSuchView! hr=0x80004005\n"));
    EXPECT_EQ(E_INVALIDARG, ui_->CreateView(L"SplitterBar", nullptr, RECT{0, 0, 1, 1}, L"", &view));
    EXPECT_EQ(E_POINTER, ui_->DestroyView(nullptr));
}

TEST_F(UIMainModuleTest, ExecutiveFaceAndInterfaces) {
    Start();
    executive_->asked.clear();
    EXPECT_EQ(1, ui_->IsCommandEnabled(L"this.Minimize"));
    EXPECT_TRUE(executive_->asked.empty()) << "dialog-local names are not asked of the executive";
    executive_->disabled[L"MINIMIZE"] = true;
    EXPECT_EQ(0, ui_->IsCommandEnabled(L"Minimize"));
    EXPECT_EQ((std::vector<std::wstring>{L"Minimize"}), executive_->asked);
    EXPECT_EQ(E_FAIL, ui_->OnKeyMessage(VK_F5, 0, 0, 0));
    EXPECT_EQ(0, ui_->OnEvent(1, 2, 3, 4));

    void* face = nullptr;
    EXPECT_EQ(S_OK, ui_->QueryInterface(ember::IID_IUIOperation, &face));
    EXPECT_EQ(static_cast<IUIOperation*>(ui_), face);
    EXPECT_EQ(S_OK, ui_->QueryInterface(ember::IID_IEmberAppModuleUICtrl, &face));
    EXPECT_EQ(static_cast<IEmberAppModuleUICtrl*>(ui_), face);
    EXPECT_EQ(E_NOINTERFACE, ui_->QueryInterface(ember::IID_ICommandExecutive, &face));
    EXPECT_EQ(E_POINTER, ui_->QueryInterface(ember::IID_IUIOperation, nullptr));

    // The worker's progress, posted to the main window, reaches the executive unchanged.
    executive_->calls.clear();
    ::PostMessageW(ui_->MainWindow(), WM_USER + 101, 4096, 1024);
    FlushEvents();
    ASSERT_EQ(1u, executive_->Named(L"UpdateCopyProgress").size());
    EXPECT_EQ(4096, executive_->Named(L"UpdateCopyProgress")[0].words[4]);
    EXPECT_EQ(1024, executive_->Named(L"UpdateCopyProgress")[0].words[5]);
}

TEST_F(UIMainModuleTest, OnlyKeyUpsOnTheMainWindowItselfAreConsumed) {
    Start();
    HWND main = ui_->MainWindow();
    HWND child = ui_->MainDialog().FindButton(L"About")->hwnd();
    MSG up{main, WM_KEYUP, VK_F5, 0, 0, {}};
    EXPECT_EQ(1, ui_->PreTranslateMessage(&up));
    EXPECT_EQ((std::vector<UINT>{VK_F5}), executive_->keys);
    MSG sysUp{main, WM_SYSKEYUP, VK_MENU, 0, 0, {}};
    EXPECT_EQ(1, ui_->PreTranslateMessage(&sysUp));
    MSG onChild{child, WM_KEYUP, VK_F5, 0, 0, {}};
    EXPECT_EQ(0, ui_->PreTranslateMessage(&onChild));
    MSG down{main, WM_KEYDOWN, VK_F5, 0, 0, {}};
    EXPECT_EQ(0, ui_->PreTranslateMessage(&down));
    MSG mouse{main, WM_LBUTTONUP, 0, 0, 0, {}};
    EXPECT_EQ(0, ui_->PreTranslateMessage(&mouse));
    EXPECT_EQ(2u, executive_->keys.size());
}

TEST_F(UIMainModuleTest, WithoutTheExecutiveCommandsAreRefused) {
    Start(false);
    ASSERT_TRUE(::IsWindow(ui_->MainWindow())) << "the window runs without command routing";
    EXPECT_LT(ui_->InvokeCommand(L"CopyToPC", 0, nullptr), 0);
    EXPECT_EQ(0, ui_->IsCommandEnabled(L"CopyToPC"));
    EXPECT_EQ(1, ui_->IsCommandEnabled(L"this.Hide"));
    EXPECT_EQ(0, ui_->GetCommandValue(L"Information", 0));
    MSG up{ui_->MainWindow(), WM_KEYUP, VK_F5, 0, 0, {}};
    EXPECT_EQ(0, ui_->PreTranslateMessage(&up));
    ::SendMessageW(ui_->MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(S_OK, ui_->UpdateUI(L""));
    EXPECT_EQ(S_OK, ui_->ReloadSkin());
    EXPECT_TRUE(::IsWindowVisible(ui_->MainWindow()));
}

}  // namespace

namespace {

using namespace uitest;

// Stands in for the file view module: makes recording views by name.
class FileViewModule : public CEmberAppModuleBase, public RecordingFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (ember::SameGuid(iid, ember::IID_IEmberAppModuleUICtrl)) {
            *out = static_cast<IEmberAppModuleUICtrl*>(this);
            return S_OK;
        }
        return CEmberAppModuleBase::QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return CEmberAppModuleBase::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
};

TEST(UIMainModuleWithFileViews, FileViewsAreMadeAndHandedBackByTheirModule) {
    testsupport::ScratchFolder scratch(L"uifv");
    WriteTestSkin(scratch.path());
    CEmberSoftBus bus;
    auto* files = new FileViewModule;
    bus.RegisterModule(&ember::MID_FileView, files, nullptr);
    auto* config = new ConfigModule;
    config->strings[L"CurrentSkinPath"] = scratch.path();
    bus.RegisterModule(&ember::MID_ConfigModule, config, nullptr);
    auto* ui = new CAppModuleUIMain;
    bus.RegisterModule(&ember::MID_UIMain, ui, nullptr);
    ASSERT_GE(bus.InitializeModules(), 0);

    // Asked in the skin's order with the skin's rectangles.
    ASSERT_EQ(2u, files->requests.size());
    EXPECT_EQ(L"FileTreeView", files->requests[0].name);
    EXPECT_EQ(L"FileListCtrl", files->requests[1].name);
    EXPECT_EQ(114, files->requests[1].rect.left);
    EXPECT_EQ(3u, ui->MainDialog().HostedViews().size());

    // A view that calls itself "FileListView" still goes back to its maker.
    IEmberAppModuleView* view = nullptr;
    ASSERT_EQ(S_OK, files->CreateView(L"FileListView", ui->MainWindow(), RECT{0, 0, 10, 10}, L"", &view));
    EXPECT_EQ(S_OK, ui->DestroyView(view));
    ASSERT_FALSE(files->destroyed.empty());
    EXPECT_EQ(view, files->destroyed.back());

    files->destroyed.clear();
    bus.UninitializeModules();
    EXPECT_EQ(2u, files->destroyed.size()) << "the window hands its file views back when it goes";
}

}  // namespace
