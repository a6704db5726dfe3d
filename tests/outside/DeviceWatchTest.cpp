// Arrival and removal: reported by the library's own thread, within a second, once per change.
#include <mutex>

#include "outside/handset/FileCopy.h"
#include "tests/outside/HandsetFixture.h"

namespace {

struct Event {
    int code;
    DWORD thread;
    ULONGLONG tick;
};

// The notification function is a plain function; it records here.
std::mutex g_lock;
std::vector<Event> g_events;

int Notice(int code) {
    std::lock_guard<std::mutex> lock(g_lock);
    g_events.push_back({code, ::GetCurrentThreadId(), ::GetTickCount64()});
    return 0;
}

struct DeviceWatch : HandsetFixture {
    void SetUp() override {
        HandsetFixture::SetUp();
        std::lock_guard<std::mutex> lock(g_lock);
        g_events.clear();
    }
    std::vector<Event> Events() {
        std::lock_guard<std::mutex> lock(g_lock);
        return g_events;
    }
    // Waits (bounded) until `count` events are in.
    std::vector<Event> WaitFor(size_t count, DWORD ms = 3000) {
        ULONGLONG end = ::GetTickCount64() + ms;
        while (Events().size() < count && ::GetTickCount64() < end) ::Sleep(10);
        return Events();
    }
    void Unplug() { ASSERT_TRUE(::MoveFileW(device.c_str(), (device + L"-away").c_str())); }
    void PlugIn() { ASSERT_TRUE(::MoveFileW((device + L"-away").c_str(), device.c_str())); }
};

TEST_F(DeviceWatch, ADevicePresentAtRegistrationArrivesAtOnceOnTheLibrarysThread) {
    ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(handset->SetNotificationCallback(&Notice));
    auto events = WaitFor(1);
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(1, events[0].code);
    EXPECT_NE(::GetCurrentThreadId(), events[0].thread);
    EXPECT_LT(events[0].tick - start, 1000u);
    ::Sleep(700);
    EXPECT_EQ(1u, Events().size()) << "one arrival, reported once";
}

TEST_F(DeviceWatch, RemovalAndArrivalAreReportedWithinASecondAndOnlyOnce) {
    ASSERT_TRUE(handset->SetNotificationCallback(&Notice));
    ASSERT_EQ(1u, WaitFor(1).size());
    const DWORD watcher = Events()[0].thread;

    ULONGLONG unplugged = ::GetTickCount64();
    Unplug();
    auto events = WaitFor(2);
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(2, events[1].code);
    EXPECT_LT(events[1].tick - unplugged, 1000u);
    EXPECT_EQ(watcher, events[1].thread);

    ::Sleep(600);
    ULONGLONG plugged = ::GetTickCount64();
    PlugIn();
    events = WaitFor(3);
    ASSERT_EQ(3u, events.size());
    EXPECT_EQ(1, events[2].code);
    EXPECT_LT(events[2].tick - plugged, 1000u);
    ::Sleep(700);
    EXPECT_EQ(3u, Events().size());
}

TEST_F(DeviceWatch, NoDeviceMeansNoNoticeUntilOneArrives) {
    Unplug();
    ASSERT_TRUE(handset->SetNotificationCallback(&Notice));
    ::Sleep(600);
    EXPECT_TRUE(Events().empty()) << "a device that was never there is not removed";
    PlugIn();
    auto events = WaitFor(1);
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(1, events[0].code);
}

TEST_F(DeviceWatch, ANewNotificationFunctionHearsAboutTheDeviceAgain) {
    ASSERT_TRUE(handset->SetNotificationCallback(&Notice));
    ASSERT_EQ(1u, WaitFor(1).size());
    ASSERT_TRUE(handset->SetNotificationCallback(&Notice));
    EXPECT_EQ(2u, WaitFor(2).size());
}

std::wstring g_root;  // moved away by the progress function after the first chunk
int UnplugMidway(int, int done) {
    if (done > 0 && !g_root.empty()) {
        ::MoveFileW(g_root.c_str(), (g_root + L"-away").c_str());
        g_root.clear();
    }
    return 1;
}

// Wine cannot delete an open file whose folder moved away meanwhile; the
// library removes the leftover when the device is back.
TEST_F(DeviceWatch, TheDeviceVanishingDuringACopyToItLeavesNothingOnceItIsBack) {
    OnPc(L"clip.mov", std::string(3 << 20, 'c'));
    OnDevice(L"DCIM\\old.jpg", "old");
    ASSERT_TRUE(handset->SetNotificationCallback(&Notice));
    ASSERT_EQ(1u, WaitFor(1).size());

    g_root = device;
    wchar_t target[260] = L"/DCIM/clip.mov";
    EXPECT_FALSE(handset->CopyFileToDevice((pc + L"\\clip.mov").c_str(), target, &UnplugMidway));
    auto events = WaitFor(2);
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(2, events[1].code) << "the removal is reported";
    EXPECT_FALSE(testsupport::FileExists(device + L"-away\\DCIM\\clip.mov"));
    EXPECT_EQ(std::string(3 << 20, 'c'), PcFile(L"clip.mov"));

    PlugIn();
    events = WaitFor(3);
    ASSERT_EQ(3u, events.size());
    EXPECT_EQ(1, events[2].code);
    EXPECT_FALSE(HoldsPartial(device));
    EXPECT_EQ((std::vector<std::wstring>{L"old.jpg"}), Names(device + L"\\DCIM"));
}

TEST_F(DeviceWatch, CloseStopsTheWatcherSoNothingIsReportedAfterwards) {
    ASSERT_TRUE(handset->SetNotificationCallback(&Notice));
    ASSERT_EQ(1u, WaitFor(1).size());
    handset->Close();
    handset = nullptr;
    Unplug();
    ::Sleep(500);
    EXPECT_EQ(1u, Events().size());
}

}  // namespace
