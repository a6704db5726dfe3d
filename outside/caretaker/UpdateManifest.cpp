// ParseManifest, IsAllowedAddress.
#include "outside/caretaker/UpdateManifest.h"

#include <winhttp.h>

#include <cwctype>

namespace {

// Notes go into a message box; a page of text is plenty.
constexpr size_t kMaxNotes = 2000;

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::wstring Trim(const std::wstring& text) {
    size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos) return {};
    size_t last = text.find_last_not_of(L" \t\r");
    return text.substr(first, last - first + 1);
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool ParseSha256(const std::wstring& text, std::array<BYTE, 32>* out) {
    if (text.size() != 64) return false;
    for (size_t i = 0; i < 32; ++i) {
        int high = HexValue(text[2 * i]), low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        (*out)[i] = static_cast<BYTE>(high * 16 + low);
    }
    return true;
}

bool Fail(std::wstring* error, const std::wstring& why) {
    *error = why;
    return false;
}

}  // namespace

bool ParseManifest(const std::string& text, UpdateManifest* manifest, std::wstring* error) {
    if (text.size() > kMaxManifestBytes) return Fail(error, L"it is too large");
    std::string body = text;
    if (body.compare(0, 3, "\xEF\xBB\xBF") == 0) body.erase(0, 3);
    std::wstring wide = FromUtf8(body);
    if (wide.empty() && !body.empty()) return Fail(error, L"it is not UTF-8 text");
    UpdateManifest parsed;
    bool haveVersion = false, haveSha = false;
    size_t pos = 0;
    while (pos <= wide.size()) {
        size_t end = wide.find(L'\n', pos);
        if (end == std::wstring::npos) end = wide.size();
        std::wstring line = Trim(wide.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == L'#' || line[0] == L';') continue;
        size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) return Fail(error, L"a line has no \"=\": " + line.substr(0, 80));
        const std::wstring key = Lower(Trim(line.substr(0, eq)));
        const std::wstring value = Trim(line.substr(eq + 1));
        if (key == L"version") {
            if (haveVersion || !ParseVersion(value, &parsed.version))
                return Fail(error, L"the version is missing, repeated or not of the form 1.2.3.4");
            haveVersion = true;
        } else if (key == L"sha256") {
            if (haveSha || !ParseSha256(value, &parsed.sha256))
                return Fail(error, L"the SHA-256 is repeated or not 64 hexadecimal digits");
            haveSha = true;
        } else if (key == L"installer" || key == L"zip") {
            std::wstring& target = key == L"zip" ? parsed.zip : parsed.installer;
            if (!target.empty() || !IsAllowedAddress(value))
                return Fail(error, L"the " + key + L" address is repeated or not an https:// address");
            target = value;
        } else if (key == L"notes") {
            if (!parsed.notes.empty()) parsed.notes += L"\n";
            parsed.notes += value;
            if (parsed.notes.size() > kMaxNotes) parsed.notes.resize(kMaxNotes);
        }
        // Other keys are left for later versions of the updater.
    }
    if (!haveVersion) return Fail(error, L"it names no version");
    if (parsed.installer.empty()) return Fail(error, L"it names no installer");
    if (!haveSha) return Fail(error, L"it gives no SHA-256 for the installer");
    *manifest = parsed;
    return true;
}

bool IsAllowedAddress(const std::wstring& address) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    if (address.empty() || address.find_first_of(L" \t\r\n\"") != std::wstring::npos) return false;
    if (!::WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) return false;
    if (parts.dwHostNameLength == 0) return false;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) return true;
    if (parts.nScheme != INTERNET_SCHEME_HTTP) return false;
    // A SHA-256 fetched over plain HTTP guards against corruption only, not
    // against tampering: allowed for this machine, where the tests serve.
    const std::wstring host = Lower(std::wstring(parts.lpszHostName, parts.dwHostNameLength));
    return host == L"127.0.0.1" || host == L"localhost" || host == L"[::1]" || host == L"::1";
}
