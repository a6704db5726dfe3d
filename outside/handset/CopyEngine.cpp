// Planning and running copies for the folder-backed device.
#include "outside/handset/CopyEngine.h"

#include <algorithm>
#include <climits>
#include <atomic>
#include <cstring>
#include <thread>

#include "outside/handset/DevicePaths.h"
#include "platform/Handles.h"

namespace handset {

namespace {

constexpr DWORD kChunk = 1 << 20;
constexpr int kMaxDepth = 64;   // guards against links that loop back into their folder
constexpr size_t kHelpers = 3;  // threads besides the caller's for small files

// `listed` carries what the folder listing already said, which saves asking
// the file system once more for every file of a large tree.
bool PlanNode(const std::wstring& source, const std::wstring& targetName, bool toPc, int depth,
              const FolderEntry* listed, CopyNode* node, std::uint64_t* total) {
    node->source = source;
    node->targetName = targetName;
    if (listed) {
        node->folder = listed->folder;
        node->size = listed->size;
    } else {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(source.c_str(), GetFileExInfoStandard, &data)) {
            node->unreadable = true;
            return false;
        }
        node->folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        node->size = node->folder ? 0 : (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    if (!node->folder) {
        *total += node->size;
        return true;
    }
    std::vector<FolderEntry> entries;
    if (depth >= kMaxDepth || !ListFolder(source, &entries)) {
        node->unreadable = true;
        return true;
    }
    for (const FolderEntry& e : entries) {
        if (IsPartialName(e.name)) continue;
        CopyNode child;
        if (e.address.empty()) {
            child.targetName = e.name;
            child.unreadable = true;
        } else {
            PlanNode(JoinPath(source, e.address), toPc ? PcSafeName(e.name) : e.name, toPc, depth + 1, &e, &child,
                     total);
        }
        node->children.push_back(std::move(child));
    }
    return true;
}

}  // namespace

std::wstring PartialName() {
    static std::atomic<unsigned> counter{0};
    return std::wstring(kPartialPrefix) + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) +
           L".part";
}

void DiscardOpenFile(HANDLE file) {
    FILE_DISPOSITION_INFO dispose{TRUE};
    ::SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof(dispose));
}

bool PlanCopy(const std::wstring& source, const std::wstring& targetName, bool toPc, CopyNode* node,
              std::uint64_t* total) {
    return PlanNode(source, targetName, toPc, 0, nullptr, node, total);
}

