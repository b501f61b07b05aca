#pragma once
// The loader: a thread of the main frame that polls every 100 ms for a reload request, then
// reads the whole Quillbridge log from the service, 50 records a request with a 50 ms pause
// before every 22nd request, decodes each record, keeps those that pass the age and level
// filters, stores their attachments and hands them to the frame.
//
// The requests between two pauses go out one after the other, and their records are handed to
// the frame during the pause that follows: the frame's work then overlaps the pacing instead of
// adding to it, and the service still rests 50 ms between runs of requests.
//
// Every wait of the loader also watches its stop event, so that Stop ends it within
// milliseconds, wherever it is: no thread ever has to be killed.

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "app/LoaderFrame.h"
#include "platform/kernel/UniqueHandle.h"
#include "presentation/LogRecord.h"

class LogLoader {
public:
    // Now as a FILETIME value; the system clock unless a test fixes it.
    using Clock = std::function<std::uint64_t()>;

    static constexpr DWORD kPollMs = 100;
    static constexpr DWORD kPauseMs = 50;
    static constexpr int kRequestsBetweenPauses = 21;
    static constexpr DWORD kStopWaitMs = 1000;  // Stop's one wait before it traces that the loader is late

    // Starts the thread, which polls at once.
    explicit LogLoader(LoaderFrame& frame, Clock now = nullptr);
    ~LogLoader();
    LogLoader(const LogLoader&) = delete;
    LogLoader& operator=(const LogLoader&) = delete;

    // Sets stopRequested, wakes the loader wherever it waits, and returns once it has ended.
    // With `serve`, it is called every few milliseconds until the loader has ended: a thread the
    // loader sends its notices to must go on answering them while it waits, or neither ends.
    void Stop(const std::function<void()>& serve = nullptr);

    // Whether a record of `time` is at most as old as `ageFilter` allows at `now`; one in the
    // future passes only "all".
    static bool AgeFilterAccepts(std::uint64_t time, std::uint32_t ageFilter, std::uint64_t now);
    // Whether `level` is as severe as `levelFilter` asks (codes compared as signed numbers).
    static bool LevelFilterAccepts(std::uint32_t level, std::uint32_t levelFilter);

private:
    // One reply of ReadRecordsRequest, kept until its records are handed over.
    struct Reply {
        MessageBuffer data;
        std::int32_t count = 0;
    };

    int LoaderMain();
    // Reads the log `info` describes and hands its records over, until the end, a failed
    // request, a reload at a pause, a switch to the debug log or the stop.
    void Load(const LogInfo& info);
    bool GetLogInfo(LogInfo& info);
    // Sends one ReadRecordsRequest; the number of records the reply holds, 0 when it failed.
    std::int32_t ReadRecords(std::uint64_t position, Reply& reply);
    // Decodes the reply's records, keeps those the filters pass and hands them to the frame.
    void HandOver(const Reply& reply);
    // One decoded record: filtered, its attachment stored, handed to the frame, progress stepped.
    void Take(const LogRecord& record, std::uint64_t time);
    // Whether the records still go to the Quillbridge log's list.
    bool Handing() const { return !Stopping() && frame_.logKind.load() == QuillbridgeLog; }
    bool Stopping() const { return frame_.stopRequested.load() != 0; }
    // Waits `ms`; false when the stop came first.
    bool Pause(DWORD ms);
    // Waits until `end`; false when the stop came first.
    bool PauseUntil(std::chrono::steady_clock::time_point end);

    LoaderFrame& frame_;
    Clock now_;
    UniqueHandle stopEvent_;
    UniqueHandle endedEvent_;
    LogRecord record_;           // reused for every record
    std::vector<Reply> run_;     // the replies of the requests since the last pause, reused
    std::uint32_t nextKey_ = 0;  // keys of the rows of the current load
    std::thread thread_;
};
