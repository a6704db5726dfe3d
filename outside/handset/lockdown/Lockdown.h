// The handset's lockdown service: who it is, a session, and starting services.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "outside/handset/lockdown/PairRecord.h"
#include "outside/handset/wire/Plist.h"
#include "outside/handset/wire/Usbmux.h"

namespace handset::lockdown {

constexpr std::uint16_t kLockdownPort = 62078;
// Largest lockdown message accepted.
constexpr std::uint32_t kMaxLockdownMessage = 1 << 20;

// One message: a 32-bit big-endian length and an XML plist.
std::string EncodeLockdownMessage(const wire::Plist& message);
bool ReadLockdownMessage(wire::Stream* stream, wire::Plist* message);

// A started service: where to connect, and whether it speaks TLS.
struct ServiceEndpoint {
    std::uint16_t port = 0;
    bool tls = false;
};

class LockdownClient {
public:
    enum class Result { Ok, Refused, Failed };

    // Connects through the usbmux service to the device's lockdown port.
    bool Open(const wire::MuxClient& mux, std::uint32_t deviceId);
    bool QueryType(std::string* type);
    // Starts a session with the record's identity and switches to TLS when the
    // handset asks for it. Refused: the handset answered with an error (not
    // trusted, locked, unknown host); `why` holds the handset's words.
    Result StartSession(const PairRecord& record, std::string* why);
    // Refused when the handset does not offer the service.
    Result StartService(const std::string& name, ServiceEndpoint* endpoint, std::string* why);
    void Abort();

private:
    bool Exchange(const wire::Plist& request, wire::Plist* reply);
    // Exchange, with the handset's "Error" answer as Refused.
    Result Ask(const wire::Plist& request, const std::string& what, wire::Plist* reply, std::string* why);

    std::unique_ptr<wire::Connection> plain_;
    std::unique_ptr<wire::Stream> tls_;
    std::string sessionId_;
};

}  // namespace handset::lockdown
