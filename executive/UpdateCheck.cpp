// "CheckUpdate", "CheckUpdateNow", the write probe and the system version test.
#include <windows.h>
// The platform headers below need the types of <windows.h>.
#include <shlwapi.h>

#include "app/ProgramPaths.h"
#include "executive/CAppModuleCmdExecutive.h"
#include "executive/DebugTrace.h"
#include "executive/UpdateCheck.h"
#include "platform/Handles.h"
#include "platform/SystemServices.h"

namespace {

constexpr size_t kAddressCapacity = 1024;
constexpr size_t kCommandLineCapacity = 4096;
// Names already taken are skipped; past this many the folder counts as unwritable.
constexpr DWORD kProbeAttempts = 64;

std::wstring ErrorLine(DWORD error) { return L"Path is unwritable.Error:" + std::to_wstring(error) + L"\n"; }

std::wstring ProbeBase(const std::wstring& folder) {
    return (!folder.empty() && folder.back() == L'\\') ? folder : folder + L"\\";
}

bool Taken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

// Creates the probe file under a free name and removes it again.
bool ProbeFile(const std::wstring& folder) {
    DWORD tick = platform::System().TickCount();
    DWORD error = ERROR_FILE_EXISTS;
    for (DWORD attempt = 0; attempt < kProbeAttempts; ++attempt, ++tick) {
        const std::wstring name = ProbeBase(folder) + L"Qtx" + std::to_wstring(tick) + L".txt";
        DebugTrace(name);
        // CREATE_NEW: a file of the user's under this name is never opened, let alone emptied.
        platform::UniqueFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = ::GetLastError();
            if (Taken(error)) continue;
            break;
        }
        file.reset();
        if (!::DeleteFileW(name.c_str())) DebugTrace(name + L" DeleteFile Failed.\n");
        return true;
    }
    DebugTrace(ErrorLine(error));
    return false;
}

// Creates the probe folder under a free name and removes it again.
bool ProbeFolder(const std::wstring& folder) {
    DWORD tick = platform::System().TickCount();
    DWORD error = ERROR_ALREADY_EXISTS;
    for (DWORD attempt = 0; attempt < kProbeAttempts; ++attempt, ++tick) {
        const std::wstring name = ProbeBase(folder) + L"Qtx" + std::to_wstring(tick);
        DebugTrace(name);
        if (::CreateDirectoryW(name.c_str(), nullptr)) {
            ::RemoveDirectoryW(name.c_str());
            return true;
        }
        error = ::GetLastError();
        if (!Taken(error)) break;
    }
    DebugTrace(ErrorLine(error));
    return false;
}

// The program file's base name without its extension.
std::wstring ApplicationName(const std::wstring& programFile) {
    size_t slash = programFile.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? programFile : programFile.substr(slash + 1);
    size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

}  // namespace

std::wstring BuildUpdaterCommandLine(const std::wstring& dir, const std::wstring& address, bool withRecord,
                                     DWORD processId, const std::wstring& appName) {
    return dir + L"Caretaker.exe \"" + address + L"\" " + (withRecord ? L"1" : L"0") + L" " +
           std::to_wstring(processId) + L" " + L"\"" + dir + appName + L".exe\" ";
}

bool WriteProbe(const std::wstring& folder) {
    if (folder.empty() || !::PathIsDirectoryW(folder.c_str())) {
        DebugTrace(L"Path Is Not Directory.\n");
        return false;
    }
    return ProbeFile(folder) && ProbeFolder(folder);
}

bool IsVistaOrLater() {
    // The program is 64-bit, so the platform is always an NT one.
    if (platform::System().OsMajorVersion() < 6) return false;
    DebugTrace(L"OS is Vista or later.\n");
    return true;
}

HRESULT CAppModuleCmdExecutive::OnCmdCheckUpdate(const wchar_t*, LONG, CommandArgs* args) {
    DebugTrace(L"OnCheckUpdate.\n");
    return StartUpdater(args != nullptr, false);
}

// The toolbar's check: the updater answers whatever it finds, and an unset address is said, not swallowed.
HRESULT CAppModuleCmdExecutive::OnCmdCheckUpdateNow(const wchar_t*, LONG, CommandArgs* args) {
    DebugTrace(L"OnCheckUpdateNow.\n");
    return StartUpdater(args != nullptr, true);
}

HRESULT CAppModuleCmdExecutive::StartUpdater(bool withRecord, bool interactive) {
    if (!config_) return E_POINTER;
    wchar_t address[kAddressCapacity] = {};
    config_->GetStringValue(L"CheckupdateWeb", address, static_cast<LONG>(kAddressCapacity), 0);
    address[kAddressCapacity - 1] = L'\0';
    const std::wstring web = address;
    if (web.empty()) {
        DebugTrace(L"CheckupdateWeb is empty.\n");
        if (interactive) Message(L"No update address is set.", MB_OK | MB_ICONINFORMATION);
        return E_FAIL;
    }
    // The address travels quoted: a quotation mark, or a backslash right before the
    // closing one, would split or swallow the arguments that follow.
    if (web.find(L'"') != std::wstring::npos || web.back() == L'\\') {
        DebugTrace(L"CheckupdateWeb cannot be quoted.\n");
        if (interactive) Message(L"The update address cannot be used:\n" + web, MB_OK | MB_ICONWARNING);
        return E_FAIL;
    }
    const std::wstring program = ModuleFileName(nullptr);
    const std::wstring dir = ModuleDirectory(nullptr);
    std::wstring line = BuildUpdaterCommandLine(dir, web, withRecord, ::GetCurrentProcessId(), ApplicationName(program));
    if (interactive) line += L"interactive";
    DebugTrace(line);
    if (dir.empty() || line.size() >= kCommandLineCapacity) {
        DebugTrace(L"CheckUpdate command line does not fit.\n");
        return E_FAIL;
    }
    // The updater's own path goes as the application too, so a folder with blanks
    // cannot make the system start some other program.
    if (!platform::System().StartProcess(dir + L"Caretaker.exe", line)) {
        DebugTrace(L"CreateProcess CheckUpdate Failed.\n");
        if (interactive) Message(L"The updater could not be started:\n" + dir + L"Caretaker.exe", MB_OK | MB_ICONWARNING);
    }
    return S_OK;
}
