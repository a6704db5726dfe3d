// The update manifest the updater reads at the update address, and the rule
// for which addresses it may contact.
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "app/FileVersion.h"

struct UpdateManifest {
    FileVersion version;
    std::wstring installer;  // address of the installer
    std::wstring zip;        // address of the portable zip; may be empty
    std::wstring notes;      // lines joined with "\n"
    std::array<BYTE, 32> sha256{};
};

// Parses the manifest text (UTF-8, "key=value" lines). On failure `error` says why.
bool ParseManifest(const std::string& text, UpdateManifest* manifest, std::wstring* error);

// HTTPS anywhere; plain HTTP only to this machine's loopback address.
bool IsAllowedAddress(const std::wstring& address);

// The largest manifest the updater reads.
constexpr size_t kMaxManifestBytes = 64 * 1024;
