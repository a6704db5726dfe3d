// CApplog, its sinks and the logging function.
#include "app/Applog.h"

#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "app/Almanac.h"
#include "app/FileVersion.h"
#include "app/ProgramPaths.h"
#include "platform/SystemServices.h"
#include "platform/Wnd.h"

namespace {

constexpr wchar_t kSection[] = L"LogSetting";
constexpr wchar_t kDefaultMail[] = L"support@pelican.example";
constexpr size_t kMaxPath = 260;
constexpr size_t kFileBufferBytes = 4096;
constexpr size_t kTimeStampChars = 1024;  // the platform formatter's limit
constexpr size_t kMessageChars = 4096;

IApplog* g_log = nullptr;  // the process's one log

bool PathExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring ReadProfileString(const wchar_t* key, const wchar_t* file, size_t capacity) {
    std::wstring value(capacity + 1, L'\0');
    DWORD got = ::GetPrivateProfileStringW(kSection, key, L"", value.data(), static_cast<DWORD>(value.size()), file);
    value.resize(got);
    return value;
}

std::wstring FormatV(const wchar_t* format, va_list args) {
    wchar_t buffer[kMessageChars];
    int n = _vsnwprintf(buffer, kMessageChars - 1, format, args);
    buffer[kMessageChars - 1] = L'\0';
    if (n < 0) buffer[kMessageChars - 1] = L'\0';
    return buffer;
}

std::wstring Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = FormatV(format, args);
    va_end(args);
    return text;
}

}  // namespace

// ---- sinks ----

void CLogDebug::Write(const wchar_t* text) { ::OutputDebugStringW(text); }

CLogStdout::CLogStdout() {
    if (!::AllocConsole()) return;
    output_ = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output_ != INVALID_HANDLE_VALUE && output_ && ::GetConsoleMode(output_, &mode))
        ::SetConsoleMode(output_, mode | 8);
}

CLogStdout::~CLogStdout() {
    if (output_ != INVALID_HANDLE_VALUE) ::FreeConsole();
}

void CLogStdout::Write(const wchar_t* text) {
    if (output_ == INVALID_HANDLE_VALUE || !output_) return;
    DWORD written = 0;
    ::WriteConsoleW(output_, text, static_cast<DWORD>(std::wcslen(text)), &written, nullptr);
}

CLogFile::CLogFile(const std::wstring& path) {
    if (path.empty()) return;
    file_.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file_) ::SetFilePointer(file_.get(), 0, nullptr, FILE_END);
}

