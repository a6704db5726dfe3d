// ParallelCopies: small files of a job on helper threads.
#include "outside/handset/ParallelCopies.h"

#include <chrono>
#include <system_error>

#include "outside/handset/TransferRunner.h"

namespace handset {

namespace {

// Enough to keep the handset's answers coming while others are on the way;
// more only adds connections.
constexpr int kHelpers = 3;
constexpr std::size_t kBatch = 8;
constexpr std::size_t kQueued = kHelpers * kBatch;
constexpr std::size_t kChunk = 1 << 20;

}  // namespace

ParallelCopies::ParallelCopies(ITransferSide& from, ITransferSide& to) {
    for (int i = 0; i < kHelpers; ++i) {
        std::unique_ptr<ITransferSide> f = from.Fork(), t = to.Fork();
        if (!f || !t) break;
        sides_.push_back(std::move(f));
        sides_.push_back(std::move(t));
    }
    for (std::size_t i = 0; i + 1 < sides_.size(); i += 2) {
        try {
            helpers_.emplace_back(&ParallelCopies::Help, this, sides_[i].get(), sides_[i + 1].get());
        } catch (const std::system_error&) {
            break;  // fewer helpers, or none: the job's thread copies alone
        }
    }
    if (helpers_.empty()) sides_.clear();
}

ParallelCopies::~ParallelCopies() {
    Stop();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    work_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

bool ParallelCopies::WaitFor(const std::function<bool()>& done, const Tick& tick) {
    using Clock = std::chrono::steady_clock;
    auto nextTick = Clock::now() + std::chrono::milliseconds(100);
    std::unique_lock<std::mutex> lock(mutex_);
    while (!done()) {
        ended_.wait_until(lock, nextTick);
        if (done() || !tick || Clock::now() < nextTick) continue;
        lock.unlock();
        const bool go = tick();
        lock.lock();
        if (!go) return false;
        nextTick = Clock::now() + std::chrono::milliseconds(100);
    }
    return true;
}

bool ParallelCopies::Add(Task task, const Tick& tick) {
    if (!WaitFor([this] { return queue_.size() < kQueued; }, tick)) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(task));
    }
    work_.notify_one();
    return true;
}

void ParallelCopies::Drain(const Tick& tick) {
    WaitFor([this] { return queue_.empty() && running_ == 0; }, tick);
}

void ParallelCopies::Stop() {
    stop_ = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
    }
    Drain(nullptr);
    stop_ = false;
}

bool ParallelCopies::Idle() {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.empty() && running_ == 0;
}

void ParallelCopies::Take(std::uint64_t* files, std::uint64_t* bytes, std::vector<Result>* results) {
    std::lock_guard<std::mutex> lock(mutex_);
    *files = files_;
    *bytes = bytes_;
    files_ = bytes_ = 0;
    results->swap(results_);
    results_.clear();
}

void ParallelCopies::Help(ITransferSide* from, ITransferSide* to) {
    std::vector<char> buffer;
    for (;;) {
        std::vector<Task> tasks;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            work_.wait(lock, [this] { return quit_ || !queue_.empty(); });
            if (queue_.empty()) return;
            // A few at once when there are: their files are opened together.
            while (!queue_.empty() && tasks.size() < kBatch) {
                tasks.push_back(std::move(queue_.front()));
                queue_.pop_front();
            }
            running_ += static_cast<int>(tasks.size());
        }
        std::vector<std::wstring> sources;
        for (const Task& task : tasks) sources.push_back(task.node->source);
        std::vector<std::unique_ptr<ISideReader>> readers;
        if (!stop_ && tasks.size() > 1) readers = from->OpenReadMany(sources);
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            Result result;
            Outcome outcome = Outcome::Abandoned;
            if (!stop_) {
                std::unique_ptr<ISideReader> reader =
                    i < readers.size() ? std::move(readers[i]) : from->OpenRead(tasks[i].node->source);
                outcome = CopyOne(*from, *to, tasks[i], std::move(reader), &buffer, &result.why);
                // One of several that could not be read whole here is tried again alone.
                if (outcome == Outcome::Failed && result.why == TransferError::Unreadable && tasks.size() > 1)
                    outcome = Outcome::Again;
            }
            // Readers opened together are finished in order, also those left unread.
            if (i < readers.size()) readers[i].reset();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                --running_;
                if (outcome == Outcome::Copied) {
                    ++files_;
                    bytes_ += tasks[i].node->size;
                } else if (outcome != Outcome::Abandoned) {
                    result.again = outcome == Outcome::Again;
                    result.task = std::move(tasks[i]);
                    results_.push_back(std::move(result));
                }
            }
            ended_.notify_all();
        }
    }
}

ParallelCopies::Outcome ParallelCopies::CopyOne(ITransferSide& from, ITransferSide& to, const Task& task,
                                                std::unique_ptr<ISideReader> reader, std::vector<char>* buffer,
                                                TransferError* why) {
    const TransferNode& node = *task.node;
    if (!reader) {
        *why = TransferError::Unreadable;
        return Outcome::Failed;
    }
    std::unique_ptr<ISideWriter> writer = to.CreateTemporary(task.folder);
    if (!writer) {
        *why = to.LastError();
        return Outcome::Failed;
    }
    if (buffer->empty()) buffer->resize(kChunk);
    for (;;) {
        if (stop_) return Outcome::Abandoned;  // the writer takes the unfinished file with it
        std::size_t got = 0;
        if (!reader->Read(buffer->data(), buffer->size(), &got)) {
            *why = TransferError::Unreadable;
            return Outcome::Failed;
        }
        if (got == 0) break;
        if (!writer->Write(buffer->data(), got)) {
            *why = to.LastError();
            return Outcome::Failed;
        }
    }
    if (stop_) return Outcome::Abandoned;
    // Nothing is put in place once a side has gone; the job's thread tells a
    // removal from a failure of this one file.
    if (!from.Present() || !to.Present()) {
        *why = TransferError::DeviceRemoved;
        return Outcome::Failed;
    }
    return writer->Commit(task.finalPath, node.modified, false) ? Outcome::Copied : Outcome::Again;
}

}  // namespace handset
