// Device paths to services and AFC paths.
#include "outside/handset/device/DeviceRoute.h"

#include "outside/handset/DevicePaths.h"
#include "outside/handset/wire/Utf8.h"

namespace handset::device {

namespace {

const wchar_t* const kMediaFolder[] = {L"var", L"mobile", L"Media"};

std::string Join(const std::vector<std::wstring>& names, size_t from) {
    std::string path;
    for (size_t i = from; i < names.size(); ++i) {
        path.push_back('/');
        path += wire::ToUtf8(names[i]);
    }
    return path.empty() ? "/" : path;
}

}  // namespace

const wchar_t* VirtualChild(size_t level) { return level < 3 ? kMediaFolder[level] : nullptr; }

Route RoutePath(const std::wstring& devicePath, bool hasRoot) {
    Route route;
    if (!SplitDevicePath(devicePath, &route.names)) return route;
    for (const std::wstring& name : route.names)
        if (name.size() > 255) return route;
    size_t matched = 0;
    while (matched < 3 && matched < route.names.size() && route.names[matched] == kMediaFolder[matched]) ++matched;
    if (matched == 3) {
        route.kind = Route::Kind::Afc;
        route.service = Service::Media;
        route.afcPath = Join(route.names, 3);
    } else if (hasRoot) {
        route.kind = Route::Kind::Afc;
        route.service = Service::Root;
        route.afcPath = Join(route.names, 0);
    } else if (matched == route.names.size()) {
        route.kind = Route::Kind::Virtual;
    }
    return route;
}

}  // namespace handset::device