void CLogFile::Write(const wchar_t* text) {
    if (!file_) return;
    int chars = static_cast<int>(std::wcslen(text));
    if (chars == 0) return;
    BOOL usedDefault = FALSE;
    int needed = ::WideCharToMultiByte(CP_MACCP, 0, text, chars, nullptr, 0, " ", &usedDefault);
    if (needed <= 0) return;
    std::string bytes(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_MACCP, 0, text, chars, bytes.data(), needed, " ", &usedDefault);
    // A line longer than the conversion buffer is cut, never written past it.
    if (bytes.size() > kFileBufferBytes) bytes.resize(kFileBufferBytes);
    DWORD written = 0;
    ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

CLogSplitFile::CLogSplitFile(const std::wstring& path, unsigned long long maxBytes)
    : CLogFile(path), maxBytes_(maxBytes < 1024 ? 1024 : maxBytes) {}

void CLogSplitFile::Write(const wchar_t* text) {
    if (!file_) return;
    unsigned before = lines_++;
    // The size is asked only once per 1000 lines.
    if (before >= 1000) {
        lines_ = 0;
        LARGE_INTEGER size{};
        if (::GetFileSizeEx(file_.get(), &size) && static_cast<unsigned long long>(size.QuadPart) > maxBytes_) {
            ::SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
            ::SetEndOfFile(file_.get());
        }
    }
    CLogFile::Write(text);
}

// ---- CApplog ----

class CApplog::Lock {
public:
    explicit Lock(CRITICAL_SECTION& cs) : cs_(cs) { ::EnterCriticalSection(&cs_); }
    ~Lock() { ::LeaveCriticalSection(&cs_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& cs_;
};

CApplog::CApplog() {
    ::InitializeCriticalSection(&lock_);
    Reset();
}

CApplog::~CApplog() {
    Reset();
    ::DeleteCriticalSection(&lock_);
}

void CApplog::Release() { delete this; }

HRESULT CApplog::Open(HINSTANCE instance) {
    Lock lock(lock_);
    instance_ = instance;
    std::wstring settings = ModuleFileName(instance) + L".cfg";
    if (!LoadSettings(settings.c_str())) return E_FAIL;
    if (mask_ & 1) sinks_.push_back(std::make_unique<CLogSplitFile>(filePath_, 1024ULL * maxLogSizeKb_));
    if (mask_ & 2) sinks_.push_back(std::make_unique<CLogDebug>());
    if (mask_ & 4) sinks_.push_back(std::make_unique<CLogStdout>());
    return sinks_.empty() ? 1 : S_OK;
}

bool CApplog::LoadSettings(const wchar_t* settingsPath) {
    Lock lock(lock_);
    Reset();
    if (!settingsPath || !PathExists(settingsPath)) return false;
    mask_ = static_cast<int>(::GetPrivateProfileIntW(kSection, L"Mask", 0, settingsPath));
    std::wstring file = ReadProfileString(L"File", settingsPath, kMaxPath);
    if (!file.empty()) {
        HINSTANCE program = instance_ ? instance_ : platform::CurrentModule();
        std::wstring path = LogDataFolder(program);
        std::wstring sub = AlmanacString(program, L"Almanac", L"AppDataPath", 260, 255);
        if (!sub.empty()) path += sub + L"\\";
        path += file;
        // A log path that does not fit is refused rather than cut into another name.
        if (path.size() < kMaxPath && CreateMissingDirectories(path)) filePath_ = path;
    }
    maxLogSizeKb_ = ::GetPrivateProfileIntW(kSection, L"MaxLogSize", 512, settingsPath);
    level_ = ::GetPrivateProfileIntW(kSection, L"Level", 0, settingsPath);
    mailAddress_ = ReadProfileString(L"MailAddress", settingsPath, 32);
    if (mailAddress_.empty()) mailAddress_ = kDefaultMail;
    enableSendMail_ = static_cast<int>(::GetPrivateProfileIntW(kSection, L"EnableSendMail", 0, settingsPath));
    enableTimeStamp_ = static_cast<int>(::GetPrivateProfileIntW(kSection, L"EnableTimeStamp", 1, settingsPath));
    return true;
}

void CApplog::Reset() {
    Lock lock(lock_);
    maxLogSizeKb_ = 0;
    enableTimeStamp_ = 0;
    mask_ = 0;
    level_ = 0;
    enableSendMail_ = 0;
    filePath_.clear();
    mailAddress_.clear();
    sinks_.clear();
}

void CApplog::Write(unsigned level, const wchar_t* text) {
    if (!text) return;
    Lock lock(lock_);
    if (level > level_) return;
    for (auto& sink : sinks_) {
        if (enableTimeStamp_) {
            wchar_t line[kTimeStampChars];
            _snwprintf(line, kTimeStampChars - 1, L"%8d : %s", static_cast<int>(platform::System().TickCount()),
                       text);
            line[kTimeStampChars - 1] = L'\0';
            sink->Write(line);
        } else {
            sink->Write(text);
        }
    }
}

HRESULT CApplog::WriteHex(unsigned level, const BYTE* bytes, unsigned count) {
    Lock lock(lock_);
    if (level > level_) return E_NOTIMPL;
    if (!bytes || count == 0) return E_INVALIDARG;
    std::wstring text;
    text.reserve(count / 16 * 53 + 63);
    for (unsigned i = 0; i < count; ++i) {
        if (i != 0 && i % 16 == 0) text += L"\n";
        if (i % 8 == 0) text += L" ";
        wchar_t hex[4];
        _snwprintf(hex, 4, L"%02X ", bytes[i]);
        hex[3] = L'\0';
        text += hex;
    }
    text += L"\n";
    Write(level, text.c_str());
    return S_OK;
}

HRESULT CApplog::SetLevel(unsigned level) {
    Lock lock(lock_);
    level_ = level;
    return S_OK;
}

HRESULT CApplog::GetLevel(unsigned* level) {
    if (!level) return E_INVALIDARG;
    Lock lock(lock_);
    *level = level_;
    return S_OK;
}

bool CApplog::GetDrWatsonLogPath(wchar_t* buffer, int capacity) {
    if (!buffer || capacity <= 0) return false;
    buffer[0] = L'\0';
    std::wstring path;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\DrWatson", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        wchar_t value[kMaxPath + 1] = {};
        DWORD bytes = sizeof(value) - sizeof(wchar_t);
        DWORD type = 0;
        if (::RegQueryValueExW(key, L"LogFilePath", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ))
            path = value;
        ::RegCloseKey(key);
    }
    if (!path.empty()) {
        path += L"drwtsn32.log";
    } else {
        wchar_t common[MAX_PATH] = {};
        if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common))) path = common;
        path += L"\\Microsoft\\Dr Watson\\drwtsn32.log";
    }
    size_t n = path.size() < static_cast<size_t>(capacity) ? path.size() : static_cast<size_t>(capacity) - 1;
    path.copy(buffer, n);
    buffer[n] = L'\0';
    return PathExists(buffer);
}

