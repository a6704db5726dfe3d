// The handset backend when the usbmux service is missing or answers garbage.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "outside/handset/device/CMuxHandset.h"

namespace {

std::mutex g_lock;
std::vector<int> g_codes;
int Record(int code) {
    std::lock_guard<std::mutex> lock(g_lock);
    g_codes.push_back(code);
    return 0;
}

// A usbmux service of our own that answers every connection with `answer` and hangs up.
class BrokenMux {
public:
    explicit BrokenMux(std::string answer) : answer_(std::move(answer)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof(at);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof(at));
        ::listen(listener_, 8);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &size);
        port = ntohs(at.sin_port);
        thread_ = std::thread([this] {
            for (;;) {
                SOCKET client = ::accept(listener_, nullptr, nullptr);
                if (client == INVALID_SOCKET) return;
                ++connections;
                ::send(client, answer_.data(), static_cast<int>(answer_.size()), 0);
                ::closesocket(client);
            }
        });
    }
    ~BrokenMux() {
        ::closesocket(listener_);
        thread_.join();
    }
    std::uint16_t port = 0;
    std::atomic<int> connections{0};

private:
    std::string answer_;
    SOCKET listener_;
    std::thread thread_;
};

struct MuxService : ::testing::Test {
    handset::wire::WinsockUser winsock;
    void SetUp() override {
        std::lock_guard<std::mutex> lock(g_lock);
        g_codes.clear();
    }
    std::vector<int> Codes() {
        std::lock_guard<std::mutex> lock(g_lock);
        return g_codes;
    }
    static handset::device::CMuxHandset* Open(std::uint16_t port) {
        handset::wire::MuxAddress address;
        address.port = port;
        auto* handset = new handset::device::CMuxHandset(address);
        EXPECT_TRUE(handset->SetNotificationCallback(&Record));
        return handset;
    }
};

TEST_F(MuxService, AMissingServiceIsToldOnceAndRetriedUntilClose) {
    std::uint16_t port = 0;
    {
        BrokenMux gone("");  // a port that was free a moment ago
        port = gone.port;
    }
    handset::device::CMuxHandset* handset = Open(port);
    ::Sleep(2000);  // several retries
    EXPECT_EQ(std::vector<int>{handset::device::kServiceMissing}, Codes());
    EXPECT_FALSE(handset->IsConnected());
    const ULONGLONG start = ::GetTickCount64();
    handset->Close();
    EXPECT_LT(::GetTickCount64() - start, 300u) << "Close ends the retries at once";
}

TEST_F(MuxService, AServiceThatHangsUpMidAnswerIsNoDeviceAndNoHang) {
    // A Listen answer cut off inside its plist, then garbage with an absurd length.
    const std::string answers[] = {
        std::string("\x40\x00\x00\x00\x01\x00\x00\x00\x08\x00\x00\x00\x01\x00\x00\x00<?xml", 21),
        std::string("\xFF\xFF\xFF\x7F\x01\x00\x00\x00\x08\x00\x00\x00", 12)};
    for (const std::string& answer : answers) {
        BrokenMux mux(answer);
        handset::device::CMuxHandset* handset = Open(mux.port);
        const ULONGLONG end = ::GetTickCount64() + 3000;
        while (mux.connections < 3 && ::GetTickCount64() < end) ::Sleep(10);
        EXPECT_GE(mux.connections, 3) << "tried again after each failure";
        EXPECT_FALSE(handset->IsConnected());
        const std::vector<int> codes = Codes();
        EXPECT_TRUE(std::find(codes.begin(), codes.end(), 1) == codes.end());
        const ULONGLONG start = ::GetTickCount64();
        handset->Close();
        EXPECT_LT(::GetTickCount64() - start, 300u);
    }
}

}  // namespace