bool RenameOpenFile(HANDLE file, const std::wstring& newPath, bool replace) {
    std::wstring native = NativePath(newPath);
    if (native.empty()) return false;
    std::vector<unsigned char> block(sizeof(FILE_RENAME_INFO) + native.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(block.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(native.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, native.data(), info->FileNameLength);
    return ::SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(block.size())) != 0;
}

ProgressMeter::ProgressMeter(ProgressCallback callback, std::uint64_t totalBytes, ProgressUnit unit)
    : callback_(callback), unit_(unit), total_(totalBytes) {
    while ((total_ >> shift_) > static_cast<std::uint64_t>(INT_MAX)) ++shift_;
    Report(true);
}

int ProgressMeter::Units(std::uint64_t bytes, bool roundUp) const {
    if (unit_ == ProgressUnit::KiB) return roundUp ? KiBRoundedUp(bytes) : KiBRoundedDown(bytes);
    return static_cast<int>(bytes >> shift_);
}

void ProgressMeter::Advance(std::uint64_t bytes) { done_ += bytes; }

std::uint64_t ProgressMeter::DoneBytes() const {
    std::uint64_t done = done_;
    return done > total_ ? total_ : done;  // a file that grew while it was copied
}

void ProgressMeter::Finish() {
    done_ = total_;
    if (lastDone_ != Units(total_, true)) Report(true);
}

void ProgressMeter::Report(bool force) {
    if (!callback_) return;
    ULONGLONG now = ::GetTickCount64();
    const std::uint64_t doneBytes = DoneBytes();
    int total = Units(total_, true);
    int done = doneBytes == total_ ? total : Units(doneBytes, false);
    // Often enough for a smooth bar, rarely enough that thousands of small
    // files do not flood the window with messages.
    if (!force && (done == lastDone_ || (now - lastTick_ < 50 && doneBytes - lastDoneBytes_ < (1u << 20)))) return;
    lastDoneBytes_ = doneBytes;
    lastTick_ = now;
    lastDone_ = done;
    // The program's function returns whether its message was posted; that
    // says nothing about the copy, so the answer is not used.
    callback_(total, done);
}

CopyEngine::CopyEngine(ProgressMeter* meter, std::function<bool()> present)
    : meter_(meter), present_(std::move(present)) {}

bool CopyEngine::StillPresent(bool force) {
    // Asking costs a trip through the file system; once per MiB or per 100 ms
    // keeps a tree of small files fast and still stops a copy at once.
    ULONGLONG now = ::GetTickCount64();
    if (!force && now - lastCheck_ < 100) return true;
    lastCheck_ = now;
    if (present_()) return true;
    aborted_ = true;
    return false;
}

void CopyEngine::Skip(const CopyNode& node) {
    meter_->Advance(node.size);
    for (const CopyNode& child : node.children) Skip(child);
}

void CopyEngine::Prepare(const CopyNode& node, const std::wstring& targetFolder) {
    if (aborted_ || !StillPresent(false)) return;
    if (node.unreadable && !node.folder) {
        Skip(node);
        Fail();
        return;
    }
    if (!node.folder) {
        (node.size > kChunk ? large_ : small_).push_back({&node, targetFolder});
        return;
    }
    std::wstring made;
    if (!MakeFolder(targetFolder, node.targetName, &made)) {
        Skip(node);
        Fail();
        return;
    }
    if (node.unreadable) Fail();
    for (const CopyNode& child : node.children) Prepare(child, made);
}

void CopyEngine::DrainSmall(std::vector<char>* buffer, bool reporting) {
    for (size_t i; !aborted_ && (i = nextSmall_++) < small_.size();) {
        if (!CopyFile(small_[i], buffer, reporting)) Fail();
        if (reporting) meter_->Poll();
    }
}

bool CopyEngine::Run(const std::vector<CopyNode>& nodes, const std::wstring& targetFolder) {
    for (const CopyNode& node : nodes) Prepare(node, targetFolder);
    if (aborted_) return false;
    std::vector<std::thread> helpers;
    const size_t helpersWanted = std::min<size_t>(kHelpers, small_.size() / 8);
    for (size_t i = 0; i < helpersWanted; ++i) {
        try {
            helpers.emplace_back([this] {
                std::vector<char> buffer;
                DrainSmall(&buffer, false);
            });
        } catch (...) {
            break;  // no thread to be had: the calling thread does the work alone
        }
    }
    std::vector<char> buffer;
    for (const FileJob& job : large_) {
        if (aborted_) break;
        if (!CopyFile(job, &buffer, true)) Fail();
    }
    DrainSmall(&buffer, true);
    for (std::thread& helper : helpers) helper.join();
    return !aborted_ && !failed_;
}

bool CopyEngine::MakeFolder(const std::wstring& targetFolder, const std::wstring& name, std::wstring* made) {
    for (int n = 1; n < 10000; ++n) {
        *made = JoinPath(targetFolder, n == 1 ? name : NumberedName(name, n, true));
        if (::CreateDirectoryW(made->c_str(), nullptr)) return true;
        DWORD attrs = Attributes(*made);
        if (attrs == INVALID_FILE_ATTRIBUTES) return false;  // not a name clash
        if (attrs & FILE_ATTRIBUTE_DIRECTORY) return true;   // merge into it
    }
    return false;
}

bool CopyEngine::CopyFile(const FileJob& job, std::vector<char>* buffer, bool reporting) {
    const CopyNode& node = *job.node;
    if (!StillPresent(false)) return false;
    platform::UniqueFile source(::CreateFileW(node.source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source) {
        Skip(node);
        return false;
    }
    const std::wstring partialPath = JoinPath(job.folder, PartialName());
    platform::UniqueFile target(::CreateFileW(partialPath.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!target) {
        Skip(node);
        return false;
    }
    if (buffer->empty()) buffer->resize(kChunk);
    std::uint64_t copied = 0;
    bool ok = true;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(source.get(), buffer->data(), kChunk, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        DWORD written = 0;
        if (!::WriteFile(target.get(), buffer->data(), got, &written, nullptr) || written != got) {
            ok = false;
            break;
        }
        copied += got;
        meter_->Advance(got);
        if (reporting) meter_->Poll();
        if (!StillPresent(got == kChunk)) {
            ok = false;
            break;
        }
    }
    if (ok) {
        FILETIME created, accessed, lastWrite;
        if (::GetFileTime(source.get(), &created, &accessed, &lastWrite))
            ::SetFileTime(target.get(), nullptr, nullptr, &lastWrite);
        ok = false;
        for (int n = 1; n < 10000 && !ok; ++n) {
            std::wstring finalPath =
                JoinPath(job.folder, n == 1 ? node.targetName : NumberedName(node.targetName, n, false));
            ok = RenameOpenFile(target.get(), finalPath);
            if (!ok && Attributes(finalPath) == INVALID_FILE_ATTRIBUTES) break;  // a real failure, not a clash
        }
    }
    if (ok) return true;
    if (copied < node.size) meter_->Advance(node.size - copied);
    DiscardOpenFile(target.get());
    target.reset();
    // Wine forgets a delete-on-close whose folder was moved away meanwhile.
    if (Attributes(partialPath) != INVALID_FILE_ATTRIBUTES) ::DeleteFileW(partialPath.c_str());
    if (aborted_ || Attributes(partialPath) != INVALID_FILE_ATTRIBUTES) {
        std::lock_guard<std::mutex> lock(orphansLock_);
        orphans_.push_back(partialPath);
    }
    return false;
}

}  // namespace handset
