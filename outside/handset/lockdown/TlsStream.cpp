// SChannel client handshake, record encryption and the peer check.
#include "outside/handset/lockdown/TlsStream.h"

#include <wincrypt.h>

#include <atomic>
#include <cstring>
#include <vector>

namespace handset::lockdown {

namespace {

constexpr size_t kMaxHandshakeBytes = 256 * 1024;

bool PemToDer(const std::string& pem, std::vector<BYTE>* der) {
    DWORD size = 0;
    if (pem.empty() || !::CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                               nullptr, &size, nullptr, nullptr))
        return false;
    der->resize(size);
    if (!::CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, der->data(),
                                &size, nullptr, nullptr))
        return false;
    der->resize(size);
    return true;
}

struct CertFree {
    void operator()(const CERT_CONTEXT* c) const { ::CertFreeCertificateContext(c); }
};
using UniqueCert = std::unique_ptr<const CERT_CONTEXT, CertFree>;

// Only X509_ASN_ENCODING: with the PKCS#7 flag as well, AcquireCredentialsHandle refuses the certificate.
UniqueCert CertFromPem(const std::string& pem) {
    std::vector<BYTE> der;
    if (!PemToDer(pem, &der)) return nullptr;
    return UniqueCert(::CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size())));
}

// A named key container that exists only for the handshake; removed again on
// destruction, so no trace of the pairing record's key stays on the PC.
class TemporaryKey {
public:
    TemporaryKey() {
        static std::atomic<unsigned> counter{0};
        name_ = L"Pelican-handset-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) +
                L"-" + std::to_wstring(::GetTickCount64());
    }
    ~TemporaryKey() { Remove(); }
    TemporaryKey(const TemporaryKey&) = delete;
    TemporaryKey& operator=(const TemporaryKey&) = delete;

    // Imports a PEM RSA key (PKCS#1, or PKCS#8 around it) and ties it to the certificate.
    bool Attach(const std::string& pem, const CERT_CONTEXT* cert) {
        std::vector<BYTE> der;
        if (!PemToDer(pem, &der)) return false;
        std::vector<BYTE> rsa = der;
        if (pem.find("BEGIN PRIVATE KEY") != std::string::npos) {
            CRYPT_PRIVATE_KEY_INFO* info = nullptr;
            DWORD infoSize = 0;
            if (!::CryptDecodeObjectEx(X509_ASN_ENCODING, PKCS_PRIVATE_KEY_INFO, der.data(),
                                       static_cast<DWORD>(der.size()), CRYPT_DECODE_ALLOC_FLAG, nullptr, &info,
                                       &infoSize))
                return false;
            rsa.assign(info->PrivateKey.pbData, info->PrivateKey.pbData + info->PrivateKey.cbData);
            ::LocalFree(info);
        }
        BYTE* blob = nullptr;
        DWORD blobSize = 0;
        if (!::CryptDecodeObjectEx(X509_ASN_ENCODING, PKCS_RSA_PRIVATE_KEY, rsa.data(), static_cast<DWORD>(rsa.size()),
                                   CRYPT_DECODE_ALLOC_FLAG, nullptr, &blob, &blobSize))
            return false;
        bool ok = ::CryptAcquireContextW(&provider_, name_.c_str(), MS_ENHANCED_PROV_W, PROV_RSA_FULL, CRYPT_NEWKEYSET);
        if (ok) {
            created_ = true;
            HCRYPTKEY key = 0;
            ok = ::CryptImportKey(provider_, blob, blobSize, 0, 0, &key) != 0;
            if (key) ::CryptDestroyKey(key);
        }
        ::SecureZeroMemory(blob, blobSize);
        ::LocalFree(blob);
        ::SecureZeroMemory(rsa.data(), rsa.size());
        ::SecureZeroMemory(der.data(), der.size());
        if (!ok) return false;
        CRYPT_KEY_PROV_INFO info{};
        info.pwszContainerName = const_cast<wchar_t*>(name_.c_str());
        info.pwszProvName = const_cast<wchar_t*>(MS_ENHANCED_PROV_W);
        info.dwProvType = PROV_RSA_FULL;
        info.dwKeySpec = AT_KEYEXCHANGE;
        return ::CertSetCertificateContextProperty(cert, CERT_KEY_PROV_INFO_PROP_ID, 0, &info) != 0;
    }

