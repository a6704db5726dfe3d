// The AFC packet format: a 40-byte header ("CFA6LPAA", lengths, number,
// operation), header data, then payload. Pure encoding and checked decoding.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace handset::afc {

enum Operation : std::uint64_t {
    kStatus = 0x01,
    kData = 0x02,
    kReadDirectory = 0x03,
    kRemovePath = 0x08,
    kMakeDirectory = 0x09,
    kGetFileInfo = 0x0A,
    kGetDeviceInfo = 0x0B,
    kFileOpen = 0x0D,
    kFileOpenResult = 0x0E,
    kFileRead = 0x0F,
    kFileWrite = 0x10,
    kFileClose = 0x14,
    kRenamePath = 0x18,
    kSetModificationTime = 0x1E,
    kRemovePathAndContents = 0x22,
};

enum OpenMode : std::uint64_t { kReadOnly = 1, kWriteOnlyCreate = 3 };

// Status codes the client acts on; every other non-zero code is a plain failure.
enum Status : std::int64_t {
    kTransportFailed = -1,  // ours: the connection broke or answered nonsense
    kSuccess = 0,
    kObjectNotFound = 8,
    kOperationNotSupported = 15,
    kObjectExists = 16,
    kNoSpaceLeft = 18,
};

constexpr size_t kHeaderSize = 40;

struct Header {
    std::uint64_t entireLength = 0;
    std::uint64_t thisLength = 0;
    std::uint64_t packetNumber = 0;
    std::uint64_t operation = 0;
};

// One request in one buffer, so it leaves in one send.
// With `payloadFollows`, only the header and header data are encoded; the
// lengths count that many payload bytes sent right behind them.
std::string EncodePacket(std::uint64_t operation, std::uint64_t packetNumber, const std::string& headerData,
                         const char* payload = nullptr, size_t payloadSize = 0, size_t payloadFollows = 0);
// False for a wrong magic, lengths that contradict each other, or an answer
// longer than `maxBody` bytes after the header.
bool ParseHeader(const unsigned char* bytes, std::uint64_t maxBody, Header* header);

std::string Le64(std::uint64_t v);
std::uint64_t ReadLe64(const char* p);

// NUL-separated strings, as directory listings and file information come.
std::vector<std::string> SplitStrings(const std::string& data);

struct FileInfo {
    std::uint64_t size = 0;
    bool folder = false;
    bool link = false;
    std::uint64_t modifiedNs = 0;  // since 1970, UTC; 0 unknown
};
// A decimal number as AFC writes them; false for anything else.
bool ParseNumber(const std::string& text, std::uint64_t* value);

// AFC counts nanoseconds since 1970, FILETIME 100 ns since 1601; 0 is unknown both ways.
std::uint64_t FileTimeFromNs(std::uint64_t ns);
std::uint64_t NsFromFileTime(std::uint64_t ticks);

// "key\0value\0..." pairs; false when st_size or st_ifmt is missing or not a number.
bool ParseFileInfo(const std::string& data, FileInfo* info);

}  // namespace handset::afc
