// Caretaker.exe: Pelican's updater. Pelican starts it as
//   Caretaker.exe "<update address>" <flag> <process id> "<program path>" [interactive]
// It reads the manifest at the address, compares its version with the
// program's, and with the user's consent downloads the installer, checks its
// SHA-256, waits for Pelican to close, installs silently and starts Pelican
// again. A portable copy is offered the new zip's address instead. Without
// "interactive" (the start-up check) it speaks only when there is a new version.
#include <windows.h>
// The platform headers below need the types of <windows.h>.
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/FileVersion.h"
#include "app/ProgramPaths.h"
#include "outside/caretaker/HttpGet.h"
#include "outside/caretaker/Sha256.h"
#include "outside/caretaker/UpdateManifest.h"
#include "platform/Handles.h"

namespace {

constexpr wchar_t kTitle[] = L"Pelican Update";
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelican";
constexpr ULONGLONG kMaxInstallerBytes = 512ull * 1024 * 1024;
constexpr DWORD kInstallerWaitMs = 10 * 60 * 1000;

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Environment(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    DWORD n = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(n < value.size() ? n : 0);
    return value;
}

// Diagnostics: every argument to the debugger output and, when
// PELICAN_CARETAKER_RECORD names a file, into that file as UTF-8 lines.
void RecordArguments(const std::vector<std::wstring>& args) {
    std::string record;
    for (const std::wstring& a : args) {
        ::OutputDebugStringW((L"Caretaker argument: " + a + L"\n").c_str());
        record += ToUtf8(a) + "\n";
    }
    const std::wstring path = Environment(L"PELICAN_CARETAKER_RECORD");
    if (path.empty()) return;
    platform::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// A comparable form of a folder: full, long, without a trailing backslash.
std::wstring Canonical(const std::wstring& path) {
    std::wstring full(32768, L'\0');
    DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    full.resize(n > 0 && n < full.size() ? n : 0);
    if (full.empty()) full = path;
    std::wstring longer(32768, L'\0');
    n = ::GetLongPathNameW(full.c_str(), longer.data(), static_cast<DWORD>(longer.size()));
    if (n > 0 && n < longer.size()) full.assign(longer.c_str(), n);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    return full;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(Canonical(a).c_str(), -1, Canonical(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// An installed copy is the one the uninstall entry points at; any other is portable.
bool IsInstalledCopy(const std::wstring& programFolder) {
    wchar_t location[MAX_PATH * 4] = {};
    DWORD bytes = sizeof(location) - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, L"InstallLocation", RRF_RT_REG_SZ, nullptr, location,
                       &bytes) != ERROR_SUCCESS)
        return false;
    return SamePath(location, programFolder);
}

HttpLimits Limits(ULONGLONG totalMs, ULONGLONG maxBytes) {
    HttpLimits limits;
    limits.totalMs = totalMs;
    limits.maxBytes = maxBytes;
    // The tests shorten the wait for a server that stalls.
    const std::wstring override = Environment(L"PELICAN_UPDATE_TIMEOUT_MS");
    if (!override.empty()) {
        DWORD ms = static_cast<DWORD>(std::wcstoul(override.c_str(), nullptr, 10));
        if (ms >= 100) limits.stepMs = ms;
        if (limits.totalMs > 4ull * ms) limits.totalMs = 4ull * ms;
    }
    return limits;
}

// A private folder in the temporary folder; removed with what it holds.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        DWORD n = ::GetTempPathW(MAX_PATH + 1, base);
        if (n == 0 || n > MAX_PATH) return;
        for (DWORD attempt = 0; attempt < 100; ++attempt) {
            std::wstring candidate = std::wstring(base) + L"PelicanUpdate-" +
                                     std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
            if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
                path_ = candidate;
                return;
            }
            if (::GetLastError() != ERROR_ALREADY_EXISTS) return;
        }
    }
    ~TempFolder() {
        if (path_.empty()) return;
        for (const std::wstring& f : files_) ::DeleteFileW(f.c_str());
        ::RemoveDirectoryW(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    bool ok() const { return !path_.empty(); }
    std::wstring File(const std::wstring& name) {
        files_.push_back(path_ + L"\\" + name);
        return files_.back();
    }

private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

class Updater {
public:
    Updater(std::wstring address, bool recent, DWORD processId, std::wstring program, bool interactive)
        : address_(std::move(address)),
          recent_(recent),
          processId_(processId),
          program_(std::move(program)),
          interactive_(interactive) {}

    int Run();

private:
    int Ask(const std::wstring& text, UINT buttons) const {
        return ::MessageBoxW(nullptr, text.c_str(), kTitle, buttons | MB_SETFOREGROUND | MB_TOPMOST);
    }
    void Tell(const std::wstring& text, UINT icon = MB_ICONINFORMATION) const { Ask(text, MB_OK | icon); }
    // Failures of the check itself stay silent at start-up.
    int CheckFailed(const std::wstring& why) const {
        if (interactive_) Tell(L"Pelican could not check for updates.\n\n" + why, MB_ICONWARNING);
        return 1;
    }
    int UpdateFailed(const std::wstring& why) const {
        Tell(why + L"\n\nPelican was not updated.", MB_ICONWARNING);
        return 1;
    }
    std::wstring Announcement(const UpdateManifest& m, const FileVersion& current) const {
        std::wstring text = L"Pelican " + VersionText(m.version) + L" is available (this copy is " +
                            VersionText(current) + L").";
        if (!m.notes.empty()) text += L"\n\n" + m.notes;
        return text;
    }
    int OfferZip(const UpdateManifest& m, const FileVersion& current) const;
    bool Download(const UpdateManifest& m, const std::wstring& target) const;
    bool WaitForProgramToClose() const;
    int Install(const std::wstring& setup) const;

    std::wstring address_;
    bool recent_;
    DWORD processId_;
    std::wstring program_;
    bool interactive_;
};

int Updater::Run() {
    // The start-up check after a recent one stays off the network.
    if (recent_ && !interactive_) return 0;
    FileVersion current;
    if (!ReadFileVersion(program_, &current)) return CheckFailed(L"The version of " + program_ + L" cannot be read.");
    if (!IsAllowedAddress(address_))
        return CheckFailed(L"The update address must be an https:// address:\n" + address_);
    std::string text;
    HttpOutcome got = HttpGet(address_, Limits(60000, kMaxManifestBytes), [&](const BYTE* data, size_t size) {
        text.append(reinterpret_cast<const char*>(data), size);
        return true;
    });
    if (got.kind != HttpOutcome::kOk) return CheckFailed(address_ + L"\n" + DescribeOutcome(got));
    UpdateManifest manifest;
    std::wstring why;
    if (!ParseManifest(text, &manifest, &why))
        return CheckFailed(L"The update information at " + address_ + L" is not valid: " + why + L".");
    if (CompareVersions(manifest.version, current) <= 0) {
        if (interactive_) Tell(L"Pelican is up to date.");
        return 0;
    }
    if (!IsInstalledCopy(FolderOf(program_))) return OfferZip(manifest, current);
    if (Ask(Announcement(manifest, current) + L"\n\nDownload and install it now?", MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
        return 0;
    TempFolder temp;
    if (!temp.ok()) return UpdateFailed(L"No temporary folder could be created for the download.");
    const std::wstring setup = temp.File(L"Pelican-" + VersionText(manifest.version) + L"-setup.exe");
    if (!Download(manifest, setup)) return 1;
    if (!WaitForProgramToClose()) return 0;
    return Install(setup);
}

int Updater::OfferZip(const UpdateManifest& m, const FileVersion& current) const {
    const std::wstring text = Announcement(m, current) + L"\n\nThis copy of Pelican is not installed, so it is not ";
    if (m.zip.empty()) {
        Tell(text + L"updated here. Download the new version from the publisher.");
        return 0;
    }
    if (Ask(text + L"updated here. The new version can be downloaded from\n" + m.zip +
                L"\n\nOpen this address in the browser?",
            MB_YESNO | MB_ICONQUESTION) == IDYES)
        ::ShellExecuteW(nullptr, L"open", m.zip.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}

bool Updater::Download(const UpdateManifest& m, const std::wstring& target) const {
    platform::UniqueFile file(
        ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        UpdateFailed(L"The download could not be saved (error " + std::to_wstring(::GetLastError()) + L").");
        return false;
    }
    Sha256 hash;
    if (!hash.ok()) {
        UpdateFailed(L"The system cannot compute SHA-256 checksums.");
        return false;
    }
    HttpOutcome got =
        HttpGet(m.installer, Limits(30 * 60 * 1000, kMaxInstallerBytes), [&](const BYTE* data, size_t size) {
            DWORD written = 0;
            return hash.Update(data, size) &&
                   ::WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) && written == size;
        });
    file.reset();
    if (got.kind != HttpOutcome::kOk) {
        UpdateFailed(L"The installer could not be downloaded from\n" + m.installer + L"\n" + DescribeOutcome(got));
        return false;
    }
    std::array<BYTE, 32> digest{};
    if (!hash.Finish(&digest) || digest != m.sha256) {
        UpdateFailed(L"The downloaded installer does not match the SHA-256 checksum of the update information, so "
                     L"it was not run.");
        return false;
    }
    return true;
}

// Pelican's files cannot be replaced while it runs.
bool Updater::WaitForProgramToClose() const {
    platform::UniqueHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId_));
    if (!process) return true;
    // The process id may since have gone to another program.
    wchar_t image[MAX_PATH * 4] = {};
    DWORD size = MAX_PATH * 4;
    if (!::QueryFullProcessImageNameW(process.get(), 0, image, &size) || !SamePath(image, program_)) return true;
    while (::WaitForSingleObject(process.get(), 1000) == WAIT_TIMEOUT) {
        if (Ask(L"Pelican is still running. Please close it so that the update can be installed, then press OK.",
                MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
            return false;
    }
    return true;
}

int Updater::Install(const std::wstring& setup) const {
    const std::wstring folder = FolderOf(program_);
    // "/D=" comes last and unquoted, as the installer expects it.
    std::wstring line = L"\"" + setup + L"\" /S /D=" + folder;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(setup.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return UpdateFailed(L"The installer could not be started (error " + std::to_wstring(::GetLastError()) + L").");
    platform::UniqueHandle installer(pi.hProcess);
    platform::UniqueHandle thread(pi.hThread);
    if (::WaitForSingleObject(installer.get(), kInstallerWaitMs) != WAIT_OBJECT_0)
        return UpdateFailed(L"The installer did not finish in time.");
    DWORD code = 1;
    ::GetExitCodeProcess(installer.get(), &code);
    if (code != 0) return UpdateFailed(L"The installer failed (exit code " + std::to_wstring(code) + L").");

    std::wstring again = L"\"" + program_ + L"\"";
    STARTUPINFOW si2{};
    si2.cb = sizeof(si2);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program_.c_str(), again.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si2,
                          &started)) {
        Tell(L"Pelican was updated but could not be started again (error " + std::to_wstring(::GetLastError()) +
                 L").",
             MB_ICONWARNING);
        return 1;
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!argv) return 1;
    std::vector<std::wstring> args(argv, argv + count);
    ::LocalFree(argv);
    RecordArguments(args);
    // An earlier update renamed the running updater out of the way; it is free now.
    ::DeleteFileW((FolderOf(ModuleFileName(nullptr)) + L"\\Caretaker.old").c_str());
    if (args.size() < 5) return 1;
    const bool interactive = args.size() > 5 && _wcsicmp(args[5].c_str(), L"interactive") == 0;
    // One updater at a time: the start-up check and the button may overlap.
    platform::UniqueHandle guard(::CreateMutexW(nullptr, TRUE, L"PelicanCaretaker"));
    if (guard && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        if (interactive)
            ::MessageBoxW(nullptr, L"An update check is already running.", kTitle, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    const DWORD pid = static_cast<DWORD>(std::wcstoul(args[3].c_str(), nullptr, 10));
    Updater updater(args[1], args[2] == L"1", pid, args[4], interactive);
    return updater.Run();
}
