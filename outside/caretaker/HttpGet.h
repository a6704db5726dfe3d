// One HTTP(S) GET through WinHTTP, streamed to a sink, never waiting forever:
// every step has a time-out and the whole request a deadline.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct HttpOutcome {
    enum Kind { kOk, kBadAddress, kTimeout, kUnreachable, kStatus, kTooLarge, kTruncated, kFailed };
    Kind kind = kFailed;
    DWORD status = 0;  // the HTTP status when kind is kStatus
    DWORD error = 0;   // the system error behind kTimeout, kUnreachable and kFailed
};

struct HttpLimits {
    DWORD stepMs = 15000;           // resolve, connect, send and each receive
    ULONGLONG totalMs = 60000;      // the whole request
    ULONGLONG maxBytes = 64 * 1024;  // a larger body is refused
};

// Receives the body in pieces; false stops the transfer (reported as kFailed).
using HttpSink = std::function<bool(const BYTE* data, size_t size)>;

HttpOutcome HttpGet(const std::wstring& address, const HttpLimits& limits, const HttpSink& sink);

// A sentence for the user.
std::wstring DescribeOutcome(const HttpOutcome& outcome);
