// AFC requests and their answers.
#include "outside/handset/afc/AfcClient.h"

#include <algorithm>

namespace handset::afc {

namespace {

std::string Path(const std::string& path) { return path + std::string(1, '\0'); }

constexpr size_t kFirstPiece = 4096;
// Requests are held back up to this much; a payload up to kHeldPayload is held with them.
constexpr size_t kHeldBytes = 256 * 1024;
constexpr size_t kHeldPayload = 64 * 1024;

}  // namespace

bool AfcClient::Post(std::uint64_t operation, const std::string& headerData, const char* payload, size_t payloadSize,
                     bool wanted) {
    if (broken_) return false;
    const std::uint64_t number = packetNumber_++;
    outbox_ += EncodePacket(operation, number, headerData, nullptr, 0, payloadSize);
    awaited_.push_back({number, wanted});
    if (payloadSize <= kHeldPayload) {
        if (payloadSize) outbox_.append(payload, payloadSize);
        return outbox_.size() < kHeldBytes || Flush();
    }
    // A large payload goes beside the held requests in the same send, not copied behind them.
    const bool sent = stream_->SendTwo(outbox_.data(), outbox_.size(), payload, payloadSize);
    outbox_.clear();
    if (!sent) Fail();
    return sent;
}

bool AfcClient::Flush() {
    if (outbox_.empty()) return !broken_;
    const bool sent = !broken_ && stream_->Send(outbox_.data(), outbox_.size());
    outbox_.clear();
    if (!sent) Fail();
    return sent;
}

std::int64_t AfcClient::Collect(std::uint64_t maxAnswer, std::uint64_t* answerOperation, std::string* data) {
    // Answers nobody waits for (a close posted in passing) are read and dropped first.
    while (!awaited_.empty() && !awaited_.front().wanted) {
        std::uint64_t ignored = 0;
        if (ReadAnswer(kMaxAnswer, &ignored, nullptr) == kTransportFailed) return kTransportFailed;
    }
    return ReadAnswer(maxAnswer, answerOperation, data);
}

std::int64_t AfcClient::ReadAnswer(std::uint64_t maxAnswer, std::uint64_t* answerOperation, std::string* data) {
    if (broken_ || awaited_.empty() || !Flush()) return Fail();
    const std::uint64_t number = awaited_.front().number;
    awaited_.pop_front();
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

std::int64_t AfcClient::Call(std::uint64_t operation, const std::string& headerData, const char* payload,
                             size_t payloadSize, std::uint64_t maxAnswer, std::uint64_t* answerOperation,
                             std::string* data) {
    // Answers come in order: whatever was posted before is collected first.
    while (!awaited_.empty()) {
        std::uint64_t ignored = 0;
        if (ReadAnswer(kMaxAnswer, &ignored, nullptr) == kTransportFailed) return kTransportFailed;
    }
    if (!Post(operation, headerData, payload, payloadSize)) return kTransportFailed;
    return Collect(maxAnswer, answerOperation, data);
}

std::int64_t AfcClient::PostRead(std::uint64_t handle, size_t size, bool sendNow) {
    // Sent at once, as a rule: the handset reads ahead while the caller writes the last chunk.
    return Post(kFileRead, Le64(handle) + Le64(std::min(size, kChunk)), nullptr, 0) && (!sendNow || Flush())
               ? kSuccess
               : kTransportFailed;
}

std::int64_t AfcClient::CollectRead(size_t size, std::string* data) {
    std::uint64_t answer = 0;
    const std::int64_t status = Collect(std::min(size, kChunk), &answer, data);
    if (status != kSuccess) return status;
    return answer == kData ? kSuccess : Fail();
}

std::int64_t AfcClient::PostWrite(std::uint64_t handle, const char* data, size_t size) {
    return Post(kFileWrite, Le64(handle), data, size) ? kSuccess : kTransportFailed;
}

std::int64_t AfcClient::CollectStatus() {
    std::uint64_t answer = 0;
    const std::int64_t status = Collect(kMaxAnswer, &answer, nullptr);
    if (status == kSuccess && answer != kStatus) return Fail();
    return status;
}

std::int64_t AfcClient::PostClose(std::uint64_t handle, bool wanted) {
    return Post(kFileClose, Le64(handle), nullptr, 0, wanted) ? kSuccess : kTransportFailed;
}

std::int64_t AfcClient::PostSetModificationTime(const std::string& path, std::uint64_t ns) {
    return Post(kSetModificationTime, Le64(ns) + Path(path), nullptr, 0) ? kSuccess : kTransportFailed;
}

std::int64_t AfcClient::PostGetFileInfo(const std::string& path) {
    return Post(kGetFileInfo, Path(path), nullptr, 0) ? kSuccess : kTransportFailed;
}

std::int64_t AfcClient::CollectFileInfo(FileInfo* info) {
    std::uint64_t answer = 0;
    std::string data;
    const std::int64_t status = Collect(kMaxAnswer, &answer, &data);
    if (status != kSuccess) return status;
    if (answer != kData || !ParseFileInfo(data, info)) return Fail();
    return kSuccess;
}

std::int64_t AfcClient::GetFileInfos(const std::vector<std::string>& paths, std::vector<std::int64_t>* statuses,
                                     std::vector<FileInfo>* infos) {
    // Asked in a window of many at once: a folder of thousands costs a few
    // dozen round trips, not thousands.
    constexpr size_t kWindow = 64;
    statuses->assign(paths.size(), kTransportFailed);
    infos->assign(paths.size(), FileInfo());
    // A window is posted whole, then collected whole: it leaves in one send.
    for (size_t collected = 0; collected < paths.size();) {
        const size_t end = std::min(paths.size(), collected + kWindow);
        for (size_t posted = collected; posted < end; ++posted)
            if (PostGetFileInfo(paths[posted]) != kSuccess) return kTransportFailed;
        for (; collected < end; ++collected) {
            (*statuses)[collected] = CollectFileInfo(&(*infos)[collected]);
            if ((*statuses)[collected] == kTransportFailed) return kTransportFailed;
        }
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

std::int64_t AfcClient::PostOpen(const std::string& path, OpenMode mode) {
    return Post(kFileOpen, Le64(mode) + Path(path), nullptr, 0) ? kSuccess : kTransportFailed;
}

std::int64_t AfcClient::CollectOpen(std::uint64_t* handle) {
    std::uint64_t answer = 0;
    std::string data;
    const std::int64_t status = Collect(kMaxAnswer, &answer, &data);
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

std::int64_t AfcClient::PostRename(const std::string& from, const std::string& to) {
    return Post(kRenamePath, Path(from) + Path(to), nullptr, 0) ? kSuccess : kTransportFailed;
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
