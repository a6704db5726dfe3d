// AFC packet encoding and checked decoding.
#include "outside/handset/afc/AfcPacket.h"

#include <cstring>

namespace handset::afc {

namespace {

const char kMagic[] = "CFA6LPAA";
constexpr std::uint64_t kEpochTicks = 116444736000000000ull;  // 1970-01-01 in FILETIME ticks

}  // namespace

bool ParseNumber(const std::string& text, std::uint64_t* value) {
    if (text.empty() || text.size() > 20) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const std::uint64_t next = v * 10 + static_cast<unsigned>(c - '0');
        if (next / 10 != v) return false;
        v = next;
    }
    *value = v;
    return true;
}

std::string Le64(std::uint64_t v) {
    std::string out(8, '\0');
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

std::uint64_t ReadLe64(const char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

std::string EncodePacket(std::uint64_t operation, std::uint64_t packetNumber, const std::string& headerData,
                         const char* payload, size_t payloadSize, size_t payloadFollows) {
    std::string packet;
    packet.reserve(kHeaderSize + headerData.size() + payloadSize);
    packet.append(kMagic, 8);
    packet += Le64(kHeaderSize + headerData.size() + payloadSize + payloadFollows);
    packet += Le64(kHeaderSize + headerData.size());
    packet += Le64(packetNumber);
    packet += Le64(operation);
    packet += headerData;
    if (payloadSize) packet.append(payload, payloadSize);
    return packet;
}

bool ParseHeader(const unsigned char* bytes, std::uint64_t maxBody, Header* header) {
    if (std::memcmp(bytes, kMagic, 8) != 0) return false;
    const char* p = reinterpret_cast<const char*>(bytes);
    header->entireLength = ReadLe64(p + 8);
    header->thisLength = ReadLe64(p + 16);
    header->packetNumber = ReadLe64(p + 24);
    header->operation = ReadLe64(p + 32);
    return header->thisLength >= kHeaderSize && header->entireLength >= header->thisLength &&
           header->entireLength - kHeaderSize <= maxBody;
}

std::uint64_t FileTimeFromNs(std::uint64_t ns) { return ns == 0 ? 0 : ns / 100 + kEpochTicks; }

std::uint64_t NsFromFileTime(std::uint64_t ticks) { return ticks <= kEpochTicks ? 0 : (ticks - kEpochTicks) * 100; }

std::vector<std::string> SplitStrings(const std::string& data) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\0', start);
        if (end == std::string::npos) end = data.size();
        out.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

bool ParseFileInfo(const std::string& data, FileInfo* info) {
    const std::vector<std::string> parts = SplitStrings(data);
    FileInfo result;
    bool haveSize = false, haveType = false;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string& key = parts[i];
        const std::string& value = parts[i + 1];
        if (key == "st_size") {
            if (!ParseNumber(value, &result.size)) return false;
            haveSize = true;
        } else if (key == "st_ifmt") {
            result.folder = value == "S_IFDIR";
            result.link = value == "S_IFLNK";
            haveType = true;
        } else if (key == "st_mtime") {
            if (!ParseNumber(value, &result.modifiedNs)) result.modifiedNs = 0;
        }
    }
    if (!haveSize || !haveType) return false;
    *info = result;
    return true;
}

}  // namespace handset::afc