    void Remove() {
        if (provider_) ::CryptReleaseContext(provider_, 0);
        provider_ = 0;
        if (created_) {
            HCRYPTPROV gone = 0;
            ::CryptAcquireContextW(&gone, name_.c_str(), MS_ENHANCED_PROV_W, PROV_RSA_FULL, CRYPT_DELETEKEYSET);
        }
        created_ = false;
    }

private:
    std::wstring name_;
    HCRYPTPROV provider_ = 0;
    bool created_ = false;
};

// The handset's certificate is self-made: it is trusted when it is the one the
// record names, or when the record's root signed it.
bool PeerIsTheHandset(const CERT_CONTEXT* peer, const PairRecord& record) {
    std::vector<BYTE> device;
    if (PemToDer(record.deviceCertificate, &device) && device.size() == peer->cbCertEncoded &&
        std::memcmp(device.data(), peer->pbCertEncoded, device.size()) == 0)
        return true;
    UniqueCert root = CertFromPem(record.rootCertificate);
    return root && ::CryptVerifyCertificateSignature(0, X509_ASN_ENCODING, peer->pbCertEncoded, peer->cbCertEncoded,
                                                     &root->pCertInfo->SubjectPublicKeyInfo) != 0;
}

std::string Hex(long v) {
    char text[16];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(v));
    return text;
}

}  // namespace

std::unique_ptr<TlsStream> TlsStream::Handshake(std::unique_ptr<wire::Connection> inner, const PairRecord& record,
                                                std::string* why) {
    std::unique_ptr<TlsStream> tls(new TlsStream(std::move(inner)));
    if (!tls->Run(record, why)) return nullptr;
    return tls;
}

TlsStream::~TlsStream() {
    if (haveContext_) ::DeleteSecurityContext(&context_);
    if (haveCredentials_) ::FreeCredentialsHandle(&credentials_);
}

bool TlsStream::Run(const PairRecord& record, std::string* why) {
    TemporaryKey key;
    UniqueCert cert = CertFromPem(record.hostCertificate);
    if (!cert || !key.Attach(record.hostPrivateKey, cert.get())) {
        key.Remove();
        cert = CertFromPem(record.rootCertificate);
        if (!cert || !key.Attach(record.rootPrivateKey, cert.get())) {
            *why = "the pairing record's certificate or key cannot be loaded";
            return false;
        }
    }
    const CERT_CONTEXT* certs[] = {cert.get()};
    SCHANNEL_CRED cred{};
    cred.dwVersion = SCHANNEL_CRED_VERSION;
    cred.cCreds = 1;
    cred.paCred = certs;
    // The protocol set stays at its default: asking for TLS 1.3 alone fails under Wine.
    cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_CRED_NO_SERVERNAME_CHECK;
    TimeStamp expiry;
    SECURITY_STATUS status =
        ::AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr, &cred,
                                    nullptr, nullptr, &credentials_, &expiry);
    if (status != SEC_E_OK) {
        *why = "AcquireCredentialsHandle failed: " + Hex(status);
        return false;
    }
    haveCredentials_ = true;

    const DWORD want = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                       ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_USE_SUPPLIED_CREDS;
    std::string received;
    bool first = true;
    for (;;) {
        SecBuffer in[2] = {{static_cast<unsigned long>(received.size()), SECBUFFER_TOKEN, received.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
        SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
        DWORD got = 0;
        status = ::InitializeSecurityContextW(&credentials_, first ? nullptr : &context_, nullptr, want, 0, 0,
                                              first ? nullptr : &inDesc, 0, &context_, &outDesc, &got, nullptr);
        if (first)
            haveContext_ =
                status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED || status == SEC_I_INCOMPLETE_CREDENTIALS;
        first = false;
        if (out[0].cbBuffer && out[0].pvBuffer) {
            const bool sent = inner_->Send(out[0].pvBuffer, out[0].cbBuffer);
            ::FreeContextBuffer(out[0].pvBuffer);
            if (!sent) {
                *why = "the connection closed during the TLS handshake";
                return false;
            }
        }
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            // Keep what we have and read more.
        } else if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED || status == SEC_I_INCOMPLETE_CREDENTIALS) {
            std::string extra;
            if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer <= received.size())
                extra = received.substr(received.size() - in[1].cbBuffer);
            received.swap(extra);
            if (status == SEC_E_OK) break;
            if (!received.empty()) continue;
        } else {
            *why = "the TLS handshake failed: " + Hex(status);
            return false;
        }
        if (received.size() > kMaxHandshakeBytes) {
            *why = "the TLS handshake does not end";
            return false;
        }
        char buffer[16384];
        const size_t n = inner_->ReceiveSome(buffer, sizeof(buffer));
        if (n == 0) {
            *why = "the connection closed during the TLS handshake";
            return false;
        }
        received.append(buffer, n);
    }
    encrypted_ = received;
    key.Remove();

    const CERT_CONTEXT* peer = nullptr;
    if (::QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &peer) != SEC_E_OK || !peer) {
        *why = "the handset showed no certificate";
        return false;
    }
    UniqueCert peerOwned(peer);
    if (!PeerIsTheHandset(peer, record)) {
        *why = "the handset's certificate does not belong to the pairing record";
        return false;
    }
    if (::QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK ||
        sizes_.cbMaximumMessage == 0) {
        *why = "no TLS record sizes";
        return false;
    }
    return true;
}

