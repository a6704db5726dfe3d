// AFC requests and their answers.
#include "outside/handset/afc/AfcClient.h"

#include <algorithm>

namespace handset::afc {

namespace {

std::string Path(const std::string& path) { return path + std::string(1, '\0'); }

constexpr size_t kFirstPiece = 4096;

}  // namespace

std::int64_t AfcClient::Call(std::uint64_t operation, const std::string& headerData, const char* payload,
                             size_t payloadSize, std::uint64_t maxAnswer, std::uint64_t* answerOperation,
                             std::string* data) {
    if (broken_) return kTransportFailed;
    const std::uint64_t number = packetNumber_++;
    const std::string packet = EncodePacket(operation, number, headerData, payload, payloadSize);
    if (!stream_->Send(packet.data(), packet.size())) return Fail();
    unsigned char raw[kHeaderSize];
    Header header;
    if (!stream_->Receive(raw, sizeof(raw)) || !ParseHeader(raw, maxAnswer, &header) || header.packetNumber != number)
        return Fail();
    // The body grows with what has arrived (a reused buffer keeps its room),
    // so a header that claims more than is sent never makes us allocate the claim.
    std::string local;
    std::string* body = data ? data : &local;
    body->clear();
    size_t at = 0;
    for (std::uint64_t left = header.entireLength - kHeaderSize; left > 0;) {
        const size_t room = body->capacity() > at ? body->capacity() - at : 0;
        const size_t piece = static_cast<size_t>(std::min<std::uint64_t>(left, std::max({kFirstPiece, at, room})));
        body->resize(at + piece);
        if (!stream_->Receive(&(*body)[at], piece)) {
            body->clear();
            return Fail();
        }
        at += piece;
        left -= piece;
    }
    *answerOperation = header.operation;
    if (header.operation == kStatus) {
        if (body->size() < 8) return Fail();
        const std::uint64_t code = ReadLe64(body->data());
        body->clear();
        return code > 0x7FFFFFFF ? static_cast<std::int64_t>(0x7FFFFFFF) : static_cast<std::int64_t>(code);
    }
    return kSuccess;
}

std::int64_t AfcClient::Simple(std::uint64_t operation, const std::string& headerData) {
    std::uint64_t answer = 0;
    const std::int64_t status = Call(operation, headerData, nullptr, 0, kMaxAnswer, &answer, nullptr);
    if (status == kSuccess && answer != kStatus) return Fail();
    return status;
}

std::int64_t AfcClient::ReadDirectory(const std::string& path, std::vector<std::string>* names) {
    std::uint64_t answer = 0;
    std::string data;
    const std::int64_t status = Call(kReadDirectory, Path(path), nullptr, 0, kMaxAnswer, &answer, &data);
    if (status != kSuccess) return status;
    if (answer != kData) return Fail();
    names->clear();
    for (std::string& name : SplitStrings(data))
        if (!name.empty() && name != "." && name != "..") names->push_back(std::move(name));
    return kSuccess;
}

std::int64_t AfcClient::GetFileInfo(const std::string& path, FileInfo* info) {
    std::uint64_t answer = 0;
    std::string data;
    const std::int64_t status = Call(kGetFileInfo, Path(path), nullptr, 0, kMaxAnswer, &answer, &data);
    if (status != kSuccess) return status;
    if (answer != kData || !ParseFileInfo(data, info)) return Fail();
    return kSuccess;
}

std::int64_t AfcClient::Open(const std::string& path, OpenMode mode, std::uint64_t* handle) {
    std::uint64_t answer = 0;
    std::string data;
    const std::int64_t status = Call(kFileOpen, Le64(mode) + Path(path), nullptr, 0, kMaxAnswer, &answer, &data);
    if (status != kSuccess) return status;
    if (answer != kFileOpenResult || data.size() < 8) return Fail();
    *handle = ReadLe64(data.data());
    return kSuccess;
}

std::int64_t AfcClient::Read(std::uint64_t handle, size_t size, std::string* data) {
    size = std::min(size, kChunk);
    std::uint64_t answer = 0;
    const std::int64_t status = Call(kFileRead, Le64(handle) + Le64(size), nullptr, 0, size, &answer, data);
    if (status != kSuccess) return status;
    if (answer != kData) return Fail();
    return kSuccess;
}

std::int64_t AfcClient::Write(std::uint64_t handle, const char* data, size_t size) {
    std::uint64_t answer = 0;
    const std::int64_t status = Call(kFileWrite, Le64(handle), data, size, kMaxAnswer, &answer, nullptr);
    if (status == kSuccess && answer != kStatus) return Fail();
    return status;
}

std::int64_t AfcClient::Close(std::uint64_t handle) { return Simple(kFileClose, Le64(handle)); }

std::int64_t AfcClient::MakeDirectory(const std::string& path) { return Simple(kMakeDirectory, Path(path)); }

std::int64_t AfcClient::Rename(const std::string& from, const std::string& to) {
    return Simple(kRenamePath, Path(from) + Path(to));
}

std::int64_t AfcClient::Remove(const std::string& path) { return Simple(kRemovePath, Path(path)); }

std::int64_t AfcClient::RemoveAll(const std::string& path) { return Simple(kRemovePathAndContents, Path(path)); }

std::int64_t AfcClient::SetModificationTime(const std::string& path, std::uint64_t ns) {
    return Simple(kSetModificationTime, Le64(ns) + Path(path));
}

std::int64_t AfcClient::FreeBytes(std::uint64_t* bytes) {
    std::uint64_t answer = 0;
    std::string data;
    const std::int64_t status = Call(kGetDeviceInfo, "", nullptr, 0, kMaxAnswer, &answer, &data);
    if (status != kSuccess) return status;
    if (answer != kData) return Fail();
    const std::vector<std::string> parts = SplitStrings(data);
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
        if (parts[i] == "FSFreeBytes" && ParseNumber(parts[i + 1], bytes)) return kSuccess;
    return 1;  // the handset did not say
}

}  // namespace handset::afc
