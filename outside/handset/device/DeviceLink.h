// The way to one trusted handset's file services: lockdown sessions that start
// AFC, and a pool of AFC connections so that concurrent callers never wait on
// each other for longer than one request.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "outside/handset/afc/AfcClient.h"
#include "outside/handset/lockdown/PairRecord.h"
#include "outside/handset/wire/Usbmux.h"

namespace handset::device {

// "com.apple.afc" is rooted at the media folder; "com.apple.afc2" at "/".
enum class Service { Media, Root };

class DeviceLink {
public:
    enum class Result { Ok, NotTrusted, Failed };

    DeviceLink(const wire::MuxClient& mux, const wire::MuxDevice& device, const lockdown::PairRecord& record);
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Opens the first media connection.
    Result Start(std::string* why);
    // Whether the handset offers the root service; asked once, when first needed,
    // so that the arrival waits for one TLS handshake only.
    bool HasRoot();
    std::uint32_t Id() const { return device_.id; }
    const std::string& Udid() const { return device_.udid; }

    // A connection lent to one caller for the length of its request(s).
    class Lease {
    public:
        Lease() = default;
        Lease(DeviceLink* link, Service service, std::unique_ptr<afc::AfcClient> client)
            : link_(link), service_(service), client_(std::move(client)) {}
        Lease(Lease&& other) noexcept = default;
        Lease& operator=(Lease&& other) noexcept;
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        explicit operator bool() const { return client_ != nullptr; }
        afc::AfcClient* operator->() const { return client_.get(); }
        afc::AfcClient& operator*() const { return *client_; }

    private:
        DeviceLink* link_ = nullptr;
        Service service_ = Service::Media;
        std::unique_ptr<afc::AfcClient> client_;
    };

    // An idle pooled connection or a new one; empty when the handset is gone.
    Lease Acquire(Service service);
    // Makes a second media connection ready, so that a rename during a copy
    // does not wait for a handshake of its own.
    void Warm();
    // Every connection fails at once; later Acquire calls get nothing.
    void Shutdown();
    bool IsShutDown() const;

private:
    Result Open(Service service, std::unique_ptr<afc::AfcClient>* client, std::string* why);
    void Return(Service service, std::unique_ptr<afc::AfcClient> client);

    wire::MuxClient mux_;
    wire::MuxDevice device_;
    lockdown::PairRecord record_;
    std::once_flag rootProbe_;
    std::atomic<bool> hasRoot_{false};
    mutable std::mutex mutex_;  // guards everything below
    bool shutDown_ = false;
    std::vector<std::unique_ptr<afc::AfcClient>> idle_[2];
    std::vector<afc::AfcClient*> lent_;
};

}  // namespace handset::device
