// Which service and which AFC path a device path goes to.
#pragma once
#include <string>
#include <vector>

#include "outside/handset/device/DeviceLink.h"

namespace handset::device {

struct Route {
    enum class Kind {
        Afc,      // `service` and `afcPath` say where
        Virtual,  // "/", "/var", "/var/mobile" without the root service: only the way down
        Refused,  // outside the media folder without the root service, or malformed
    } kind = Kind::Refused;
    Service service = Service::Media;
    std::string afcPath;              // UTF-8, "/"-separated, starts with "/"
    std::vector<std::wstring> names;  // the device path's names
};

// Paths under /var/mobile/Media use the media service (rooted there); others
// use the root service when the handset offers it.
Route RoutePath(const std::wstring& devicePath, bool hasRoot);

// The one name below a virtual folder (level 0 "/", 1 "/var", 2 "/var/mobile").
const wchar_t* VirtualChild(size_t level);

}  // namespace handset::device
