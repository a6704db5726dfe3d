// Lockdown sessions that start AFC, and the pool of AFC connections.
#include "outside/handset/device/DeviceLink.h"

#include <algorithm>

#include "outside/handset/lockdown/Lockdown.h"
#include "outside/handset/lockdown/TlsStream.h"

namespace handset::device {

namespace {

constexpr size_t kMaxIdle = 4;
constexpr unsigned kAfcAnswerMs = 30000;  // a large delete may take the handset a while

const char* ServiceName(Service service) { return service == Service::Root ? "com.apple.afc2" : "com.apple.afc"; }

// The handset refusing a session or a service means it does not trust this PC (yet).
DeviceLink::Result Of(lockdown::LockdownClient::Result result) {
    switch (result) {
        case lockdown::LockdownClient::Result::Ok:
            return DeviceLink::Result::Ok;
        case lockdown::LockdownClient::Result::Refused:
            return DeviceLink::Result::NotTrusted;
        default:
            return DeviceLink::Result::Failed;
    }
}

}  // namespace

DeviceLink::DeviceLink(const wire::MuxClient& mux, const wire::MuxDevice& device, const lockdown::PairRecord& record)
    : mux_(mux), device_(device), record_(record) {}

DeviceLink::Result DeviceLink::Open(Service service, std::unique_ptr<afc::AfcClient>* client, std::string* why) {
    lockdown::LockdownClient lockdownClient;
    if (!lockdownClient.Open(mux_, device_.id)) {
        *why = "the usbmux service could not reach the handset's lockdown service";
        return Result::Failed;
    }
    std::string type;
    if (!lockdownClient.QueryType(&type)) {
        *why = "the handset's lockdown service does not answer";
        return Result::Failed;
    }
    Result result = Of(lockdownClient.StartSession(record_, why));
    if (result != Result::Ok) return result;
    lockdown::ServiceEndpoint endpoint;
    result = Of(lockdownClient.StartService(ServiceName(service), &endpoint, why));
    if (result != Result::Ok) return result;
    std::unique_ptr<wire::Connection> connection = mux_.Connect(device_.id, endpoint.port);
    if (!connection) {
        *why = std::string("the handset's ") + ServiceName(service) + " port could not be reached";
        return Result::Failed;
    }
    connection->SetReceiveTimeout(kAfcAnswerMs);
    std::unique_ptr<wire::Stream> stream;
    if (endpoint.tls) {
        stream = lockdown::TlsStream::Handshake(std::move(connection), record_, why);
        if (!stream) return Result::Failed;
    } else {
        stream = std::move(connection);
    }
    *client = std::make_unique<afc::AfcClient>(std::move(stream));
    return Result::Ok;
}

DeviceLink::Result DeviceLink::Start(std::string* why) {
    std::unique_ptr<afc::AfcClient> media;
    const Result result = Open(Service::Media, &media, why);
    if (result != Result::Ok) return result;
    std::lock_guard<std::mutex> lock(mutex_);
    idle_[0].push_back(std::move(media));
    return Result::Ok;
}

bool DeviceLink::HasRoot() {
    std::call_once(rootProbe_, [this] {
        std::unique_ptr<afc::AfcClient> root;
        std::string ignored;
        if (IsShutDown() || Open(Service::Root, &root, &ignored) != Result::Ok) return;
        hasRoot_ = true;
        std::lock_guard<std::mutex> lock(mutex_);
        if (!shutDown_) idle_[1].push_back(std::move(root));
    });
    return hasRoot_;
}

DeviceLink::Lease DeviceLink::Acquire(Service service) {
    const int slot = service == Service::Root ? 1 : 0;
    std::unique_ptr<afc::AfcClient> client;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (shutDown_) return {};
        if (!idle_[slot].empty()) {
            client = std::move(idle_[slot].back());
            idle_[slot].pop_back();
            lent_.push_back(client.get());
            return Lease(this, service, std::move(client));
        }
    }
    std::string why;
    if (Open(service, &client, &why) != Result::Ok) return {};
    std::lock_guard<std::mutex> lock(mutex_);
    if (shutDown_) return {};
    lent_.push_back(client.get());
    return Lease(this, service, std::move(client));
}

void DeviceLink::Return(Service service, std::unique_ptr<afc::AfcClient> client) {
    std::lock_guard<std::mutex> lock(mutex_);
    lent_.erase(std::remove(lent_.begin(), lent_.end(), client.get()), lent_.end());
    auto& idle = idle_[service == Service::Root ? 1 : 0];
    if (!shutDown_ && !client->Broken() && idle.size() < kMaxIdle) idle.push_back(std::move(client));
}

void DeviceLink::Warm() {
    Lease first = Acquire(Service::Media);
    Lease second = Acquire(Service::Media);  // both go back to the pool here
}

void DeviceLink::Shutdown() {
    std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
    for (afc::AfcClient* client : lent_) client->Abort();
    for (auto& idle : idle_) idle.clear();
}

bool DeviceLink::IsShutDown() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shutDown_;
}

DeviceLink::Lease& DeviceLink::Lease::operator=(Lease&& other) noexcept {
    if (this != &other) {
        if (client_ && link_) link_->Return(service_, std::move(client_));
        link_ = other.link_;
        service_ = other.service_;
        client_ = std::move(other.client_);
    }
    return *this;
}

DeviceLink::Lease::~Lease() {
    if (client_ && link_) link_->Return(service_, std::move(client_));
}

}  // namespace handset::device
