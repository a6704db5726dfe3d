// HttpGet over WinHTTP (synchronous; the time-outs keep it from hanging).
#include "outside/caretaker/HttpGet.h"

#include <winhttp.h>
#include <winsock2.h>

#include <vector>

namespace {

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h = nullptr) : handle_(h) {}
    ~InternetHandle() {
        if (handle_) ::WinHttpCloseHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

HttpOutcome FromError(DWORD error) {
    HttpOutcome out;
    out.error = error;
    switch (error) {
        case ERROR_WINHTTP_TIMEOUT:
        case WSAETIMEDOUT:  // what Wine reports for a receive that timed out
            out.kind = HttpOutcome::kTimeout;
            break;
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        case ERROR_WINHTTP_CANNOT_CONNECT:
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case WSAECONNREFUSED:
            out.kind = HttpOutcome::kUnreachable;
            break;
        default:
            out.kind = HttpOutcome::kFailed;
    }
    return out;
}

HttpOutcome Outcome(HttpOutcome::Kind kind) {
    HttpOutcome out;
    out.kind = kind;
    return out;
}

// The Content-Length header, when the server sent one.
bool ContentLength(HINTERNET request, ULONGLONG* length) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                               WINHTTP_NO_HEADER_INDEX))
        return false;
    ULONGLONG value = 0;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p < L'0' || *p > L'9' || value > (~0ULL - 9) / 10) return false;
        value = value * 10 + static_cast<ULONGLONG>(*p - L'0');
    }
    *length = value;
    return true;
}

}  // namespace

HttpOutcome HttpGet(const std::wstring& address, const HttpLimits& limits, const HttpSink& sink) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (address.empty() || !::WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
        parts.dwHostNameLength == 0)
        return Outcome(HttpOutcome::kBadAddress);
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    const ULONGLONG deadline = ::GetTickCount64() + limits.totalMs;
    InternetHandle session(::WinHttpOpen(L"Pelican-Caretaker", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                         WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return FromError(::GetLastError());
    const int step = static_cast<int>(limits.stepMs);
    ::WinHttpSetTimeouts(session.get(), step, step, step, step);
    InternetHandle connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return FromError(::GetLastError());
    InternetHandle request(::WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                                WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return FromError(::GetLastError());
    // The wait for the response's headers has a time-out of its own (90 s by default).
    DWORD headerWait = limits.stepMs;
    ::WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headerWait, sizeof(headerWait));
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr))
        return FromError(::GetLastError());

    DWORD status = 0, size = sizeof(status);
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return FromError(::GetLastError());
    if (status != 200) {
        HttpOutcome out = Outcome(HttpOutcome::kStatus);
        out.status = status;
        return out;
    }
    ULONGLONG expected = 0;
    const bool announced = ContentLength(request.get(), &expected);
    if (announced && expected > limits.maxBytes) return Outcome(HttpOutcome::kTooLarge);

    std::vector<BYTE> buffer(64 * 1024);
    ULONGLONG received = 0;
    for (;;) {
        // A server that trickles bytes slower than it should still ends here.
        if (::GetTickCount64() > deadline) return FromError(ERROR_WINHTTP_TIMEOUT);
        DWORD got = 0;
        if (!::WinHttpReadData(request.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got))
            return FromError(::GetLastError());
        if (got == 0) break;
        received += got;
        if (received > limits.maxBytes) return Outcome(HttpOutcome::kTooLarge);
        if (!sink(buffer.data(), got)) return FromError(ERROR_WRITE_FAULT);
    }
    if (announced && received != expected) return Outcome(HttpOutcome::kTruncated);
    return Outcome(HttpOutcome::kOk);
}

std::wstring DescribeOutcome(const HttpOutcome& outcome) {
    switch (outcome.kind) {
        case HttpOutcome::kOk:
            return L"Done.";
        case HttpOutcome::kBadAddress:
            return L"The address is not a valid web address.";
        case HttpOutcome::kTimeout:
            return L"The server did not answer in time.";
        case HttpOutcome::kUnreachable:
            return L"The server could not be reached. Check the network connection.";
        case HttpOutcome::kStatus:
            return L"The server answered with error " + std::to_wstring(outcome.status) +
                   (outcome.status == 404 ? L" (not found)." : L".");
        case HttpOutcome::kTooLarge:
            return L"The server sent more data than expected.";
        case HttpOutcome::kTruncated:
            return L"The download was incomplete.";
        case HttpOutcome::kFailed:
            break;
    }
    if (outcome.error == ERROR_WINHTTP_SECURE_FAILURE || outcome.error == ERROR_WINHTTP_SECURE_CHANNEL_ERROR)
        return L"No secure connection to the server could be made (is its certificate valid?).";
    return L"The transfer failed (error " + std::to_wstring(outcome.error) + L").";
}
