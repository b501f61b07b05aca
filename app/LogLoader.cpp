#include "app/LogLoader.h"

#include <algorithm>

#include "app/RecordReader.h"
#include "channel/Trace.h"
#include "platform/kernel/FileTime.h"
#include "platform/kernel/Synchronization.h"

namespace {

constexpr std::uint64_t kAgeLimitSeconds[] = {86400, 172800, 259200, 604800, 1209600, 2592000};

std::uint64_t SystemNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

}  // namespace

LogLoader::LogLoader(LoaderFrame& frame, Clock now)
    : frame_(frame),
      now_(now ? std::move(now) : Clock(&SystemNow)),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      endedEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_([this] {
          LoaderMain();
          SetEvent(endedEvent_.Get());
      }) {}

LogLoader::~LogLoader() { Stop(); }

void LogLoader::Stop(const std::function<void()>& serve) {
    if (!thread_.joinable()) return;
    frame_.stopRequested = 1;
    SetEvent(stopEvent_.Get());
    // Every wait of the loader watches the stop event, so it ends long before this; should it
    // not, the wait is still joined: ending a thread by force would leave its locks held.
    const DWORD slice = serve ? 5 : kStopWaitMs;
    DWORD waited = 0;
    while (WaitForSingleObject(endedEvent_.Get(), slice) != WAIT_OBJECT_0) {
        waited += slice;
        if (waited >= kStopWaitMs && waited - slice < kStopWaitMs)
            Trace("Log loader did not end within %u ms of its stop.", static_cast<unsigned>(kStopWaitMs));
        if (!serve) break;
        serve();
    }
    thread_.join();
}

bool LogLoader::Pause(DWORD ms) { return WaitForSingleObject(stopEvent_.Get(), ms) != WAIT_OBJECT_0; }

bool LogLoader::PauseUntil(std::chrono::steady_clock::time_point end) {
    // Whole milliseconds watching the stop, then the rest of the last one: rounding the wait up
    // would lengthen every pause by up to a millisecond.
    const auto left = std::chrono::floor<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (!Pause(static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(0, left.count())))) return false;
    std::this_thread::sleep_until(end);
    return !Stopping();
}

bool LogLoader::AgeFilterAccepts(std::uint64_t time, std::uint32_t ageFilter, std::uint64_t now) {
    if (ageFilter >= std::size(kAgeLimitSeconds)) return true;
    const std::uint64_t seconds = (now - time) / kFileTimeTicksPerSecond;  // a future time wraps to a huge age
    return seconds <= kAgeLimitSeconds[ageFilter];
}

bool LogLoader::LevelFilterAccepts(std::uint32_t level, std::uint32_t levelFilter) {
    if (levelFilter != FatalOnly && levelFilter != ErrorAndWorse && levelFilter != WarningAndWorse) return true;
    return static_cast<std::int32_t>(level) <= static_cast<std::int32_t>(levelFilter);
}

int LogLoader::LoaderMain() {
    while (!Stopping()) {
        if (!Pause(kPollMs)) break;
        {
            std::lock_guard lock(frame_.loaderLock);
            if (!frame_.reloadRequested) continue;
            frame_.reloadRequested = 0;
        }
        LogInfo info;
        // A failed request changes nothing: the rows shown keep their attachments.
        if (!GetLogInfo(info)) continue;
        frame_.OnLoadBegin(info.recordCount);
        {
            // Only now that the list is empty: no row is left whose attachment this removes.
            std::lock_guard lock(frame_.loaderLock);
            frame_.attachments.clear();
        }
        nextKey_ = 0;
        Load(info);
        frame_.OnLoadEnd();
    }
    return 0;
}

void LogLoader::Load(const LogInfo& info) {
    std::uint32_t received = 0;
    int runLength = kRequestsBetweenPauses;  // the first run; after each pause one more
    while (received < info.recordCount && Handing()) {
        std::size_t replies = 0;
        bool failed = false;
        while (static_cast<int>(replies) < runLength && received < info.recordCount && Handing()) {
            if (run_.size() == replies) run_.emplace_back();
            const std::int32_t n = ReadRecords(info.firstRecord + received, run_[replies]);
            if (n <= 0) {
                failed = true;
                break;
            }
            received += static_cast<std::uint32_t>(n);
            ++replies;
        }
        const auto pauseEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPauseMs);
        for (std::size_t i = 0; i < replies && Handing(); ++i) HandOver(run_[i]);
        if (failed || received >= info.recordCount) return;
        {
            std::lock_guard lock(frame_.loaderLock);
            if (frame_.reloadRequested) return;  // a reload starts afresh at the next poll
        }
        if (!PauseUntil(pauseEnd)) return;
        runLength = kRequestsBetweenPauses + 1;
    }
}

bool LogLoader::GetLogInfo(LogInfo& info) {
    ServiceChannel* channel = frame_.channel;
    if (channel == nullptr) return false;
    std::int32_t param1 = static_cast<std::int32_t>(frame_.logKind.load()), param2 = 0;
    MessageBuffer data;
    if (channel->SendMsg(LogInfoRequest, param1, param2, data, ServiceChannel::kRequestTimeoutMs, stopEvent_.Get()) !=
        1)
        return false;
    info = LogInfo::Decode(data.Data(), data.Size());
    return true;
}

std::int32_t LogLoader::ReadRecords(std::uint64_t position, Reply& reply) {
    reply.data.Assign(&position, sizeof position);
    reply.count = 0;
    // A load started for the Quillbridge log ends quietly when the user switched to the debug log.
    if (!Handing() || frame_.channel == nullptr) return 0;
    std::int32_t param1 = QuillbridgeLog, param2 = kMaxRecordsPerRequest;
    if (frame_.channel->SendMsg(ReadRecordsRequest, param1, param2, reply.data, ServiceChannel::kRequestTimeoutMs,
                                stopEvent_.Get()) != 1)
        return 0;
    reply.count = param2;
    return param2;
}

void LogLoader::HandOver(const Reply& reply) {
    RecordReader::Read(reply.data.Data(), reply.data.Size(), reply.count, record_,
                       [this](const LogRecord& r, std::uint64_t time) { Take(r, time); });
}

void LogLoader::Take(const LogRecord& r, std::uint64_t time) {
    if (!Handing()) return;
    if (AgeFilterAccepts(time, frame_.ageFilter.load(std::memory_order_relaxed), now_()) &&
        LevelFilterAccepts(r.level, frame_.levelFilter.load(std::memory_order_relaxed))) {
        const std::uint32_t key = nextKey_++;
        if (!r.attachedData.bytes.IsEmpty()) {
            std::lock_guard lock(frame_.loaderLock);
            frame_.attachments.try_emplace(key, AttachedData{r.attachedData.kind, r.attachedData.bytes});
        }
        frame_.OnRecord(RecordNotice{&r, key, static_cast<std::uint32_t>(time), static_cast<std::uint32_t>(time >> 32)});
    } else {
        frame_.StepProgress();
    }
}
