// A whole-job transfer between two sides of any backend: planned at once,
// run once with a sink that may stop it and answers name clashes.
#pragma once
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "outside/handset/FileCopy.h"
#include "outside/handset/ParallelCopies.h"
#include "outside/handset/TransferSide.h"
#include "shuttle/IHandsetTransfer.h"

namespace handset {

// What the user asked to copy: a source path and the name it has there.
struct TransferItem {
    std::wstring source;
    std::wstring name;
};

// One planned entry: a file, or a folder with what it holds.
struct TransferNode {
    std::wstring source;
    std::wstring name;
    bool folder = false;
    bool missing = false;  // could not be read while planning
    bool loop = false;     // a link to a folder met before: left out
    std::uint64_t size = 0;
    std::uint64_t modified = 0;
    std::uint64_t files = 0;  // in the subtree, this node included
    std::uint64_t bytes = 0;
    std::vector<TransferNode> children;
};

class TransferRunner final : public ITransferJob {
public:
    // Plans at once: walks every source folder, following links but never into
    // a folder already met.
    TransferRunner(std::unique_ptr<ITransferSide> from, std::unique_ptr<ITransferSide> to,
                   const std::vector<TransferItem>& items, const std::wstring& targetFolder);
    TransferRunner(const TransferRunner&) = delete;
    TransferRunner& operator=(const TransferRunner&) = delete;

    void Totals(TransferTotals* totals) override;
    TransferOutcome Run(ITransferSink* sink) override;
    void Release() override { delete this; }

private:
    using Node = TransferNode;

    ~TransferRunner() = default;
    void Plan(Node* node, std::set<std::string>* seen, int depth);
    // `fresh`: the target folder was made by this job, so only what the job
    // put there can be in the way.
    void CopyNode(const Node& node, const std::wstring& targetFolder, bool fresh);
    void CopyFolder(const Node& node, const std::wstring& targetFolder, bool fresh);
    // `helped`: a small file may go to a helper.
    void CopyFile(const Node& node, const std::wstring& targetFolder, bool fresh, bool helped);
    // Whether an entry may stand at `path`: asked of the target, unless the
    // folder is fresh and the job has put nothing of that name there.
    bool Exists(const std::wstring& path, bool fresh, SideEntry* existing);
    // Waits for the helpers' copies and finishes what they left to this thread.
    void Settle();
    // Takes the helpers' counts and failures into the job's progress.
    void Harvest();
    void WriteFile(const Node& node, const std::wstring& finalPath, bool replace, const std::wstring& folder);
    TransferClashChoice Ask(const Node& node, const std::wstring& path, const SideEntry& existing);
    // The first free "name (n)" in a folder.
    std::wstring FreeName(const std::wstring& folder, const std::wstring& name, bool isFolder);
    // The whole subtree counts as done: skipped by choice, or failed.
    void PassOver(const Node& node, bool skipped);
    void Fail(const Node& node, TransferError why);
    // Tells the sink where the job stands (`file` in flight, or none); false once it asked to stop.
    bool Report(const Node* file);
    bool Stopped() const { return cancelled_ || removed_; }
    // Asks both sides, at most every 100 ms unless forced; false once one has gone.
    bool CheckPresent(bool force);

    std::unique_ptr<ITransferSide> from_;
    std::unique_ptr<ITransferSide> to_;
    std::wstring targetFolder_;
    std::vector<Node> nodes_;
    TransferTotals totals_;
    ITransferSink* sink_ = nullptr;
    TransferProgress progress_;
    std::vector<char> buffer_;
    std::unique_ptr<ParallelCopies> helpers_;
    std::vector<ParallelCopies::Task> again_;  // for this thread, left by the helpers
    std::unordered_set<std::wstring> placed_;  // final paths given out, case folded
    const Node* current_ = nullptr;
    std::wstring shownName_;
    std::uint64_t lastPresence_ = 0;
    bool cancelled_ = false;
    bool removed_ = false;
    bool failed_ = false;
    bool ran_ = false;
};

// A sink that keeps both names and never stops, for a null sink.
ITransferSink& QuietSink();

// Runs a job for a copy slot: name clashes keep both, progress goes to the
// plain function in `unit`; true when everything arrived. Releases the job.
bool RunWithPlainProgress(ITransferJob* job, ProgressCallback progress, ProgressUnit unit);

}  // namespace handset
