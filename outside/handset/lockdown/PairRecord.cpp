// Reading pairing records from the usbmux service or the vendor's folder.
#include "outside/handset/lockdown/PairRecord.h"

#include <shlobj.h>
#include <windows.h>

#include "platform/Handles.h"

namespace handset::lockdown {

namespace {

constexpr DWORD kMaxRecordFile = 1 << 20;

bool DataOrString(const wire::Plist& dict, const char* key, std::string* out) {
    const wire::Plist* v = dict.Find(key);
    if (!v || (v->type != wire::Plist::Type::Data && v->type != wire::Plist::Type::String)) return false;
    *out = v->text;
    return true;
}

std::wstring LockdownFolder() {
    wchar_t path[MAX_PATH] = {};
    if (::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
    return std::wstring(path) + L"\\Apple\\Lockdown\\";
}

bool ReadSmallFile(const std::wstring& path, std::string* bytes) {
    platform::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxRecordFile) return false;
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    return ::ReadFile(file.get(), &(*bytes)[0], static_cast<DWORD>(bytes->size()), &got, nullptr) &&
           got == bytes->size();
}

}  // namespace

bool ParsePairRecord(const std::string& bytes, PairRecord* record) {
    wire::Plist plist;
    if (!wire::ParsePlist(bytes.data(), bytes.size(), &plist) || plist.type != wire::Plist::Type::Dict) return false;
    PairRecord r;
    DataOrString(plist, "HostCertificate", &r.hostCertificate);
    DataOrString(plist, "HostPrivateKey", &r.hostPrivateKey);
    DataOrString(plist, "RootCertificate", &r.rootCertificate);
    DataOrString(plist, "RootPrivateKey", &r.rootPrivateKey);
    DataOrString(plist, "DeviceCertificate", &r.deviceCertificate);
    plist.GetString("HostID", &r.hostId);
    plist.GetString("SystemBUID", &r.systemBuid);
    const bool hostPair = !r.hostCertificate.empty() && !r.hostPrivateKey.empty();
    const bool rootPair = !r.rootCertificate.empty() && !r.rootPrivateKey.empty();
    if (r.hostId.empty() || (!hostPair && !rootPair)) return false;
    *record = std::move(r);
    return true;
}

bool LoadPairRecord(const wire::MuxClient& mux, const std::string& udid, PairRecord* record, std::string* why) {
    std::string bytes;
    if (mux.ReadPairRecord(udid, &bytes) && ParsePairRecord(bytes, record)) return true;
    const std::wstring folder = LockdownFolder();
    const std::wstring file = folder + std::wstring(udid.begin(), udid.end()) + L".plist";
    if (!folder.empty() && !udid.empty() && ReadSmallFile(file, &bytes) && ParsePairRecord(bytes, record)) return true;
    *why = "no pairing record for " + udid + " (neither from the usbmux service nor in %ProgramData%\\Apple\\Lockdown)";
    return false;
}

}  // namespace handset::lockdown
