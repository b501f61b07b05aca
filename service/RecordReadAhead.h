#pragma once
// Reads the log ahead of a client that reads it in order, as the viewer's loader does: on a
// thread and a database connection of its own, the chunks after the last one asked for are read
// while the client is busy with that one or pauses, and the next requests are answered from
// memory. Whoever serves the requests tells it when the log has changed; what was read before
// the change is never handed out after it.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "service/RecordChunk.h"

class RecordReadAhead {
public:
    // Three runs of the loader's requests at most. The worker fills up to that once no more than
    // two are left, so that it reads while the client pauses, not while it asks.
    static constexpr std::size_t kMaxChunks = 66;
    static constexpr std::size_t kRefillAt = 44;
    static constexpr std::size_t kMaxBytes = 8 * 1024 * 1024;  // whatever the records' sizes

    explicit RecordReadAhead(std::unique_ptr<LogStore> store);
    ~RecordReadAhead();
    RecordReadAhead(const RecordReadAhead&) = delete;
    RecordReadAhead& operator=(const RecordReadAhead&) = delete;

    // The chunk read ahead for a request at `position` for `maxCount` records in `room` bytes,
    // if there is one; when it is the next to be read, it is waited for. Chunks before it are
    // dropped.
    bool Take(std::uint64_t position, std::uint32_t maxCount, std::uint32_t room, RecordChunk& chunk);
    // A client read up to `next`: read on from there, unless that is already under way.
    void ReadFrom(std::uint64_t next, std::uint32_t maxCount, std::uint32_t room);
    // The log changed: everything read so far, or being read, is dropped, and nothing more is
    // read until the next ReadFrom.
    void Forget();

private:
    void Run();
    bool Full() const;  // with mutex_ held

    std::unique_ptr<LogStore> store_;  // the worker's only

    // Guarded by mutex_.
    mutable std::mutex mutex_;
    std::condition_variable wanted_;  // the worker waits for something to read
    std::condition_variable added_;   // a request waits for the chunk being read
    std::map<std::uint64_t, RecordChunk> chunks_;  // by position, all after the last one taken
    std::size_t bytes_ = 0;                        // in chunks_
    std::uint64_t next_ = 0;                       // the position the worker reads next
    std::uint32_t maxCount_ = 0, room_ = 0;        // what the chunks were read for
    bool active_ = false;                          // reading on from next_, not yet at the end
    bool filling_ = false;                         // the worker reads until full
    std::uint64_t generation_ = 0;                 // one more at every Forget or new start
    bool stop_ = false;

    std::thread worker_;
};