// ---- free functions ----

bool CreateMissingDirectories(const std::wstring& input) {
    if (input.empty()) return false;
    if (PathExists(input)) return true;
    std::wstring path = input;
    size_t lastSlash = path.rfind(L'\\');
    size_t lastDot = path.rfind(L'.');
    if (lastDot != std::wstring::npos && (lastSlash == std::wstring::npos || lastSlash < lastDot))
        path.resize(lastSlash == std::wstring::npos ? 0 : lastSlash);
    path += L"\\";
    size_t pos;
    if (path.rfind(L"\\\\", 0) == 0) {
        // UNC: skip "\\server\share\".
        pos = path.find(L'\\', 2);
        if (pos != std::wstring::npos) pos = path.find(L'\\', pos + 1);
    } else {
        pos = path.find(L'\\');
    }
    while (pos != std::wstring::npos) {
        pos = path.find(L'\\', pos + 1);
        if (pos == std::wstring::npos) break;
        std::wstring dir = path.substr(0, pos);
        if (!PathExists(dir) && !::CreateDirectoryW(dir.c_str(), nullptr)) break;
    }
    return PathExists(input) || PathExists(path);
}

std::wstring LogDataFolder(HINSTANCE instance) {
    wchar_t common[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, common)) &&
        PathExists(common)) {
        std::wstring folder = common;
        if (folder.back() != L'\\') folder += L"\\";
        return folder;
    }
    return ModuleDirectory(instance);
}

IApplog* AppLog() { return g_log; }

bool StartAppLog(HINSTANCE instance) {
    EndAppLog();
    g_log = new CApplog();
    if (g_log->Open(instance) < 0) return false;
    std::wstring program = ModuleFileName(instance);
    FileVersion version;
    ReadFileVersion(program, &version);
    SYSTEMTIME t = platform::System().LocalTime();
    std::wstring banner =
        Format(L"%s \nStart at %d-%d-%d %02d:%02d:%02d.%d Version = %d.%d.%d.%d\n", program.c_str(), t.wYear, t.wMonth,
               t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, version.part[0], version.part[1], version.part[2],
               version.part[3]);
    g_log->Write(0, banner.c_str());
    return true;
}

void EndAppLog() {
    if (!g_log) return;
    SYSTEMTIME t = platform::System().LocalTime();
    std::wstring banner = Format(L"End at %d-%d-%d %02d:%02d:%02d.%d\n\n", t.wYear, t.wMonth, t.wDay, t.wHour,
                                 t.wMinute, t.wSecond, t.wMilliseconds);
    g_log->Write(0, banner.c_str());
    g_log->Release();
    g_log = nullptr;
}

int PelicanLog(unsigned level, const wchar_t* format, ...) {
    IApplog* log = g_log;
    unsigned configured = 0;
    if (!log || !format || log->GetLevel(&configured) < 0 || level > configured) return 0;
    va_list args;
    va_start(args, format);
    std::wstring text = FormatV(format, args);
    va_end(args);
    log->Write(level, text.c_str());
    return 1;
}
