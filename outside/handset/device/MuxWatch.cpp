// CMuxHandset's watcher: arrival and removal from the usbmux Listen
// connection, the reasons a handset is not usable, and Close.
#include <algorithm>

#include "outside/handset/DevicePaths.h"
#include "outside/handset/device/CMuxHandset.h"
#include "outside/handset/lockdown/PairRecord.h"

namespace handset::device {

namespace {

constexpr DWORD kFirstRetryMs = 250;
constexpr DWORD kLongestRetryMs = 8000;
constexpr ULONGLONG kTrustRetryMs = 1000;  // the user may tap Trust at any moment
constexpr unsigned kPollMs = 50;

void Debug(const std::string& line) { ::OutputDebugStringA(("Handset: " + line + "\n").c_str()); }

}  // namespace

bool CMuxHandset::SetNotificationCallback(NotificationCallback callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!stop_ || !winsock_.Ready() || closing_) return false;
    if (!thread_) {
        thread_.reset(::CreateThread(nullptr, 0, &CMuxHandset::WatchThread, this, 0, nullptr));
        if (!thread_) return false;
    }
    callback_ = callback;
    announce_ = link_ != nullptr;
    return true;
}

DWORD WINAPI CMuxHandset::WatchThread(void* self) {
    static_cast<CMuxHandset*>(self)->Watch();
    return 0;
}

bool CMuxHandset::Stopping() const { return closing_ || ::WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0; }

void CMuxHandset::Notify(int event) {
    NotificationCallback callback = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        callback = closing_ ? nullptr : callback_;
    }
    // Called without the lock: the receiver may well call back into us.
    if (callback) callback(event);
}

void CMuxHandset::Watch() {
    DWORD retry = kFirstRetryMs;
    bool toldMissing = false;
    while (!Stopping()) {
        std::unique_ptr<wire::Connection> listen = mux_.Listen();
        if (!listen) {
            if (!toldMissing) {
                Debug("the usbmux service cannot be reached; is the handset vendor's software installed?");
                Notify(kServiceMissing);
                toldMissing = true;
            }
            if (::WaitForSingleObject(stop_.get(), retry) == WAIT_OBJECT_0) return;
            retry = std::min(retry * 2, kLongestRetryMs);
            continue;
        }
        retry = kFirstRetryMs;
        toldMissing = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (closing_) return;
            listen_ = listen.get();
        }
        WatchListen(listen.get());
        {
            std::lock_guard<std::mutex> lock(mutex_);
            listen_ = nullptr;
        }
        // Without the Listen connection nothing says when the handset goes.
        Disconnect();
    }
}

void CMuxHandset::WatchListen(wire::Connection* listen) {
    std::vector<wire::MuxDevice> attached;  // USB only, in the order they came
    std::vector<std::uint32_t> toldNotTrusted;
    ULONGLONG nextTry = 0;
    while (!Stopping()) {
        bool announce = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            announce = announce_ && link_;
            announce_ = false;
        }
        if (announce) Notify(1);
        if (!Link() && !attached.empty() && ::GetTickCount64() >= nextTry) {
            bool connected = false;
            for (const wire::MuxDevice& device : attached) {
                bool notTrusted = false;
                if (TryConnect(device, &notTrusted)) {
                    connected = true;
                    break;
                }
                if (notTrusted &&
                    std::find(toldNotTrusted.begin(), toldNotTrusted.end(), device.id) == toldNotTrusted.end()) {
                    toldNotTrusted.push_back(device.id);
                    Notify(kNotTrusted);
                }
            }
            if (connected) {
                Notify(1);
                if (std::shared_ptr<DeviceLink> link = Link()) link->Warm();
            }
            nextTry = ::GetTickCount64() + kTrustRetryMs;
        }
        const int ready = listen->WaitReadable(kPollMs);
        if (ready < 0) return;
        if (ready == 0) continue;
        wire::MuxEvent event;
        if (!wire::MuxClient::ReadEvent(listen, &event)) return;
        if (event.kind == wire::MuxEvent::Kind::Attached && event.device.usb) {
            auto same = [&](const wire::MuxDevice& d) { return d.id == event.device.id; };
            if (std::none_of(attached.begin(), attached.end(), same)) attached.push_back(event.device);
            nextTry = 0;
        } else if (event.kind == wire::MuxEvent::Kind::Detached) {
            const std::uint32_t id = event.device.id;
            attached.erase(
                std::remove_if(attached.begin(), attached.end(), [&](const wire::MuxDevice& d) { return d.id == id; }),
                attached.end());
            toldNotTrusted.erase(std::remove(toldNotTrusted.begin(), toldNotTrusted.end(), id), toldNotTrusted.end());
            std::shared_ptr<DeviceLink> link = Link();
            if (link && link->Id() == id) Disconnect();
        }
    }
}

bool CMuxHandset::TryConnect(const wire::MuxDevice& device, bool* notTrusted) {
    std::string why;
    lockdown::PairRecord record;
    if (!lockdown::LoadPairRecord(mux_, device.udid, &record, &why)) {
        Debug(why + "; open the handset vendor's software once and tap Trust on the handset");
        *notTrusted = true;
        return false;
    }
    if (record.systemBuid.empty()) mux_.ReadBuid(&record.systemBuid);
    auto link = std::make_shared<DeviceLink>(mux_, device, record);
    switch (link->Start(&why)) {
        case DeviceLink::Result::Ok:
            break;
        case DeviceLink::Result::NotTrusted:
            Debug(why + " (handset " + device.udid + "; unlock it and tap Trust)");
            *notTrusted = true;
            return false;
        case DeviceLink::Result::Failed:
            Debug(why + " (handset " + device.udid + ")");
            return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closing_) {
            link->Shutdown();
            return false;
        }
        link_ = link;
    }
    Debug("handset " + device.udid + " connected");
    RemoveOrphans(link);
    return true;
}

void CMuxHandset::Disconnect() {
    std::shared_ptr<DeviceLink> link;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        link.swap(link_);
    }
    if (!link) return;
    link->Shutdown();
    Debug("handset " + link->Udid() + " removed");
    Notify(2);
}

void CMuxHandset::Close() {
    std::shared_ptr<DeviceLink> link;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
        callback_ = nullptr;
        if (listen_) listen_->Abort();
        link.swap(link_);
    }
    // Running copies fail at once and clean up behind them.
    if (link) link->Shutdown();
    if (thread_) {
        ::SetEvent(stop_.get());
        WaitPumping(thread_.get());
    }
    WaitForCalls(calls_);
    delete this;
}

}  // namespace handset::device
