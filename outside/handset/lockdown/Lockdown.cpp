// Lockdown requests over the usbmux tunnel.
#include "outside/handset/lockdown/Lockdown.h"

#include "outside/handset/lockdown/TlsStream.h"

namespace handset::lockdown {

namespace {

wire::Plist Request(const char* name) {
    wire::Plist request = wire::Plist::Dict();
    request.Set("Label", wire::Plist::String("Pelican"));
    request.Set("Request", wire::Plist::String(name));
    return request;
}

}  // namespace

std::string EncodeLockdownMessage(const wire::Plist& message) {
    const std::string body = wire::WriteXmlPlist(message);
    const std::uint32_t n = static_cast<std::uint32_t>(body.size());
    std::string packet(4, '\0');
    for (int i = 0; i < 4; ++i) packet[i] = static_cast<char>((n >> (24 - 8 * i)) & 0xFF);
    return packet + body;
}

bool ReadLockdownMessage(wire::Stream* stream, wire::Plist* message) {
    unsigned char header[4];
    if (!stream->Receive(header, 4)) return false;
    const std::uint32_t n = (std::uint32_t(header[0]) << 24) | (header[1] << 16) | (header[2] << 8) | header[3];
    if (n == 0 || n > kMaxLockdownMessage) return false;
    std::string body(n, '\0');
    if (!stream->Receive(&body[0], n)) return false;
    return wire::ParsePlist(body.data(), body.size(), message) && message->type == wire::Plist::Type::Dict;
}

bool LockdownClient::Open(const wire::MuxClient& mux, std::uint32_t deviceId) {
    plain_ = mux.Connect(deviceId, kLockdownPort);
    return plain_ != nullptr;
}

void LockdownClient::Abort() {
    if (plain_) plain_->Abort();
    if (tls_) tls_->Abort();
}

bool LockdownClient::Exchange(const wire::Plist& request, wire::Plist* reply) {
    wire::Stream* stream = tls_ ? tls_.get() : static_cast<wire::Stream*>(plain_.get());
    if (!stream) return false;
    const std::string packet = EncodeLockdownMessage(request);
    return stream->Send(packet.data(), packet.size()) && ReadLockdownMessage(stream, reply);
}

LockdownClient::Result LockdownClient::Ask(const wire::Plist& request, const std::string& what, wire::Plist* reply,
                                           std::string* why) {
    if (!Exchange(request, reply)) {
        *why = "no answer about " + what;
        return Result::Failed;
    }
    std::string error;
    if (reply->GetString("Error", &error)) {
        *why = "the handset refused " + what + ": " + error;
        return Result::Refused;
    }
    return Result::Ok;
}

bool LockdownClient::QueryType(std::string* type) {
    wire::Plist reply;
    return Exchange(Request("QueryType"), &reply) && reply.GetString("Type", type);
}

LockdownClient::Result LockdownClient::StartSession(const PairRecord& record, std::string* why) {
    wire::Plist request = Request("StartSession");
    request.Set("HostID", wire::Plist::String(record.hostId));
    if (!record.systemBuid.empty()) request.Set("SystemBUID", wire::Plist::String(record.systemBuid));
    wire::Plist reply;
    const Result asked = Ask(request, "the session", &reply, why);
    if (asked != Result::Ok) return asked;
    if (!reply.GetString("SessionID", &sessionId_)) {
        *why = "StartSession answered without a session";
        return Result::Failed;
    }
    bool tls = false;
    reply.GetBool("EnableSessionSSL", &tls);
    if (!tls) return Result::Ok;
    tls_ = TlsStream::Handshake(std::move(plain_), record, why);
    return tls_ ? Result::Ok : Result::Failed;
}

LockdownClient::Result LockdownClient::StartService(const std::string& name, ServiceEndpoint* endpoint,
                                                    std::string* why) {
    wire::Plist request = Request("StartService");
    request.Set("Service", wire::Plist::String(name));
    wire::Plist reply;
    const Result asked = Ask(request, name, &reply, why);
    if (asked != Result::Ok) return asked;
    std::int64_t port = 0;
    if (!reply.GetInteger("Port", &port) || port <= 0 || port > 65535) {
        *why = name + ": no port";
        return Result::Failed;
    }
    endpoint->port = static_cast<std::uint16_t>(port);
    endpoint->tls = false;
    reply.GetBool("EnableServiceSSL", &endpoint->tls);
    return Result::Ok;
}

}  // namespace handset::lockdown
