// TLS over a usbmux connection through SChannel, with the pairing record's identity.
#pragma once
#include <windows.h>
#include <winsock2.h>
// The security headers need the platform's types first.
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

#include <memory>
#include <string>

#include "outside/handset/lockdown/PairRecord.h"
#include "outside/handset/wire/Socket.h"

namespace handset::lockdown {

class TlsStream final : public wire::Stream {
public:
    // Runs the client handshake over `inner`, presenting the record's host
    // certificate (else its root pair), and accepts the handset only when its
    // certificate is the record's device certificate or is signed by the
    // record's root. Null on failure, with the reason in `why`. The key
    // container made for the handshake is gone again when this returns.
    static std::unique_ptr<TlsStream> Handshake(std::unique_ptr<wire::Connection> inner, const PairRecord& record,
                                                std::string* why);
    ~TlsStream() override;
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    bool Send(const void* data, size_t size) override;
    bool Receive(void* data, size_t size) override;
    void Abort() override { inner_->Abort(); }

private:
    explicit TlsStream(std::unique_ptr<wire::Connection> inner) : inner_(std::move(inner)) {}
    bool Run(const PairRecord& record, std::string* why);
    bool DecryptMore();

    std::unique_ptr<wire::Connection> inner_;
    CredHandle credentials_{};
    CtxtHandle context_{};
    bool haveCredentials_ = false;
    bool haveContext_ = false;
    SecPkgContext_StreamSizes sizes_{};
    std::string encrypted_;  // received, not yet decrypted
    std::string plain_;      // decrypted, not yet handed out
    size_t plainStart_ = 0;
};

}  // namespace handset::lockdown