bool TlsStream::Send(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    std::string wire;
    while (size > 0) {
        const size_t chunk = size < sizes_.cbMaximumMessage ? size : sizes_.cbMaximumMessage;
        std::string record(sizes_.cbHeader + chunk + sizes_.cbTrailer, '\0');
        std::memcpy(&record[sizes_.cbHeader], p, chunk);
        SecBuffer buffers[4] = {{sizes_.cbHeader, SECBUFFER_STREAM_HEADER, &record[0]},
                                {static_cast<unsigned long>(chunk), SECBUFFER_DATA, &record[sizes_.cbHeader]},
                                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, &record[sizes_.cbHeader + chunk]},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        if (::EncryptMessage(&context_, 0, &desc, 0) != SEC_E_OK) return false;
        wire.append(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        p += chunk;
        size -= chunk;
    }
    return inner_->Send(wire.data(), wire.size());
}

bool TlsStream::DecryptMore() {
    for (;;) {
        if (!encrypted_.empty()) {
            SecBuffer buffers[4] = {{static_cast<unsigned long>(encrypted_.size()), SECBUFFER_DATA, encrypted_.data()},
                                    {0, SECBUFFER_EMPTY, nullptr},
                                    {0, SECBUFFER_EMPTY, nullptr},
                                    {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            const SECURITY_STATUS status = ::DecryptMessage(&context_, &desc, 0, nullptr);
            if (status == SEC_E_OK) {
                std::string extra;
                for (const SecBuffer& b : buffers) {
                    if (b.BufferType == SECBUFFER_DATA && b.pvBuffer)
                        plain_.append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
                    if (b.BufferType == SECBUFFER_EXTRA && b.pvBuffer)
                        extra.assign(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
                }
                encrypted_.swap(extra);
                return true;
            }
            if (status != SEC_E_INCOMPLETE_MESSAGE) return false;  // closed, renegotiation or garbage
        }
        if (encrypted_.size() > sizes_.cbHeader + sizes_.cbMaximumMessage + sizes_.cbTrailer + 1024) return false;
        char buffer[32768];
        const size_t n = inner_->ReceiveSome(buffer, sizeof(buffer));
        if (n == 0) return false;
        encrypted_.append(buffer, n);
    }
}

bool TlsStream::Receive(void* data, size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        if (plainStart_ >= plain_.size()) {
            plain_.clear();
            plainStart_ = 0;
            if (!DecryptMore()) return false;
            continue;
        }
        const size_t n = std::min(size, plain_.size() - plainStart_);
        std::memcpy(p, plain_.data() + plainStart_, n);
        plainStart_ += n;
        p += n;
        size -= n;
    }
    return true;
}

}  // namespace handset::lockdown
