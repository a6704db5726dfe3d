// TransferRunner: planning and running a whole job between two sides.
#include "outside/handset/TransferRunner.h"

#include <windows.h>

#include <algorithm>

#include "outside/handset/DevicePaths.h"

namespace handset {

namespace {

constexpr std::size_t kChunk = 1 << 20;
// Without identities (a side that cannot tell), depth alone ends a loop.
constexpr int kMaxDepth = 64;
constexpr std::uint64_t kTwoSeconds = 2ull * 10000000ull;  // FILETIME ticks
constexpr std::uint64_t kPresenceEveryMs = 100;
// Files up to one chunk go to the helpers; for fewer files in a job, opening
// the helpers' connections costs more than it saves.
constexpr std::uint64_t kSmallFile = kChunk;
constexpr std::uint64_t kHelpersFrom = 16;

class KeepBothSink final : public ITransferSink {
public:
    bool OnProgress(const TransferProgress&) override { return true; }
    TransferClashChoice OnClash(const TransferClash&) override { return TransferClashChoice::KeepBoth; }
    void OnItemFailed(const wchar_t*, TransferError) override {}
};

std::wstring Folded(const std::wstring& path) {
    std::wstring folded = path;
    if (!folded.empty()) ::CharLowerBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

bool Identical(const SideEntry& target, std::uint64_t size, std::uint64_t modified) {
    if (target.folder || target.size != size || !modified || !target.modified) return false;
    const std::uint64_t gap = modified > target.modified ? modified - target.modified : target.modified - modified;
    return gap <= kTwoSeconds;
}

}  // namespace

ITransferSink& QuietSink() {
    static KeepBothSink sink;
    return sink;
}

TransferRunner::TransferRunner(std::unique_ptr<ITransferSide> from, std::unique_ptr<ITransferSide> to,
                               const std::vector<TransferItem>& items, const std::wstring& targetFolder)
    : from_(std::move(from)), to_(std::move(to)), targetFolder_(targetFolder) {
    std::set<std::string> seen;
    for (const TransferItem& item : items) {
        Node node;
        node.source = item.source;
        node.name = item.name;
        SideEntry entry;
        if (!from_->Stat(item.source, &entry)) {
            node.missing = true;
        } else {
            node.folder = entry.folder;
            node.size = entry.size;
            node.modified = entry.modified;
            Plan(&node, &seen, 0);
        }
        totals_.files += node.files;
        totals_.bytes += node.bytes;
        nodes_.push_back(std::move(node));
    }
}

void TransferRunner::Plan(Node* node, std::set<std::string>* seen, int depth) {
    if (!node->folder) {
        node->files = 1;
        node->bytes = node->size;
        return;
    }
    ++totals_.folders;
    // A link may lead back to a folder on the way down or to one copied already.
    const std::string identity = from_->FolderIdentity(node->source);
    if (depth >= kMaxDepth || (!identity.empty() && !seen->insert(identity).second)) {
        node->loop = true;
        return;
    }
    std::vector<SideEntry> entries;
    if (!from_->List(node->source, &entries)) {
        node->missing = true;
        return;
    }
    node->children.reserve(entries.size());
    for (SideEntry& entry : entries) {
        Node child;
        child.source = std::move(entry.path);
        child.name = std::move(entry.name);
        child.folder = entry.folder;
        child.size = entry.size;
        child.modified = entry.modified;
        child.missing = child.source.empty();
        if (!child.missing) Plan(&child, seen, depth + 1);
        node->files += child.files;
        node->bytes += child.bytes;
        node->children.push_back(std::move(child));
    }
}

void TransferRunner::Totals(TransferTotals* totals) {
    if (totals) *totals = totals_;
}

TransferOutcome TransferRunner::Run(ITransferSink* sink) {
    if (ran_) return TransferOutcome::Failed;
    ran_ = true;
    sink_ = sink ? sink : &QuietSink();
    progress_.bytesTotal = totals_.bytes;
    progress_.filesTotal = totals_.files;
    if (totals_.files >= kHelpersFrom) {
        helpers_ = std::make_unique<ParallelCopies>(*from_, *to_);
        if (!helpers_->Ready()) helpers_.reset();
    }
    if (Report(nullptr) && CheckPresent(true)) {
        for (const Node& node : nodes_) {
            if (Stopped()) break;
            CopyNode(node, targetFolder_, false);
        }
        if (!Stopped()) Settle();
    }
    if (helpers_) {
        helpers_->Stop();
        Harvest();
        helpers_.reset();
    }
    // Also after a stop: what the helpers put in place meanwhile is counted.
    Report(nullptr);
    if (cancelled_) return TransferOutcome::Cancelled;
    if (removed_) return TransferOutcome::DeviceRemoved;
    return failed_ ? TransferOutcome::Failed : TransferOutcome::Completed;
}

void TransferRunner::Harvest() {
    if (!helpers_) return;
    std::uint64_t files = 0, bytes = 0;
    std::vector<ParallelCopies::Task> again;
    helpers_->Take(&files, &bytes, &again);
    progress_.filesDone += files;
    progress_.bytesDone += bytes;
    for (ParallelCopies::Task& task : again) again_.push_back(std::move(task));
}

void TransferRunner::Settle() {
    if (!helpers_) return;
    helpers_->Drain([this] { return Report(current_) && CheckPresent(false); });
    Harvest();
    std::vector<ParallelCopies::Task> again;
    again.swap(again_);
    for (const ParallelCopies::Task& task : again) {
        if (Stopped()) return;
        // Here, as any file: a clash is asked about, a failure is named with its reason.
        CopyFile(*task.node, task.folder, false, false);
    }
}

bool TransferRunner::Report(const Node* file) {
    Harvest();
    if (file) shownName_ = from_->Shown(file->source);
    progress_.currentName = file ? shownName_.c_str() : nullptr;
    const bool go = sink_->OnProgress(progress_);
    if (!go) cancelled_ = true;
    progress_.currentName = nullptr;
    return go && !cancelled_;
}

bool TransferRunner::CheckPresent(bool force) {
    const std::uint64_t now = ::GetTickCount64();
    if (!force && now - lastPresence_ < kPresenceEveryMs) return !removed_;
    lastPresence_ = now;
    if (!from_->Present() || !to_->Present()) removed_ = true;
    return !removed_;
}

void TransferRunner::PassOver(const Node& node, bool skipped) {
    progress_.filesDone += node.files;
    progress_.bytesDone += node.bytes;
    progress_.bytesPassedOver += node.bytes;
    (skipped ? progress_.filesSkipped : progress_.filesFailed) += node.files;
}

void TransferRunner::Fail(const Node& node, TransferError why) {
    // A failure that comes from a vanished device is the removal, not the item.
    if (!CheckPresent(true)) return;
    // A link left out is named, but the copy of everything else is complete.
    if (why != TransferError::LinkLeftOut) failed_ = true;
    PassOver(node, false);
    const std::wstring shown = node.source.empty() ? node.name : from_->Shown(node.source);
    sink_->OnItemFailed(shown.c_str(), why);
}

void TransferRunner::CopyNode(const Node& node, const std::wstring& targetFolder, bool fresh) {
    if (node.loop) {
        Fail(node, TransferError::LinkLeftOut);
    } else if (node.missing) {
        Fail(node, TransferError::Unreadable);
    } else if (node.folder) {
        CopyFolder(node, targetFolder, fresh);
    } else {
        CopyFile(node, targetFolder, fresh, true);
    }
}

TransferClashChoice TransferRunner::Ask(const Node& node, const std::wstring& path, const SideEntry& existing) {
    const std::wstring source = from_->Shown(node.source), target = to_->Shown(path);
    TransferClash clash;
    clash.sourcePath = source.c_str();
    clash.targetPath = target.c_str();
    clash.sourceBytes = node.folder ? 0 : node.size;
    clash.targetBytes = existing.folder ? 0 : existing.size;
    clash.sourceModified = node.modified;
    clash.targetModified = existing.modified;
    clash.identical = !node.folder && Identical(existing, node.size, node.modified);
    return sink_->OnClash(clash);
}

bool TransferRunner::Exists(const std::wstring& path, bool fresh, SideEntry* existing) {
    const std::wstring key = Folded(path);
    if (fresh && !placed_.count(key)) return false;
    // A helper may be putting an entry of this name in place right now.
    if (placed_.count(key) && helpers_ && !helpers_->Idle()) Settle();
    return to_->Lookup(path, existing);
}

void TransferRunner::CopyFolder(const Node& node, const std::wstring& targetFolder, bool fresh) {
    const std::wstring name = to_->StoredName(node.name);
    std::wstring path = to_->Join(targetFolder, name);
    SideEntry existing;
    bool made = false;
    if (Exists(path, fresh, &existing)) {
        // Folders merge; a file of that name is never replaced by a folder.
        if (!existing.folder) {
            if (Ask(node, path, existing) == TransferClashChoice::Skip) {
                PassOver(node, true);
                return;
            }
            path = to_->Join(targetFolder, FreeName(targetFolder, name, true));
            made = to_->MakeFolder(path);
            if (!made) return Fail(node, to_->LastError());
        }
    } else {
        made = to_->MakeFolder(path);
        if (!made) return Fail(node, to_->LastError());
    }
    placed_.insert(Folded(path));
    for (const Node& child : node.children) {
        if (Stopped() || !CheckPresent(false)) return;
        CopyNode(child, path, made);
    }
    // After the children, whose arrival changed it; a merged folder keeps its own date.
    if (made && node.modified && !Stopped()) {
        Settle();
        if (!Stopped()) to_->SetFolderTime(path, node.modified);
    }
}

std::wstring TransferRunner::FreeName(const std::wstring& folder, const std::wstring& name, bool isFolder) {
    SideEntry unused;
    for (int n = 2; n < 10000; ++n) {
        std::wstring candidate = NumberedName(name, n, isFolder);
        if (!to_->Lookup(to_->Join(folder, candidate), &unused)) return candidate;
    }
    return name;
}

void TransferRunner::CopyFile(const Node& node, const std::wstring& targetFolder, bool fresh, bool helped) {
    current_ = &node;
    if (!Report(&node)) return;
    const std::wstring name = to_->StoredName(node.name);
    std::wstring path = to_->Join(targetFolder, name);
    bool replace = false;
    SideEntry existing;
    if (Exists(path, fresh, &existing)) {
        TransferClashChoice choice = Ask(node, path, existing);
        if (choice == TransferClashChoice::SkipIdentical)
            choice = Identical(existing, node.size, node.modified) ? TransferClashChoice::Skip
                                                                    : TransferClashChoice::KeepBoth;
        // A folder is never replaced by a file: both are kept.
        if (choice == TransferClashChoice::Replace && existing.folder) choice = TransferClashChoice::KeepBoth;
        switch (choice) {
            case TransferClashChoice::Skip:
                PassOver(node, true);
                return;
            case TransferClashChoice::Replace:
                replace = true;
                break;
            default:
                path = to_->Join(targetFolder, FreeName(targetFolder, name, false));
                break;
        }
    }
    placed_.insert(Folded(path));
    // A small file to a free name: a helper copies it while this thread goes on.
    if (helpers_ && helped && !replace && node.size <= kSmallFile) {
        helpers_->Add({&node, path, targetFolder, fresh}, [this] { return Report(current_) && CheckPresent(false); });
        return;
    }
    WriteFile(node, path, replace, targetFolder);
}

void TransferRunner::WriteFile(const Node& node, const std::wstring& finalPath, bool replace,
                               const std::wstring& folder) {
    std::unique_ptr<ISideReader> reader = from_->OpenRead(node.source);
    if (!reader) return Fail(node, TransferError::Unreadable);
    std::unique_ptr<ISideWriter> writer = to_->CreateTemporary(folder);
    if (!writer) return Fail(node, to_->LastError());
    if (buffer_.empty()) buffer_.resize(kChunk);
    std::uint64_t copied = 0;
    std::uint64_t counted = 0;  // of node.size; a file that grew since it was planned counts only that
    for (;;) {
        std::size_t got = 0;
        const char* bytes = nullptr;
        if (!reader->ReadChunk(buffer_.data(), buffer_.size(), &bytes, &got)) {
            writer.reset();
            progress_.bytesDone -= counted;
            return Fail(node, TransferError::Unreadable);
        }
        if (got == 0) break;
        if (!writer->Write(bytes, got)) {
            const TransferError why = to_->LastError();
            writer.reset();
            progress_.bytesDone -= counted;
            return Fail(node, why);
        }
        const std::uint64_t more = std::min<std::uint64_t>(got, node.size - counted);
        copied += got;
        counted += more;
        progress_.bytesDone += more;
        // The writer goes out of scope on a stop and takes the unfinished file with it, and its bytes.
        if (got == kChunk && (!Report(&node) || !CheckPresent(true))) {
            progress_.bytesDone -= counted;
            return;
        }
    }
    // Nothing is put in place once either side has gone.
    if (!CheckPresent(true)) return;
    bool ok = writer->Commit(finalPath, node.modified, replace);
    // Someone took the numbered name meanwhile: the next free one.
    for (int retry = 0; !ok && !replace && retry < 3 && CheckPresent(true); ++retry)
        ok = writer->Commit(to_->Join(folder, FreeName(folder, to_->StoredName(node.name), false)), node.modified,
                            false);
    if (!ok) {
        const TransferError why = to_->LastError();
        writer.reset();
        progress_.bytesDone -= counted;
        return Fail(node, why);
    }
    progress_.bytesDone += node.size - counted;
    ++progress_.filesDone;
}

namespace {

// The plain progress function of the copy slots, fed by a job's progress.
class PlainSink final : public ITransferSink {
public:
    PlainSink(ProgressCallback progress, std::uint64_t total, ProgressUnit unit) : meter_(progress, total, unit) {}
    bool OnProgress(const TransferProgress& progress) override {
        if (progress.bytesDone > reported_) meter_.Advance(progress.bytesDone - reported_);
        reported_ = progress.bytesDone > reported_ ? progress.bytesDone : reported_;
        meter_.Poll();
        return true;
    }
    // The copy slots cannot ask: a file whose name is taken gets a numbered name.
    TransferClashChoice OnClash(const TransferClash&) override { return TransferClashChoice::KeepBoth; }
    void OnItemFailed(const wchar_t*, TransferError) override {}
    void Finish() { meter_.Finish(); }

private:
    ProgressMeter meter_;
    std::uint64_t reported_ = 0;
};

}  // namespace

bool RunWithPlainProgress(ITransferJob* job, ProgressCallback progress, ProgressUnit unit) {
    if (!job) return false;
    TransferTotals totals;
    job->Totals(&totals);
    PlainSink sink(progress, totals.bytes, unit);
    const TransferOutcome outcome = job->Run(&sink);
    job->Release();
    if (outcome != TransferOutcome::Completed) return false;
    sink.Finish();
    return true;
}

}  // namespace handset
