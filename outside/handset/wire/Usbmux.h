// A client of the usbmux service (plist protocol, version 1).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "outside/handset/wire/Plist.h"
#include "outside/handset/wire/Socket.h"

namespace handset::wire {

struct MuxDevice {
    std::uint32_t id = 0;
    std::string udid;
    bool usb = false;
};

// What the Listen connection reports.
struct MuxEvent {
    enum class Kind { Attached, Detached, Other } kind = Kind::Other;
    MuxDevice device;  // for Detached only `id` is set
};

// Largest usbmux packet accepted; pairing records and device lists are far smaller.
constexpr std::uint32_t kMaxMuxPacket = 1 << 20;

// One usbmux packet: a 16-byte header (length, version 1, message 8, tag) and an XML plist.
std::string EncodeMuxPacket(const Plist& message, std::uint32_t tag);
// Reads one packet's plist from the stream; false on a short, oversized or malformed packet.
bool ReadMuxPacket(Stream* stream, Plist* message);
// Reads a device description as ListDevices and Attached carry it.
bool ParseMuxDevice(const Plist& entry, MuxDevice* device);

class MuxClient {
public:
    explicit MuxClient(const MuxAddress& address) : address_(address) {}

    // Each request uses a fresh connection, so nothing is shared between threads.
    bool ListDevices(std::vector<MuxDevice>* devices) const;
    bool ReadPairRecord(const std::string& udid, std::string* record) const;
    bool ReadBuid(std::string* buid) const;
    // A connection tunnelled to a TCP port of the device; null on failure.
    std::unique_ptr<Connection> Connect(std::uint32_t deviceId, std::uint16_t port) const;
    // Opens the Listen connection; its events are read with ReadEvent.
    std::unique_ptr<Connection> Listen() const;
    // False when the connection failed or the packet was malformed.
    static bool ReadEvent(Connection* listen, MuxEvent* event);
    // True when the service answers at all (a connection can be made).
    bool Reachable() const;

private:
    bool Ask(const Plist& request, Plist* reply, std::unique_ptr<Connection>* keep) const;

    MuxAddress address_;
};

}  // namespace handset::wire
