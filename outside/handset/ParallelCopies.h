// Small files of a transfer job, copied on a few helper threads. For a small
// file the cost is waiting (on the handset's answers, on the file system), not
// moving bytes, so several at once finish sooner. Each helper has its own pair
// of sides and so its own connections. Helpers only copy and count: questions,
// failures and progress stay with the job's thread, which takes the counts and
// the files they could not finish from here.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "outside/handset/TransferSide.h"

namespace handset {

struct TransferNode;

class ParallelCopies {
public:
    // A file that met no clash: put at `finalPath` whole, and only if nothing
    // is there by then.
    struct Task {
        const TransferNode* node = nullptr;
        std::wstring finalPath;
        std::wstring folder;
        bool fresh = false;  // the job made the folder
    };
    // Called while the job's thread waits; false stops the waiting.
    using Tick = std::function<bool()>;

    // Not Ready() when a side cannot be used from another thread.
    ParallelCopies(ITransferSide& from, ITransferSide& to);
    ~ParallelCopies();
    ParallelCopies(const ParallelCopies&) = delete;
    ParallelCopies& operator=(const ParallelCopies&) = delete;

    bool Ready() const { return !sides_.empty(); }
    // Queues a copy, waiting while the queue is full; false when `tick` stopped the wait.
    bool Add(Task task, const Tick& tick);
    // Waits until every queued copy has ended, or `tick` says stop.
    void Drain(const Tick& tick);
    // Drops what is queued; copies under way are abandoned before they are put
    // in place (their temporary files removed). Waits for the helpers to settle.
    void Stop();
    bool Idle();
    // Files and bytes put in place since the last call, and the files the job's
    // thread must copy itself: their names were taken meanwhile, or something
    // failed here (a helper's own connection included), so that thread finds
    // out why and reports it.
    void Take(std::uint64_t* files, std::uint64_t* bytes, std::vector<Task>* again);

private:
    enum class Outcome { Copied, Again, Abandoned };
    void Help(ITransferSide* from, ITransferSide* to);
    // Reads the tasks' files whole, then writes them all at once.
    void CopyBatch(ITransferSide& from, ITransferSide& to, const std::vector<Task>& tasks, std::vector<char>* buffer,
                   std::vector<Outcome>* outcomes);
    // Waits for `done` under the lock, calling `tick` without it every 100 ms.
    bool WaitFor(const std::function<bool()>& done, const Tick& tick);

    std::vector<std::unique_ptr<ITransferSide>> sides_;  // from, to, from, to, ...
    std::vector<std::thread> helpers_;
    std::mutex mutex_;  // guards everything below
    std::condition_variable work_;   // a task queued, or quitting
    std::condition_variable ended_;  // a task ended
    std::deque<Task> queue_;
    int running_ = 0;
    std::atomic<bool> stop_{false};  // also read by helpers while they copy
    bool quit_ = false;
    std::uint64_t files_ = 0;
    std::uint64_t bytes_ = 0;
    std::vector<Task> again_;
};

}  // namespace handset
