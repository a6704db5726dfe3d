// The usbmux client: requests, answers and the Listen connection.
#include "outside/handset/wire/Usbmux.h"

#include <cstring>

namespace handset::wire {

namespace {

constexpr unsigned kConnectMs = 2000;
constexpr unsigned kAnswerMs = 5000;

void PutLe32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t GetLe32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

Plist Request(const char* type) {
    Plist request = Plist::Dict();
    request.Set("MessageType", Plist::String(type));
    request.Set("ClientVersionString", Plist::String("pelican-handset-1.0"));
    request.Set("ProgName", Plist::String("Pelican"));
    request.Set("kLibUSBMuxVersion", Plist::Integer(3));
    return request;
}

bool ResultNumber(const Plist& reply, std::int64_t* number) {
    std::string type;
    return reply.GetString("MessageType", &type) && type == "Result" && reply.GetInteger("Number", number);
}

}  // namespace

std::string EncodeMuxPacket(const Plist& message, std::uint32_t tag) {
    const std::string body = WriteXmlPlist(message);
    std::string packet(16, '\0');
    PutLe32(&packet[0], static_cast<std::uint32_t>(16 + body.size()));
    PutLe32(&packet[4], 1);  // version: plist
    PutLe32(&packet[8], 8);  // message: plist
    PutLe32(&packet[12], tag);
    return packet + body;
}

bool ReadMuxPacket(Stream* stream, Plist* message) {
    unsigned char header[16];
    if (!stream->Receive(header, sizeof(header))) return false;
    const std::uint32_t length = GetLe32(header);
    if (length < 16 || length > kMaxMuxPacket || GetLe32(header + 4) != 1 || GetLe32(header + 8) != 8) return false;
    std::string body(length - 16, '\0');
    if (!body.empty() && !stream->Receive(&body[0], body.size())) return false;
    return ParsePlist(body.data(), body.size(), message) && message->type == Plist::Type::Dict;
}

bool ParseMuxDevice(const Plist& entry, MuxDevice* device) {
    std::int64_t id = 0;
    const Plist* properties = entry.Find("Properties");
    if (!entry.GetInteger("DeviceID", &id) && !(properties && properties->GetInteger("DeviceID", &id))) return false;
    if (id < 0 || id > 0xFFFFFFFFll) return false;
    device->id = static_cast<std::uint32_t>(id);
    device->udid.clear();
    device->usb = false;
    if (properties) {
        std::string connection;
        properties->GetString("SerialNumber", &device->udid);
        device->usb = properties->GetString("ConnectionType", &connection) && connection == "USB";
    }
    // A UDID names a file on the PC: letters, digits and "-" only.
    for (char c : device->udid)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-')) return false;
    return true;
}

bool MuxClient::Ask(const Plist& request, Plist* reply, std::unique_ptr<Connection>* keep) const {
    auto connection = std::make_unique<Connection>();
    if (!connection->Open(address_, kConnectMs, kAnswerMs)) return false;
    const std::string packet = EncodeMuxPacket(request, 1);
    if (!connection->Send(packet.data(), packet.size()) || !ReadMuxPacket(connection.get(), reply)) return false;
    if (keep) *keep = std::move(connection);
    return true;
}

bool MuxClient::Reachable() const {
    Connection connection;
    return connection.Open(address_, kConnectMs, kAnswerMs);
}

bool MuxClient::ListDevices(std::vector<MuxDevice>* devices) const {
    devices->clear();
    Plist reply;
    if (!Ask(Request("ListDevices"), &reply, nullptr)) return false;
    const Plist* list = reply.Find("DeviceList");
    if (!list || list->type != Plist::Type::Array) return false;
    for (const Plist& entry : list->items) {
        MuxDevice device;
        if (ParseMuxDevice(entry, &device)) devices->push_back(device);
    }
    return true;
}

bool MuxClient::ReadPairRecord(const std::string& udid, std::string* record) const {
    Plist request = Request("ReadPairRecord");
    request.Set("PairRecordID", Plist::String(udid));
    Plist reply;
    if (!Ask(request, &reply, nullptr)) return false;
    const Plist* data = reply.Find("PairRecordData");
    if (!data || data->type != Plist::Type::Data) return false;
    *record = data->text;
    return true;
}

bool MuxClient::ReadBuid(std::string* buid) const {
    Plist reply;
    return Ask(Request("ReadBUID"), &reply, nullptr) && reply.GetString("BUID", buid);
}

std::unique_ptr<Connection> MuxClient::Connect(std::uint32_t deviceId, std::uint16_t port) const {
    Plist request = Request("Connect");
    request.Set("DeviceID", Plist::Integer(deviceId));
    // The port travels in network byte order inside a plain integer.
    request.Set("PortNumber", Plist::Integer(((port & 0xFF) << 8) | (port >> 8)));
    Plist reply;
    std::unique_ptr<Connection> connection;
    std::int64_t number = -1;
    if (!Ask(request, &reply, &connection) || !ResultNumber(reply, &number) || number != 0) return nullptr;
    return connection;
}

std::unique_ptr<Connection> MuxClient::Listen() const {
    Plist reply;
    std::unique_ptr<Connection> connection;
    std::int64_t number = -1;
    if (!Ask(Request("Listen"), &reply, &connection) || !ResultNumber(reply, &number) || number != 0) return nullptr;
    return connection;
}

bool MuxClient::ReadEvent(Connection* listen, MuxEvent* event) {
    Plist message;
    if (!ReadMuxPacket(listen, &message)) return false;
    std::string type;
    message.GetString("MessageType", &type);
    *event = MuxEvent();
    if (type == "Attached" && ParseMuxDevice(message, &event->device)) {
        event->kind = MuxEvent::Kind::Attached;
    } else if (type == "Detached") {
        std::int64_t id = 0;
        if (message.GetInteger("DeviceID", &id) && id >= 0 && id <= 0xFFFFFFFFll) {
            event->kind = MuxEvent::Kind::Detached;
            event->device.id = static_cast<std::uint32_t>(id);
        }
    }
    return true;
}

}  // namespace handset::wire
