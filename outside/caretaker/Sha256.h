// SHA-256 through the system's cryptography (bcrypt), fed in pieces.
#pragma once
#include <windows.h>
#include <bcrypt.h>

#include <array>

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    bool ok() const { return hash_ != nullptr; }
    bool Update(const BYTE* data, size_t size);
    // The digest; the object cannot be fed afterwards.
    bool Finish(std::array<BYTE, 32>* digest);

private:
    BCRYPT_ALG_HANDLE algorithm_ = nullptr;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};
