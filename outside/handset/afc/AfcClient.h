// One AFC connection: requests one at a time, answers checked against the request.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "outside/handset/afc/AfcPacket.h"
#include "outside/handset/wire/Socket.h"

namespace handset::afc {

// Largest answer accepted, except for reads, which may bring what was asked.
constexpr std::uint64_t kMaxAnswer = 16 << 20;
constexpr size_t kChunk = 1 << 20;

class AfcClient {
public:
    explicit AfcClient(std::unique_ptr<wire::Stream> stream) : stream_(std::move(stream)) {}
    AfcClient(const AfcClient&) = delete;
    AfcClient& operator=(const AfcClient&) = delete;

    // Each returns kSuccess, the handset's status code, or kTransportFailed
    // (after which the connection is broken for good). Paths are UTF-8.
    std::int64_t ReadDirectory(const std::string& path, std::vector<std::string>* names);
    std::int64_t GetFileInfo(const std::string& path, FileInfo* info);
    std::int64_t Open(const std::string& path, OpenMode mode, std::uint64_t* handle);
    // Up to `size` bytes (at most kChunk); an empty answer is the end of the file.
    std::int64_t Read(std::uint64_t handle, size_t size, std::string* data);
    std::int64_t Write(std::uint64_t handle, const char* data, size_t size);
    std::int64_t Close(std::uint64_t handle);
    std::int64_t MakeDirectory(const std::string& path);
    std::int64_t Rename(const std::string& from, const std::string& to);
    std::int64_t Remove(const std::string& path);
    std::int64_t RemoveAll(const std::string& path);
    std::int64_t SetModificationTime(const std::string& path, std::uint64_t ns);
    // The file system's free bytes ("FSFreeBytes" of the device information).
    std::int64_t FreeBytes(std::uint64_t* bytes);

    // Pipelined transfers: a request is posted and its answer collected
    // later, so the handset works on the next chunk while this side handles
    // the last. Answers are collected in the order the requests were posted.
    std::int64_t PostOpen(const std::string& path, OpenMode mode);
    std::int64_t CollectOpen(std::uint64_t* handle);
    // Without `sendNow` the request waits for the next one that is sent or collected.
    std::int64_t PostRead(std::uint64_t handle, size_t size, bool sendNow = true);
    std::int64_t CollectRead(size_t size, std::string* data);
    std::int64_t PostWrite(std::uint64_t handle, const char* data, size_t size);
    std::int64_t CollectStatus();
    // Small requests whose answers are collected later, in order.
    // Without `wanted` its answer is dropped when the next one is collected.
    std::int64_t PostClose(std::uint64_t handle, bool wanted);
    std::int64_t PostSetModificationTime(const std::string& path, std::uint64_t ns);
    std::int64_t PostGetFileInfo(const std::string& path);
    std::int64_t PostRename(const std::string& from, const std::string& to);
    std::int64_t CollectFileInfo(FileInfo* info);
    // The information of many entries; each status as GetFileInfo gives it.
    std::int64_t GetFileInfos(const std::vector<std::string>& paths, std::vector<std::int64_t>* statuses,
                              std::vector<FileInfo>* infos);
    bool Awaiting() const { return !awaited_.empty(); }

    bool Broken() const { return broken_; }
    // From any thread: the request in progress fails at once.
    void Abort() { stream_->Abort(); }

private:
    // Sends one packet and reads its answer; a status answer's code is
    // returned, a data answer's bytes go to `data` with kSuccess.
    std::int64_t Call(std::uint64_t operation, const std::string& headerData, const char* payload, size_t payloadSize,
                      std::uint64_t maxAnswer, std::uint64_t* answerOperation, std::string* data);
    std::int64_t Simple(std::uint64_t operation, const std::string& headerData);
    bool Post(std::uint64_t operation, const std::string& headerData, const char* payload, size_t payloadSize,
              bool wanted = true);
    std::int64_t Collect(std::uint64_t maxAnswer, std::uint64_t* answerOperation, std::string* data);
    // Sends what was posted and is still held back; false when the connection failed.
    bool Flush();
    // The answer to the oldest posted request, wanted or not.
    std::int64_t ReadAnswer(std::uint64_t maxAnswer, std::uint64_t* answerOperation, std::string* data);
    std::int64_t Fail() {
        broken_ = true;
        return kTransportFailed;
    }

    std::unique_ptr<wire::Stream> stream_;
    std::uint64_t packetNumber_ = 0;
    struct Awaited {
        std::uint64_t number;
        bool wanted;
    };
    std::deque<Awaited> awaited_;  // posted requests not yet answered
    // Small requests wait here until an answer is needed, then leave in one
    // send: each send costs a trip through the Windows layer.
    std::string outbox_;
    bool broken_ = false;
};

}  // namespace handset::afc
