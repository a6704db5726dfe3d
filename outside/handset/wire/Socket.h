// TCP connections to the usbmux service, and the byte-stream seam that TLS wraps.
#pragma once
#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Handles.h"

namespace handset::wire {

// Something bytes go through: a plain connection or a TLS channel over one.
class Stream {
public:
    virtual ~Stream() = default;
    // Sends everything, in as few calls as the transport allows. False on any failure.
    virtual bool Send(const void* data, size_t size) = 0;
    // Two parts as one message (a header and its payload), in one send where the transport can.
    virtual bool SendTwo(const void* first, size_t firstSize, const void* second, size_t secondSize) {
        if (!secondSize) return Send(first, firstSize);
        std::string joined(static_cast<const char*>(first), firstSize);
        joined.append(static_cast<const char*>(second), secondSize);
        return Send(joined.data(), joined.size());
    }
    // Fills the buffer completely; false on failure, timeout or a closed peer.
    virtual bool Receive(void* data, size_t size) = 0;
    // Unblocks a Send or Receive on another thread; everything afterwards fails.
    virtual void Abort() = 0;
};

// Winsock stays started while one of these lives.
class WinsockUser {
public:
    WinsockUser();
    ~WinsockUser();
    WinsockUser(const WinsockUser&) = delete;
    WinsockUser& operator=(const WinsockUser&) = delete;
    bool Ready() const { return ready_; }

private:
    bool ready_ = false;
};

// Host and port of the usbmux service: "127.0.0.1:27015".
struct MuxAddress {
    std::string host = "127.0.0.1";
    std::uint16_t port = 27015;
};
// Parses "host:port"; false for anything else (a UNIX socket path included).
bool ParseMuxAddress(const std::wstring& text, MuxAddress* address);

// One TCP connection with TCP_NODELAY, owned.
class Connection final : public Stream {
public:
    Connection() = default;
    ~Connection() override;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connects within `timeoutMs`; answers then time out after `receiveTimeoutMs`.
    bool Open(const MuxAddress& address, unsigned timeoutMs, unsigned receiveTimeoutMs);
    bool Send(const void* data, size_t size) override;
    bool SendTwo(const void* first, size_t firstSize, const void* second, size_t secondSize) override;
    bool Receive(void* data, size_t size) override;
    // Whatever arrives first, at most `size` bytes; 0 on failure or a closed peer.
    size_t ReceiveSome(void* data, size_t size);
    void Abort() override;
    // Waits up to `timeoutMs` for something to read (or the peer closing).
    // 1 readable, 0 timeout, -1 failure.
    int WaitReadable(unsigned timeoutMs);
    // Changes how long a call waits for the peer.
    void SetReceiveTimeout(unsigned timeoutMs);
    bool IsOpen() const { return socket_ != INVALID_SOCKET; }

private:
    bool WaitUntil(bool forWrite);
    // One recv, waiting while there is nothing; 0 on failure or a closed peer.
    size_t ReceiveRaw(char* data, size_t size);

    SOCKET socket_ = INVALID_SOCKET;
    // Set by the socket when it can be read or written, and by Abort: waiting
    // on them costs one trip through the Windows layer, where select costs six.
    platform::UniqueHandle ready_;
    platform::UniqueHandle aborting_;
    // Bytes that came with an earlier recv: a header and its answer, or several
    // pipelined answers, arrive in one call, and each recv costs a trip
    // through the Windows layer.
    std::string inbox_;
    size_t inboxAt_ = 0;
    std::atomic<bool> aborted_{false};
    unsigned timeoutMs_ = 5000;  // for an answer, or for room to send
};

}  // namespace handset::wire
