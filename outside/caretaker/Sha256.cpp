// Sha256.
#include "outside/caretaker/Sha256.h"

Sha256::Sha256() {
    if (::BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) {
        algorithm_ = nullptr;
        return;
    }
    if (::BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0) < 0) hash_ = nullptr;
}

Sha256::~Sha256() {
    if (hash_) ::BCryptDestroyHash(hash_);
    if (algorithm_) ::BCryptCloseAlgorithmProvider(algorithm_, 0);
}

bool Sha256::Update(const BYTE* data, size_t size) {
    while (hash_ && size > 0) {
        ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
        if (::BCryptHashData(hash_, const_cast<PUCHAR>(data), piece, 0) < 0) return false;
        data += piece;
        size -= piece;
    }
    return hash_ != nullptr;
}

bool Sha256::Finish(std::array<BYTE, 32>* digest) {
    if (!hash_) return false;
    bool done = ::BCryptFinishHash(hash_, digest->data(), 32, 0) >= 0;
    ::BCryptDestroyHash(hash_);
    hash_ = nullptr;
    return done;
}
