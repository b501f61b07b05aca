#include "service/RecordReadAhead.h"

#include <pthread.h>
#include <signal.h>

#include <chrono>

RecordReadAhead::RecordReadAhead(std::unique_ptr<LogStore> store) : store_(std::move(store)) {
    // The worker takes no signals: a stop signal is for the thread that waits for it, and the
    // worker would die of it instead. A new thread starts with the mask of the one that made it.
    sigset_t all, before;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before);
    worker_ = std::thread([this] { Run(); });
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

RecordReadAhead::~RecordReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wanted_.notify_all();
    added_.notify_all();
    worker_.join();
}

bool RecordReadAhead::Full() const { return chunks_.size() >= kMaxChunks || bytes_ >= kMaxBytes; }

bool RecordReadAhead::Take(std::uint64_t position, std::uint32_t maxCount, std::uint32_t room, RecordChunk& chunk) {
    std::unique_lock lock(mutex_);
    if (maxCount != maxCount_ || room != room_) return false;
    // Chunks before this one will not be asked for again: the client has passed them.
    for (auto it = chunks_.begin(); it != chunks_.end() && it->first < position; it = chunks_.erase(it))
        bytes_ -= it->second.bytes.size();
    // The chunk asked for may be the very next the worker reads: waiting for it costs less than
    // reading it twice. A store that hangs does not hold the request up for long.
    const std::uint64_t generation = generation_;
    added_.wait_for(lock, std::chrono::seconds(1), [&] {
        return stop_ || generation_ != generation || chunks_.contains(position) || !active_ || next_ != position ||
               !filling_;
    });
    auto found = chunks_.find(position);
    const bool taken = found != chunks_.end();
    if (taken) {
        chunk = std::move(found->second);
        bytes_ -= chunk.bytes.size();
        chunks_.erase(found);
    }
    const bool refill = active_ && !filling_ && chunks_.size() <= kRefillAt;
    if (refill) filling_ = true;
    lock.unlock();
    if (refill) wanted_.notify_one();
    return taken;
}

void RecordReadAhead::ReadFrom(std::uint64_t next, std::uint32_t maxCount, std::uint32_t room) {
    {
        std::lock_guard lock(mutex_);
        const bool continues = maxCount == maxCount_ && room == room_ &&
                               (chunks_.contains(next) || (active_ && chunks_.empty() && next_ == next));
        if (continues) return;
        chunks_.clear();
        bytes_ = 0;
        next_ = next;
        maxCount_ = maxCount;
        room_ = room;
        active_ = true;
        filling_ = true;
        ++generation_;
    }
    wanted_.notify_one();
    added_.notify_all();
}

void RecordReadAhead::Forget() {
    {
        std::lock_guard lock(mutex_);
        chunks_.clear();
        bytes_ = 0;
        active_ = false;
        filling_ = false;
        ++generation_;
    }
    added_.notify_all();
}

void RecordReadAhead::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wanted_.wait(lock, [&] { return stop_ || (active_ && filling_); });
        if (stop_) return;
        const std::uint64_t position = next_, generation = generation_;
        const std::uint32_t maxCount = maxCount_, room = room_;
        lock.unlock();
        RecordChunk chunk;
        std::string error;
        const bool read = RecordChunk::Read(*store_, position, maxCount, room, chunk, error);
        lock.lock();
        if (generation == generation_) {
            // At the end of the log, or at a failure, there is nothing more to read ahead: the
            // request that comes there reads for itself, and says what went wrong.
            if (!read || chunk.count <= 0) {
                active_ = false;
            } else {
                next_ = position + static_cast<std::uint64_t>(chunk.count);
                if (static_cast<std::uint32_t>(chunk.count) < maxCount) active_ = false;
                bytes_ += chunk.bytes.size();
                chunks_.emplace(position, std::move(chunk));
            }
            if (Full()) filling_ = false;
        }
        added_.notify_all();
    }
}
