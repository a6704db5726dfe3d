// CConfigModule.
#include "outside/config/ConfigModule.h"

#include <shellapi.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "app/FileVersion.h"
#include "app/ProgramPaths.h"

namespace {

constexpr wchar_t kSection[] = L"Settings";
constexpr wchar_t kMissing[] = L"\x01missing\x01";  // a text no real value has
constexpr DWORD kMaxValue = 32768;

struct Default {
    const wchar_t* key;
    const wchar_t* value;
};
// Values a fresh installation starts with.
constexpr Default kDefaults[] = {
    {L"VersionName", L"EmberPelican"},
    {L"CurrentSpecifyFolder", L"0"},
    {L"LastTimeCheckUpdate", L"0"},
};

bool IsValidKey(const wchar_t* key) { return key && *key && !std::wcschr(key, L'=') && !std::wcschr(key, L'\n'); }

constexpr DWORD kMaxStoreBytes = 16u << 20;  // far beyond any settings file; a bigger one is not ours to rewrite

// The whole file, or false when it cannot be read (a missing file reads as empty).
bool ReadAll(const std::wstring& path, std::string* bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        bytes->clear();
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    LARGE_INTEGER size{};
    bool ok = ::GetFileSizeEx(file, &size) && size.QuadPart <= kMaxStoreBytes;
    if (ok) {
        bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
        DWORD got = 0;
        ok = bytes->empty() || (::ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) &&
                                got == bytes->size());
    }
    ::CloseHandle(file);
    return ok;
}

// Old files: UTF-8 when they say so, else the ANSI code page they were written in.
std::wstring DecodeNarrow(const std::string& bytes) {
    UINT codePage = CP_ACP;
    size_t skip = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        codePage = CP_UTF8;
        skip = 3;
    }
    const int length = static_cast<int>(bytes.size() - skip);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length), L'\0');
    int made = ::MultiByteToWideChar(codePage, 0, bytes.data() + skip, length, text.data(), length);
    text.resize(made > 0 ? static_cast<size_t>(made) : 0);
    return text;
}

// Writes the text as UTF-16 with its mark, by way of a new file put in place whole.
bool WriteUnicode(const std::wstring& path, const std::wstring& text) {
    const std::wstring temporary = path + L".new";
    HANDLE file =
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::wstring content = L"\xFEFF" + text;
    const DWORD bytes = static_cast<DWORD>(content.size() * sizeof(wchar_t));
    DWORD written = 0;
    bool ok = ::WriteFile(file, content.data(), bytes, &written, nullptr) && written == bytes;
    ok = ::CloseHandle(file) && ok;
    if (ok) ok = ::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) ::DeleteFileW(temporary.c_str());
    return ok;
}

std::wstring DirectoryOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

CConfigModule::CConfigModule(std::wstring storePath) : storePath_(std::move(storePath)) {}

HRESULT STDMETHODCALLTYPE CConfigModule::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (ember::SameGuid(iid, ember::IID_IConfigSettings)) {
        *out = static_cast<IConfigSettings*>(this);
        return S_OK;
    }
    if (ember::SameGuid(iid, ember::IID_IConfigSettings2)) {
        *out = static_cast<IConfigSettings2*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

bool CConfigModule::Lookup(const wchar_t* key, std::wstring* value) const {
    if (!IsValidKey(key)) return false;
    std::wstring text(kMaxValue, L'\0');
    DWORD got = ::GetPrivateProfileStringW(kSection, key, kMissing, text.data(), kMaxValue, storePath_.c_str());
    text.resize(got);
    if (text != kMissing) {
        *value = text;
        return true;
    }
    for (const Default& d : kDefaults) {
        if (_wcsicmp(d.key, key) == 0) {
            *value = d.value;
            return true;
        }
    }
    return false;
}

LONG STDMETHODCALLTYPE CConfigModule::GetIntValue(const wchar_t* key, LONG defaultValue, LONG) {
    std::wstring text;
    if (!Lookup(key, &text) || text.empty()) return defaultValue;
    wchar_t* end = nullptr;
    long value = std::wcstol(text.c_str(), &end, 10);
    return (end && end != text.c_str()) ? static_cast<LONG>(value) : defaultValue;
}

void STDMETHODCALLTYPE CConfigModule::SetIntValue(const wchar_t* key, LONG value, LONG) {
    SetStringValue(key, std::to_wstring(value).c_str(), 0);
}

LONG STDMETHODCALLTYPE CConfigModule::GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = L'\0';
    std::wstring text;
    if (!Lookup(key, &text)) return 0;
    // A value that does not fit is not handed out cut short.
    if (text.size() >= static_cast<size_t>(capacity)) return 0;
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
    return 1;
}

void STDMETHODCALLTYPE CConfigModule::SetStringValue(const wchar_t* key, const wchar_t* value, LONG) {
    if (!IsValidKey(key) || !value) return;
    // INI values are one line; a line break would corrupt the file.
    std::wstring clean(value);
    for (wchar_t& c : clean)
        if (c == L'\r' || c == L'\n') c = L' ';
    std::wstring dir = DirectoryOf(storePath_);
    if (!dir.empty()) ::CreateDirectoryW(dir.c_str(), nullptr);
    // Written as ANSI, a value outside the code page would come back as "?".
    if (!MakeUnicodeStore()) return;
    ::WritePrivateProfileStringW(kSection, key, clean.c_str(), storePath_.c_str());
}

bool CConfigModule::MakeUnicodeStore() {
    std::string bytes;
    if (!ReadAll(storePath_, &bytes)) return false;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return true;
    return WriteUnicode(storePath_, DecodeNarrow(bytes));
}

void STDMETHODCALLTYPE CConfigModule::ShowInformation(LONG, LONG) {
    // The program's version resource is the one place the version is written down.
    FileVersion version;
    std::wstring text = L"Pelican";
    if (ReadFileVersion(ModuleFileName(nullptr), &version)) text += L"\nVersion " + VersionText(version);
    ::MessageBoxW(nullptr, text.c_str(), L"About Pelican", MB_OK | MB_ICONINFORMATION);
}

void STDMETHODCALLTYPE CConfigModule::ShowHelp() {
    // A shipped copy carries README.txt for its users; a build folder the developers' README.md.
    const std::wstring folder = DirectoryOf(DirectoryOf(storePath_));
    std::wstring readme = folder + L"\\README.txt";
    if (::GetFileAttributesW(readme.c_str()) == INVALID_FILE_ATTRIBUTES) readme = folder + L"\\README.md";
    ::ShellExecuteW(nullptr, L"open", readme.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
