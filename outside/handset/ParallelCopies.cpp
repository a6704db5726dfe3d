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

void ParallelCopies::Take(std::uint64_t* files, std::uint64_t* bytes, std::vector<Task>* again) {
    std::lock_guard<std::mutex> lock(mutex_);
    *files = files_;
    *bytes = bytes_;
    files_ = bytes_ = 0;
    again->swap(again_);
    again_.clear();
}

void ParallelCopies::Help(ITransferSide* from, ITransferSide* to) {
    std::vector<char> buffer;
    for (;;) {
        std::vector<Task> tasks;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            work_.wait(lock, [this] { return quit_ || !queue_.empty(); });
            if (queue_.empty()) return;
            // A few at once when there are: the handset takes them in a few round trips.
            while (!queue_.empty() && tasks.size() < kBatch) {
                tasks.push_back(std::move(queue_.front()));
                queue_.pop_front();
            }
            running_ += static_cast<int>(tasks.size());
        }
        std::vector<Outcome> outcomes(tasks.size(), Outcome::Abandoned);
        if (!stop_) CopyBatch(*from, *to, tasks, &buffer, &outcomes);
        std::lock_guard<std::mutex> lock(mutex_);
        running_ -= static_cast<int>(tasks.size());
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            if (outcomes[i] == Outcome::Copied) {
                ++files_;
                bytes_ += tasks[i].node->size;
            } else if (outcomes[i] == Outcome::Again) {
                again_.push_back(std::move(tasks[i]));
            }
        }
        ended_.notify_all();
    }
}

void ParallelCopies::CopyBatch(ITransferSide& from, ITransferSide& to, const std::vector<Task>& tasks,
                               std::vector<char>* buffer, std::vector<Outcome>* outcomes) {
    std::vector<std::wstring> sources;
    for (const Task& task : tasks) sources.push_back(task.node->source);
    std::vector<std::unique_ptr<ISideReader>> readers =
        tasks.size() > 1 ? from.OpenReadMany(sources)
                         : [&] {
                               std::vector<std::unique_ptr<ISideReader>> one;
                               one.push_back(from.OpenRead(sources[0]));
                               return one;
                           }();
    if (buffer->empty()) buffer->resize(kChunk);
    std::vector<SmallFile> files;
    std::vector<std::size_t> of;  // the task of each file
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        // Readers opened together are finished in order, also those left unread.
        std::unique_ptr<ISideReader> reader = i < readers.size() ? std::move(readers[i]) : nullptr;
        if (stop_) continue;
        if (!reader) {
            (*outcomes)[i] = Outcome::Again;
            continue;
        }
        SmallFile file;
        bool read = true;
        for (std::size_t got = 1; got > 0 && read;) {
            read = reader->Read(buffer->data(), buffer->size(), &got);
            // A file that grew past what a helper holds, or that could not be read here, is
            // copied again by the job's thread.
            if (read && file.bytes.size() + got > kChunk) read = false;
            if (read) file.bytes.append(buffer->data(), got);
        }
        if (!read) {
            (*outcomes)[i] = Outcome::Again;
            continue;
        }
        file.folder = tasks[i].folder;
        file.finalPath = tasks[i].finalPath;
        file.modified = tasks[i].node->modified;
        file.fresh = tasks[i].fresh;
        files.push_back(std::move(file));
        of.push_back(i);
    }
    if (stop_ || files.empty()) return;
    // Nothing is put in place once a side has gone; the job's thread tells a
    // removal from a failure of these files.
    if (!from.Present() || !to.Present()) {
        for (std::size_t i : of) (*outcomes)[i] = Outcome::Again;
        return;
    }
    to.WriteMany(&files);
    for (std::size_t k = 0; k < files.size(); ++k) {
        const std::size_t i = of[k];
        (*outcomes)[i] = files[k].placed ? Outcome::Copied : Outcome::Again;
    }
}

}  // namespace handset
