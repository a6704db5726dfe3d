// The pairing record that lets this PC talk to a trusted handset.
#pragma once
#include <string>

#include "outside/handset/wire/Usbmux.h"

namespace handset::lockdown {

struct PairRecord {
    std::string hostCertificate;  // PEM text, as the record holds it
    std::string hostPrivateKey;
    std::string rootCertificate;
    std::string rootPrivateKey;
    std::string deviceCertificate;
    std::string hostId;
    std::string systemBuid;
};

// Reads a record from its property list (XML or binary). False when the
// certificates or the HostID are missing.
bool ParsePairRecord(const std::string& bytes, PairRecord* record);

// Asks the usbmux service first, then reads %ProgramData%\Apple\Lockdown\<UDID>.plist.
// `why` says what failed, for the debugger output.
bool LoadPairRecord(const wire::MuxClient& mux, const std::string& udid, PairRecord* record, std::string* why);

}  // namespace handset::lockdown
