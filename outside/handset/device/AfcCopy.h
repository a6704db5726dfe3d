// Copies between the PC and the handset's AFC service that never leave a
// half-written file: the PC side writes under a partial name renamed when
// complete, the handset side likewise with AFC's rename.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "outside/handset/CopyEngine.h"
#include "outside/handset/afc/AfcClient.h"

namespace handset::device {

// A handset entry planned for a copy to the PC.
struct DeviceNode {
    std::string afcPath;
    std::wstring targetName;  // PC spelling
    bool folder = false;
    bool unreadable = false;
    std::uint64_t size = 0;
    std::uint64_t modifiedNs = 0;
    std::vector<DeviceNode> children;
};

// Plans a handset file or folder (the whole tree below it). False when it
// does not exist or the connection failed.
bool PlanFromDevice(afc::AfcClient& afc, const std::string& afcPath, const std::wstring& targetName, DeviceNode* node,
                    std::uint64_t* total);

// Times: AFC counts nanoseconds since 1970, FILETIME 100 ns since 1601.
std::uint64_t FileTimeFromUnixNs(std::uint64_t ns);
std::uint64_t UnixNsFromFileTime(std::uint64_t ticks);

class AfcCopier {
public:
    // `going` is asked between chunks; false ends the job (device gone, cancelled).
    AfcCopier(afc::AfcClient* afc, ProgressMeter* meter, std::function<bool()> going)
        : afc_(afc), meter_(meter), going_(std::move(going)) {}

    // Into an existing PC folder (extended-length path).
    bool ToPc(const std::vector<DeviceNode>& nodes, const std::wstring& pcFolder);
    // Into an existing handset folder.
    bool ToDevice(const std::vector<CopyNode>& nodes, const std::string& afcFolder);

    // Unfinished copies on the handset that could not be removed because the
    // connection broke; the owner removes them when the handset is back.
    const std::vector<std::string>& DeviceOrphans() const { return deviceOrphans_; }

private:
    bool FileToPc(const DeviceNode& node, const std::wstring& folder);
    bool NodeToPc(const DeviceNode& node, const std::wstring& folder);
    bool FileToDevice(const CopyNode& node, const std::string& folder);
    bool NodeToDevice(const CopyNode& node, const std::string& folder);
    bool MakeDeviceFolder(const std::string& parent, const std::wstring& name, std::string* made);
    void Skip(std::uint64_t bytes) { meter_->Advance(bytes); }
    bool Going();

    afc::AfcClient* afc_;
    ProgressMeter* meter_;
    std::function<bool()> going_;
    bool stopped_ = false;
    std::vector<char> buffer_;
    std::vector<std::string> deviceOrphans_;
};

}  // namespace handset::device
