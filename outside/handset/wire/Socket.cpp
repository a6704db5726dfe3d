// Winsock connections: TCP_NODELAY and whole packets per send, so a request
// never waits for a delayed acknowledgement.
#include "outside/handset/wire/Socket.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace handset::wire {

WinsockUser::WinsockUser() {
    WSADATA data;
    ready_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockUser::~WinsockUser() {
    if (ready_) ::WSACleanup();
}

bool ParseMuxAddress(const std::wstring& text, MuxAddress* address) {
    const size_t colon = text.rfind(L':');
    if (colon == std::wstring::npos || colon == 0 || colon + 1 >= text.size() || colon + 6 < text.size()) return false;
    std::string host;
    for (size_t i = 0; i < colon; ++i) {
        const wchar_t c = text[i];
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'.' ||
              c == L'-'))
            return false;
        host.push_back(static_cast<char>(c));
    }
    unsigned long port = 0;
    for (size_t i = colon + 1; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        port = port * 10 + (text[i] - L'0');
    }
    if (port == 0 || port > 65535) return false;
    address->host = host;
    address->port = static_cast<std::uint16_t>(port);
    return true;
}

Connection::~Connection() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
}

bool Connection::Open(const MuxAddress& address, unsigned timeoutMs, unsigned receiveTimeoutMs) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.port);
    if (::getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found) != 0 || !found) return false;
    SOCKET s = ::socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    if (s == INVALID_SOCKET) {
        ::freeaddrinfo(found);
        return false;
    }
    // Connect without blocking so that a silent address cannot hold us for long.
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    int rc = ::connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen));
    ::freeaddrinfo(found);
    bool connected = rc == 0;
    if (!connected && ::WSAGetLastError() == WSAEWOULDBLOCK) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        timeval tv{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
        connected = ::select(0, nullptr, &writable, &failed, &tv) == 1 && FD_ISSET(s, &writable);
    }
    if (!connected) {
        ::closesocket(s);
        return false;
    }
    BOOL noDelay = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof(noDelay));
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
    socket_ = s;
    if (!aborting_) aborting_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (aborting_) ::ResetEvent(aborting_.get());
    // Without the events, waits fall back to select.
    ready_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!aborting_ || !ready_ || ::WSAEventSelect(s, ready_.get(), FD_READ | FD_WRITE | FD_CLOSE) != 0) ready_.reset();
    inbox_.clear();
    inboxAt_ = 0;
    aborted_ = false;
    timeoutMs_ = receiveTimeoutMs;
    return true;
}

void Connection::SetReceiveTimeout(unsigned timeoutMs) { timeoutMs_ = timeoutMs; }

// The socket never blocks: a call that would waits on the socket's event and
// the abort event, so that Abort from another thread ends it at once (Wine
// does not wake a send that is blocked when the socket is shut down) and a
// silent peer times out.
bool Connection::WaitUntil(bool forWrite) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs_;
    if (ready_) {
        // A wake-up may be for the other direction: the caller just tries again.
        const ULONGLONG now = ::GetTickCount64();
        if (aborted_ || now >= deadline) return false;
        const HANDLE events[2] = {aborting_.get(), ready_.get()};
        return ::WaitForMultipleObjects(2, events, FALSE, static_cast<DWORD>(deadline - now)) == WAIT_OBJECT_0 + 1;
    }
    while (!aborted_) {
        fd_set set, failed;
        FD_ZERO(&set);
        FD_ZERO(&failed);
        FD_SET(socket_, &set);
        FD_SET(socket_, &failed);
        timeval tv{0, 50 * 1000};
        const int rc = ::select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, &failed, &tv);
        if (rc < 0 || FD_ISSET(socket_, &failed)) return false;
        if (rc > 0) return true;
        if (::GetTickCount64() >= deadline) return false;
    }
    return false;
}

bool Connection::Send(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0 && !aborted_) {
        const int chunk = size > 0x40000000 ? 0x40000000 : static_cast<int>(size);
        const int sent = ::send(socket_, p, chunk, 0);
        if (sent < 0 && ::WSAGetLastError() == WSAEWOULDBLOCK) {
            if (!WaitUntil(true)) return false;
            continue;
        }
        if (sent <= 0) return false;
        p += sent;
        size -= static_cast<size_t>(sent);
    }
    return size == 0;
}

bool Connection::SendTwo(const void* first, size_t firstSize, const void* second, size_t secondSize) {
    if (!secondSize || firstSize + secondSize > 0x40000000) return Stream::SendTwo(first, firstSize, second, secondSize);
    WSABUF parts[2] = {{static_cast<ULONG>(firstSize), static_cast<char*>(const_cast<void*>(first))},
                       {static_cast<ULONG>(secondSize), static_cast<char*>(const_cast<void*>(second))}};
    DWORD sent = 0;
    if (::WSASend(socket_, parts, 2, &sent, 0, nullptr, nullptr) != 0) {
        if (::WSAGetLastError() != WSAEWOULDBLOCK) return false;
        sent = 0;
    }
    // What did not fit in the socket's buffer follows as the buffer drains.
    if (sent < firstSize)
        return Send(static_cast<const char*>(first) + sent, firstSize - sent) && Send(second, secondSize);
    sent -= static_cast<DWORD>(firstSize);
    return Send(static_cast<const char*>(second) + sent, secondSize - sent);
}

size_t Connection::ReceiveRaw(char* data, size_t size) {
    while (!aborted_) {
        const int got = ::recv(socket_, data, size > 0x40000000 ? 0x40000000 : static_cast<int>(size), 0);
        if (got < 0 && ::WSAGetLastError() == WSAEWOULDBLOCK) {
            if (!WaitUntil(false)) return 0;
            continue;
        }
        return got > 0 ? static_cast<size_t>(got) : 0;
    }
    return 0;
}

size_t Connection::ReceiveSome(void* data, size_t size) {
    constexpr size_t kInbox = 64 * 1024;
    if (inboxAt_ == inbox_.size()) {
        // A large read goes straight to its place: no copy of file data.
        if (size >= kInbox) return ReceiveRaw(static_cast<char*>(data), size);
        inbox_.resize(kInbox);
        inboxAt_ = 0;
        const size_t got = ReceiveRaw(&inbox_[0], kInbox);
        inbox_.resize(got);
        if (got == 0) return 0;
    }
    const size_t n = std::min(size, inbox_.size() - inboxAt_);
    std::memcpy(data, inbox_.data() + inboxAt_, n);
    inboxAt_ += n;
    return n;
}

bool Connection::Receive(void* data, size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const size_t got = ReceiveSome(p, size);
        if (got == 0) return false;
        p += got;
        size -= got;
    }
    return true;
}

void Connection::Abort() {
    aborted_ = true;
    if (aborting_) ::SetEvent(aborting_.get());
    // shutdown, not closesocket: the handle stays valid for a thread inside a call.
    if (socket_ != INVALID_SOCKET) ::shutdown(socket_, SD_BOTH);
}

int Connection::WaitReadable(unsigned timeoutMs) {
    if (socket_ == INVALID_SOCKET) return -1;
    if (inboxAt_ < inbox_.size()) return 1;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval tv{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
    const int rc = ::select(0, &readable, nullptr, nullptr, &tv);
    return rc < 0 ? -1 : rc;
}

}  // namespace handset::wire
